// The phrase of one identity criterion of the query summary (query_summary.h),
// read as the identity test of the selection run reads it: bounds inclusive,
// a blank bound open ("__/__" too for a birthday), names, file numbers and
// postcodes compared as texts with their blanks trimmed, ages as whole
// numbers, list criteria on their code (the first two characters for the
// profession family), a blank code meaning no condition.
// Texts are cp1252 and split at TAB. Pure; nothing fails.
#ifndef VZ_SRC_QUERIES_IDENTITY_PHRASES_H_
#define VZ_SRC_QUERIES_IDENTITY_PHRASES_H_

#include <optional>
#include <string>
#include <string_view>

namespace vz::queries::summary {

// True for the ten identity criteria keys ("NOMCLI******" ... "PROFES******").
bool IsIdentityKey(std::string_view key);

// "âge de 50 à 65 ans", "code postal à partir de 75000", "ville « PARIS »",
// "situation de famille : Marié", ...; nullopt when `key` is not an identity
// key.
std::optional<std::string> IdentityPhrase(std::string_view key, std::string_view text);

}  // namespace vz::queries::summary

#endif  // VZ_SRC_QUERIES_IDENTITY_PHRASES_H_
