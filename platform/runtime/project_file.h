// The screen project file (".WDP", format: docs/window-library.md): the
// library the project uses, the procedures it provides and the variables it
// starts with. ParseProjectFile returns the project or the first fault as
// "FILE:LINE: reason".
#ifndef VZ_PLATFORM_RUNTIME_PROJECT_FILE_H_
#define VZ_PLATFORM_RUNTIME_PROJECT_FILE_H_

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vz::runtime {

struct ProjectFile {
  std::string name;
  std::string title;
  std::string library_file;
  struct Procedure {
    std::string name;
    int line = 0;
  };
  std::vector<Procedure> procedures;
  std::vector<std::pair<std::string, std::string>> variables;  // name, start value
};

struct ProjectLoad {
  std::optional<ProjectFile> project;
  std::string error;
};

ProjectLoad ParseProjectFile(std::string_view utf8_content, std::string_view file_name);

}  // namespace vz::runtime

#endif  // VZ_PLATFORM_RUNTIME_PROJECT_FILE_H_
