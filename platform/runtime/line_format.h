// The line grammar shared by the window library, the screen project and the
// scenario scripts (docs/window-library.md, "Common lexical rules").
//
// SplitSourceLines turns a UTF-8 file into cp1252 lines, numbered from 1;
// TokenizeLine splits one line into words. Both report a malformed input as a
// message (never an exception); callers prefix it with the file and line.
#ifndef VZ_PLATFORM_RUNTIME_LINE_FORMAT_H_
#define VZ_PLATFORM_RUNTIME_LINE_FORMAT_H_

#include <string>
#include <string_view>
#include <vector>

namespace vz::runtime {

struct SourceLine {
  int number = 0;    // 1-based
  std::string text;  // cp1252, without the line end
};

// Fails (error set, lines empty) on the first line that is not UTF-8 or holds
// a character outside cp1252; error_line is then that line's number.
struct SourceLines {
  std::vector<SourceLine> lines;
  std::string error;
  int error_line = 0;
};
SourceLines SplitSourceLines(std::string_view utf8_content);

// A word of a line: bare or quoted. "name=value" (value bare or quoted) is an
// attribute: key holds the name.
struct Word {
  std::string key;    // empty unless the word is an attribute
  std::string value;  // the text, escapes resolved (the value of an attribute)
  bool quoted = false;
  // The word as one text: "key=value" for an attribute, else the value.
  std::string Text() const { return key.empty() ? value : key + "=" + value; }
};

struct TokenizedLine {
  std::vector<Word> words;  // empty for a blank or comment line
  std::string error;        // set when the line is malformed
};
TokenizedLine TokenizeLine(std::string_view line);

// "FILE:LINE: message".
std::string WhereAndWhy(std::string_view file, int line, std::string_view message);

// Parses a whole number (optional minus sign, then digits only) into value.
bool ParseWholeNumber(std::string_view text, int& value);

}  // namespace vz::runtime

#endif  // VZ_PLATFORM_RUNTIME_LINE_FORMAT_H_
