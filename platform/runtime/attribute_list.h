// The attributes of one statement of our line formats, taken one by one by
// the parser, so that a missing, repeated, malformed or unknown attribute is
// reported by name. Owns copies of the words; fails through messages only.
#ifndef VZ_PLATFORM_RUNTIME_ATTRIBUTE_LIST_H_
#define VZ_PLATFORM_RUNTIME_ATTRIBUTE_LIST_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/line_format.h"

namespace vz::runtime {

class AttributeList {
 public:
  // Words that are not attributes are kept as positional words, in order.
  explicit AttributeList(const std::vector<Word>& words);

  const std::vector<std::string>& positional() const { return positional_; }

  // The value of an attribute, or nothing when absent. Marks it used.
  std::optional<std::string> Take(std::string_view key);
  // Like Take, but sets error when absent.
  std::string Require(std::string_view key);
  // A whole number at least min; sets error when malformed or too small.
  std::optional<int> TakeNumber(std::string_view key, int min);
  int RequireNumber(std::string_view key, int min);

  // The first fault met so far: repeated, malformed, missing or (after every
  // Take) unknown attribute. Empty when all is well.
  std::string Finish();
  const std::string& error() const { return error_; }

 private:
  struct Entry {
    std::string key;
    std::string value;
    bool used = false;
  };
  std::vector<Entry> entries_;
  std::vector<std::string> positional_;
  std::string error_;
};

}  // namespace vz::runtime

#endif  // VZ_PLATFORM_RUNTIME_ATTRIBUTE_LIST_H_
