// Spreadsheet files read back for tests (spreadsheet_files.h).
#include "tests/support/spreadsheet_files.h"

#include <cstdio>
#include <cstring>
#include <regex>
#include <utility>

namespace vz::testing {
namespace {

std::string XmlText(std::string text) {
  const std::pair<const char*, const char*> entities[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
  for (const auto& [entity, plain] : entities) {
    for (size_t at = 0; (at = text.find(entity, at)) != std::string::npos; ++at) {
      text.replace(at, std::strlen(entity), plain);
    }
  }
  return text;
}

}  // namespace

std::vector<std::vector<std::string>> ParseCsv(std::string_view text) {
  std::vector<std::vector<std::string>> rows(1);
  std::string value;
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        value += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        value += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ';') {
      rows.back().push_back(std::move(value));
      value.clear();
    } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      rows.back().push_back(std::move(value));
      value.clear();
      rows.emplace_back();
      ++i;
    } else {
      value += c;
    }
  }
  if (rows.back().empty()) rows.pop_back();
  return rows;
}

std::string Unzipped(const std::filesystem::path& archive, std::string_view member) {
  const std::string command =
      "unzip -p '" + archive.string() + "' '" + std::string(member) + "' 2>/dev/null";
  std::string out;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[1 << 16];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    ::pclose(pipe);
  }
  return out;
}

std::map<std::string, SheetCell> ReadFirstSheet(const std::filesystem::path& xlsx) {
  std::vector<std::string> strings;
  const std::string shared = Unzipped(xlsx, "xl/sharedStrings.xml");
  const std::regex item(R"re(<si><t(?: [^>]*)?>([^<]*)</t></si>)re");
  for (std::sregex_iterator it(shared.begin(), shared.end(), item), end; it != end; ++it) {
    strings.push_back(XmlText((*it)[1]));
  }
  std::map<std::string, SheetCell> cells;
  const std::string sheet = Unzipped(xlsx, "xl/worksheets/sheet1.xml");
  const std::regex cell(R"re(<c r="([A-Z]+[0-9]+)"((?: [a-z]+="[^"]*")*)><v>([^<]*)</v></c>)re");
  const std::regex style(R"re( s="([0-9]+)")re");
  for (std::sregex_iterator it(sheet.begin(), sheet.end(), cell), end; it != end; ++it) {
    SheetCell read;
    const std::string attributes = (*it)[2];
    read.text = attributes.find(" t=\"s\"") != std::string::npos;
    std::smatch s;
    if (std::regex_search(attributes, s, style)) read.style = s[1];
    read.value = (*it)[3];
    if (read.text) {
      const size_t index = std::stoul(read.value);
      read.value = index < strings.size() ? strings[index] : std::string();
    }
    cells[(*it)[1]] = std::move(read);
  }
  return cells;
}

std::string ColumnLetters(size_t column) {
  std::string letters;
  for (size_t n = column + 1; n > 0; n = (n - 1) / 26) {
    letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
  }
  return letters;
}

}  // namespace vz::testing
