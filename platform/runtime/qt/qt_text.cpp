#include "platform/runtime/qt/qt_text.h"

#include "platform/os/cp1252.h"

namespace vz::runtime {

QString ToQString(std::string_view cp1252) {
  std::u32string code_points;
  code_points.reserve(cp1252.size());
  for (char c : cp1252) code_points.push_back(os::Cp1252ToCodePoint(static_cast<unsigned char>(c)));
  return QString::fromStdU32String(code_points);
}

std::string FromQString(const QString& text) {
  std::string out;
  for (char32_t code_point : text.toStdU32String())
    out.push_back(os::CodePointToCp1252(code_point));
  return out;
}

}  // namespace vz::runtime
