// The identity column producer (family "00"): for each entry of the
// extraction rubric list whose code is one of "0000A".."0000M", the client's
// identity value taken from the current CLIENT record and the address block.
//
//   0000A name            0000F field 11        0000K matrimonial regime (ANNEXE)
//   0000B field 6         0000G field 12        0000L profession (PROFES)
//   0000C address lines   0000H age             0000M civility
//         1 and 2 (two    0000I birth date
//         columns)        0000J family situation
//   0000D postcode, 0000E city of the address block
//
// Other codes give no column. A missing ANNEXE or PROFES record gives an
// empty label; a client missing from CLIENT (empty buffer) gives blank or
// empty values. Reads ANNEXE and PROFES (their buffers move), nothing else.
// REQUIRES: the CLIENT buffer holds the current client and the address block
// is loaded (address_loader.h).
#ifndef VZ_SRC_OUTPUTS_IDENTITY_COLUMNS_H_
#define VZ_SRC_OUTPUTS_IDENTITY_COLUMNS_H_

#include <string_view>

#include "src/db/layouts/client.h"
#include "src/outputs/extraction_columns.h"
#include "src/outputs/extraction_rubrics.h"
#include "src/selection/rubric_tables.h"

namespace vz::outputs {

void ProduceIdentityColumns(const ExtractionRubricList& list, const db::ClientRecord& client,
                            const selection::AddressBlock& address, ColumnTables& columns);

// The family situation in words, 11 characters (cp1252), for the family
// situation code and the civility code; empty for an unknown situation.
std::string_view FamilySituationText(std::string_view situation, std::string_view civility);

// The civility word: the written-out title (cut or padded to 12 characters)
// when it is not blank, else "Monsieur    " for "1", "Madame      " for "2",
// empty otherwise; civility "3" always gives "Mademoiselle". The result
// lives in `out` (at least 12 characters) or in static storage.
std::string_view CivilityText(std::string_view title, std::string_view civility,
                              std::array<char, 32>& out);

}  // namespace vz::outputs

#endif  // VZ_SRC_OUTPUTS_IDENTITY_COLUMNS_H_
