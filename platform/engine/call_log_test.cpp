#include "platform/engine/call_log.h"

#include <gtest/gtest.h>

#include "platform/engine/engine_test_support.h"
#include "platform/engine/le_api.h"

namespace vz::engine {
namespace {

using testing::ReadLines;
using testing::TempDir;

using ScopedLog = testing::ScopedEngineLog;

TEST(CallLogTest, FormatsNamesTextsAndIntegers) {
  TempDir dir;
  std::string path = dir / "engine.log";
  {
    ScopedLog log(path);
    ASSERT_TRUE(LogEnabled());
    LogLine("LE_Hlitrecherche").Name("REVENUS").Name("CODCLEF").Text("0100001231").Write();
    LogLine("LE_Hferme").Name("").Write();
    LogLine("LE_Hsubstrep").Text("D:\\VESTRA").Text("?").Write();
    LogLine("LE_Hsetnbessais").Int(-10).Write();
    LogLine("LE_X").Name("A B").Text("q\"\n\x01\xE9").Name(nullptr).Write();
  }
  EXPECT_FALSE(LogEnabled());
  LogLine("LE_Unlogged").Write();
  std::vector<std::string> lines = ReadLines(path);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "LE_Hlitrecherche REVENUS CODCLEF \"0100001231\"");
  EXPECT_EQ(lines[1], "LE_Hferme \"\"");
  EXPECT_EQ(lines[2], "LE_Hsubstrep \"D:\\VESTRA\" \"?\"");
  EXPECT_EQ(lines[3], "LE_Hsetnbessais -10");
  EXPECT_EQ(lines[4], "LE_X \"A B\" \"q\\x22\\x0A\\x01\xE9\" \"\"");
}

TEST(CallLogTest, VeryLongArgumentsAreCutNotOverflowed) {
  TempDir dir;
  std::string path = dir / "engine.log";
  {
    ScopedLog log(path);
    std::string huge(100000, 'x');
    LogLine("LE_Hlitrecherche").Name("F").Name("K").Text(huge).Write();
  }
  std::vector<std::string> lines = ReadLines(path);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_LT(lines[0].size(), 1024u);
}

TEST(CallLogTest, EngineCallsAreLoggedInOrderAndAppended) {
  TempDir dir;
  std::string path = dir / "engine.log";
  testing::WriteFile(path, "runtime line\n");
  {
    ScopedLog log(path);
    int32_t ctx = LE_CreateContexteHF(103);
    LE_Hsubstrep(ctx, "D:\\VESTRA", "?");
    LE_Hferme(ctx, "");
    LE_Hsetnbessais(ctx, 10);
    LE_Hsetnbessaismessage(ctx, LE_Hnbessais(ctx) + 1);
    LE_Hlitrecherche(ctx, "REVENUS", "CODCLEF", "0100001231", 0);
    LE_HftermineCTX(ctx);
  }
  std::vector<std::string> lines = ReadLines(path);
  std::vector<std::string> expected = {
      "runtime line",
      "LE_CreateContexteHF 103",
      "LE_Hsubstrep \"D:\\VESTRA\" \"?\"",
      "LE_Hferme \"\"",
      "LE_Hsetnbessais 10",
      "LE_Hnbessais",
      "LE_Hsetnbessaismessage 11",
      "LE_Hlitrecherche REVENUS CODCLEF \"0100001231\"",
      "LE_ERROR REVENUS \"\" not described in this context",
      "LE_HftermineCTX",
  };
  EXPECT_EQ(lines, expected);
}

TEST(CallLogTest, RefusedAnalysesAndDescriptionsSayWhy) {
  TempDir dir;
  std::string path = dir / "engine.log";
  std::string analysis = dir / "vestra.wdd";
  testing::WriteFile(analysis, "VZANALYSIS 1\nFILE CLIENT D:\\VESTRA CLIENT\nKEY CODCLI 1:x\n");
  {
    ScopedLog log(path);
    int32_t ctx = LE_CreateContexteHF(1);
    EXPECT_EQ(LE_Houvreanalyse(ctx, analysis.c_str(), "", "", "", ""), 0);
    int32_t sizes[] = {3, 7};
    uint8_t buffer[10];
    EXPECT_EQ(LE_HDecritEnregistrement(ctx, "CLIENT", 905, sizes, 2, "1", buffer), 0);
    LE_HftermineCTX(ctx);
  }
  std::string text = testing::ReadFile(path);
  EXPECT_NE(text.find("LE_ERROR - \"" + analysis + "\" analysis refused: line 3: bad component"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("LE_HDecritEnregistrement CLIENT 905 2 \"1\"\n"), std::string::npos) << text;
  EXPECT_NE(text.find("LE_ERROR CLIENT \"\" description refused"), std::string::npos) << text;
}

}  // namespace
}  // namespace vz::engine
