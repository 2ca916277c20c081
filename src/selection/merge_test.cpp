// Union and intersection of selection files, odd lines in them, the writer's
// temporary file, and the bottom-up reduction of expanded token lists.
#include "src/selection/merge.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "src/selection/merge_io.h"
#include "src/selection/selection_run_test_support.h"
#include "src/util/replacing_file.h"

namespace vz::selection {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// Selection files of the merge cases.
constexpr std::string_view kA = "0100000A";
constexpr std::string_view kB = "0100000B";
constexpr std::string_view kE = "0100000E";
constexpr std::string_view kI = "0100000I";
constexpr std::string_view kU = "0100000U";
constexpr std::string_view kU2 = "010000U2";
constexpr std::string_view kNoFile = "0100000N";

// The writers' temporary files left in the data directory.
std::vector<fs::path> TemporaryFiles(const SelectionTestDatabase& db) {
  std::vector<fs::path> found;
  for (const fs::directory_entry& entry : fs::directory_iterator(db.data_directory())) {
    if (util::TemporaryFileOwnerOf(entry.path().filename().string())) found.push_back(entry.path());
  }
  return found;
}

struct MergeCase {
  const char* name;
  Lines first;
  Lines second;
  Lines union_result;
  Lines intersection_result;
};

TEST(MergeTest, UnionAndIntersectionTable) {
  const std::vector<MergeCase> cases = {
      {"both empty", {}, {}, {}, {}},
      {"first empty", {}, {"100000011"}, {"100000011"}, {}},
      {"second empty", {"100000011", "100000021"}, {}, {"100000011", "100000021"}, {}},
      {"disjoint",
       {"100000011", "100000031"},
       {"100000021", "100000041"},
       {"100000011", "100000021", "100000031", "100000041"},
       {}},
      {"share their last code",
       {"100000011", "100000051"},
       {"100000021", "100000051"},
       {"100000011", "100000021", "100000051"},
       {"100000051"}},
      {"last of the first occurs earlier in the second",
       {"100000011", "100000031"},
       {"100000021", "100000031", "100000041", "100000051"},
       {"100000011", "100000021", "100000031", "100000041", "100000051"},
       {"100000031"}},
      {"identical",
       {"100000011", "100000012"},
       {"100000011", "100000012"},
       {"100000011", "100000012"},
       {"100000011", "100000012"}},
      {"duplicate codes inside one input",
       {"100000011", "100000011", "100000021"},
       {"100000011", "100000021", "100000021"},
       {"100000011", "100000021"},
       {"100000011", "100000021"}},
      {"codes above the old end marker",
       {"99999999", "999999991", "ZZ0000001"},
       {"999999991"},
       {"99999999", "999999991", "ZZ0000001"},
       {"999999991"}},
  };
  for (const MergeCase& c : cases) {
    SCOPED_TRACE(c.name);
    SelectionTestDatabase db;
    db.WriteSelectionFile(kA, CrLfLines(c.first));
    db.WriteSelectionFile(kB, CrLfLines(c.second));
    const std::string a = SelectionFilePath(kA);
    const std::string b = SelectionFilePath(kB);
    ASSERT_TRUE(MergeSelectionFiles(a, b, SelectionFilePath(kU), MergeOperator::kUnion));
    ASSERT_TRUE(MergeSelectionFiles(a, b, SelectionFilePath(kI), MergeOperator::kIntersection));
    EXPECT_EQ(db.ReadSelectionFile(kU), CrLfLines(c.union_result));
    EXPECT_EQ(db.ReadSelectionFile(kI), CrLfLines(c.intersection_result));
    // Merging in the other order gives the same files.
    ASSERT_TRUE(MergeSelectionFiles(b, a, SelectionFilePath(kU2), MergeOperator::kUnion));
    EXPECT_EQ(db.ReadSelectionFile(kU2), CrLfLines(c.union_result));
  }
}

TEST(MergeTest, OddLinesAreReadLeniently) {
  struct Case {
    const char* name;
    std::string bytes;
    Lines codes;
  };
  const std::vector<Case> cases = {
      {"no final line end", "100000011\r\n100000021", {"100000011", "100000021"}},
      {"bare line feeds", "100000011\n100000021\n", {"100000011", "100000021"}},
      {"blank lines", "\r\n100000011\r\n\r\n   \r\n100000021\r\n\r\n", {"100000011", "100000021"}},
      {"over-long line cut to a code",
       "100000011EXTRA TEXT\r\n100000021\r\n",
       {"100000011", "100000021"}},
      {"only blank lines", "\r\n\r\n\n", {}},
      {"empty file", "", {}},
      {"binary bytes kept as they are",
       std::string("1000\x00\xff"
                   "0011\r\n",
                   12),
       {std::string("1000\x00\xff"
                    "001",
                    9)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SelectionTestDatabase db;
    db.WriteSelectionFile(kA, c.bytes);
    SelectionFileReader reader(SelectionFilePath(kA));
    Lines read;
    for (std::string code; reader.Next(code);) read.push_back(code);
    EXPECT_EQ(read, c.codes);
    // A union with an empty file rewrites the file cleanly.
    db.WriteSelectionFile(kE, "");
    ASSERT_TRUE(MergeSelectionFiles(SelectionFilePath(kA), SelectionFilePath(kE),
                                    SelectionFilePath(kU), MergeOperator::kUnion));
    EXPECT_EQ(db.ReadSelectionFile(kU), CrLfLines(c.codes));
  }
}

TEST(MergeTest, MissingInputsCountAsEmpty) {
  SelectionTestDatabase db;
  db.WriteSelectionFile(kA, CrLfLines({"100000011"}));
  ASSERT_TRUE(MergeSelectionFiles(SelectionFilePath(kA), SelectionFilePath(kNoFile),
                                  SelectionFilePath(kU), MergeOperator::kUnion));
  EXPECT_EQ(db.ReadSelectionFile(kU), CrLfLines({"100000011"}));
  ASSERT_TRUE(MergeSelectionFiles(SelectionFilePath(kA), "", SelectionFilePath(kI),
                                  MergeOperator::kIntersection));
  EXPECT_TRUE(db.SelectionFileExists(kI));
  EXPECT_EQ(db.ReadSelectionFile(kI), "");
}

TEST(SelectionFileTest, PathsNeverLeaveTheDataDirectory) {
  SelectionTestDatabase db;
  EXPECT_EQ(SelectionFilePath("01000001"), (db.data_directory() / "01000001.EXT").string());
  // Codes that the record engine or another query's files would not keep apart
  // (src/db/query_code.h) name nothing either.
  for (const char* bad : {"", ".", "..", "../x", "a/b", "a\\b", "0100:001", "0100a001", "A"}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(SelectionFilePath(bad), "");
  }
  // A writer without a path fails and writes nothing.
  SelectionFileWriter writer("");
  EXPECT_FALSE(writer.ok());
  writer.Write("100000011");
  EXPECT_FALSE(writer.Commit());
}

TEST(SelectionFileTest, UncommittedWriterLeavesNoFileUnderTheFinalName) {
  SelectionTestDatabase db;
  const std::string path = SelectionFilePath("01000001");
  {
    SelectionFileWriter writer(path);
    ASSERT_TRUE(writer.ok());
    writer.Write("100000011");
    EXPECT_FALSE(fs::exists(path));
  }  // dropped, as when a run stops half-way
  EXPECT_FALSE(fs::exists(path));
  EXPECT_TRUE(TemporaryFiles(db).empty());

  // A previous complete file stays until the new one is complete.
  db.WriteSelectionFile("01000001", CrLfLines({"100000099"}));
  {
    SelectionFileWriter writer(path);
    writer.Write("100000011");
    EXPECT_EQ(db.ReadSelectionFile("01000001"), CrLfLines({"100000099"}));
    ASSERT_TRUE(writer.Commit());
  }
  EXPECT_EQ(db.ReadSelectionFile("01000001"), CrLfLines({"100000011"}));
  EXPECT_TRUE(TemporaryFiles(db).empty());
}

TEST(SelectionFileTest, ProcessKilledWhileWritingLeavesNoFinalFile) {
  SelectionTestDatabase db;
  const std::string path = SelectionFilePath("01000002");
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    SelectionFileWriter writer(path);
    for (int i = 0; i < 100000; ++i) writer.Write("100000011");
    _exit(0);  // ends without Commit(): no destructor runs
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_FALSE(fs::exists(path));
}

// A commit that fails (here the temporary file vanished under the writer)
// keeps the earlier file whole: the caller reports the failure.
TEST(SelectionFileTest, FailedCommitKeepsTheEarlierFile) {
  SelectionTestDatabase db;
  db.WriteSelectionFile("01000003", CrLfLines({"100000099"}));
  SelectionFileWriter writer(SelectionFilePath("01000003"));
  ASSERT_TRUE(writer.ok());
  writer.Write("100000011");
  for (const fs::path& temporary : TemporaryFiles(db)) fs::remove(temporary);
  EXPECT_FALSE(writer.Commit());
  EXPECT_EQ(db.ReadSelectionFile("01000003"), CrLfLines({"100000099"}));
  // A folder in the way of the final name: the rename fails, nothing goes.
  fs::create_directories(db.data_directory() / "01000004.EXT" / "inside");
  SelectionFileWriter blocked(SelectionFilePath("01000004"));
  blocked.Write("100000011");
  EXPECT_FALSE(blocked.Commit());
  EXPECT_TRUE(fs::is_directory(db.data_directory() / "01000004.EXT" / "inside"));
  EXPECT_TRUE(TemporaryFiles(db).empty());
}

TEST(MergeGroupsTest, NestedGroupsMergeInnermostFirst) {
  SelectionTestDatabase db;
  // (A ET B) OU (C OU D)
  db.WriteSelectionFile("01000001", CrLfLines({"100000011", "100000021", "100000031"}));
  db.WriteSelectionFile("01000002", CrLfLines({"100000021", "100000031", "100000041"}));
  db.WriteSelectionFile("01000003", CrLfLines({"100000051"}));
  db.WriteSelectionFile("01000004", CrLfLines({"100000011", "100000051", "100000061"}));
  TokenList list;
  const Lines tokens = {"(01000012", "(01000010", "01000001", "ET",       "01000002", ")", "OU",
                        "(01000011", "01000003",  "OU",       "01000004", ")",        ")"};
  for (size_t i = 0; i < tokens.size(); ++i) list.tokens[i + 1] = tokens[i];
  list.count = static_cast<int>(tokens.size());
  EXPECT_EQ(MergeGroups(list), 3);
  EXPECT_EQ(list.count, 1);
  EXPECT_EQ(list.Token(1), "01000012");
  EXPECT_EQ(db.SelectionLines("01000010"), (Lines{"100000021", "100000031"}));
  EXPECT_EQ(db.SelectionLines("01000011"), (Lines{"100000011", "100000051", "100000061"}));
  EXPECT_EQ(db.SelectionLines("01000012"),
            (Lines{"100000011", "100000021", "100000031", "100000051", "100000061"}));
}

TEST(MergeGroupsTest, QueryWithItselfKeepsItsSelection) {
  SelectionTestDatabase db;
  const Lines a = {"100000011", "100000021"};
  db.WriteSelectionFile("01000001", CrLfLines(a));
  for (const char* op : {"OU", "ET"}) {
    SCOPED_TRACE(op);
    TokenList list;
    const Lines tokens = {"(01000010", "01000001", op, "01000001", ")"};
    for (size_t i = 0; i < tokens.size(); ++i) list.tokens[i + 1] = tokens[i];
    list.count = 5;
    EXPECT_EQ(MergeGroups(list), 1);
    EXPECT_EQ(db.SelectionLines("01000010"), a);
    EXPECT_EQ(db.SelectionLines("01000001"), a);
  }
}

TEST(MergeGroupsTest, MalformedListsAreNotMerged) {
  SelectionTestDatabase db;
  const std::vector<Lines> lists = {
      {")"},
      {"01000001", ")"},
      {"(01000010", "01000001", "OU", ")"},
      {"(01000010", "01000001", "XX", "01000002", ")"},
      {"(", "01000001", "OU", "01000002", ")"},
      {"(01000010", "(01000011", "OU", "01000002", ")"},
  };
  for (const Lines& tokens : lists) {
    TokenList list;
    for (size_t i = 0; i < tokens.size(); ++i) list.tokens[i + 1] = tokens[i];
    list.count = static_cast<int>(tokens.size());
    EXPECT_EQ(MergeGroups(list), -1) << tokens.size();
  }
  EXPECT_FALSE(db.SelectionFileExists("01000010"));
}

TEST(MergeGroupsTest, ElementaryQueryMergesNothing) {
  SelectionTestDatabase db;
  TokenList list;
  list.tokens[1] = "01000001";
  list.count = 1;
  EXPECT_EQ(MergeGroups(list), 0);
  EXPECT_EQ(list.Token(1), "01000001");
}

}  // namespace
}  // namespace vz::selection
