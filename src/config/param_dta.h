// TParamDTA: the parameter file object, and its element list TElemsDTA.
//
// TParamDTA holds the parameter file path ("..\FIC01\PARAM.DTA" unless
// another is given) and an element list, created empty. Constructing one
// allocates the shared parameter table if that was not done yet. Its one
// operation reads a parameter of section "COMPOSANTS" from the program's own
// directory: a relative path is taken from the directory of the running
// program, without changing the current directory (so the current directory
// is the same afterwards, even when the read fails). Any failure yields an
// empty result. The read overwrites the shared parameter table.
#ifndef VZ_SRC_CONFIG_PARAM_DTA_H_
#define VZ_SRC_CONFIG_PARAM_DTA_H_

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vz::config {

struct ParameterElement {
  std::string key;
  std::string value;
};

// An owning list of parameter elements.
class TElemsDTA {
 public:
  size_t Count() const { return elements_.size(); }
  // REQUIRES: index < Count().
  const ParameterElement& At(size_t index) const { return *elements_[index]; }
  void Add(std::string_view key, std::string_view value);
  void Clear() { elements_.clear(); }

 private:
  std::vector<std::unique_ptr<ParameterElement>> elements_;
};

class TParamDTA {
 public:
  TParamDTA();
  explicit TParamDTA(std::string_view path);

  // The path as written (the Windows way).
  const std::string& path() const { return path_; }
  // The file this object reads: the mapped path, taken from the program's
  // directory when relative. Empty when the program's directory is unknown.
  std::string ResolvedPath() const;

  TElemsDTA& elements() { return elements_; }
  const TElemsDTA& elements() const { return elements_; }

  // Field 1 of `key` in section "COMPOSANTS" (read with the current list
  // separator), or empty.
  std::string ReadComponentParameter(std::string_view key) const;

 private:
  std::string path_;
  TElemsDTA elements_;
};

}  // namespace vz::config

#endif  // VZ_SRC_CONFIG_PARAM_DTA_H_
