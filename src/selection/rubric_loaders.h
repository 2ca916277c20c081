// The rubric loaders: for one client and one rubric, every record of the
// rubric file that belongs to the client (or household) is read through the
// key "CODCLEF" and its amounts are added up per line code into the work
// tables (rubric_tables.h).
//
// Tables filled (all others keep what they held):
//   income            codes, 1 (second amounts), 2 (amounts)
//   loans             codes, 3 (amounts), 4 (second amounts)
//   taxes, owner-occupied real estate, securities, cash, other assets,
//   single-premium life insurance                  codes, 3
//   rental real estate, land   codes, 3 (amounts), 5 (net incomes), 6 (yields)
//   retirement        fixed codes "2000A".."2000E", 7
//   provident cover   fixed codes "3300A".."3300N", 3 and 6
// The family loaders end with a total entry: code = the first two characters
// of entry 1 + "000" ("000" when there is no record), amounts = the sums.
//
// Selector (the twelfth character of the criteria key): '2' takes every
// record of the household; '1' takes the client's own records whole and the
// joint records (owner digit '3') at half their amounts; any other selector
// takes nothing. Taxes, retirement and provident have no selector.
// Sums are 64-bit; the 32-bit record amounts are widened before adding.
//
// Nothing fails: a file that cannot be read gives no records, a missing
// client gives zeros. The loaders move the current position of every file
// they read, CLIENT included (retirement); callers restore their own.
// Nothing is allocated per call.
// REQUIRES: the database files are described and open (record_ops.h).
#ifndef VZ_SRC_SELECTION_RUBRIC_LOADERS_H_
#define VZ_SRC_SELECTION_RUBRIC_LOADERS_H_

#include <optional>
#include <string_view>

#include "src/selection/rubric_tables.h"

namespace vz::selection {

enum class Rubric {
  kIncome,         // "40" REVENUS
  kLoans,          // "54" EMPRUNTS
  kTaxes,          // "51" IMPOTS
  kOwnerOccupied,  // "01" IMMOBUSA
  kRental,         // "02" IMMORAPP
  kLand,           // "03" FONCIER
  kSecurities,     // "04" VALMOBIL
  kCash,           // "05" LIQUIDIT
  kOtherAssets,    // "06" AUTREVAL
  kSinglePremium,  // "07" PRIMEUNI
  kRetirement,     // "20" RETRAITE, RETRPERS, RETRSOUH, REVENUS
  kProvident,      // "33" PREVSOUH
};

// The rubric whose criteria keys and line codes begin with `prefix` (its
// first two characters); nullopt for "SC" (estate, no loader) and unknown
// prefixes.
std::optional<Rubric> RubricOfPrefix(std::string_view prefix);

// Loads `rubric` for the 9-character `client_code`. `selector` is ignored by
// the loaders that have none.
void LoadRubric(Rubric rubric, std::string_view client_code, char selector, WorkTables& tables);

}  // namespace vz::selection

#endif  // VZ_SRC_SELECTION_RUBRIC_LOADERS_H_
