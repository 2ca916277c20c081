// The rule for query codes that name files: which codes are usable, and that
// usable codes never meet another code's files.
#include "src/db/query_code.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/engine/analysis.h"
#include "platform/os/ascii_case.h"
#include "platform/os/cp1252.h"

namespace vz::db {
namespace {

struct CodeCase {
  std::string code;
  bool usable;
  const char* why;
};

// "0100" + one character + "001".
std::string With(char c) {
  return std::string("0100") + c + "001";
}

const CodeCase kCases[] = {
    {"01000001", true, "prefix and six-digit number"},
    {"00000000", true, "all digits"},
    {"REQ00007", true, "capital letters"},
    {"ZZZZZZZZ", true, "last capital"},
    {"", false, "empty"},
    {"0100001", false, "seven characters"},
    {"010000011", false, "nine characters"},
    {With(':'), false, "the engine refuses ':' in a physical name"},
    {With('/'), false, "path separator"},
    {With('\\'), false, "Windows path separator"},
    {"../../x1", false, "climbs out of the data directory"},
    {With('\0'), false, "NUL"},
    {With('\x01'), false, "control character"},
    {With('\t'), false, "TAB"},
    {With('\x7F'), false, "DEL"},
    {With(' '), false, "blank"},
    {"0100001 ", false, "trailing blank"},
    {With('a'), false, "lower case: the engine upper-cases it onto 0100A001"},
    {With('_'), false, "the labels' safe name of 0100:001"},
    {With('-'), false, "a character the safe names keep, but no code uses"},
    {With('.'), false, "dot"},
    {With('"'), false, "the engine refuses '\"'"},
    {With('\xC9'), false, "accented letter (cp1252)"},
};

TEST(QueryCodeTest, UsableCodesTable) {
  for (const CodeCase& c : kCases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(IsUsableQueryCode(c.code), c.usable);
  }
}

// Every usable code is a physical name the engine accepts and that it keeps
// as written, and no two usable codes fold to one name when case is ignored.
TEST(QueryCodeTest, UsableCodesAreEnginePhysicalNamesThatNeverCollide) {
  std::set<std::string> folded;
  size_t usable = 0;
  for (const CodeCase& c : kCases) {
    if (!c.usable) continue;
    SCOPED_TRACE(c.code);
    ++usable;
    EXPECT_TRUE(engine::IsValidPhysicalName(c.code));
    EXPECT_EQ(os::AsciiUpper(c.code), c.code);
    std::string lower = c.code;
    for (char& ch : lower) ch = static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch + 32 : ch);
    EXPECT_TRUE(folded.insert(lower).second);
  }
  EXPECT_EQ(usable, 4u);
  // The pairs an earlier rule let through onto one file are now refused.
  EXPECT_FALSE(IsUsableQueryCode("0100a001") && IsUsableQueryCode("0100A001"));
  EXPECT_FALSE(IsUsableQueryCode("0100:001") && IsUsableQueryCode("0100_001"));
}

TEST(QueryCodeTest, RefusalNamesTheCodeReadably) {
  EXPECT_EQ(os::Utf8(QueryCodeRefusal("0100:001", "rien n'est écrit")),
            "Le code de requête « 0100:001 » ne peut pas nommer de fichier (8 chiffres ou "
            "lettres majuscules attendus) : rien n'est écrit.");
  const std::string control = os::Utf8(QueryCodeRefusal(std::string("01\x01\0x", 5), "x"));
  EXPECT_NE(control.find("« 01??x »"), std::string::npos) << control;
  const std::string long_code = os::Utf8(QueryCodeRefusal(std::string(300, '9'), "x"));
  EXPECT_NE(long_code.find("« " + std::string(20, '9') + "... »"), std::string::npos);
}

}  // namespace
}  // namespace vz::db
