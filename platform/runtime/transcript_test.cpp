#include "platform/runtime/transcript.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/runtime/runtime_test_files.h"

namespace vz::runtime {
namespace {

TEST(Transcript, EscapesControlCharactersAndConvertsToUtf8) {
  struct Case {
    std::string in;
    std::string out;
  } cases[] = {
      {"plain", "plain"},
      {"a\tb", "a\\tb"},
      {"a\r\nb", "a\\r\\nb"},
      {"back\\slash", "back\\\\slash"},
      {std::string("nul\0x", 5), "nul\\x00x"},
      {"\x01\x1F\x7F", "\\x01\\x1F\\x7F"},
      {"d\xE9j\xE0 \x80", "d\xC3\xA9j\xC3\xA0 \xE2\x82\xAC"},
  };
  for (const auto& c : cases) EXPECT_EQ(Transcript::Escape(c.in), c.out) << c.in;
}

TEST(Transcript, AppendsAndInterleavesWithAnotherWriter) {
  TempDir dir;
  const auto path = dir.path() / "t.txt";
  WriteFile(path, "earlier line\n");
  {
    Transcript transcript(path.string());
    ASSERT_TRUE(transcript.enabled());
    transcript.Command("Ouvre,MENU", 0, "", "");
    // Another writer of the same file, as the record engine's log.
    const int other = ::open(path.c_str(), O_WRONLY | O_APPEND);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::write(other, "le LE_Hlitpremier\n", 18), 18);
    transcript.Problem("unknown field \"X\"");
    ASSERT_EQ(::write(other, "le LE_Hlitsuivant\n", 18), 18);
    ::close(other);
    transcript.Event("input MENU ended");
  }
  EXPECT_EQ(ReadLines(path), (std::vector<std::string>{
                                 "earlier line",
                                 "wd Ouvre,MENU -> int=0 text=\"\" code=\"\"",
                                 "le LE_Hlitpremier",
                                 "wd ! unknown field \"X\"",
                                 "le LE_Hlitsuivant",
                                 "wd . input MENU ended",
                             }));
}

TEST(Transcript, WithoutAFileItWritesNothingAndDoesNotFail) {
  Transcript none;
  EXPECT_FALSE(none.enabled());
  none.Command("x", 1, "y", "z");
  none.Problem("p");
  Transcript unopenable("/nonexistent-dir/for/sure/t.txt");
  EXPECT_FALSE(unopenable.enabled());
  unopenable.Event("e");
}

}  // namespace
}  // namespace vz::runtime
