#include "platform/os/profile_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/os/whole_file.h"

namespace vz::os {
namespace {

namespace fs = std::filesystem;

class ProfileFileTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        fs::temp_directory_path() / ("vz_profile_" + std::to_string(::getpid()) + "_" +
                                     testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    path_ = (dir_ / "PARAM.DTA").string();
  }
  void TearDown() override {
    std::error_code ignored;
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(dir_, ignored);
  }
  void Put(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
  std::string Get() {
    std::string text;
    ReadWholeFile(path_, &text);
    return text;
  }

  fs::path dir_;
  std::string path_;
};

TEST(ProfileTextTest, ReadingFollowsTheLineRules) {
  struct Case {
    const char* what;
    std::string text;
    const char* section;
    const char* key;
    const char* expected;
  };
  const Case cases[] = {
      {"plain", "[COMPOSANTS]\nREPERTOIREF=C:\\DATA\n", "COMPOSANTS", "REPERTOIREF", "C:\\DATA"},
      {"case of names", "[composants]\nRepertoireF=x\n", "COMPOSANTS", "REPERTOIREF", "x"},
      {"CR LF", "[A]\r\nK=v\r\nL=w\r\n", "A", "L", "w"},
      {"spaces trimmed", "[A]\nK =   v w   \n", "A", "K", "v w"},
      {"blanks round names", "  [ A ]  \n\tK\t=v\n", "A", "K", "v"},
      {"tabs in values kept", "[A]\nK=a\tb\t\n", "A", "K", "a\tb\t"},
      {"missing section", "[A]\nK=v\n", "B", "K", ""},
      {"missing key", "[A]\nK=v\n", "A", "X", ""},
      {"key of another section", "[A]\nK=1\n[B]\nX=2\n", "A", "X", ""},
      {"first of two keys", "[A]\nK=1\nk=2\n", "A", "K", "1"},
      {"first of two sections", "[A]\nK=1\n[B]\n[a]\nK=2\nX=3\n", "A", "K", "1"},
      {"second section ignored", "[A]\nK=1\n[B]\n[a]\nX=3\n", "A", "X", ""},
      {"comment line", "[A]\n;K=1\nK=2\n", "A", "K", "2"},
      {"line without =", "[A]\nK\nK=2\n", "A", "K", "2"},
      {"= in value", "[A]\nK=a=b\n", "A", "K", "a=b"},
      {"empty value", "[A]\nK=\n", "A", "K", ""},
      {"no final newline", "[A]\nK=v", "A", "K", "v"},
      {"byte order mark", "\xEF\xBB\xBF[A]\nK=v\n", "A", "K", "v"},
      {"bracket without close", "[A]\n[B\nK=v\n", "A", "K", "v"},
      {"keys before any section", "K=0\n[A]\nK=v\n", "A", "K", "v"},
      {"empty file", "", "A", "K", ""},
      {"CR alone kept in line", "[A]\rK=v\r", "A", "K", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ProfileValue(c.text, c.section, c.key), c.expected);
  }
  EXPECT_EQ(ProfileValue(std::string("[A]\nK=a\0b\n", 10), "A", "K"), std::string("a\0b", 3));
}

TEST(ProfileTextTest, SectionListsEveryKeyLineInOrder) {
  const auto entries = ParseProfileSection("[A]\nB=1\nC = 2\nB=3\n[D]\nE=4\n", "a");
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].key, "B");
  EXPECT_EQ(entries[1].key, "C");
  EXPECT_EQ(entries[1].value, "2");
  EXPECT_EQ(entries[2].value, "3");
}

TEST(ProfileTextTest, WritingKeepsEveryOtherByte) {
  struct Case {
    const char* what;
    std::string before;
    const char* section;
    const char* key;
    const char* value;
    std::string after;
  };
  const Case cases[] = {
      {"new file", "", "COMPOSANTS", "NUMREQ", "000012,", "[COMPOSANTS]\r\nNUMREQ=000012,\r\n"},
      {"replace, LF kept", "; head\n[A]\nK = old\nL=1\n", "a", "k", "new",
       "; head\n[A]\nK =new\nL=1\n"},
      {"replace, CR LF kept", "[A]\r\nK=old\r\n[B]\r\nK=b\r\n", "A", "K", "x",
       "[A]\r\nK=x\r\n[B]\r\nK=b\r\n"},
      {"replace in last line without newline", "[A]\nK=old", "A", "K", "x", "[A]\nK=x"},
      {"add key after last filled line", "[A]\nK=1\n\n[B]\nX=2\n", "A", "L", "v",
       "[A]\nK=1\nL=v\n\n[B]\nX=2\n"},
      {"add key to empty section", "[A]\n[B]\n", "A", "K", "v", "[A]\nK=v\n[B]\n"},
      {"add key, section last without newline", "[A]\nK=1", "A", "L", "2", "[A]\nK=1\nL=2\n"},
      {"add section, LF file", "[A]\nK=1\n", "B", "K", "2", "[A]\nK=1\n[B]\nK=2\n"},
      {"add section after missing newline", "[A]\r\nK=1", "B", "K", "2",
       "[A]\r\nK=1\r\n[B]\r\nK=2\r\n"},
      {"first of duplicate sections", "[A]\nK=1\n[A]\nK=2\n", "A", "K", "x",
       "[A]\nK=x\n[A]\nK=2\n"},
      {"first of duplicate keys", "[A]\nK=1\nK=2\n", "A", "K", "x", "[A]\nK=x\nK=2\n"},
      {"odd lines kept", "junk\x01\xFF\n[A]\nno equals\n;K=c\nK=1\n", "A", "K", "2",
       "junk\x01\xFF\n[A]\nno equals\n;K=c\nK=2\n"},
      {"byte order mark kept", "\xEF\xBB\xBFK=0\n[A]\nK=1\n", "A", "K", "2",
       "\xEF\xBB\xBFK=0\n[A]\nK=2\n"},
      {"key at file start with mark", "\xEF\xBB\xBF[A]\n", "A", "K", "v", "\xEF\xBB\xBF[A]\nK=v\n"},
      {"trailing tabs of a value", "", "S", "EX_ETIQUETTE", "1\t2\t\t",
       "[S]\r\nEX_ETIQUETTE=1\t2\t\t\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(IsWritableProfileEntry(c.section, c.key, c.value));
    const std::string after = SetProfileValue(c.before, c.section, c.key, c.value);
    EXPECT_EQ(after, c.after);
    EXPECT_EQ(ProfileValue(after, c.section, c.key), c.value);
  }
}

TEST(ProfileTextTest, EntriesThatWouldBreakTheFileAreRefused) {
  struct Case {
    std::string section, key, value;
  };
  const Case cases[] = {
      {"", "K", "v"},
      {"  ", "K", "v"},
      {"A", "", "v"},
      {"A", " \t", "v"},
      {"A]", "K", "v"},
      {"A\nB", "K", "v"},
      {"A", "K=1", "v"},
      {"A", "[K", "v"},
      {"A", ";K", "v"},
      {"A", "K\r", "v"},
      {"A", "K", "v\nL=x"},
      {"A", "K", "v\r"},
      {std::string("A\0", 2), "K", "v"},
      {"A", std::string("K\0", 2), "v"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.section + "|" + c.key + "|" + c.value));
    EXPECT_FALSE(IsWritableProfileEntry(c.section, c.key, c.value));
  }
  EXPECT_TRUE(IsWritableProfileEntry("A", "K", std::string("a\0b", 3)));
}

TEST_F(ProfileFileTest, MissingFileReadsEmptyAndWriteCreatesIt) {
  EXPECT_EQ(ReadProfileString(path_, "COMPOSANTS", "REPERTOIREF"), "");
  EXPECT_TRUE(ReadProfileSection(path_, "COMPOSANTS").empty());
  EXPECT_FALSE(fs::exists(path_));
  ASSERT_TRUE(WriteProfileString(path_, "COMPOSANTS", "NUMREQ", "000012,"));
  EXPECT_EQ(ReadProfileString(path_, "composants", "numreq"), "000012,");
  ASSERT_TRUE(WriteProfileString(path_, "COMPOSANTS", "NUMREQ", "000013,"));
  EXPECT_EQ(Get(), "[COMPOSANTS]\r\nNUMREQ=000013,\r\n");
  // No temporary file is left beside it.
  int files = 0;
  for (const auto& entry : fs::directory_iterator(dir_)) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 1);
}

TEST_F(ProfileFileTest, HostileFilesNeverStopTheReader) {
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary.push_back(static_cast<char>((i * 37) & 0xFF));
  const std::string long_line(1 << 20, 'x');
  const std::string cases[] = {
      binary,
      std::string(5000, '\0'),
      "[COMPOSANTS]\nK" + long_line + "\nREPERTOIREF=" + long_line,
      "[COMPOSANTS]\n" + binary + "\nREPERTOIREF=ok",
      "[[[[]]]]\n====\n[\n]\n=\n[COMPOSANTS]\n=v\nREPERTOIREF",
      "\r\r\r\n\n\n[COMPOSANTS",
  };
  for (const std::string& text : cases) {
    Put(text);
    const std::string value = ReadProfileString(path_, "COMPOSANTS", "REPERTOIREF");
    EXPECT_LE(value.size(), text.size());
    // Writing keeps the hostile bytes around the new line.
    ASSERT_TRUE(WriteProfileString(path_, "COMPOSANTS", "NUMREQ", "1,"));
    EXPECT_EQ(ReadProfileString(path_, "COMPOSANTS", "NUMREQ"), "1,");
    EXPECT_NE(Get().find(text.substr(0, 100)), std::string::npos);
  }
  Put("[COMPOSANTS]\n" + binary + "\nREPERTOIREF=ok");
  EXPECT_EQ(ReadProfileString(path_, "COMPOSANTS", "REPERTOIREF"), "ok");
  Put("[COMPOSANTS]\nREPERTOIREF=" + long_line);
  EXPECT_EQ(ReadProfileString(path_, "COMPOSANTS", "REPERTOIREF"), long_line);
}

// A parameter file that is a pipe reads as a missing one, at once: start-up
// never waits for a writer that will not come.
TEST_F(ProfileFileTest, APipeInPlaceOfTheFileReadsEmptyWithoutWaiting) {
  ASSERT_EQ(::mkfifo(path_.c_str(), 0600), 0);
  EXPECT_EQ(ReadProfileString(path_, "COMPOSANTS", "REPERTOIREF"), "");
  EXPECT_TRUE(ReadProfileSection(path_, "COMPOSANTS").empty());
  std::string text;
  EXPECT_FALSE(ReadWholeFile(path_, &text));
}

TEST_F(ProfileFileTest, WriteFailuresChangeNothing) {
  // A directory in the file's place.
  fs::create_directories(path_);
  EXPECT_EQ(ReadProfileString(path_, "A", "K"), "");
  EXPECT_FALSE(WriteProfileString(path_, "A", "K", "v"));
  EXPECT_TRUE(fs::is_directory(path_));
  fs::remove(path_);
  // A directory that does not exist.
  EXPECT_FALSE(WriteProfileString((dir_ / "none" / "P.DTA").string(), "A", "K", "v"));
  // A refused entry leaves the file as it was.
  Put("[A]\nK=1\n");
  EXPECT_FALSE(WriteProfileString(path_, "A", "K", "2\n[B]"));
  EXPECT_EQ(Get(), "[A]\nK=1\n");
  if (::geteuid() != 0) {
    // An unreadable file is never replaced by a fresh one.
    ::chmod(path_.c_str(), 0);
    EXPECT_FALSE(WriteProfileString(path_, "A", "L", "2"));
    ::chmod(path_.c_str(), 0644);
    EXPECT_EQ(Get(), "[A]\nK=1\n");
    // A read-only directory: the old file stays whole.
    ::chmod(dir_.c_str(), 0555);
    EXPECT_FALSE(WriteProfileString(path_, "A", "K", "3"));
    ::chmod(dir_.c_str(), 0755);
    EXPECT_EQ(Get(), "[A]\nK=1\n");
  }
}

TEST_F(ProfileFileTest, WritingKeepsModeAndSymbolicLink) {
  Put("[A]\nK=1\n");
  ::chmod(path_.c_str(), 0600);
  const std::string link = (dir_ / "LINK.DTA").string();
  fs::create_symlink(path_, link);
  ASSERT_TRUE(WriteProfileString(link, "A", "K", "2"));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Get(), "[A]\nK=2\n");
  struct stat info;
  ASSERT_EQ(::stat(path_.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

}  // namespace
}  // namespace vz::os
