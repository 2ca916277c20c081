// A text between double quotes, as the runtime's messages and transcript lines
// name fields, windows and values. Nothing fails; the text is taken as it is.
#ifndef VZ_PLATFORM_RUNTIME_QUOTED_H_
#define VZ_PLATFORM_RUNTIME_QUOTED_H_

#include <string>
#include <string_view>

namespace vz::runtime {

inline std::string Quoted(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  out += '"';
  out.append(text);
  out += '"';
  return out;
}

}  // namespace vz::runtime

#endif  // VZ_PLATFORM_RUNTIME_QUOTED_H_
