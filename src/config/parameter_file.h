// The parameter file and the shared parameter table.
//
// The suite keeps its installation settings in a profile file (section
// "COMPOSANTS"); a value is a list of fields, each followed by the list
// separator. Read parameter fills the shared 33-entry table: entry 0 holds
// the field count as two digits ("00" to "32"), entries 1 to 32 the fields.
// The same splitting serves every list of values held in one string.
//
// The table is allocated once, on first use, and never released; every
// reader overwrites it, so callers copy what they need before the next use.
// The list separator is one process-wide character: "," while the program
// loads, TAB once start-up has finished. Paths may be written the Windows
// way ("..\FIC01\PARAM.DTA"); they are mapped by vz::os::ToNativePath and
// taken from the current directory. A missing file, section or key gives an
// empty table; a write that fails changes nothing and says so through its
// result (the program shows nothing). Single-threaded.
#ifndef VZ_SRC_CONFIG_PARAMETER_FILE_H_
#define VZ_SRC_CONFIG_PARAMETER_FILE_H_

#include <array>
#include <string>
#include <string_view>

namespace vz::config {

inline constexpr int kParameterFields = 32;
using table_param = std::array<std::string, kParameterFields + 1>;

inline constexpr std::string_view kComponentsSection = "COMPOSANTS";

// The process-wide table (allocated on the first call).
table_param& SharedParameterTable();

char ListSeparator();
void SetListSeparator(char separator);

// Sets the list separator for its lifetime and restores the previous one.
class ScopedListSeparator {
 public:
  explicit ScopedListSeparator(char separator);
  ~ScopedListSeparator();
  ScopedListSeparator(const ScopedListSeparator&) = delete;
  ScopedListSeparator& operator=(const ScopedListSeparator&) = delete;

 private:
  char previous_;
};

// Clears the 33 entries, then reads `key` of `section` (keys and sections
// without regard to case; the value trimmed of spaces). A value that does not
// end with "," gets one appended; unless the value is empty once trailing
// blanks and NULs are removed, it is split with the current list separator.
// Otherwise entry 0 stays empty (a count of 0).
void ReadParameter(std::string_view path, std::string_view key, table_param& table,
                   std::string_view section);

// Writes fields 1 to 32, each followed by the current list separator (empty
// fields included), as the value of `key` in `section`, creating the file,
// the section or the key as needed and keeping the rest of the file as it
// was. False (and nothing changed) when the file cannot be written or a
// field holds a line break.
bool WriteParameter(std::string_view path, std::string_view key, table_param table,
                    std::string_view section);

// Splits `text` into entries 1, 2, ... at `separator` (its first character;
// an empty one means the current list separator, which is restored
// afterwards either way). Trailing blanks are removed and one separator is
// appended; fields are taken up to the end of the text or 32 fields, the
// rest ignored. Entry 0 := the number of the last non-empty field, two
// digits. Entries after the last field taken keep their contents: callers
// that need a clean table clear it first.
void SplitValue(std::string_view text, table_param& table, std::string_view separator);

// Entry 0 read as a number (0 when empty).
int FieldCount(const table_param& table);

void ClearTable(table_param& table);

}  // namespace vz::config

#endif  // VZ_SRC_CONFIG_PARAMETER_FILE_H_
