#include "src/util/accents.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/os/cp1252.h"

namespace vz::util {
namespace {

using os::Cp1252;

TEST(AccentsTest, ExactlyTheListedLettersFold) {
  const std::map<std::string, char> folds = {
      {"Ä", 'a'}, {"Å", 'a'}, {"à", 'a'}, {"á", 'a'}, {"â", 'a'}, {"ä", 'a'}, {"å", 'a'},
      {"Ç", 'c'}, {"ç", 'c'}, {"è", 'e'}, {"é", 'e'}, {"ê", 'e'}, {"ë", 'e'}, {"ì", 'i'},
      {"í", 'i'}, {"î", 'i'}, {"ï", 'i'}, {"Ö", 'o'}, {"ò", 'o'}, {"ô", 'o'}, {"ö", 'o'},
      {"Ü", 'u'}, {"ù", 'u'}, {"ú", 'u'}, {"û", 'u'},
  };
  std::map<unsigned char, char> by_byte;
  for (const auto& [letter, plain] : folds) {
    const std::string byte = Cp1252(letter);
    ASSERT_EQ(byte.size(), 1u) << letter;
    by_byte[static_cast<unsigned char>(byte[0])] = plain;
  }
  for (int b = 0; b < 256; ++b) {
    const std::string one(1, static_cast<char>(b));
    const auto it = by_byte.find(static_cast<unsigned char>(b));
    const std::string expected = it == by_byte.end() ? one : std::string(1, it->second);
    EXPECT_EQ(FoldAccents(one), expected) << "byte " << b;
  }
}

TEST(AccentsTest, UpperCaseWithoutAccents) {
  struct Case {
    const char* utf8;
    const char* expected;
  };
  const Case cases[] = {
      {"Société", "SOCIETE"},
      {"Ãe", "ÃE"},        // an unlisted letter stays
      {"Élève", "ÉLEVE"},  // É is not in the table
      {"exécuter", "EXECUTER"},
      {"ÇA ÖL ÜBER", "CA OL UBER"},  // folded upper-case letters become upper again
      {"ñ ó ø ß", "ñ ó ø ß"},
      {"abc-XYZ 09", "ABC-XYZ 09"},
      {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.utf8);
    EXPECT_EQ(UpperWithoutAccents(Cp1252(c.utf8)), Cp1252(c.expected));
  }
  EXPECT_EQ(FoldAccents(Cp1252("Séparée    ")), "Separee    ");
}

}  // namespace
}  // namespace vz::util
