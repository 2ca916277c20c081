// Names as programs spell them: files and keys found whatever the case and
// however many names a loop alternates among, a reused name buffer read
// afresh, names that follow the file after a new analysis, a renamed or
// closed file; and the out-of-file state of each context.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/engine/engine_test_support.h"
#include "platform/engine/le_api.h"
#include "platform/os/ascii_case.h"

namespace vz::engine::testing {
namespace {

class EngineLookupTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    for (const char* code : {"010000011", "010000012", "020000011"}) {
      ASSERT_TRUE(AddClient(code, std::string("N") + code));
    }
    ASSERT_TRUE(AddRevenu("010000011", "R0001", "001", 5));
    ASSERT_TRUE(AddRevenu("010000012", "R0002", "001", 7));
    selectes_.SetText(1, "010000012");
    selectes_.SetText(2, "75001");
    ASSERT_EQ(LE_Hajoute(ctx_, "SELECTES", 0), 1);
  }
};

// A loop that names more files, in more spellings, than any short memory of
// names holds: every call must still reach the file and key it names.
TEST_F(EngineLookupTest, ManySpellingsInTurnEachReachTheirFile) {
  struct Call {
    const char* file;
    const char* key;
    const char* value;
    const char* client;  // the client code read, nullptr: out of file
  } calls[] = {
      {"CLIENT", "CODCLI", "010000012", "010000012"},
      {"revenus", "codclef", "010000012", "010000012"},
      {"Client", "CodCli", "02", "020000011"},
      {"SELECTES", "CODPTT", "75", "010000012"},
      {"cLIENT", "nomcli", "N0100000", "010000011"},
      {"REVENUS", "CODCLEF", "010000011", "010000011"},
      {"client", "codcli", "010000011", "010000011"},
      {"Revenus", "CodClef", "9", nullptr},
      {"selectes", "codptt", "76", nullptr},
      {"CLIENTS", "CODCLI", "0", nullptr},  // one byte more: another name
      {"CLIEN", "CODCLI", "0", nullptr},    // one byte less
      {"CLIENT", "CODCLIX", "0", nullptr},  // unknown key of a known file
      {"CLIENT", "CODCL", "0", nullptr},
      {"REVENUS", "CODCLI", "0", nullptr},  // a key of another file
      {"CLIENT", "NOMCLI", "N02", "020000011"},
      {"CHARSOC", "CLE", "", nullptr},  // described, never written
  };
  // Three rounds: the later ones run on names already seen.
  for (int round = 0; round < 3; ++round) {
    for (const Call& c : calls) {
      client_.Clear();
      revenus_.Clear();
      selectes_.Clear();
      const int32_t found = LE_Hlitrecherche(ctx_, c.file, c.key, c.value, 0);
      const std::string where =
          std::string(c.file) + "." + c.key + " round " + std::to_string(round);
      if (c.client == nullptr) {
        EXPECT_EQ(found, 0) << where;
        EXPECT_EQ(LE_Hendehors(ctx_), 1) << where;
        continue;
      }
      EXPECT_EQ(found, 1) << where;
      EXPECT_EQ(LE_Hendehors(ctx_), 0) << where;
      std::string read;
      if (os::AsciiUpper(c.file[0]) == 'C') read = ClientCode(client_);
      if (os::AsciiUpper(c.file[0]) == 'R') read = revenus_.Text(1);
      if (os::AsciiUpper(c.file[0]) == 'S') read = selectes_.Text(1);
      EXPECT_EQ(read, c.client) << where;
    }
  }
}

// Every case spelling of two names in turn, far more than any memory of
// names holds, then again in reverse: each call reads its own file.
TEST_F(EngineLookupTest, EveryCaseSpellingInTurnReadsItsFile) {
  auto spelled = [](std::string name, unsigned mask) {
    for (std::size_t i = 0; i < name.size(); ++i) {
      if ((mask >> i) & 1U) name[i] = os::AsciiLower(name[i]);
    }
    return name;
  };
  std::vector<unsigned> masks;
  for (unsigned mask = 0; mask < 64; ++mask) masks.push_back(mask);
  for (unsigned mask = 64; mask-- > 0;) masks.push_back(mask);
  for (unsigned mask : masks) {
    const std::string client = spelled("CLIENT", mask);
    const std::string revenus = spelled("REVENUS", mask ^ 0x55U);
    const std::string key = spelled("CODCLEF", mask);
    client_.Clear();
    revenus_.Clear();
    ASSERT_EQ(LE_Hlitrecherche(ctx_, client.c_str(), "CODCLI", "010000012", 0), 1) << client;
    ASSERT_EQ(LE_Hlitrecherche(ctx_, revenus.c_str(), key.c_str(), "010000012", 0), 1) << key;
    EXPECT_EQ(ClientCode(client_), "010000012") << client;
    EXPECT_EQ(revenus_.Text(2), "R0002") << revenus;
    EXPECT_EQ(LE_Hlitsuivant(ctx_, client.c_str(), spelled("CODCLI", mask).c_str(), 0), 1);
    EXPECT_EQ(ClientCode(client_), "020000011") << client;
  }
}

// Programs build names in one buffer and rewrite it between calls: the name
// is what the buffer holds at the call, never what it held before.
TEST_F(EngineLookupTest, ARewrittenNameBufferIsReadAfresh) {
  char file[16];
  char key[16];
  std::snprintf(file, sizeof file, "%s", "CLIENT");
  std::snprintf(key, sizeof key, "%s", "CODCLI");
  ASSERT_EQ(LE_Hlitrecherche(ctx_, file, key, "010000012", 0), 1);
  std::snprintf(file, sizeof file, "%s", "REVENUS");
  std::snprintf(key, sizeof key, "%s", "CODCLEF");
  revenus_.Clear();
  ASSERT_EQ(LE_Hlitrecherche(ctx_, file, key, "010000011", 0), 1);
  EXPECT_EQ(revenus_.Text(2), "R0001");
  std::snprintf(file, sizeof file, "%s", "CLIENT");
  std::snprintf(key, sizeof key, "%s", "NOMCLI");
  client_.Clear();
  ASSERT_EQ(LE_Hlitpremier(ctx_, file, key, 0), 1);
  EXPECT_EQ(client_.Text(5), "N010000011");
  std::snprintf(key, sizeof key, "%s", "NOMCLIX");
  EXPECT_EQ(LE_Hlitpremier(ctx_, file, key, 0), 0);
  EXPECT_EQ(LE_Hlitrecherche(ctx_, nullptr, "CODCLI", "0", 0), 0);
  EXPECT_EQ(LE_Hlitrecherche(ctx_, "CLIENT", nullptr, "0", 0), 0);
  EXPECT_EQ(LE_Hlitrecherche(ctx_, "", "", "0", 0), 0);
  EXPECT_EQ(LE_Hendehors(ctx_), 1);
}

// A new analysis may list a file's keys in another order: a key name read
// before must then follow its key, not the place it had.
TEST_F(EngineLookupTest, KeyNamesFollowTheirKeysUnderANewAnalysis) {
  ASSERT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "NOMCLI", 0), 1);
  ASSERT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "CODCLI", 0), 1);
  ASSERT_TRUE(AddClient("000000011", "ZZZ"));  // first by code, last by name
  std::string swapped = kTestAnalysis;
  const std::string codcli = "KEY CODCLI 1:2 2:6 3:1 SLOT 4\n";
  const std::string nomcli = "KEY NOMCLI 5:8\n";
  swapped.replace(swapped.find(codcli), codcli.size() + nomcli.size(), nomcli + codcli);
  WriteFile(analysis_path_, swapped);
  ASSERT_EQ(LE_Houvreanalyse(ctx_, analysis_path_.c_str(), "", "", "", ""), 1);
  ASSERT_EQ(LE_Hsubstrep(ctx_, "D:\\VESTRA", data_dir_.c_str()), 1);
  for (int round = 0; round < 2; ++round) {
    ASSERT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "CODCLI", 0), 1);
    EXPECT_EQ(ClientCode(client_), "000000011") << round;
    ASSERT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "NOMCLI", 0), 1);
    EXPECT_EQ(client_.Text(5), "N010000011") << round;
  }
}

// A file given another physical name, or closed, is read where it now is.
TEST_F(EngineLookupTest, ARenamedOrClosedFileIsReadWhereItNowIs) {
  ASSERT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "CODCLI", 0), 1);
  ASSERT_EQ(LE_Hsubstnom(ctx_, "client", "AUTRES"), 1);
  EXPECT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "CODCLI", 0), 0);  // AUTRES does not exist
  EXPECT_EQ(LE_Hendehors(ctx_), 1);
  ASSERT_TRUE(AddClient("090000011", "AILLEURS"));
  ASSERT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "CODCLI", 0), 1);
  EXPECT_EQ(ClientCode(client_), "090000011");
  ASSERT_EQ(LE_Hsubstnom(ctx_, "CLIENT", ""), 1);
  ASSERT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "CODCLI", 0), 1);
  EXPECT_EQ(ClientCode(client_), "010000011");
  ASSERT_EQ(LE_Hferme(ctx_, "Client"), 1);
  EXPECT_EQ(LE_Hlitsuivant(ctx_, "CLIENT", "CODCLI", 0), 0);  // the position ended
  ASSERT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "CODCLI", 0), 1);
  EXPECT_EQ(ClientCode(client_), "010000011");
}

// Each context answers for its own reads and writes; a closed context, one
// never opened and handles out of range are out of file.
TEST_F(EngineLookupTest, EachContextHasItsOwnOutOfFileState) {
  Record other_client{{3, 7, 2, 11, 21, 2}, "111412"};
  const int32_t other = OpenSecondContext(true, &other_client, nullptr);
  ASSERT_GT(other, 0);
  EXPECT_EQ(LE_Hendehors(other), 1);  // nothing read yet
  ASSERT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "CODCLI", 0), 1);
  EXPECT_EQ(LE_Hendehors(ctx_), 0);
  EXPECT_EQ(LE_Hendehors(other), 1);
  EXPECT_EQ(LE_Hlitrecherche(other, "CLIENT", "CODCLI", "9", 0), 0);
  EXPECT_EQ(LE_Hendehors(ctx_), 0);
  EXPECT_EQ(LE_Hendehors(other), 1);
  FillClient(other_client, "030000011", "AJOUT");
  ASSERT_EQ(LE_Hajoute(other, "CLIENT", 0), 1);  // a write makes its record current
  EXPECT_EQ(LE_Hendehors(other), 0);
  EXPECT_EQ(LE_Hlitsuivant(ctx_, "CLIENT", "CODCLI", 0), 1);
  EXPECT_EQ(LE_Hlitrecherche(ctx_, "CLIENT", "CODCLI", "9", 0), 0);
  EXPECT_EQ(LE_Hendehors(ctx_), 1);
  EXPECT_EQ(LE_Hendehors(other), 0);
  ASSERT_EQ(LE_HftermineCTX(other), 1);
  EXPECT_EQ(LE_Hendehors(other), 1);
  for (int32_t handle : {0, -1, other + 1, other + 5000, 0x7FFFFFFF, -0x7FFFFFFF - 1}) {
    EXPECT_EQ(LE_Hendehors(handle), 1) << handle;
  }
}

// With the call log on, the out-of-file question is logged like any call.
TEST_F(EngineLookupTest, TheOutOfFileQuestionIsLoggedWhenTheLogIsOn) {
  const std::string log = temp_ / "calls.log";
  {
    ScopedEngineLog scoped(log);
    ASSERT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "CODCLI", 0), 1);
    EXPECT_EQ(LE_Hendehors(ctx_), 0);
  }
  EXPECT_EQ(LE_Hendehors(ctx_), 0);  // log off again: not written
  int asked = 0;
  for (const std::string& line : ReadLines(log)) {
    if (line.find("LE_Hendehors") != std::string::npos) ++asked;
  }
  EXPECT_EQ(asked, 1);
}

}  // namespace
}  // namespace vz::engine::testing
