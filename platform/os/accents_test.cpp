#include "platform/os/accents.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/os/cp1252.h"

namespace vz::os {
namespace {

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

// Every byte against the table: the accented letters listed here take their
// plain upper-case letter, a-z are upper-cased, every other byte is kept.
TEST(AccentsTest, EveryByteHasItsUpperPlainLetter) {
  const std::pair<const char*, char> letters[] = {
      {"ÀÁÂÃÄÅàáâãäå", 'A'},   {"Çç", 'C'}, {"ÈÉÊËèéêë", 'E'}, {"ÌÍÎÏìíîï", 'I'}, {"Ññ", 'N'},
      {"ÒÓÔÕÖØòóôõöøŒœ", 'O'}, {"Šš", 'S'}, {"ÙÚÛÜùúûü", 'U'}, {"ÝýÿŸ", 'Y'},     {"Žž", 'Z'},
  };
  std::map<unsigned char, char> by_byte;
  for (const auto& [utf8, plain] : letters) {
    for (char byte : Cp1252(utf8)) by_byte[static_cast<unsigned char>(byte)] = plain;
  }
  ASSERT_EQ(by_byte.size(), 62u);
  for (int b = 0; b < 256; ++b) {
    const auto it = by_byte.find(static_cast<unsigned char>(b));
    char expected = static_cast<char>(b);
    if (it != by_byte.end()) expected = it->second;
    if (b >= 'a' && b <= 'z') expected = static_cast<char>(b - 'a' + 'A');
    EXPECT_EQ(UpperPlainLetter(static_cast<char>(b)), expected) << "byte " << b;
    // Folding a folded letter changes nothing: names compare with folded keys.
    EXPECT_EQ(UpperPlainLetter(expected), expected) << "byte " << b;
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
}  // namespace vz::os
