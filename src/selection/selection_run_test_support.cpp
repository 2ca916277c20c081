#include "src/selection/selection_run_test_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "src/db/layouts/client.h"
#include "src/db/layouts/requetes.h"
#include "src/screen/bridge_for_tests.h"
#include "src/selection/expansion.h"
#include "tests/support/recording_runtime.h"
#include "tests/support/test_records.h"

namespace vz::selection {

namespace fs = std::filesystem;

namespace {

// The program's settings while a database is open: its data directory, and TAB
// as list separator.
const vz::testing::InstallationOptions kOptions =
    vz::testing::InstallationOptions().WithDataDirectory().WithListSeparator('\t');

void ResetScreen() {
  testing::RecordingRuntime::Get().Reset();
  screen::ResetBridgeForTests();
}

}  // namespace

SelectionTestDatabase::SelectionTestDatabase() : installation_("sel", kOptions) {
  ResetScreen();
}

SelectionTestDatabase::SelectionTestDatabase(const fs::path& analysis_file,
                                             const fs::path& data_directory)
    : installation_(analysis_file, data_directory, kOptions) {
  ResetScreen();
}

void SelectionTestDatabase::AddQueryLine(std::string_view code, std::string_view criteria_key,
                                         std::string_view text) {
  vz::testing::AddQueryLine(code, criteria_key, text);
}

void SelectionTestDatabase::AddElementaryQuery(std::string_view code) {
  AddQueryLine(code, kTitleKey, "20261207\tTitre\t\t\t\t\t\t\t\t");
}

void SelectionTestDatabase::AddCombinedQuery(std::string_view code, std::string_view first,
                                             std::string_view op, std::string_view second) {
  AddQueryLine(code, kTitleKey,
               "20261207\tCombinaison\t\t\t\tC\t" + std::string(first) + "\t" + std::string(op) +
                   "\t" + std::string(second) + "\t");
}

std::string SelectionTestDatabase::TitleState(std::string_view code) {
  if (!ReadTitleRecord(code)) return std::string();
  return std::string(db::CurrentQueryLine().State());
}

void SelectionTestDatabase::AddClient(std::string_view code, std::string_view name,
                                      std::string_view postcode) {
  vz::testing::AddClient(code, name,
                         [&](db::ClientRecord& client) { client.SetPostcode(postcode); });
}

void SelectionTestDatabase::WriteSelectionFile(std::string_view code,
                                               std::string_view bytes) const {
  std::ofstream out(data_directory() / (std::string(code) + ".EXT"), std::ios::binary);
  out << bytes;
}

std::string SelectionTestDatabase::ReadSelectionFile(std::string_view code) const {
  std::ifstream in(data_directory() / (std::string(code) + ".EXT"), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool SelectionTestDatabase::SelectionFileExists(std::string_view code) const {
  return fs::exists(data_directory() / (std::string(code) + ".EXT"));
}

std::vector<std::string> SelectionTestDatabase::SelectionLines(std::string_view code) const {
  const std::string bytes = ReadSelectionFile(code);
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    const size_t end = bytes.find("\r\n", start);
    EXPECT_NE(end, std::string::npos) << "line without CR LF in " << code;
    if (end == std::string::npos) break;
    lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

std::string CrLfLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

}  // namespace vz::selection
