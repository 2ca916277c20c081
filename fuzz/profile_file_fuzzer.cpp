// The profile-file reader and writer (platform/os/profile_file.h) on any
// bytes. Input: a section line, a key line, a value line, then the file's
// text. Besides crashes, it checks that a value written reads back (spaces at
// its ends trimmed) and that reading never finds a key of the text in a
// section it does not name.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/fuzz_input.h"
#include "platform/os/profile_file.h"

namespace {

std::string_view TrimSpaces(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vz::fuzz::FuzzInput input(data, size);
  const std::string_view section = input.Line();
  const std::string_view key = input.Line();
  const std::string_view value = input.Line();
  const std::string_view text = input.Rest();

  for (const vz::os::ProfileEntry& entry : vz::os::ParseProfileSection(text, section)) {
    if (entry.key.find('\n') != std::string::npos) std::abort();
  }
  (void)vz::os::ProfileValue(text, section, key);
  if (vz::os::IsWritableProfileEntry(section, key, value)) {
    const std::string written = vz::os::SetProfileValue(text, section, key, value);
    if (vz::os::ProfileValue(written, section, key) != TrimSpaces(value)) std::abort();
  }
  return 0;
}
