// Conversion between code page 1252 (the program's text everywhere inside)
// and UTF-8 (source literals, our own text files, the Qt widgets, transcripts
// and error output, UTF-8 output documents). The one codec of this system.
//
// Every one of the 256 cp1252 bytes has a Unicode code point: the 27 letters
// and signs of 0x80-0x9F by the code page's table, and the five bytes the code
// page leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) as the control code
// points of the same value, so cp1252 -> UTF-8 -> cp1252 gives back every
// byte (a value typed into a widget, a name shown in a message, a letter in
// UTF-8 keep what they hold).
//
// UTF-8 without a cp1252 form: a code point that cp1252 cannot hold, and every
// byte of malformed UTF-8 (stray continuation bytes, truncated or overlong
// sequences, surrogates, code points above U+10FFFF). Cp1252 writes one '?'
// for each; Cp1252Exactly refuses the whole text. Nothing throws.
#ifndef VZ_PLATFORM_OS_CP1252_H_
#define VZ_PLATFORM_OS_CP1252_H_

#include <optional>
#include <string>
#include <string_view>

namespace vz::os {

// UTF-8 text -> cp1252 bytes. Written at call sites as the readable-literal
// helper: Cp1252("Sélection des personnes").
std::string Cp1252(std::string_view utf8);

// UTF-8 text -> cp1252 bytes, or nothing when some part of the text has no
// cp1252 form (files of this system that must be exact: window libraries,
// projects, scenarios).
std::optional<std::string> Cp1252Exactly(std::string_view utf8);

// cp1252 bytes -> UTF-8 text.
std::string Utf8(std::string_view cp1252);

// The Unicode code point of one cp1252 byte.
char32_t Cp1252ToCodePoint(unsigned char byte);

// The cp1252 byte of a code point, or '?' when the code page has none.
char CodePointToCp1252(char32_t code_point);

}  // namespace vz::os

#endif  // VZ_PLATFORM_OS_CP1252_H_
