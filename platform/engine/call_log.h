// The engine's call log, for tests and diagnosis.
//
// When the environment variable VZ_ENGINE_LOG names a file, every LE_ call
// appends one line to it: the function name, then its text and integer
// arguments (the context handle and the trailing options word are left out):
//
//   LE_Hlitrecherche REVENUS CODCLEF "0100001231"
//
// File and key names are written bare (quoted when empty or when they hold a
// blank, a quote or a control character); other texts are quoted. Inside
// quotes, a quote and control characters are written \xHH; other bytes
// (cp1252 letters, backslashes) stand as they are. Failures the engine notices
// on a data file (damaged file, lock not obtained) add a line
//
//   LE_ERROR <FILE> "<path>" <reason>
//
// The log file is opened with O_APPEND and each line is written with one
// write() call, unbuffered, so that lines of other writers to the same file
// (the screen runtime's transcript) interleave in call order. When the
// variable is unset nothing is formatted. The variable is read at the first
// call and again at each LE_CreateContexteHF. Logging never fails the call.
// Single-threaded, as the whole engine.
#ifndef VZ_PLATFORM_ENGINE_CALL_LOG_H_
#define VZ_PLATFORM_ENGINE_CALL_LOG_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vz::engine {

// (Re)reads VZ_ENGINE_LOG and opens or closes the log file accordingly.
void ReadLogSetting();

// True when calls are being logged (reads the setting on first use).
bool LogEnabled();

// Builds one log line in a fixed buffer (long lines are cut) and writes it.
class LogLine {
 public:
  explicit LogLine(std::string_view function);
  LogLine& Name(const char* name);
  LogLine& Text(const char* text);
  LogLine& Text(std::string_view text);
  LogLine& Int(int64_t value);
  LogLine& Word(std::string_view word);  // bare, as is
  void Write();

 private:
  void Append(std::string_view text);
  void AppendQuoted(std::string_view text);

  char line_[1024];
  std::size_t length_ = 0;
};

// Writes a LE_ERROR line (when logging is on).
void LogFileError(std::string_view file, std::string_view path, std::string_view reason);

}  // namespace vz::engine

#endif  // VZ_PLATFORM_ENGINE_CALL_LOG_H_
