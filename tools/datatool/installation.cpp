#include "tools/datatool/installation.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/os/paths.h"
#include "platform/os/profile_file.h"

namespace vz::datatool {

namespace fs = std::filesystem;

Installation InstallationPaths(const std::string& root) {
  Installation i;
  i.root = fs::absolute(fs::path(root)).lexically_normal().string();
  if (i.root.size() > 1 && i.root.back() == '/') i.root.pop_back();
  i.parameter_file = i.root + "/" + kParameterFile;
  i.analysis_file = i.root + "/" + kAnalysisFile;
  i.program_directory = i.root + "/" + kProgramDirectory;
  i.data_directory = i.root + "/" + kDataDirectoryName;
  return i;
}

std::string FirstField(const std::string& value) {
  return value.substr(0, value.find(','));
}

std::string ResolveDataDirectory(const std::string& program_directory, const std::string& field) {
  const std::string native = vz::os::ToNativePath(field);
  fs::path path = fs::path(vz::os::JoinPath(program_directory, native)).lexically_normal();
  std::string text = path.string();
  if (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

bool LocateInstallation(const std::string& root, Installation* installation, std::string* error) {
  Installation i = InstallationPaths(root);
  std::error_code ec;
  if (!fs::is_directory(i.root, ec)) {
    *error = "no installation at " + i.root;
    return false;
  }
  if (!fs::is_regular_file(i.parameter_file, ec)) {
    *error = "missing parameter file " + i.parameter_file;
    return false;
  }
  const std::string field =
      FirstField(vz::os::ReadProfileString(i.parameter_file, kSection, "REPERTOIREF"));
  if (field.empty()) {
    *error = i.parameter_file + ": no REPERTOIREF in section [" + kSection + "]";
    return false;
  }
  i.data_directory = ResolveDataDirectory(i.program_directory, field);
  if (!fs::is_directory(i.data_directory, ec)) {
    *error =
        "the data directory " + i.data_directory + " (REPERTOIREF=" + field + ") does not exist";
    return false;
  }
  if (!fs::is_regular_file(i.analysis_file, ec)) {
    *error = "missing analysis " + i.analysis_file;
    return false;
  }
  *installation = i;
  return true;
}

bool WriteParameterFile(const Installation& installation, int last_query, std::string* error) {
  const std::string& path = installation.parameter_file;
  bool ok = vz::os::WriteProfileString(path, kSection, "REPERTOIREF",
                                       std::string(kDataDirectoryParameter) + ",");
  ok = ok && vz::os::WriteProfileString(path, kSection, "DPIOK", "1,");
  if (ok && last_query > 0) {
    char number[16];
    std::snprintf(number, sizeof number, "%06d,", last_query);
    ok = vz::os::WriteProfileString(path, kSection, "NUMREQ", number);
  }
  if (!ok) *error = "cannot write the parameter file " + path;
  return ok;
}

}  // namespace vz::datatool
