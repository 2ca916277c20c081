#include "platform/os/cp1252.h"

#include <array>
#include <cstdint>
#include <optional>

namespace vz::os {
namespace {

// Code points of the bytes 0x80-0x9F. The unassigned bytes keep their own
// value so that no byte is lost on a round trip.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Decodes one well-formed UTF-8 sequence at text[i]. Returns its length, or 0
// when the bytes there do not start a well-formed sequence.
size_t DecodeOne(std::string_view text, size_t i, char32_t* cp) {
  const auto byte = [&](size_t k) { return static_cast<uint8_t>(text[k]); };
  const uint8_t lead = byte(i);
  size_t length;
  char32_t value;
  char32_t minimum;
  if (lead < 0x80) {
    *cp = lead;
    return 1;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, value = lead & 0x1F, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, value = lead & 0x0F, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, value = lead & 0x07, minimum = 0x10000;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  for (size_t k = 1; k < length; ++k) {
    const uint8_t next = byte(i + k);
    if ((next & 0xC0) != 0x80) return 0;
    value = (value << 6) | (next & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  *cp = value;
  return length;
}

// The cp1252 byte of a code point; nothing when the code page has none.
std::optional<char> ByteOf(char32_t code_point) {
  if (code_point < 0x80 || (code_point >= 0xA0 && code_point <= 0xFF)) {
    return static_cast<char>(code_point);
  }
  for (size_t k = 0; k < kHighControls.size(); ++k) {
    if (kHighControls[k] == code_point) return static_cast<char>(0x80 + k);
  }
  return std::nullopt;
}

// UTF-8 -> cp1252 into `out`. Each part without a cp1252 form becomes '?',
// or, when `exact`, stops the conversion: false is returned.
bool Convert(std::string_view utf8, bool exact, std::string& out) {
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    char32_t cp = 0;
    const size_t length = DecodeOne(utf8, i, &cp);
    const std::optional<char> byte = length == 0 ? std::nullopt : ByteOf(cp);
    if (!byte && exact) return false;
    out.push_back(byte.value_or('?'));
    i += length == 0 ? 1 : length;
  }
  return true;
}

}  // namespace

char32_t Cp1252ToCodePoint(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
  return byte;
}

char CodePointToCp1252(char32_t code_point) {
  return ByteOf(code_point).value_or('?');
}

std::string Cp1252(std::string_view utf8) {
  std::string out;
  Convert(utf8, false, out);
  return out;
}

std::optional<std::string> Cp1252Exactly(std::string_view utf8) {
  std::string out;
  if (!Convert(utf8, true, out)) return std::nullopt;
  return out;
}

std::string Utf8(std::string_view cp1252) {
  std::string out;
  out.reserve(cp1252.size() + cp1252.size() / 4);
  for (char c : cp1252) AppendUtf8(out, Cp1252ToCodePoint(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace vz::os
