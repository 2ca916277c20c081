// The CSV of a result list (result_export.h).
#include <string>
#include <string_view>

#include "platform/os/cp1252.h"
#include "src/outputs/result_export.h"

namespace vz::outputs {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr char kSeparator = ';';
constexpr std::string_view kRowEnd = "\r\n";

void PutQuoted(std::string& out, std::string_view utf8) {
  if (utf8.find_first_of(";\"\r\n") == std::string_view::npos) {
    out += utf8;
    return;
  }
  out += '"';
  for (char c : utf8) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

// A stored number with a decimal comma.
std::string CsvNumber(std::string_view value) {
  std::string number(value);
  for (char& c : number) {
    if (c == '.') c = ',';
  }
  return number;
}

std::string CsvValue(ValueKind kind, std::string_view value) {
  switch (kind) {
    case ValueKind::kAmount:
    case ValueKind::kWholeNumber:
      return CsvNumber(value);
    case ValueKind::kDate:
      return DisplayValue(kind, value);
    case ValueKind::kText:
      break;
  }
  return os::Utf8(value);
}

}  // namespace

std::string ResultCsv(const ResultList& list) {
  std::string out(kByteOrderMark);
  for (size_t c = 0; c < list.columns.size(); ++c) {
    if (c > 0) out += kSeparator;
    PutQuoted(out, os::Utf8(list.columns[c].title));
  }
  out += kRowEnd;
  for (const auto& row : list.rows) {
    for (size_t c = 0; c < list.columns.size(); ++c) {
      if (c > 0) out += kSeparator;
      if (c < row.size()) PutQuoted(out, CsvValue(list.columns[c].kind, row[c]));
    }
    out += kRowEnd;
  }
  return out;
}

}  // namespace vz::outputs
