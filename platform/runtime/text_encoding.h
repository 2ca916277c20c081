// Names of the screen runtime: verbs, windows, fields and procedures.
//
// Inside the runtime every text is cp1252, as the program sends it (the
// crossing to and from UTF-8 is platform/os/cp1252.h). Names are folded so
// that "Exécute", "EXECUTE" and "execute" compare equal, and trimmed of
// blanks. Pure functions; nothing is owned or kept.
#ifndef VZ_PLATFORM_RUNTIME_TEXT_ENCODING_H_
#define VZ_PLATFORM_RUNTIME_TEXT_ENCODING_H_

#include <string>
#include <string_view>

namespace vz::runtime {

// Upper case without accents: every byte by os::UpperPlainLetter
// (platform/os/accents.h): "é" -> "E", "ç" -> "C", "a" -> "A".
std::string FoldName(std::string_view cp1252);

// True when both names fold to the same text.
bool SameName(std::string_view a, std::string_view b);

// Text with blanks (space and TAB) removed at both ends.
std::string_view TrimBlanks(std::string_view text);

}  // namespace vz::runtime

#endif  // VZ_PLATFORM_RUNTIME_TEXT_ENCODING_H_
