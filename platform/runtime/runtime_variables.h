// The runtime's global variables ("gsEstUnInterrupteurRetour", ...), read by
// the program with "RECUPERE," and written by project procedures. Names are
// compared without regard to case or accents; values are cp1252 text.
#ifndef VZ_PLATFORM_RUNTIME_RUNTIME_VARIABLES_H_
#define VZ_PLATFORM_RUNTIME_RUNTIME_VARIABLES_H_

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace vz::runtime {

class RuntimeVariables {
 public:
  void Set(std::string_view name, std::string_view value);
  std::optional<std::string> Get(std::string_view name) const;
  void Clear() { values_.clear(); }

 private:
  std::map<std::string, std::string> values_;  // folded name -> value
};

}  // namespace vz::runtime

#endif  // VZ_PLATFORM_RUNTIME_RUNTIME_VARIABLES_H_
