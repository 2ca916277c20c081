// The one rule for the query codes that name a query's files: the selection
// file "<code>.EXT", the merge file "<code>.MEM", the SELECTES file the record
// engine keeps under the code as physical name, and the labels and letters
// folders' files.
//
// A usable code is exactly 8 characters, each an ASCII digit or capital
// letter ("01000042", "REQ00007"). Such a code is a physical name the engine
// accepts, stays inside its folder, and is its own name under every mapping
// the files go through: the engine's upper-casing of physical names, a file
// system that ignores case, and the labels' and letters' safe file names, so
// that two distinct usable codes never share an output file. Anything else
// ("0100:001", a control character, "0100a001" beside "0100A001", a blank, a
// short or long code) is refused where codes are saved and where outputs are
// written, with QueryCodeRefusal's message. Pure functions; no failure.
#ifndef VZ_SRC_DB_QUERY_CODE_H_
#define VZ_SRC_DB_QUERY_CODE_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace vz::db {

inline constexpr size_t kUsableQueryCodeLength = 8;

bool IsUsableQueryCode(std::string_view code);

// The message (cp1252, without its "Erreur," verb) that refuses `code`: it
// names the code (control characters shown as '?', at most 20 characters)
// and ends with `consequence` (UTF-8), what was not done.
std::string QueryCodeRefusal(std::string_view code, std::string_view consequence);

}  // namespace vz::db

#endif  // VZ_SRC_DB_QUERY_CODE_H_
