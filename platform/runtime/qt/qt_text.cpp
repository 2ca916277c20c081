#include "platform/runtime/qt/qt_text.h"

#include <array>

namespace vz::runtime {
namespace {

// Code points of bytes 0x80 to 0x9F; 0 marks the five undefined bytes.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char32_t CodePointOf(unsigned char byte) {
  if (byte < 0x80 || byte >= 0xA0) return byte;
  const char32_t mapped = kHighControls[byte - 0x80];
  return mapped ? mapped : char32_t{0xFFFD};
}

char ByteOf(char32_t code_point) {
  if (code_point < 0x80 || (code_point >= 0xA0 && code_point <= 0xFF)) {
    return static_cast<char>(code_point);
  }
  for (size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] != 0 && kHighControls[i] == code_point) {
      return static_cast<char>(0x80 + i);
    }
  }
  return '?';
}

}  // namespace

QString ToQString(std::string_view cp1252) {
  std::u32string code_points;
  code_points.reserve(cp1252.size());
  for (char c : cp1252) code_points.push_back(CodePointOf(static_cast<unsigned char>(c)));
  return QString::fromStdU32String(code_points);
}

std::string FromQString(const QString& text) {
  std::string out;
  for (char32_t code_point : text.toStdU32String()) out.push_back(ByteOf(code_point));
  return out;
}

}  // namespace vz::runtime
