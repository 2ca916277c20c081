// One label per household: the labels of the two persons of a household who
// are both selected and whose labels go to the same address (same address
// lines, postcode and city) become one label, addressed to both
// (src/util/household_addressee.h), at the place of the one printed first.
// The second person of a client is found in the client file
// (src/db/household.h); a person whose partner is not selected, or lives at
// another address, keeps a label of its own.
//
// Reads CLIENT through the window code's record session; nothing fails.
// REQUIRES: `addresses` as ReadLabelAddresses gives them.
#ifndef VZ_PROJECT_LABEL_HOUSEHOLDS_H_
#define VZ_PROJECT_LABEL_HOUSEHOLDS_H_

#include <vector>

#include "project/label_sheet.h"
#include "project/project_data.h"

namespace vz::project {

std::vector<LabelAddress> OneLabelPerHousehold(db::RecordSession& data,
                                               std::vector<LabelAddress> addresses);

}  // namespace vz::project

#endif  // VZ_PROJECT_LABEL_HOUSEHOLDS_H_
