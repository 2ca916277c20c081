#include "tools/veriroru/tool_paths.h"

#include <filesystem>
#include <system_error>

#include "platform/engine/paths.h"
#include "platform/os/paths.h"
#include "platform/os/profile_file.h"

namespace vz::veriroru {
namespace {

namespace fs = std::filesystem;

std::string Absolute(const std::string& base, const std::string& path) {
  std::error_code ec;
  fs::path joined = fs::path(vz::os::JoinPath(base, path)).lexically_normal();
  fs::path canonical = fs::weakly_canonical(joined, ec);
  std::string text = (ec ? joined : canonical).string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

std::string TrimBlanks(const std::string& text) {
  std::size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string::npos) return "";
  std::size_t end = text.find_last_not_of(" \t");
  return text.substr(begin, end - begin + 1);
}

bool IsFile(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

// The data directory of the parameter file seen from `program_directory`,
// or "" when that directory has no usable parameter file.
std::string DataDirectoryOf(const std::string& program_directory, std::string* parameter_file) {
  const std::string candidate = Absolute(program_directory, kParameterFile);
  if (!IsFile(candidate)) return "";
  *parameter_file = candidate;
  return DataDirectoryFromParameter(
      program_directory, vz::os::ReadProfileString(candidate, "COMPOSANTS", "REPERTOIREF"));
}

}  // namespace

std::string DataDirectoryFromParameter(const std::string& program_directory,
                                       const std::string& value) {
  const std::string field = TrimBlanks(value.substr(0, value.find(',')));
  if (field.empty()) return "";
  vz::engine::DirectorySubstitutions substitutions;
  substitutions.Set("D:\\VESTRA", field);
  return Absolute(program_directory, substitutions.Resolve("D:\\VESTRA"));
}

bool LocateToolPathsFrom(const std::string& explicit_data_directory,
                         const std::string& current_directory,
                         const std::string& executable_directory, ToolPaths* paths,
                         std::string* error) {
  ToolPaths found;
  std::string program_directory;
  std::string data_from_parameter;
  for (const std::string& directory : {current_directory, executable_directory}) {
    if (directory.empty()) continue;
    std::string parameter_file;
    std::string data = DataDirectoryOf(directory, &parameter_file);
    if (parameter_file.empty()) continue;
    program_directory = directory;
    found.parameter_file = parameter_file;
    data_from_parameter = data;
    break;
  }
  if (!explicit_data_directory.empty()) {
    found.data_directory = Absolute(current_directory, explicit_data_directory);
    if (found.data_directory != data_from_parameter) found.parameter_file.clear();
  } else if (found.parameter_file.empty()) {
    *error =
        ("Fichier de paramètres ..\\FIC01\\PARAM.DTA introuvable : lancez l'outil depuis le "
         "répertoire du logiciel ou indiquez --donnees <répertoire>.");
    return false;
  } else if (data_from_parameter.empty()) {
    *error = ("Le fichier de paramètres " + found.parameter_file +
              " n'indique pas de répertoire des données (REPERTOIREF).");
    return false;
  } else {
    found.data_directory = data_from_parameter;
  }
  std::error_code ec;
  if (!fs::is_directory(found.data_directory, ec)) {
    *error = ("Le répertoire des données " + found.data_directory + " n'existe pas.");
    return false;
  }
  // The analysis beside the program directory, else beside the data directory.
  for (const std::string& base : {program_directory, found.data_directory}) {
    if (base.empty()) continue;
    std::string analysis = Absolute(base, kAnalysisFile);
    if (IsFile(analysis)) {
      found.analysis_file = analysis;
      break;
    }
  }
  *paths = found;
  return true;
}

bool LocateToolPaths(const std::string& explicit_data_directory, ToolPaths* paths,
                     std::string* error) {
  return LocateToolPathsFrom(explicit_data_directory, vz::os::CurrentDirectory(),
                             vz::os::ProgramDirectory(), paths, error);
}

}  // namespace vz::veriroru
