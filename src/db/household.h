// Who is the second person of a household, decided from the client file
// alone: the CLIENT record that follows a client in "CODCLI" order is the
// client's second person when it belongs to the same household (characters 3
// to 8 of the two codes equal), is not the client again (a duplicated
// record) and its name does not begin with "(" or "*" (a client set aside).
// Letters and labels use this one rule. Pure functions; never fail.
#ifndef VZ_SRC_DB_HOUSEHOLD_H_
#define VZ_SRC_DB_HOUSEHOLD_H_

#include <string_view>

namespace vz::db {

constexpr bool IsSameHousehold(std::string_view first, std::string_view second) {
  return first.size() >= 8 && second.size() >= 8 && first.substr(2, 6) == second.substr(2, 6);
}

// `first_code` and `next_code`: the 9-character client codes; `next_name`:
// the name of the record that follows the client.
constexpr bool IsSecondPerson(std::string_view first_code, std::string_view next_code,
                              std::string_view next_name) {
  const bool marked = !next_name.empty() && (next_name.front() == '(' || next_name.front() == '*');
  return IsSameHousehold(first_code, next_code) && next_code != first_code && !marked;
}

}  // namespace vz::db

#endif  // VZ_SRC_DB_HOUSEHOLD_H_
