// Cutting a fuzzer's input into the parts its reader takes: the first lines
// (up to LF) as short parameters, the rest as the text to read. Header only;
// used by the fuzz targets of this folder and nothing else.
#ifndef VZ_FUZZ_FUZZ_INPUT_H_
#define VZ_FUZZ_FUZZ_INPUT_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vz::fuzz {

class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, size_t size) : rest_(reinterpret_cast<const char*>(data), size) {}

  // The next line, without its LF; the whole rest when no LF is left.
  std::string_view Line() {
    const size_t end = rest_.find('\n');
    const std::string_view line = rest_.substr(0, end);
    rest_ = end == std::string_view::npos ? std::string_view() : rest_.substr(end + 1);
    return line;
  }
  // The first byte (0 when none), taken off the input.
  uint8_t Byte() {
    if (rest_.empty()) return 0;
    const auto byte = static_cast<uint8_t>(rest_.front());
    rest_.remove_prefix(1);
    return byte;
  }
  std::string_view Rest() const { return rest_; }

 private:
  std::string_view rest_;
};

}  // namespace vz::fuzz

#endif  // VZ_FUZZ_FUZZ_INPUT_H_
