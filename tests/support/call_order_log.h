// One log of the calls a test makes the program do, in call order: the record
// engine writes a line per LE_ call to the file that VZ_ENGINE_LOG names, and
// the recording runtime's hook (ScreenCommandLogger) adds "wd <command>" for
// each screen command, so that a test can check how both interleave.
//
// The file is named for the whole test program (the engine opens it once) and
// removed at its end; Clear() empties it between tests. Lines() gives the
// lines, with the 103 record descriptions of a context folded into
// "(descriptions)" where they start and "(descriptions: N)" at the end.
// Verbs() gives the first word of each engine line and whole screen lines.
#ifndef VZ_TESTS_SUPPORT_CALL_ORDER_LOG_H_
#define VZ_TESTS_SUPPORT_CALL_ORDER_LOG_H_

#include <functional>
#include <string>
#include <vector>

namespace vz::testing {

class CallOrderLog {
 public:
  // Names the file in VZ_ENGINE_LOG (once per test program).
  static void Install();
  static const std::string& Path();
  static void Clear();
  static std::vector<std::string> Lines();
  static std::vector<std::string> Verbs();
  // A command hook for the recording runtime.
  static std::function<void(const std::string&)> ScreenCommandLogger();
};

}  // namespace vz::testing

#endif  // VZ_TESTS_SUPPORT_CALL_ORDER_LOG_H_
