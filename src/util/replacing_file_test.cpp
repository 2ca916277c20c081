// Files replaced through a temporary name: two processes replacing one name at
// once, failures that must keep the previous file, the temporary names.
#include "src/util/replacing_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/os/whole_file.h"

namespace vz::util {
namespace {

namespace fs = std::filesystem;

class ReplacingFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("vz_replacing_" + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::string Final() const { return (folder_ / "01000001.MEM").string(); }
  std::string Read(const std::string& path) const {
    std::string text;
    os::ReadWholeFile(path, &text);
    return text;
  }
  void WritePrevious() const { std::ofstream(Final(), std::ios::binary) << "previous"; }
  // Every name in the folder but the final one.
  std::vector<std::string> Others() const {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder_)) {
      if (entry.path().string() != Final()) names.push_back(entry.path().filename().string());
    }
    return names;
  }

  fs::path folder_;
};

// The contents each of two writers puts under the final name.
std::string Contents(char letter) {
  return std::string(1, letter) + std::string(512 * 1024 - 1, static_cast<char>(letter + 1));
}

// Writes Contents(letter) in slices once the start pipe is closed; the exit
// code is 0 when the commit succeeded.
[[noreturn]] void WriteInChild(const std::string& final_path, int start_fd, char letter) {
  char ignored = 0;
  while (::read(start_fd, &ignored, 1) > 0) {
  }
  ReplacingFile file(final_path);
  const std::string contents = Contents(letter);
  for (size_t at = 0; at < contents.size(); at += 4096) {
    file.Put(std::string_view(contents).substr(at, 4096));
  }
  ::_exit(file.Commit() ? 0 : 1);
}

TEST_F(ReplacingFileTest, TwoProcessesReplacingOneNameAtOnceAlwaysLeaveAWholeFile) {
  for (int round = 0; round < 8; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    WritePrevious();
    std::array<int, 2> start{};
    ASSERT_EQ(::pipe(start.data()), 0);
    std::array<pid_t, 2> children{};
    for (size_t i = 0; i < children.size(); ++i) {
      children[i] = ::fork();
      ASSERT_GE(children[i], 0);
      if (children[i] == 0) {
        ::close(start[1]);
        WriteInChild(Final(), start[0], static_cast<char>('A' + 2 * i));
      }
    }
    ::close(start[0]);
    ::close(start[1]);  // both start at once
    for (pid_t child : children) {
      int status = 0;
      ASSERT_EQ(::waitpid(child, &status, 0), child);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a commit failed";
    }
    EXPECT_TRUE(fs::exists(Final()));
    const std::string written = Read(Final());
    EXPECT_TRUE(written == Contents('A') || written == Contents('C'))
        << "the final file is not one writer's whole file (" << written.size() << " bytes)";
    EXPECT_TRUE(Others().empty());
  }
}

// In a child (the limit must not reach the test runner): a file size limit
// makes the write fail after 4 KB.
TEST_F(ReplacingFileTest, AFailedWriteKeepsThePreviousFileWhole) {
  WritePrevious();
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    ReplacingFile file(Final());
    file.Put(std::string(1 << 20, 'x'));
    ::_exit(file.Commit() ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the commit did not fail";
  EXPECT_EQ(Read(Final()), "previous");
  EXPECT_TRUE(Others().empty());
}

TEST_F(ReplacingFileTest, AFailedRenameOrCreationChangesNothing) {
  // A folder in the way of the final name: the rename fails.
  fs::create_directories(folder_ / "01000001.MEM" / "inside");
  {
    ReplacingFile file(Final());
    EXPECT_TRUE(file.ok());
    file.Put("new");
    EXPECT_FALSE(file.Commit());
  }
  EXPECT_TRUE(fs::is_directory(folder_ / "01000001.MEM" / "inside"));
  EXPECT_TRUE(Others().empty());
  // A missing folder: nothing can be created.
  ReplacingFile missing((folder_ / "missing" / "01000001.MEM").string());
  EXPECT_FALSE(missing.ok());
  EXPECT_FALSE(missing.Commit());
  EXPECT_FALSE(fs::exists(folder_ / "missing"));
  // No name at all.
  ReplacingFile none("");
  EXPECT_FALSE(none.ok());
  EXPECT_FALSE(none.Commit());
}

TEST_F(ReplacingFileTest, EachWriterHasItsOwnTemporaryFile) {
  WritePrevious();
  auto first = std::make_unique<ReplacingFile>(Final());
  ReplacingFile second(Final());
  ASSERT_TRUE(first->ok());
  ASSERT_TRUE(second.ok());
  EXPECT_NE(first->temporary_path(), second.temporary_path());
  first->Put("first");
  second.Put("second");
  first.reset();  // dropped uncommitted: only its own temporary file goes
  EXPECT_EQ(Others().size(), 1u);
  EXPECT_EQ(Read(Final()), "previous");
  ASSERT_TRUE(second.Commit());
  EXPECT_EQ(Read(Final()), "second");
  EXPECT_TRUE(Others().empty());
  EXPECT_TRUE(ReplaceFileWithBytes(Final(), "whole"));
  EXPECT_EQ(Read(Final()), "whole");
}

TEST(TemporaryNameTest, OwnerIsReadOnlyFromOurExactPattern) {
  struct Case {
    const char* name;
    bool ours;
    const char* host;
    pid_t pid;
  };
  const Case cases[] = {
      {"01000001.EXT.ws-12.4242.1.tmp", true, "ws-12", 4242},
      {"lettres.pdf.POSTE3.7.15.tmp", true, "POSTE3", 7},
      {"a.h.2147483647.9.tmp", true, "h", 2147483647},
      {"01000001.EXT.tmp", false, "", 0},          // the old shared name
      {"01000001.EXT.ws.4242.tmp", false, "", 0},  // no count
      {".ws.4242.1.tmp", false, "", 0},            // no final name
      {"a.ws.0.1.tmp", false, "", 0},              // no process 0
      {"a.ws.2147483648.1.tmp", false, "", 0},     // beyond any pid
      {"a.ws.42x.1.tmp", false, "", 0},            // pid not a number
      {"a.ws.42.1x.tmp", false, "", 0},            // count not a number
      {"a.w_s.42.1.tmp", false, "", 0},            // not a host part
      {"a..42.1.tmp", false, "", 0},               // empty host part
      {"a.ws.42.1.TMP", false, "", 0},             // another suffix
      {"a.ws.42.1.tmp.bak", false, "", 0},
      {"01000001.EXT", false, "", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<TemporaryFileOwner> owner = TemporaryFileOwnerOf(c.name);
    ASSERT_EQ(owner.has_value(), c.ours);
    if (!owner) continue;
    EXPECT_EQ(owner->host, c.host);
    EXPECT_EQ(owner->pid, c.pid);
  }
}

TEST_F(ReplacingFileTest, AWritersTemporaryNameNamesThisHostAndProcess) {
  ReplacingFile file(Final());
  ASSERT_TRUE(file.ok());
  const fs::path temporary(file.temporary_path());
  EXPECT_EQ(temporary.parent_path(), folder_);
  EXPECT_TRUE(temporary.filename().string().starts_with("01000001.MEM."));
  const std::optional<TemporaryFileOwner> owner =
      TemporaryFileOwnerOf(temporary.filename().string());
  ASSERT_TRUE(owner.has_value());
  EXPECT_EQ(owner->host, ThisHostPart());
  EXPECT_EQ(owner->pid, ::getpid());
}

}  // namespace
}  // namespace vz::util
