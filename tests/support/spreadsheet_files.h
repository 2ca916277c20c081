// Reading back the spreadsheet files the program exports, for tests: a CSV
// parsed by RFC 4180 with ";" between values, and the first sheet of an XLSX
// taken out of its archive with `unzip -p` (cells by reference, shared
// strings resolved). Nothing here knows the program's own writer. Failures
// give empty results; the tests then fail on what they expected.
#ifndef VZ_TESTS_SUPPORT_SPREADSHEET_FILES_H_
#define VZ_TESTS_SUPPORT_SPREADSHEET_FILES_H_

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vz::testing {

// The rows of a CSV text (without its byte order mark).
std::vector<std::vector<std::string>> ParseCsv(std::string_view text);

// One member of a zip archive, as `unzip -p` gives it; empty when missing.
std::string Unzipped(const std::filesystem::path& archive, std::string_view member);

struct SheetCell {
  std::string value;  // the text of a shared string, else the number as written
  bool text = false;
  std::string style;  // the cell's style number, empty for none
};

// The cells of xl/worksheets/sheet1.xml by reference ("B2").
std::map<std::string, SheetCell> ReadFirstSheet(const std::filesystem::path& xlsx);

// "A".."Z", "AA"...: the column letters of a 0-based column.
std::string ColumnLetters(size_t column);

}  // namespace vz::testing

#endif  // VZ_TESTS_SUPPORT_SPREADSHEET_FILES_H_
