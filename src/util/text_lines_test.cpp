// Lines of a text read whole: CR LF and LF ends, a last line without its end,
// empty lines kept.
#include "src/util/text_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vz::util {
namespace {

TEST(TakeLine, CutsAtEachLineFeedAndDropsTheCarriageReturnBeforeIt) {
  const struct {
    const char* name;
    std::string_view text;
    std::vector<std::string_view> lines;
  } cases[] = {
      {"empty text: no line", "", {}},
      {"CR LF ends", "A\r\nBC\r\n", {"A", "BC"}},
      {"LF ends", "A\nBC\n", {"A", "BC"}},
      {"last line without its end", "A\r\nB", {"A", "B"}},
      {"empty lines kept", "\r\n\nA\r\n", {"", "", "A"}},
      {"a CR inside a line stays", "A\rB\r\n", {"A\rB"}},
      {"a CR at the very end goes", "A\r", {"A"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string_view> lines;
    for (std::string_view rest = c.text; !rest.empty();) lines.push_back(TakeLine(rest));
    EXPECT_EQ(lines, c.lines);
  }
}

}  // namespace
}  // namespace vz::util
