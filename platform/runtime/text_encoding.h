// Code page 1252 text at the runtime's edges.
//
// Inside the runtime every text is cp1252, as the program sends it. These
// helpers turn UTF-8 (our files, the scenario scripts) into cp1252 and back
// (transcript, error output), and fold names so that "Exécute", "EXECUTE" and
// "execute" compare equal. Pure functions; nothing is owned or kept.
#ifndef VZ_PLATFORM_RUNTIME_TEXT_ENCODING_H_
#define VZ_PLATFORM_RUNTIME_TEXT_ENCODING_H_

#include <optional>
#include <string>
#include <string_view>

namespace vz::runtime {

// UTF-8 to cp1252. Empty optional when the input is not valid UTF-8 or holds a
// character that cp1252 cannot represent.
std::optional<std::string> Utf8ToCp1252(std::string_view utf8);

// cp1252 to UTF-8. The five bytes that cp1252 leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) become U+FFFD.
std::string Cp1252ToUtf8(std::string_view cp1252);

// Upper case without accents: ASCII letters upper-cased, accented cp1252
// letters replaced by their plain upper-case letter ("é" -> "E", "ç" -> "C").
std::string FoldName(std::string_view cp1252);

// True when both names fold to the same text.
bool SameName(std::string_view a, std::string_view b);

// Text with blanks (space and TAB) removed at both ends.
std::string_view TrimBlanks(std::string_view text);

}  // namespace vz::runtime

#endif  // VZ_PLATFORM_RUNTIME_TEXT_ENCODING_H_
