#include "src/util/accents.h"

#include <array>

namespace vz::util {
namespace {

constexpr std::array<char, 256> MakeFoldTable() {
  std::array<char, 256> table{};
  for (int i = 0; i < 256; ++i) table[i] = static_cast<char>(i);
  struct Fold {
    unsigned char letter;
    char plain;
  };
  constexpr Fold kFolds[] = {
      {0xC4, 'a'}, {0xC5, 'a'}, {0xE0, 'a'}, {0xE1, 'a'},
      {0xE2, 'a'}, {0xE4, 'a'}, {0xE5, 'a'},               // Ä Å à á â ä å
      {0xC7, 'c'}, {0xE7, 'c'},                            // Ç ç
      {0xE8, 'e'}, {0xE9, 'e'}, {0xEA, 'e'}, {0xEB, 'e'},  // è é ê ë
      {0xEC, 'i'}, {0xED, 'i'}, {0xEE, 'i'}, {0xEF, 'i'},  // ì í î ï
      {0xD6, 'o'}, {0xF2, 'o'}, {0xF4, 'o'}, {0xF6, 'o'},  // Ö ò ô ö
      {0xDC, 'u'}, {0xF9, 'u'}, {0xFA, 'u'}, {0xFB, 'u'},  // Ü ù ú û
  };
  for (const Fold& f : kFolds) table[f.letter] = f.plain;
  return table;
}

constexpr std::array<char, 256> kFoldTable = MakeFoldTable();

}  // namespace

std::string FoldAccents(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = kFoldTable[static_cast<unsigned char>(c)];
  return out;
}

std::string UpperWithoutAccents(std::string_view text) {
  std::string out = FoldAccents(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

}  // namespace vz::util
