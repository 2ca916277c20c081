// Accent folding for comparisons without regard to case and accents, on
// cp1252 texts. Only the letters of the folding table change; every other
// byte (including accented letters not in the table, such as É, ã or ó)
// is kept. Pure functions; nothing fails.
#ifndef VZ_SRC_UTIL_ACCENTS_H_
#define VZ_SRC_UTIL_ACCENTS_H_

#include <string>
#include <string_view>

namespace vz::util {

// Ä Å à á â ä å -> a;  Ç ç -> c;  è é ê ë -> e;  ì í î ï -> i;
// Ö ò ô ö -> o;  Ü ù ú û -> u.
std::string FoldAccents(std::string_view text);

// Accent folding, then upper case of the ASCII letters a-z only:
// "Société" -> "SOCIETE"; "Ãe" -> "ÃE".
std::string UpperWithoutAccents(std::string_view text);

}  // namespace vz::util

#endif  // VZ_SRC_UTIL_ACCENTS_H_
