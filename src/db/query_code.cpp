// The rule for query codes that name files (query_code.h).
#include "src/db/query_code.h"

#include "platform/os/cp1252.h"

namespace vz::db {
namespace {

constexpr size_t kShownLimit = 20;
constexpr char kRule[] =
    " » ne peut pas nommer de fichier (8 chiffres ou lettres majuscules attendus) : ";

bool IsCodeCharacter(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z');
}

}  // namespace

bool IsUsableQueryCode(std::string_view code) {
  if (code.size() != kUsableQueryCodeLength) return false;
  for (char c : code) {
    if (!IsCodeCharacter(c)) return false;
  }
  return true;
}

std::string QueryCodeRefusal(std::string_view code, std::string_view consequence) {
  std::string shown;
  for (char c : code.substr(0, kShownLimit)) {
    const auto byte = static_cast<unsigned char>(c);
    shown.push_back(byte < 0x20 || byte == 0x7F ? '?' : c);
  }
  if (code.size() > kShownLimit) shown += "...";
  return os::Cp1252("Le code de requête « ") + shown + os::Cp1252(kRule) + os::Cp1252(consequence) +
         ".";
}

}  // namespace vz::db
