#include "src/config/parameter_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/os/whole_file.h"

namespace vz::config {
namespace {

namespace fs = std::filesystem;

table_param Filled(const std::string& text) {
  table_param table;
  for (std::string& entry : table) entry = text;
  return table;
}

TEST(ListSeparatorTest, CommaAtLoadAndScopedChanges) {
  EXPECT_EQ(ListSeparator(), ',');
  {
    ScopedListSeparator tab('\t');
    EXPECT_EQ(ListSeparator(), '\t');
    {
      ScopedListSeparator comma(',');
      EXPECT_EQ(ListSeparator(), ',');
    }
    EXPECT_EQ(ListSeparator(), '\t');
  }
  EXPECT_EQ(ListSeparator(), ',');
  EXPECT_EQ(&SharedParameterTable(), &SharedParameterTable());
}

TEST(SplitValueTest, FieldsCountAndUntouchedEntries) {
  struct Case {
    const char* what;
    std::string text;
    std::string separator;
    char list_separator;
    std::vector<std::string> entries;  // entries 0.. n; the rest must stay "old"
  };
  const Case cases[] = {
      {"one field", "A", ",", ',', {"01", "A"}},
      {"leading empty field", ",B,", ",", ',', {"02", "", "B", ""}},
      {"two trailing commas", "A,,", ",", ',', {"01", "A", "", ""}},
      {"trailing blanks go first", "A , \xFF ", ",", ',', {"01", "A ", ""}},
      {"empty text", "", ",", ',', {"00", ""}},
      {"separator from the caller", "a\tb", "\t", ',', {"02", "a", "b"}},
      {"only its first character", "a\tb;c", "\t;", ',', {"02", "a", "b;c"}},
      {"empty: current separator", "a\tb", "", '\t', {"02", "a", "b"}},
      {"commas are plain with TAB", "a,b\tc", "", '\t', {"02", "a,b", "c"}},
      {"blank fields count as filled", "A, ,", ",", ',', {"02", "A", " ", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScopedListSeparator list(c.list_separator);
    table_param table = Filled("old");
    SplitValue(c.text, table, c.separator);
    EXPECT_EQ(ListSeparator(), c.list_separator);  // restored
    for (size_t i = 0; i < table.size(); ++i) {
      EXPECT_EQ(table[i], i < c.entries.size() ? c.entries[i] : "old") << "entry " << i;
    }
  }
}

TEST(SplitValueTest, AtMostThirtyTwoFields) {
  std::string text;
  for (int i = 1; i <= 40; ++i) {
    text += 'f';
    text += std::to_string(i);
    text += ',';
  }
  table_param table;
  SplitValue(text, table, ",");
  EXPECT_EQ(table[0], "32");
  EXPECT_EQ(table[1], "f1");
  EXPECT_EQ(table[32], "f32");
  EXPECT_EQ(FieldCount(table), 32);
}

class ParameterFileTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        fs::temp_directory_path() / ("vz_param_" + std::to_string(::getpid()) + "_" +
                                     testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "FIC01");
    path_ = (dir_ / "FIC01" / "PARAM.DTA").string();
    windows_path_ = dir_.string() + "\\FIC01\\PARAM.DTA";
  }
  void TearDown() override { fs::remove_all(dir_); }
  void Put(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
  std::string Get() {
    std::string text;
    os::ReadWholeFile(path_, &text);
    return text;
  }

  fs::path dir_;
  std::string path_;
  std::string windows_path_;
};

TEST_F(ParameterFileTest, ReadFillsAClearedTable) {
  struct Case {
    const char* what;
    std::string file;
    const char* key;
    std::vector<std::string> entries;  // the rest must be empty
  };
  const Case cases[] = {
      {"one field, no comma",
       "[COMPOSANTS]\r\nREPERTOIREF=C:\\DATA\r\n",
       "REPERTOIREF",
       {"01", "C:\\DATA"}},
      {"key case", "[composants]\nrepertoiref=C:\\DATA,\n", "REPERTOIREF", {"01", "C:\\DATA"}},
      {"leading empty field", "[COMPOSANTS]\nK=,B\n", "K", {"02", "", "B"}},
      {"two trailing commas", "[COMPOSANTS]\nK=A,,\n", "K", {"01", "A", "", ""}},
      {"blanks round the value", "[COMPOSANTS]\nK=   C:\\DATA   \n", "K", {"01", "C:\\DATA"}},
      {"comma keeps text before",
       "[COMPOSANTS]\nK=C:\\DATA,D:\\X\n",
       "K",
       {"02", "C:\\DATA", "D:\\X"}},
      {"empty value", "[COMPOSANTS]\nK=\n", "K", {""}},
      {"blank value", "[COMPOSANTS]\nK=    \n", "K", {""}},
      {"NUL value", std::string("[COMPOSANTS]\nK=\0\0\n", 17), "K", {"01", std::string("\0\0", 2)}},
      {"missing key", "[COMPOSANTS]\nX=1\n", "K", {""}},
      {"missing section", "[AUTRES]\nK=1\n", "K", {""}},
      {"key in a later duplicate section", "[COMPOSANTS]\nX=1\n[COMPOSANTS]\nK=2\n", "K", {""}},
      {"binary file", std::string("\x00\xFF\x01[COMPOSANTS\n\xFE=\x80\n", 15), "K", {""}},
      {"more than 32 fields",
       "[COMPOSANTS]\nK=1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,"
       "20,21,22,23,24,25,26,27,28,29,30,31,32,33,34\n",
       "K",
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Put(c.file);
    table_param table = Filled("old");
    ReadParameter(windows_path_, c.key, table, "COMPOSANTS");
    if (c.entries.empty()) {  // the 32-field case
      EXPECT_EQ(table[0], "32");
      EXPECT_EQ(table[32], "32");
      continue;
    }
    for (size_t i = 0; i < table.size(); ++i) {
      EXPECT_EQ(table[i], i < c.entries.size() ? c.entries[i] : "") << "entry " << i;
    }
  }
  fs::remove(path_);
  table_param table = Filled("old");
  ReadParameter(path_, "REPERTOIREF", table, "COMPOSANTS");
  EXPECT_EQ(table, table_param{});
  EXPECT_EQ(FieldCount(table), 0);
}

TEST_F(ParameterFileTest, WriteStoresEveryFieldWithItsSeparator) {
  Put("; installation\r\n[AUTRES]\r\nX=1\r\n[COMPOSANTS]\r\nREPERTOIREF=C:\\DATA\r\n");
  table_param table;
  table[1] = "000012";
  ASSERT_TRUE(WriteParameter(windows_path_, "NUMREQ", table, "COMPOSANTS"));
  EXPECT_EQ(Get(),
            "; installation\r\n[AUTRES]\r\nX=1\r\n[COMPOSANTS]\r\nREPERTOIREF=C:\\DATA\r\n"
            "NUMREQ=000012" +
                std::string(32, ',') + "\r\n");
  table_param read;
  ReadParameter(path_, "NUMREQ", read, "COMPOSANTS");
  EXPECT_EQ(read[0], "01");
  EXPECT_EQ(read[1], "000012");

  table[1] = "000013";
  ASSERT_TRUE(WriteParameter(path_, "numreq", table, "composants"));
  ReadParameter(path_, "NUMREQ", read, "COMPOSANTS");
  EXPECT_EQ(read[1], "000013");
  EXPECT_NE(Get().find("REPERTOIREF=C:\\DATA\r\n"), std::string::npos);
}

TEST_F(ParameterFileTest, TabFieldsComeBackExactly) {
  ScopedListSeparator tab('\t');
  // All 32 fields: the "," the read appends is never taken as a field.
  table_param all;
  for (int i = 1; i <= kParameterFields; ++i) all[i] = "v " + std::to_string(i);
  ASSERT_TRUE(WriteParameter(path_, "EX_ETIQUETTE", all, "COMPOSANTS"));
  table_param read = Filled("old");
  ReadParameter(path_, "EX_ETIQUETTE", read, "COMPOSANTS");
  EXPECT_EQ(read[0], "32");
  for (int i = 1; i <= kParameterFields; ++i) EXPECT_EQ(read[i], all[i]);

  // The label layout: eight fields, the rest empty.
  table_param labels;
  const char* values[] = {"3", "8", "70", "37", "0", "0", "5", "1"};
  for (int i = 0; i < 8; ++i) labels[i + 1] = values[i];
  ASSERT_TRUE(WriteParameter(path_, "EX_ETIQUETTE", labels, "COMPOSANTS"));
  ReadParameter(path_, "EX_ETIQUETTE", read, "COMPOSANTS");
  EXPECT_EQ(read[0], "08");
  for (int i = 1; i <= kParameterFields; ++i) EXPECT_EQ(read[i], labels[i]) << i;
}

TEST_F(ParameterFileTest, FailedWritesChangeNothing) {
  Put("[COMPOSANTS]\nNUMREQ=000001,\n");
  table_param table;
  table[1] = "000002\r\n[COMPOSANTS]";
  EXPECT_FALSE(WriteParameter(path_, "NUMREQ", table, "COMPOSANTS"));
  EXPECT_EQ(Get(), "[COMPOSANTS]\nNUMREQ=000001,\n");
  table[1] = "000002";
  EXPECT_FALSE(
      WriteParameter((dir_ / "NONE" / "PARAM.DTA").string(), "NUMREQ", table, "COMPOSANTS"));
  EXPECT_FALSE(WriteParameter(path_, "", table, "COMPOSANTS"));
  EXPECT_EQ(Get(), "[COMPOSANTS]\nNUMREQ=000001,\n");
}

}  // namespace
}  // namespace vz::config
