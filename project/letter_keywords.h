// The keywords a letter template may hold, each with what it stands for and
// an example of the value written in a letter (docs/letter-templates.md
// lists the same). The result window's "Mots-clés" button shows them to the
// adviser (LetterKeywordsText). Constant data; nothing fails.
#ifndef VZ_PROJECT_LETTER_KEYWORDS_H_
#define VZ_PROJECT_LETTER_KEYWORDS_H_

#include <span>
#include <string>
#include <string_view>

namespace vz::project {

struct LetterKeyword {
  std::string_view code;     // as written in a template, "#0000A"
  std::string_view meaning;  // UTF-8
  std::string_view example;  // UTF-8
};

std::span<const LetterKeyword> LetterKeywords();

// The list as the adviser reads it in a message (cp1252): one keyword a line.
std::string LetterKeywordsText();

}  // namespace vz::project

#endif  // VZ_PROJECT_LETTER_KEYWORDS_H_
