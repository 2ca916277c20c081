#include "tools/veriroru/veriroru_test_support.h"

#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "tools/datatool/demo_installation.h"
#include "tools/veriroru/backup.h"

namespace vz::veriroru::testing {
namespace {

std::string Hex(const void* data, int size) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  const auto* bytes = static_cast<const unsigned char*>(data);
  for (int i = 0; i < size; ++i) {
    out += digits[bytes[i] >> 4];
    out += digits[bytes[i] & 15];
  }
  return out;
}

std::string DumpQuery(sqlite3* db, const std::string& sql) {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) return "!";
  std::string out;
  while (sqlite3_step(statement) == SQLITE_ROW) {
    for (int c = 0; c < sqlite3_column_count(statement); ++c) {
      out += c > 0 ? " " : "";
      out += std::to_string(sqlite3_column_type(statement, c)) + ":";
      out += Hex(sqlite3_column_blob(statement, c), sqlite3_column_bytes(statement, c));
    }
    out += "\n";
  }
  sqlite3_finalize(statement);
  return out;
}

}  // namespace

namespace {

std::string NewTemporaryFolder() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern =
      std::string(base != nullptr && base[0] != '\0' ? base : "/tmp") + "/vz_veriroru_XXXXXX";
  return mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
}

// One generated installation per process and number of clients, copied for
// each test: generating costs far more than copying.
struct Template {
  std::string folder;
  std::string error;
  ~Template() {
    std::error_code ec;
    if (!folder.empty()) std::filesystem::remove_all(folder, ec);
  }
};

const Template& TemplateFor(int clients) {
  static std::map<int, Template> templates;
  Template& t = templates[clients];
  if (!t.folder.empty() || !t.error.empty()) return t;
  t.folder = NewTemporaryFolder();
  vz::datatool::DemoInstallationOptions options;
  options.data.clients = clients;
  options.data.seed = 7;
  options.data.queries = true;
  vz::datatool::GenerateStats stats;
  if (t.folder.empty()) {
    t.error = "no temporary folder";
  } else if (!vz::datatool::CreateDemoInstallation(t.folder + "/SUITE", options, nullptr, &stats,
                                                   &t.error)) {
    if (t.error.empty()) t.error = "the demo installation could not be generated";
  }
  return t;
}

}  // namespace

DemoInstallation::DemoInstallation(int clients) {
  const Template& source = TemplateFor(clients);
  if (!source.error.empty()) {
    error_ = source.error;
    return;
  }
  root_ = NewTemporaryFolder();
  if (root_.empty()) {
    error_ = "no temporary folder";
    return;
  }
  std::error_code ec;
  std::filesystem::copy(source.folder + "/SUITE", root_ + "/SUITE",
                        std::filesystem::copy_options::recursive, ec);
  program_directory_ = root_ + "/SUITE/VUZUVIZA";
  std::filesystem::create_directories(program_directory_, ec);
  ok_ = LocateToolPathsFrom("", program_directory_, "", &paths_, &error_);
}

DemoInstallation::~DemoInstallation() {
  std::error_code ec;
  if (!root_.empty()) std::filesystem::remove_all(root_, ec);
}

std::string DumpRecords(const std::string& path) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    return "";
  }
  std::string out = DumpQuery(db, "SELECT name, value FROM vz_info ORDER BY name");
  out += DumpQuery(db, "SELECT * FROM records ORDER BY recno");
  sqlite3_close(db);
  return out;
}

std::map<std::string, std::string> DumpDirectory(const std::string& directory) {
  std::map<std::string, std::string> dumps;
  for (const std::string& name : DataFileNames(directory)) {
    dumps[name] = DumpRecords(directory + "/" + name);
  }
  return dumps;
}

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

bool ExecSql(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  bool ok = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK &&
            sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
  sqlite3_close(db);
  return ok;
}

std::tm FixedTime(int second) {
  std::tm when{};
  when.tm_year = 2026 - 1900;
  when.tm_mon = 11;
  when.tm_mday = 8;
  when.tm_hour = 10;
  when.tm_min = 20;
  when.tm_sec = second;
  return when;
}

}  // namespace vz::veriroru::testing
