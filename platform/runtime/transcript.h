// The transcript: one line per command received and per notable event,
// appended to the file named by VZ_TRANSCRIPT (format: docs/scenarios.md).
//
// The file is opened with O_APPEND and every line goes out in one write(),
// unbuffered, so that other writers of the same file (the record engine's
// log) interleave line by line in call order. Texts arrive in cp1252 and are
// written in UTF-8 with control characters escaped. A transcript that cannot
// be opened is reported once on the error output and then stays silent; a
// default-constructed transcript writes nothing.
#ifndef VZ_PLATFORM_RUNTIME_TRANSCRIPT_H_
#define VZ_PLATFORM_RUNTIME_TRANSCRIPT_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace vz::runtime {

class Transcript {
 public:
  Transcript() = default;
  explicit Transcript(const std::string& path);
  ~Transcript();
  Transcript(const Transcript&) = delete;
  Transcript& operator=(const Transcript&) = delete;

  bool enabled() const { return fd_ >= 0; }

  // "wd COMMAND -> int=N text="TEXT" code="RC"".
  void Command(std::string_view command, int32_t value, std::string_view text,
               std::string_view return_code);
  // "wd ! MESSAGE": something went wrong.
  void Problem(std::string_view message);
  // "wd . MESSAGE": a front end event.
  void Event(std::string_view message);

  // cp1252 to UTF-8 with TAB, CR, LF, backslash and other control characters
  // escaped, so that a text stays on one line.
  static std::string Escape(std::string_view cp1252);

 private:
  void WriteLine(std::string line);
  int fd_ = -1;
};

}  // namespace vz::runtime

#endif  // VZ_PLATFORM_RUNTIME_TRANSCRIPT_H_
