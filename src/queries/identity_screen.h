// The identity criteria screen: name, file number, postcode, city, age and
// birthday ranges, family situation, matrimonial regime, profession family
// and profession of the clients a query selects.
//
// Opens window SEL01A over the query definition window, shows the criteria of
// the working set, and on "TF0" stores them back into it (a criterion left
// empty, or a list on its first row, is removed). "ESC" leaves the working set
// as it was; any other return code shows the window again. Nothing is written
// to the file here. Values are stored as typed, without validation. When the
// working set has no slot left for a new criterion, that criterion is not
// stored and an error box says so; the others are stored.
// REQUIRES: the list separator is TAB (as from the end of start-up on).
#ifndef VZ_SRC_QUERIES_IDENTITY_SCREEN_H_
#define VZ_SRC_QUERIES_IDENTITY_SCREEN_H_

#include "src/queries/query_records.h"

namespace vz::queries {

void RunIdentityCriteriaScreen(QueryWorkingSet& lines);

}  // namespace vz::queries

#endif  // VZ_SRC_QUERIES_IDENTITY_SCREEN_H_
