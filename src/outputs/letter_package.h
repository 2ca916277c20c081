// Word (.docx) and OpenDocument (.odt) letter templates are zip packages:
// the text that holds the fields is one XML part ("word/document.xml",
// "content.xml"); the other parts (styles, images, settings, the content
// types of a Word document) are copied as they are into every letter.
//
// This file reads a part of a package held in memory and writes a package
// with one part replaced, in memory or into a file. The entries keep their
// order, except "mimetype", which is always written first and stored
// uncompressed, as OpenDocument readers require.
//
// Failure: a package that is not a zip, a missing part, or a package that
// cannot be written gives nullopt / false; nothing throws.
#ifndef VZ_SRC_OUTPUTS_LETTER_PACKAGE_H_
#define VZ_SRC_OUTPUTS_LETTER_PACKAGE_H_

#include <optional>
#include <string>
#include <string_view>

#include "src/outputs/letter_template.h"

namespace vz::outputs {

// True for the zipped formats, .docx and .odt.
bool IsPackageFormat(LetterFormat format);

// The part that holds the letter's text: "word/document.xml" (Word),
// "content.xml" (OpenDocument); empty for the other formats.
std::string_view MainPartName(LetterFormat format);

// The bytes of entry `name` of the zip `package`.
std::optional<std::string> ReadPackagePart(std::string_view package, std::string_view name);

// `package` with entry `name` holding `bytes` (added when missing).
std::optional<std::string> PackageWithPart(std::string_view package, std::string_view name,
                                           std::string_view bytes);

// The same, written at `out_path` (replacing any file), the part's bytes
// taken from the file `part_file`.
bool WritePackageWithPartFile(std::string_view package, std::string_view name,
                              const std::string& part_file, const std::string& out_path);

}  // namespace vz::outputs

#endif  // VZ_SRC_OUTPUTS_LETTER_PACKAGE_H_
