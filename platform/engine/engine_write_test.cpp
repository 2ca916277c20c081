// Writes, counts, creation, closing, substitutions, analysis and settings.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>

#include "platform/engine/engine_test_support.h"
#include "platform/engine/le_api.h"

namespace vz::engine::testing {
namespace {

// Changes the current directory for the life of the object.
class ScopedChdir {
 public:
  explicit ScopedChdir(const std::string& dir) {
    char buffer[PATH_MAX];
    if (::getcwd(buffer, sizeof buffer) != nullptr) saved_ = buffer;
    EXPECT_EQ(::chdir(dir.c_str()), 0);
  }
  ~ScopedChdir() {
    if (!saved_.empty() && ::chdir(saved_.c_str()) != 0) ADD_FAILURE() << "chdir back";
  }

 private:
  std::string saved_;
};

using EngineWriteTest = EngineTest;

TEST_F(EngineWriteTest, CountsAndRecordNumbers) {
  EXPECT_EQ(Count("CLIENT"), 0);
  ASSERT_TRUE(AddClient("010000011", "A"));
  ASSERT_TRUE(AddClient("010000021", "B"));
  ASSERT_TRUE(AddClient("010000031", "C"));
  EXPECT_EQ(Count("client"), 3);
  EXPECT_EQ(LE_Hnumenr(ctx_), 3);  // the record just added is current
  ASSERT_EQ(LE_Hlitrecherche(ctx_, "CLIENT", "CODCLI", "010000021", 0), 1);
  EXPECT_EQ(LE_Hnumenr(ctx_), 2);
  // Counts name the file given to Hinfogene, whatever was read last.
  LE_Hinfogene(ctx_, "REVENUS");
  EXPECT_EQ(LE_Hnbenr(ctx_), 0);
  EXPECT_EQ(LE_Hnumenr(ctx_), 0);
  LE_Hinfogene(ctx_, "NOFILE");
  EXPECT_EQ(LE_Hnbenr(ctx_), 0);
  EXPECT_EQ(LE_Hnumenr(ctx_), 0);
  // Numbers are never reused, even for the highest one.
  ASSERT_EQ(LE_Hlitrecherche(ctx_, "CLIENT", "CODCLI", "010000031", 0), 1);
  ASSERT_EQ(LE_Hsupprime(ctx_, "CLIENT", 0), 1);
  LE_Hinfogene(ctx_, "CLIENT");
  EXPECT_EQ(LE_Hnumenr(ctx_), 0);
  ASSERT_TRUE(AddClient("010000041", "D"));
  EXPECT_EQ(LE_Hnumenr(ctx_), 4);
  EXPECT_EQ(LE_Hnbenr(ctx_), 3);
}

TEST_F(EngineWriteTest, ModifyRewritesTheCurrentRecordAndItsKeys) {
  ASSERT_TRUE(AddClient("010000011", "A", 1));
  ASSERT_TRUE(AddClient("010000021", "B", 2));
  ASSERT_TRUE(AddClient("010000031", "C", 3));
  EXPECT_EQ(LE_Hmodifie(ctx_, "CLIENT", 0), 1);  // the added record is current
  ASSERT_EQ(LE_Hlitrecherche(ctx_, "CLIENT", "CODCLI", "010000011", 0), 1);
  client_.SetText(2, "000099");  // moves it after 010000031
  client_.SetInt16(6, 42);
  ASSERT_EQ(LE_Hmodifie(ctx_, "CLIENT", 0), 1);
  EXPECT_EQ(Count("CLIENT"), 3);
  // Read next continues after the record's new place.
  EXPECT_EQ(LE_Hlitsuivant(ctx_, "CLIENT", "CODCLI", 0), 0);
  ASSERT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "CODCLI", 0), 1);
  EXPECT_EQ(ClientCode(client_), "010000021");
  ASSERT_EQ(LE_Hlitrecherche(ctx_, "CLIENT", "CODCLI", "010000991", 0), 1);
  EXPECT_EQ(client_.Int16(6), 42);
  EXPECT_EQ(client_.Text(5), "A");
}

TEST_F(EngineWriteTest, WritesNeedACurrentRecord) {
  EXPECT_EQ(LE_Hmodifie(ctx_, "CLIENT", 0), 0);
  EXPECT_EQ(LE_Hsupprime(ctx_, "CLIENT", 0), 0);
  ASSERT_TRUE(AddClient("010000011", "A"));
  EXPECT_EQ(LE_Hlitrecherche(ctx_, "CLIENT", "CODCLI", "9", 0), 0);
  EXPECT_EQ(LE_Hmodifie(ctx_, "CLIENT", 0), 0);  // out of file: nothing current
  EXPECT_EQ(LE_Hsupprime(ctx_, "CLIENT", 0), 0);
  EXPECT_EQ(Count("CLIENT"), 1);
}

TEST_F(EngineWriteTest, CreationEmptiesTheFile) {
  ASSERT_TRUE(AddClient("010000011", "A"));
  ASSERT_TRUE(AddClient("010000021", "B"));
  ASSERT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "CODCLI", 0), 1);
  ASSERT_EQ(LE_Hcreation(ctx_, "CLIENT"), 1);
  EXPECT_EQ(Count("CLIENT"), 0);
  EXPECT_EQ(LE_Hlitsuivant(ctx_, "CLIENT", "CODCLI", 0), 0);
  EXPECT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "CODCLI", 0), 0);
  ASSERT_TRUE(AddClient("010000031", "C"));
  EXPECT_EQ(LE_Hnumenr(ctx_), 1);  // a new file numbers from 1
  // Creation of a file that does not exist yet makes it, empty.
  EXPECT_FALSE(Stored("SELECTES"));
  ASSERT_EQ(LE_Hcreation(ctx_, "selectes"), 1);
  EXPECT_TRUE(Stored("SELECTES"));
  EXPECT_EQ(Count("SELECTES"), 0);
  EXPECT_EQ(LE_Hcreation(ctx_, "NOFILE"), 0);
}

TEST_F(EngineWriteTest, ClosingOneFileAndEveryFile) {
  ASSERT_TRUE(AddClient("010000011", "A"));
  ASSERT_TRUE(AddClient("010000021", "B"));
  ASSERT_TRUE(AddRevenu("010000011", "40000", "001", 1));
  ASSERT_TRUE(AddRevenu("010000011", "40000", "002", 2));
  ASSERT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "CODCLI", 0), 1);
  ASSERT_EQ(LE_Hlitpremier(ctx_, "REVENUS", "CODCLEF", 0), 1);
  EXPECT_EQ(LE_Hferme(ctx_, "client"), 1);
  EXPECT_EQ(LE_Hlitsuivant(ctx_, "CLIENT", "CODCLI", 0), 0);    // position forgotten
  ASSERT_EQ(LE_Hlitsuivant(ctx_, "REVENUS", "CODCLEF", 0), 1);  // others go on
  EXPECT_EQ(revenus_.Int16(4), 2);
  // The closed file opens again on first use.
  ASSERT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "CODCLI", 0), 1);
  EXPECT_EQ(LE_Hferme(ctx_, ""), 1);
  // Closing releases the write-ahead log: the data file stands alone.
  EXPECT_FALSE(FileExists(DataPath("CLIENT.vzdb-wal")));
  EXPECT_FALSE(FileExists(DataPath("REVENUS.vzdb-wal")));
  EXPECT_EQ(LE_Hlitsuivant(ctx_, "CLIENT", "CODCLI", 0), 0);
  EXPECT_EQ(LE_Hlitsuivant(ctx_, "REVENUS", "CODCLEF", 0), 0);
  EXPECT_EQ(Count("CLIENT"), 2);
  EXPECT_EQ(LE_Hferme(ctx_, "NOFILE"), 1);
}

TEST_F(EngineWriteTest, DirectorySubstitutions) {
  if (OnServer()) GTEST_SKIP() << "on the server a file is known by its physical name alone";
  std::string other = temp_ / "OTHER";
  ASSERT_EQ(::mkdir(other.c_str(), 0755), 0);
  ASSERT_TRUE(AddClient("010000011", "in DATA"));
  // A later substitution replaces the earlier one; case and slashes do not matter.
  ASSERT_EQ(LE_Hsubstrep(ctx_, "d:/vestra/", other.c_str()), 1);
  EXPECT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "CODCLI", 0), 0);
  ASSERT_TRUE(AddClient("010000099", "in OTHER"));
  EXPECT_TRUE(FileExists(other + "/CLIENT.vzdb"));
  EXPECT_EQ(Count("CLIENT"), 1);
  // "?" and "" mean the current directory.
  for (const char* current : {"?", ""}) {
    ScopedChdir cd(data_dir_);
    ASSERT_EQ(LE_Hsubstrep(ctx_, "D:\\VESTRA", current), 1);
    ASSERT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "CODCLI", 0), 1) << current;
    EXPECT_EQ(client_.Text(5), "in DATA");
    LE_Hferme(ctx_, "");
  }
  // A directory written the Windows way, relative to the current directory.
  {
    ScopedChdir cd(other);
    ASSERT_EQ(LE_Hsubstrep(ctx_, "D:\\VESTRA", "..\\DATA"), 1);
    ASSERT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "CODCLI", 0), 1);
    EXPECT_EQ(client_.Text(5), "in DATA");
    LE_Hferme(ctx_, "");
  }
  // A directory that does not exist: reads out of file, writes not done.
  ASSERT_EQ(LE_Hsubstrep(ctx_, "D:\\VESTRA", (temp_ / "MISSING").c_str()), 1);
  EXPECT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "CODCLI", 0), 0);
  EXPECT_FALSE(AddClient("010000011", "lost"));
  EXPECT_EQ(LE_Hsubstrep(ctx_, nullptr, "x"), 0);
}

TEST_F(EngineWriteTest, PhysicalNameSubstitution) {
  selectes_.SetText(1, "010000011");
  selectes_.SetText(2, "75001");
  ASSERT_EQ(LE_Hajoute(ctx_, "SELECTES", 0), 1);
  ASSERT_EQ(LE_Hsubstnom(ctx_, "selectes", "01000001"), 1);
  EXPECT_EQ(Count("SELECTES"), 0);  // a new physical name is a new file
  ASSERT_EQ(LE_Hcreation(ctx_, "SELECTES"), 1);
  EXPECT_TRUE(Stored("01000001"));
  selectes_.SetText(2, "13001");
  ASSERT_EQ(LE_Hajoute(ctx_, "SELECTES", 0), 1);
  ASSERT_EQ(LE_Hajoute(ctx_, "SELECTES", 0), 1);
  EXPECT_EQ(Count("SELECTES"), 2);
  // The name holds until changed again; lower case names the same file.
  ASSERT_EQ(LE_Hsubstnom(ctx_, "SELECTES", "req2"), 1);
  ASSERT_EQ(LE_Hajoute(ctx_, "SELECTES", 0), 1);
  EXPECT_TRUE(Stored("REQ2"));
  ASSERT_EQ(LE_Hsubstnom(ctx_, "SELECTES", "01000001"), 1);
  EXPECT_EQ(Count("SELECTES"), 2);
  // An empty name goes back to the analysis's name.
  ASSERT_EQ(LE_Hsubstnom(ctx_, "SELECTES", ""), 1);
  EXPECT_EQ(Count("SELECTES"), 1);
  // Names that would leave the data directory are refused and change nothing.
  for (const char* bad : {"../escape", "a/b", "..", "x\\y", "C:EVIL"}) {
    EXPECT_EQ(LE_Hsubstnom(ctx_, "SELECTES", bad), 0) << bad;
  }
  EXPECT_EQ(Count("SELECTES"), 1);
  EXPECT_EQ(LE_Hsubstnom(ctx_, "", "X"), 0);
  EXPECT_EQ(LE_Hsubstnom(ctx_, "SELECTES", nullptr), 0);
}

TEST_F(EngineWriteTest, AnalysisFromTheProgramDirectoryWrittenTheWindowsWay) {
  std::string program = temp_ / "PROG";
  ASSERT_EQ(::mkdir(program.c_str(), 0755), 0);
  ScopedChdir cd(program);
  int32_t ctx = LE_CreateContexteHF(1);
  EXPECT_EQ(LE_Houvreanalyse(ctx, "..\\HSF\\vestra.wdd", "", "", "", ""), 1);
  EXPECT_EQ(LE_Houvreanalyse(ctx, "..\\HSF\\missing.wdd", "", "", "", ""), 0);
  EXPECT_EQ(LE_Houvreanalyse(ctx, "", "", "", "", ""), 0);
  EXPECT_EQ(LE_Houvreanalyse(ctx, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(LE_Houvreanalyse(ctx, "..\\HSF", "", "", "", ""), 0);  // a directory
  LE_HftermineCTX(ctx);
}

TEST_F(EngineWriteTest, MalformedAnalysisIsRefusedAndTheOldOneKept) {
  ASSERT_TRUE(AddClient("010000011", "A"));
  std::string bad = temp_ / "HSF/bad.wdd";
  for (const char* text :
       {"", "garbage\n", "VZANALYSIS 1\nKEY A 1:2\n", "\x89PNG\r\n\x1A\n\x00\x00binary"}) {
    WriteFile(bad, text);
    EXPECT_EQ(LE_Houvreanalyse(ctx_, bad.c_str(), "", "", "", ""), 0) << text;
  }
  ASSERT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "CODCLI", 0), 1);
}

TEST_F(EngineWriteTest, ChangedKeyRulesRebuildTheStoredKeys) {
  ASSERT_TRUE(AddClient("010000011", "ZED"));
  ASSERT_TRUE(AddClient("010000021", "ALPHA"));
  LE_Hferme(ctx_, "");
  // The name key now takes 3 characters and a third key appears.
  std::string changed = kTestAnalysis;
  changed.replace(changed.find("KEY NOMCLI 5:8"), 14, "KEY NOMCLI 5:3\nKEY NUM 2:6 3:1");
  WriteFile(analysis_path_, changed);
  ASSERT_EQ(LE_Houvreanalyse(ctx_, analysis_path_.c_str(), "", "", "", ""), 1);
  ASSERT_EQ(LE_Hlitrecherche(ctx_, "CLIENT", "NOMCLI", "ALP", 0), 1);
  EXPECT_EQ(ClientCode(client_), "010000021");
  ASSERT_EQ(LE_Hlitrecherche(ctx_, "CLIENT", "NUM", "0000011", 0), 1);
  EXPECT_EQ(client_.Text(5), "ZED");
  EXPECT_EQ(Count("CLIENT"), 2);
  // And back to fewer keys.
  WriteFile(analysis_path_, kTestAnalysis);
  ASSERT_EQ(LE_Houvreanalyse(ctx_, analysis_path_.c_str(), "", "", "", ""), 1);
  ASSERT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "NOMCLI", 0), 1);
  EXPECT_EQ(client_.Text(5), "ALPHA");
  EXPECT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "NUM", 0), 0);
  ASSERT_TRUE(AddClient("010000031", "NEW"));
  EXPECT_EQ(Count("CLIENT"), 3);
}

TEST_F(EngineWriteTest, DescriptionsThatTheAnalysisDoesNotFit) {
  // Not in the analysis: described, but reads and writes fail quietly.
  Record extra({5, 5}, "11");
  ASSERT_EQ(extra.Describe(ctx_, "EXTRA"), 1);
  extra.SetText(1, "AB");
  EXPECT_EQ(LE_Hajoute(ctx_, "EXTRA", 0), 0);
  EXPECT_EQ(LE_Hlitpremier(ctx_, "EXTRA", "K", 0), 0);
  // CLIENT described so that its key's field 5 is no text: unusable.
  Record wrong({3, 7, 2, 11, 21, 2}, "111442");
  ASSERT_EQ(wrong.Describe(ctx_, "CLIENT"), 1);
  EXPECT_EQ(LE_Hajoute(ctx_, "CLIENT", 0), 0);
  EXPECT_FALSE(Stored("CLIENT"));
  // Refused descriptions.
  int32_t sizes[] = {3, 0};
  uint8_t buffer[8];
  EXPECT_EQ(LE_HDecritEnregistrement(ctx_, "CLIENT", 3, sizes, 2, "11", buffer), 0);
  EXPECT_EQ(LE_HDecritEnregistrement(ctx_, "CLIENT", 3, sizes, 1, "1", nullptr), 0);
  EXPECT_EQ(LE_HDecritEnregistrement(ctx_, "CLIENT", 3, nullptr, 1, "1", buffer), 0);
  EXPECT_EQ(LE_HDecritEnregistrement(99999, "CLIENT", 3, sizes, 1, "1", buffer), 0);
}

TEST_F(EngineWriteTest, BatchGroupsWritesAndCommitsAtTheEnd) {
  Record other({3, 7, 2, 11, 21, 2}, "111412");
  int32_t reader = OpenSecondContext(false, &other, nullptr);  // its own connections
  ASSERT_EQ(LE_BeginBatch(ctx_), 1);
  for (int i = 0; i < 500; ++i) {
    char code[16];
    std::snprintf(code, sizeof code, "01%06d1", i);
    ASSERT_TRUE(AddClient(code, "batch"));
  }
  EXPECT_EQ(Count("CLIENT"), 500);  // the writer sees its own records
  ASSERT_EQ(LE_Hlitrecherche(ctx_, "CLIENT", "CODCLI", "010002501", 0), 1);
  LE_Hinfogene(reader, "CLIENT");
  EXPECT_EQ(LE_Hnbenr(reader), 0);  // others see nothing before the end
  ASSERT_EQ(LE_EndBatch(ctx_), 1);
  EXPECT_EQ(LE_Hnbenr(reader), 500);
  ASSERT_EQ(LE_Hlitrecherche(reader, "CLIENT", "CODCLI", "010004991", 0), 1);
  EXPECT_EQ(LE_Hlitsuivant(reader, "CLIENT", "CODCLI", 0), 0);
  // A batch left open is committed when the file closes.
  ASSERT_EQ(LE_BeginBatch(ctx_), 1);
  ASSERT_TRUE(AddClient("090000001", "late"));
  LE_Hferme(ctx_, "CLIENT");
  EXPECT_EQ(LE_Hnbenr(reader), 501);
  ASSERT_EQ(LE_EndBatch(ctx_), 1);
  LE_HftermineCTX(reader);
}

TEST_F(EngineWriteTest, SettingsAreKept) {
  int32_t ctx = LE_CreateContexteHF(103);
  EXPECT_EQ(LE_Hnbessais(ctx), 10);  // default
  EXPECT_EQ(LE_Hsetnbessais(ctx, 4), 1);
  EXPECT_EQ(LE_Hnbessais(ctx), 4);
  EXPECT_EQ(LE_Hsetnbessaismessage(ctx, LE_Hnbessais(ctx) + 1), 1);
  for (int32_t r :
       {LE_Hmodeperso(ctx, 1), LE_Hsecurite(ctx, 2), LE_Hgeredoublonnon(ctx), LE_Hgeretrsnon(ctx),
        LE_Hgerejnlnon(ctx), LE_Hgererepnon(ctx), LE_Hseterrignore(ctx, 1)}) {
    EXPECT_EQ(r, 1);
  }
  EXPECT_EQ(LE_HftermineCTX(ctx), 1);
  EXPECT_EQ(LE_HftermineCTX(ctx), 0);  // handles are never reused
  EXPECT_EQ(LE_Hnbessais(ctx), 0);
  EXPECT_EQ(LE_Hsetnbessais(ctx, 3), 0);
  EXPECT_EQ(LE_CreateContexteHF(-1), 0);
  EXPECT_GT(LE_CreateContexteHF(0), ctx);
}

}  // namespace
}  // namespace vz::engine::testing
