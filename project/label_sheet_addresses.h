// The addresses of the labels of a query: the clients of the query's
// extraction file SELECTES, in postcode order (key "CODPTT"), each with the
// name and address that its mail goes to.
//
// For each SELECTES record the client is read from CLIENT (key "CODCLI"): its
// civility written out and its name. The address is the household's address
// "001" of ADRESSES (key "CODADR") when there is one, else the address lines,
// postcode and city of the CLIENT record. A client no longer in CLIENT keeps a
// label with the name, postcode and city that SELECTES holds (replaced by the
// household's address "001" when there is one), so that no selected client is
// left out of the print.
//
// Reads through the window code's own record session (project_data.h): the program's
// records and positions are untouched. Nothing fails: a missing or empty
// SELECTES gives no address.
// REQUIRES: data belongs to the runtime's engine context, SELECTES named
// after the query by the program.
#ifndef VZ_PROJECT_LABEL_SHEET_ADDRESSES_H_
#define VZ_PROJECT_LABEL_SHEET_ADDRESSES_H_

#include <vector>

#include "project/label_sheet.h"
#include "project/project_data.h"

namespace vz::project {

std::vector<LabelAddress> ReadLabelAddresses(db::RecordSession& data);

}  // namespace vz::project

#endif  // VZ_PROJECT_LABEL_SHEET_ADDRESSES_H_
