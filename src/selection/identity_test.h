// The identity test: the client's name, file number, postcode, city, age,
// birthday, family situation, matrimonial regime, professional family and
// profession against the identity criteria of the query.
//
// Reads the criteria entries, the CLIENT record given (normally the current
// record of the client file) and the address block; changes nothing. Every
// entry is examined; keys that are not identity keys are ignored. Bounds are
// inclusive; an empty bound leaves its side open. Texts compare ordinally on
// their cp1252 bytes, case-sensitively. The age is counted in whole 365-day
// years up to today (vz::os::Today, which tests can fix). Criteria texts are
// split at the list separator (vz::config::ListSeparator()).
// Nothing fails: an unreadable bound counts as 0 (ages) or as its text.
#ifndef VZ_SRC_SELECTION_IDENTITY_TEST_H_
#define VZ_SRC_SELECTION_IDENTITY_TEST_H_

#include <span>

#include "src/db/layouts/client.h"
#include "src/selection/rubric_tables.h"

namespace vz::selection {

// True when the client meets every identity criterion in `criteria`; the
// caller clears its selected flag otherwise.
bool PassesIdentityTest(std::span<const CriteriaEntry> criteria, const db::ClientRecord& client,
                        const AddressBlock& address);

}  // namespace vz::selection

#endif  // VZ_SRC_SELECTION_IDENTITY_TEST_H_
