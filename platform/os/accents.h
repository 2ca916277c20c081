// Accented letters of code page 1252 and their plain letters: the one table
// of this system, and the two folding rules built on it.
//
// The table gives every cp1252 byte its letter upper-cased and without its
// accent: a-z -> A-Z; À-Å à-å -> A; Ç ç -> C; È-Ë è-ë -> E; Ì-Ï ì-ï -> I;
// Ñ ñ -> N; Ò-Ö Ø ò-ö ø Œ œ -> O (the ligature by its first letter);
// Š š -> S; Ù-Ü ù-ü -> U; Ý ý ÿ Ÿ -> Y; Ž ž -> Z. Every other byte (digits,
// signs, Æ, Ð, Þ, ß, æ, ð, þ, the code page's other signs) is kept.
//
//   UpperPlainLetter   the table itself: names of the screen runtime (verbs,
//                      windows, fields, procedures) compare folded by it, so
//                      "Exécute", "EXECUTE" and "execute" are one name.
//   FoldAccents        the program's short list only: the 25 letters
//                      Ä Å à á â ä å Ç ç è é ê ë ì í î ï Ö ò ô ö Ü ù ú û
//                      become their plain letter in lower case; every other
//                      byte, É, ã or ó included, is kept. Record-file names
//                      and the "exécute" verb compare by it.
//
// Pure functions over constant tables; nothing fails.
#ifndef VZ_PLATFORM_OS_ACCENTS_H_
#define VZ_PLATFORM_OS_ACCENTS_H_

#include <array>
#include <string>
#include <string_view>

#include "platform/os/ascii_case.h"

namespace vz::os {
namespace accents_table {

struct PlainLetter {
  unsigned char first;
  unsigned char last;
  char plain;
};

// The accented letters by ranges of cp1252 bytes.
inline constexpr PlainLetter kAccented[] = {
    {0x8A, 0x8A, 'S'}, {0x9A, 0x9A, 'S'}, {0x8C, 0x8C, 'O'}, {0x9C, 0x9C, 'O'}, {0x8E, 0x8E, 'Z'},
    {0x9E, 0x9E, 'Z'}, {0x9F, 0x9F, 'Y'}, {0xC0, 0xC5, 'A'}, {0xC7, 0xC7, 'C'}, {0xC8, 0xCB, 'E'},
    {0xCC, 0xCF, 'I'}, {0xD1, 0xD1, 'N'}, {0xD2, 0xD6, 'O'}, {0xD8, 0xD8, 'O'}, {0xD9, 0xDC, 'U'},
    {0xDD, 0xDD, 'Y'}, {0xE0, 0xE5, 'A'}, {0xE7, 0xE7, 'C'}, {0xE8, 0xEB, 'E'}, {0xEC, 0xEF, 'I'},
    {0xF1, 0xF1, 'N'}, {0xF2, 0xF6, 'O'}, {0xF8, 0xF8, 'O'}, {0xF9, 0xFC, 'U'}, {0xFD, 0xFD, 'Y'},
    {0xFF, 0xFF, 'Y'},
};

// The program's short list (FoldAccents).
inline constexpr unsigned char kListed[] = {
    0xC4, 0xC5, 0xE0, 0xE1, 0xE2, 0xE4, 0xE5,  // Ä Å à á â ä å
    0xC7, 0xE7,                                // Ç ç
    0xE8, 0xE9, 0xEA, 0xEB,                    // è é ê ë
    0xEC, 0xED, 0xEE, 0xEF,                    // ì í î ï
    0xD6, 0xF2, 0xF4, 0xF6,                    // Ö ò ô ö
    0xDC, 0xF9, 0xFA, 0xFB,                    // Ü ù ú û
};

constexpr std::array<char, 256> MakeUpperPlain() {
  std::array<char, 256> table{};
  for (int c = 0; c < 256; ++c) table[c] = AsciiUpper(static_cast<char>(c));
  for (const PlainLetter& range : kAccented) {
    for (int c = range.first; c <= range.last; ++c) table[c] = range.plain;
  }
  return table;
}
inline constexpr std::array<char, 256> kUpperPlain = MakeUpperPlain();

constexpr std::array<char, 256> MakeListedFold() {
  std::array<char, 256> table{};
  for (int c = 0; c < 256; ++c) table[c] = static_cast<char>(c);
  for (unsigned char c : kListed) table[c] = AsciiLower(kUpperPlain[c]);
  return table;
}
inline constexpr std::array<char, 256> kListedFold = MakeListedFold();

}  // namespace accents_table

// The byte upper-cased without its accent ("é" -> 'E', 'a' -> 'A').
constexpr char UpperPlainLetter(char c) {
  return accents_table::kUpperPlain[static_cast<unsigned char>(c)];
}

// The byte folded by the program's short list ("é" -> 'e', "É" kept).
constexpr char FoldListedAccent(char c) {
  return accents_table::kListedFold[static_cast<unsigned char>(c)];
}

// FoldListedAccent on every byte: "Séparée" -> "Separee".
std::string FoldAccents(std::string_view text);

// FoldAccents, then the ASCII letters a-z upper-cased: "Société" -> "SOCIETE",
// "Élève" -> "ÉLEVE" (É is not in the short list).
std::string UpperWithoutAccents(std::string_view text);

}  // namespace vz::os

#endif  // VZ_PLATFORM_OS_ACCENTS_H_
