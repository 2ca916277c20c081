// The address loader: the mailing address of one client into the address
// block of the work tables.
//
// The household's address "001" of ADRESSES comes first; a household without
// one takes the address of the CLIENT record in the client file's buffer
// (the current record, which the caller has just read). Lines and city are
// fitted to exactly 60 characters (cut or padded with spaces), the postcode
// is copied as 5 characters. Nothing fails: a missing address leaves the
// CLIENT record's fields, empty ones give blank lines.
// Moves the current position of ADRESSES only.
// REQUIRES: the database files are described and open (record_ops.h).
#ifndef VZ_SRC_SELECTION_ADDRESS_LOADER_H_
#define VZ_SRC_SELECTION_ADDRESS_LOADER_H_

#include <string_view>

#include "src/selection/rubric_tables.h"

namespace vz::selection {

inline constexpr size_t kAddressTextWidth = 60;

void LoadAddress(std::string_view client_code, AddressBlock& address);

}  // namespace vz::selection

#endif  // VZ_SRC_SELECTION_ADDRESS_LOADER_H_
