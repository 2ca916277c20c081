#include "platform/runtime/text_encoding.h"

#include <array>
#include <cstdint>

namespace vz::runtime {
namespace {

// Unicode code points of cp1252 bytes 0x80 to 0x9F; 0 marks an undefined byte.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::optional<char> CodePointToCp1252(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
  for (size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] != 0 && kHighControls[i] == cp) return static_cast<char>(0x80 + i);
  }
  return std::nullopt;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

constexpr char FoldByte(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<char>(c - 'a' + 'A');
  if (c < 0x80) return static_cast<char>(c);
  switch (c) {
    case 0x8A:
    case 0x9A:
      return 'S';
    case 0x8C:
    case 0x9C:
      return 'O';  // OE ligature folds to its first letter
    case 0x8E:
    case 0x9E:
      return 'Z';
    case 0x9F:
    case 0xDD:
    case 0xFD:
    case 0xFF:
      return 'Y';
    case 0xC7:
    case 0xE7:
      return 'C';
    case 0xD1:
    case 0xF1:
      return 'N';
    default:
      break;
  }
  if ((c >= 0xC0 && c <= 0xC5) || (c >= 0xE0 && c <= 0xE5)) return 'A';
  if ((c >= 0xC8 && c <= 0xCB) || (c >= 0xE8 && c <= 0xEB)) return 'E';
  if ((c >= 0xCC && c <= 0xCF) || (c >= 0xEC && c <= 0xEF)) return 'I';
  if ((c >= 0xD2 && c <= 0xD6) || c == 0xD8 || (c >= 0xF2 && c <= 0xF6) || c == 0xF8) return 'O';
  if ((c >= 0xD9 && c <= 0xDC) || (c >= 0xF9 && c <= 0xFC)) return 'U';
  return static_cast<char>(c);
}

// FoldByte for every byte, looked up: names are folded on every command.
constexpr std::array<char, 256> MakeFoldTable() {
  std::array<char, 256> table{};
  for (int c = 0; c < 256; ++c) table[c] = FoldByte(static_cast<unsigned char>(c));
  return table;
}
constexpr std::array<char, 256> kFoldTable = MakeFoldTable();

char Fold(char c) {
  return kFoldTable[static_cast<unsigned char>(c)];
}

}  // namespace

std::optional<std::string> Utf8ToCp1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    char32_t cp = 0;
    size_t extra = 0;
    if (lead < 0x80) {
      cp = lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      cp = lead & 0x1F;
      extra = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      cp = lead & 0x0F;
      extra = 2;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      cp = lead & 0x07;
      extra = 3;
    } else {
      return std::nullopt;
    }
    if (extra > 0 && i + extra >= utf8.size()) return std::nullopt;  // cut short
    for (size_t k = 1; k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(utf8[i + k]);
      if ((next & 0xC0) != 0x80) return std::nullopt;
      cp = (cp << 6) | (next & 0x3F);
    }
    // Overlong forms and surrogates are not UTF-8.
    if ((extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000) ||
        (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) {
      return std::nullopt;
    }
    const auto byte = CodePointToCp1252(cp);
    if (!byte) return std::nullopt;
    out += *byte;
    i += extra + 1;
  }
  return out;
}

std::string Cp1252ToUtf8(std::string_view cp1252) {
  std::string out;
  out.reserve(cp1252.size() + cp1252.size() / 4);
  for (char ch : cp1252) {
    const auto c = static_cast<unsigned char>(ch);
    if (c >= 0x80 && c < 0xA0) {
      const char32_t cp = kHighControls[c - 0x80];
      AppendUtf8(out, cp == 0 ? 0xFFFD : cp);
    } else {
      AppendUtf8(out, c);
    }
  }
  return out;
}

std::string FoldName(std::string_view cp1252) {
  std::string out(cp1252.size(), ' ');
  for (size_t i = 0; i < cp1252.size(); ++i)
    out[i] = Fold(cp1252[i]);
  return out;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Fold(a[i]) != Fold(b[i])) return false;
  }
  return true;
}

std::string_view TrimBlanks(std::string_view text) {
  // A plain loop: this runs on every name of every command.
  size_t first = 0;
  while (first < text.size() && (text[first] == ' ' || text[first] == '\t')) ++first;
  if (first == text.size()) return {};
  size_t last = text.size() - 1;
  while (text[last] == ' ' || text[last] == '\t') --last;
  return text.substr(first, last - first + 1);
}

}  // namespace vz::runtime
