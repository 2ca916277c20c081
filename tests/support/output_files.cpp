#include "tests/support/output_files.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>

#include "platform/os/profile_file.h"
#include "src/db/layouts/selectes.h"
#include "src/db/record_ops.h"
#include "tests/support/temporary_installation.h"
#include "tools/datatool/demo_installation.h"
#include "tools/datatool/installation.h"
#include "tools/datatool/store_transfer.h"

namespace vz::testing {

namespace fs = std::filesystem;

void GenerateDemoInstallation(const TestInstallation& installation, int64_t clients, uint64_t seed,
                              const fs::path& templates_folder, const fs::path& project_folder) {
  // The generator refuses a folder that is not empty: the test installation's
  // own empty folders go first, and the program directory comes back after.
  std::error_code ec;
  for (const char* folder : {"FIC01", "HSF", "DATA", "PROG"})
    fs::remove(installation.root() / folder, ec);
  datatool::DemoInstallationOptions options;
  options.data.clients = clients;
  options.data.seed = seed;
  options.data.queries = true;
  options.letters = true;
  options.templates_folder = templates_folder.string();
  std::string error;
  datatool::GenerateStats stats;
  EXPECT_TRUE(datatool::CreateDemoInstallation(installation.root().string(), options, nullptr,
                                               &stats, &error))
      << error;
  fs::create_directories(installation.program_directory(), ec);
  EXPECT_FALSE(ec) << ec.message();
  installation.CopyScreenProject(project_folder);
  fs::create_directories(installation.root() / "images", ec);
  for (const fs::directory_entry& picture : fs::directory_iterator(project_folder / "images", ec)) {
    fs::copy_file(picture.path(), installation.root() / "images" / picture.path().filename(),
                  fs::copy_options::overwrite_existing, ec);
  }
  installation.AllowBesideOtherCopies();
}

void IgnoreFontCacheInLeakReports(const TestInstallation& installation) {
  const fs::path suppressions = installation.root() / "leak-suppressions.txt";
  std::ofstream(suppressions, std::ios::binary | std::ios::trunc) << "leak:libfontconfig\n";
  // The options this process was given, kept from the first call: each call
  // names its own installation's file.
  static const std::string given = [] {
    const char* value = std::getenv("LSAN_OPTIONS");
    return std::string(value ? value : "");
  }();
  std::string options = given;
  if (!options.empty()) options += ':';
  options += "suppressions=" + suppressions.string();
  setenv("LSAN_OPTIONS", options.c_str(), 1);
}

bool MoveDemoInstallationToServer(const TestInstallation& installation,
                                  const std::string& conninfo) {
  datatool::Installation located;
  std::string error;
  if (!datatool::LocateInstallation(installation.root().string(), &located, &error)) {
    ADD_FAILURE() << error;
    return false;
  }
  const std::string& parameters = located.parameter_file;
  if (!os::WriteProfileString(parameters, "COMPOSANTS", "CONNEXIONBASE", conninfo)) {
    ADD_FAILURE() << "cannot write CONNEXIONBASE into " << parameters;
    return false;
  }
  std::ostringstream copied;
  if (!datatool::CopyInstallation(located, datatool::CopyDirection::kToServer, copied, &error)) {
    ADD_FAILURE() << "copy to the server: " << error << "\n" << copied.str();
    return false;
  }
  if (!os::WriteProfileString(parameters, "COMPOSANTS", "BASEDONNEES", "POSTGRESQL")) {
    ADD_FAILURE() << "cannot write BASEDONNEES into " << parameters;
    return false;
  }
  UseInstallationStoreInThisProcess(installation);
  return true;
}

void UseInstallationStoreInThisProcess(const TestInstallation& installation) {
  datatool::Installation located;
  std::string error;
  if (!datatool::LocateInstallation(installation.root().string(), &located, &error) ||
      !datatool::UseInstallationStore(located, &error)) {
    ADD_FAILURE() << error;
  }
}

fs::path DemoDataDirectory(const TestInstallation& installation) {
  return installation.root() / "DONNEES";
}

std::vector<std::string> FileLines(const fs::path& path) {
  const std::string text = ReadWholeFile(path);
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

std::vector<std::string> SelectedRecords(const TestInstallation& installation,
                                         std::string_view query) {
  std::vector<std::string> records;
  const TemporaryInstallation opened(installation.root() / "HSF" / "vestra.wdd",
                                     DemoDataDirectory(installation));
  db::Hsubstnom("SELECTES", query);
  db::Hlitpremier("SELECTES", "CODPTT");
  while (!db::Hendehors()) {
    const db::SelectedRecord record = db::CurrentSelected();
    records.emplace_back(reinterpret_cast<const char*>(record.data),
                         db::SelectedRecord::kBufferSize);
    db::Hlitsuivant("SELECTES", "CODPTT");
  }
  return records;
}

std::set<std::string> FileNames(const fs::path& folder) {
  std::set<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code ignored;
    if (it->is_regular_file(ignored)) names.insert(it->path().filename().string());
  }
  return names;
}

int PdfPageCount(std::string_view pdf) {
  int pages = 0;
  for (size_t at = pdf.find("/Type /Page"); at != std::string_view::npos;
       at = pdf.find("/Type /Page", at + 1)) {
    if (at + 11 >= pdf.size() || pdf[at + 11] != 's') ++pages;
  }
  return pages;
}

}  // namespace vz::testing
