// The screen runtime's four entry points, as the program's screen bridge calls
// them.
//
// The module block is 240 bytes owned by the caller and shared with the
// runtime for the whole run. After each command the runtime leaves the
// returned text at offset 14 (at most 206 bytes) and the return code at offset
// 232 (at most 3 bytes), each ended by NUL or carriage return when shorter.
// nGetValeurRetour gives the integer result of the last command. Unknown
// commands and windows are reported in the transcript, never a crash.
//
// REQUIRES: the program has called vz::runtime::SetEntryPointSetup
// (entry_point_setup.h) before the first call; otherwise the first call ends
// the process with a message.
#ifndef VZ_PLATFORM_RUNTIME_WD_API_H_
#define VZ_PLATFORM_RUNTIME_WD_API_H_

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

enum {
  kWdModuleBlockSize = 240,
  kWdReturnedTextOffset = 14,
  kWdReturnedTextLength = 206,
  kWdReturnCodeOffset = 232,
  kWdReturnCodeLength = 3
};

int32_t InitModule(uint8_t* module_block);
// REQUIRES: command is NUL-terminated cp1252, at most 254 characters.
int32_t WDExecuteCommande(uint8_t* module_block, const char* command);
int32_t nGetValeurRetour(void);
int32_t TermModule(uint8_t* module_block);

#ifdef __cplusplus
}
#endif

#endif  // VZ_PLATFORM_RUNTIME_WD_API_H_
