// Profile files (initialisation files): "[section]" lines and "key=value"
// lines, read and written one value at a time.
//
// Reading:
//  - Sections and keys are matched without regard to ASCII case, after their
//    blanks (spaces and tabs) at both ends are removed.
//  - A missing or unreadable file, section or key gives an empty value.
//  - When a section name appears twice, only the first section counts; when
//    a key appears twice in it, only the first line counts.
//  - Values are trimmed of spaces at both ends; tabs are kept, so a value
//    whose fields are each followed by a TAB reads back exactly.
//  - Lines starting with ';' are comments; lines without '=' (other than
//    section lines) are ignored; a "[" line without "]" is not a section
//    line. A UTF-8 byte order mark before the first line is skipped. Lines end
//    with LF or CR LF. Binary bytes, NUL bytes and very long lines are
//    carried as they are and never stop the reader.
//
// Writing replaces the value of the first matching key line of the first
// matching section, or adds the key at the end of that section (after its
// last non-blank line), or adds the section and the key at the end of the
// file, creating the file if needed. Every other byte of the file stays as it
// was. A new line uses the line end of the file's first line (CR LF for a new
// file). The new text goes to a temporary file beside the old one, which is
// then renamed over it, so a crash leaves either the old or the new file.
// A write fails (returns false, nothing changed) when the file exists but
// cannot be read, when the directory cannot be written, or when the section,
// key or value would break the line structure (see WriteProfileString).
#ifndef VZ_PLATFORM_OS_PROFILE_FILE_H_
#define VZ_PLATFORM_OS_PROFILE_FILE_H_

#include <string>
#include <string_view>
#include <vector>

namespace vz::os {

struct ProfileEntry {
  std::string key;    // as written in the file, blanks at the ends removed
  std::string value;  // spaces at the ends removed
};

// --- on files ---

std::string ReadProfileString(const std::string& path, std::string_view section,
                              std::string_view key);

// Every key line of the first matching section, in file order, duplicates
// included. Empty when the file or the section is missing.
std::vector<ProfileEntry> ReadProfileSection(const std::string& path, std::string_view section);

// Sets key=value in section. Refused (false) when section or key is empty
// after trimming, when any of them holds CR, LF or NUL, when the key holds
// '=' or starts with '[' or ';', when the section holds ']', or when the
// value holds CR or LF.
bool WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value);

// --- on file contents (the same rules, without the file system) ---

std::vector<ProfileEntry> ParseProfileSection(std::string_view text, std::string_view section);

std::string ProfileValue(std::string_view text, std::string_view section, std::string_view key);

// REQUIRES: IsWritableProfileEntry(section, key, value).
std::string SetProfileValue(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value);

bool IsWritableProfileEntry(std::string_view section, std::string_view key, std::string_view value);

}  // namespace vz::os

#endif  // VZ_PLATFORM_OS_PROFILE_FILE_H_
