// The identity fields of a letter (keywords beginning "00"): the two persons
// of the household, their address, ages, family situation, matrimonial regime
// and professions.
//
// Person 1 is the client read from CLIENT by "CODCLI". Person 2 is decided
// from the client file alone: the record that follows person 1 in "CODCLI"
// order, when it belongs to the same household (characters 3 to 8 of the two
// codes equal), is not person 1 again (a duplicated record) and its name does
// not begin with "(" or "*". Otherwise every person-2 value is empty. Which
// clients a selection run kept plays no part.
//
// A client code that CLIENT does not hold reads as a cleared record: empty
// texts, an age of 0 (three blanks). A matrimonial regime or profession code
// that ANNEXE or PROFES does not hold gives an empty label.
//
// LetterPersons owns two copies of the CLIENT record, allocated once per run.
// Loading moves the current position of CLIENT (left on the record after
// person 1) and ADRESSES; the identity values move ANNEXE and PROFES.
// REQUIRES: the database files are described and open (record_ops.h).
#ifndef VZ_SRC_OUTPUTS_LETTER_IDENTITY_H_
#define VZ_SRC_OUTPUTS_LETTER_IDENTITY_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "src/db/layouts/client.h"
#include "src/outputs/letter_fields.h"
#include "src/outputs/letter_values.h"
#include "src/selection/rubric_tables.h"

namespace vz::outputs {

class LetterPersons {
 public:
  LetterPersons();

  // Reads the client `client_code` and the record after it, and loads the
  // client's address into `address`.
  void Load(std::string_view client_code, selection::AddressBlock& address);

  bool found() const { return found_; }
  bool has_second() const { return has_second_; }
  db::ClientRecord first() { return db::ClientRecord{first_.data()}; }
  db::ClientRecord second() { return db::ClientRecord{second_.data()}; }

 private:
  std::vector<uint8_t> first_;
  std::vector<uint8_t> second_;
  bool found_ = false;
  bool has_second_ = false;
};

// The family situation text of a family situation code and a civility code
// ("1" is a man); empty for an unknown situation.
std::string_view LetterFamilySituationText(std::string_view situation, std::string_view civility);

// The civility of a client written out, as letters give it: "Mademoiselle"
// for code "3", else the written-out title, else "Monsieur" (1) or "Madame"
// (2).
std::string LetterCivility(db::ClientRecord client);

// Appends one value per identity keyword of `fields`, in list order.
void AppendIdentityValues(const LetterFieldList& fields, LetterPersons& persons,
                          const selection::AddressBlock& address, LetterValues& values);

}  // namespace vz::outputs

#endif  // VZ_SRC_OUTPUTS_LETTER_IDENTITY_H_
