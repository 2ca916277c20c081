// One letter per household, when the adviser asks for it (the switch "FOYER"
// of the result window, off by default): of the two persons of a household
// who are both in the extraction and whose letters go to the same address
// (the address block of the letters: the household's address "001", else
// each person's own), only the first person gets a letter, addressed to both.
// The second person is the one the client file gives (src/db/household.h).
// A person whose partner is not selected, or lives at another address, keeps
// a letter of its own.
//
// The household's letter is the first person's letter with two values for
// reading changed: the civility ("0000M") and the name ("0000A") become the
// two halves of the household's addressee (src/util/household_addressee.h),
// so that "#0000M #0000A" reads "Monsieur et Madame DUPONT". The INTERFA
// records keep the first person's values as they always have.
//
// Preparing reads SELECTES, CLIENT and ADRESSES through the program's record
// operations and moves their positions (done before the letters' walk).
// Nothing fails: an empty extraction skips nobody.
// REQUIRES: the database files are open (record_ops.h).
#ifndef VZ_SRC_OUTPUTS_LETTER_HOUSEHOLDS_H_
#define VZ_SRC_OUTPUTS_LETTER_HOUSEHOLDS_H_

#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "src/outputs/letter_identity.h"
#include "src/util/household_addressee.h"

namespace vz::outputs {

class HouseholdLetters {
 public:
  // Reads the window's switch (the current window must be RESULTAT) and,
  // when it is on, finds the second persons whose letter their first person's
  // letter replaces.
  void Prepare();

  bool on() const { return on_; }
  // True for a client whose letter is part of its first person's letter.
  bool Skips(std::string_view client_code) const;
  size_t skipped() const { return skipped_.size(); }

  // The addressee of the letter of `persons` (loaded for the client being
  // written) when it is a household's letter; nothing otherwise.
  std::optional<util::HouseholdAddressee> AddresseeOf(LetterPersons& persons) const;

 private:
  bool on_ = false;
  std::set<std::string, std::less<>> skipped_;  // second persons' codes
  std::set<std::string, std::less<>> firsts_;   // their first persons' codes
};

// The value for reading of an identity keyword in a household's letter: the
// civility or name half of the addressee; nothing for the other keywords.
std::optional<std::string> HouseholdIdentityValue(std::string_view keyword,
                                                  const util::HouseholdAddressee& addressee);

}  // namespace vz::outputs

#endif  // VZ_SRC_OUTPUTS_LETTER_HOUSEHOLDS_H_
