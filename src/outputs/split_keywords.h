// A word processor cuts a paragraph's text into runs (Word: <w:r><w:t>) or
// spans (OpenDocument: <text:span>) wherever the formatting or the editing
// history changes, so "#0000A" may be stored as "#00", "00", "A". This file
// puts every such keyword back whole into the text node that holds its "#",
// taking its characters out of the nodes that follow in the same paragraph
// (the text reads the same; the characters take the formatting of the "#").
// The keyword is read as the template parser reads it (letter_template.h):
// "#", the character right after it, then letters, digits and "_"; at most
// one character more than the longest keyword is moved, enough to tell a
// keyword that is too long.
//
// Paragraphs are <w:p> in Word (text in <w:t>) and <text:p>, <text:h> in
// OpenDocument (every text node); a paragraph inside another (a text box, a
// note) is handled on its own. A Word text node that holds a "#" is marked
// xml:space="preserve" so that the blanks of a value survive.
//
// Failure: XML that does not parse gives nullopt. Entities are never
// expanded and no network access is made.
#ifndef VZ_SRC_OUTPUTS_SPLIT_KEYWORDS_H_
#define VZ_SRC_OUTPUTS_SPLIT_KEYWORDS_H_

#include <optional>
#include <string>
#include <string_view>

#include "src/outputs/letter_template.h"

namespace vz::outputs {

// The part `xml` (UTF-8) of a Word (kDocx) or OpenDocument (kOdt, kFlatOdf)
// document with its split keywords joined, written again as UTF-8 XML.
std::optional<std::string> JoinSplitKeywords(std::string_view xml, LetterFormat format);

// The text the template parser reads for a template file's bytes: for
// .docx and .odt the main part of the package with its split keywords
// joined (nullopt when the package or its part cannot be read); for the
// other formats the bytes as they are.
std::optional<std::string> TemplateText(std::string bytes, LetterFormat format);

}  // namespace vz::outputs

#endif  // VZ_SRC_OUTPUTS_SPLIT_KEYWORDS_H_
