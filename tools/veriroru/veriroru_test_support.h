// Helpers of the tools program's tests: a small demo installation in a
// temporary folder (removed at the end), a readable dump of a data file's
// records, and ways to damage files as a crash or a bad disk would.
#ifndef VZ_TOOLS_VERIRORU_VERIRORU_TEST_SUPPORT_H_
#define VZ_TOOLS_VERIRORU_VERIRORU_TEST_SUPPORT_H_

#include <ctime>
#include <map>
#include <string>

#include "tools/veriroru/tool_paths.h"

namespace vz::veriroru::testing {

class DemoInstallation {
 public:
  explicit DemoInstallation(int clients = 24);
  ~DemoInstallation();
  DemoInstallation(const DemoInstallation&) = delete;
  DemoInstallation& operator=(const DemoInstallation&) = delete;

  bool ok() const { return ok_; }
  const std::string& error() const { return error_; }
  const std::string& root() const { return root_; }
  const std::string& program_directory() const { return program_directory_; }
  const ToolPaths& paths() const { return paths_; }
  std::string DataFile(const std::string& name) const { return paths_.data_directory + "/" + name; }

 private:
  bool ok_ = false;
  std::string error_;
  std::string root_;
  std::string program_directory_;
  ToolPaths paths_;
};

// Every record of a data file (record number, bytes and key columns, in
// hexadecimal) and its vz_info rows, one per line; "" for an unreadable file.
std::string DumpRecords(const std::string& path);

// DumpRecords of every data file of a directory, by file name.
std::map<std::string, std::string> DumpDirectory(const std::string& directory);

// The whole contents of a file ("" when it cannot be read).
std::string FileBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);

// Runs SQL on a data file outside the engine (to damage keys, drop an index).
bool ExecSql(const std::string& path, const std::string& sql);

// A fixed local time: 8 December 2026, 10:20:<second>.
std::tm FixedTime(int second = 30);

}  // namespace vz::veriroru::testing

#endif  // VZ_TOOLS_VERIRORU_VERIRORU_TEST_SUPPORT_H_
