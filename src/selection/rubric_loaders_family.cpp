// The family of rubric loaders that add up the records of one client or
// household per line code. The members differ only as the table kMembers
// says: which file, whether a selector applies, which amount tables receive
// the amount and the second amount, and whether a net income and a yield are
// computed.
//
// Net income of a rental property (IMMORAPP): rent (field 6) - charges
// (field 14) - tax (field 15); when the property is financed by loans (field
// 22 is "O" once trimmed), each loan of the household whose property key
// (EMPRUNTS field 19) names this record, in characters 1 to 8 and 10 to 17
// of its key, is subtracted, unless its second amount is 0 or less.
//
// Net income of a land record (FONCIER), taken from the land record itself
// and never from the buffer of another file: field 6 (the real at the place
// where a rental record keeps its rent) - field 14 (the real at the place of
// the rental charges); a land record has no tax real and no loan-financing
// indicator, so every loan whose property key names the land record is
// subtracted under the same rule as above.
//
// A load holds at most kMaxLineCodes distinct line codes; the records of any
// further line code are counted in the totals only (their line code then
// reads as a code without record), so that nothing is written past the
// tables and the totals stay whole.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "src/db/field_access.h"
#include "src/db/file_id.h"
#include "src/db/layouts/rubric_files.h"
#include "src/db/layouts/rubric_record.h"
#include "src/db/record_buffers.h"
#include "src/db/record_ops.h"
#include "src/db/record_session.h"
#include "src/selection/rubric_loaders_internal.h"

namespace vz::selection::internal {
namespace {

using db::FileId;

enum class NetIncome { kNone, kRental, kLand };

struct Member {
  Rubric rubric;
  FileId file;
  bool has_selector;  // false: taxes, every record of the household taken whole
  int amount_table;
  int second_amount_table;  // 0 when the member has no second amount
  size_t second_amount_offset;
  NetIncome net_income;
};

constexpr int kNetIncomeTable = 5;
constexpr int kYieldTable = 6;

constexpr std::array<Member, 10> kMembers = {{
    {Rubric::kIncome, FileId::REVENUS, true, 2, 1, db::IncomeRecord::kSecondAmountOffset,
     NetIncome::kNone},
    {Rubric::kLoans, FileId::EMPRUNTS, true, 3, 4, db::LoanRecord::kSecondAmountOffset,
     NetIncome::kNone},
    {Rubric::kTaxes, FileId::IMPOTS, false, 3, 0, 0, NetIncome::kNone},
    {Rubric::kOwnerOccupied, FileId::IMMOBUSA, true, 3, 0, 0, NetIncome::kNone},
    {Rubric::kRental, FileId::IMMORAPP, true, 3, 0, 0, NetIncome::kRental},
    {Rubric::kLand, FileId::FONCIER, true, 3, 0, 0, NetIncome::kLand},
    {Rubric::kSecurities, FileId::VALMOBIL, true, 3, 0, 0, NetIncome::kNone},
    {Rubric::kCash, FileId::LIQUIDIT, true, 3, 0, 0, NetIncome::kNone},
    {Rubric::kOtherAssets, FileId::AUTREVAL, true, 3, 0, 0, NetIncome::kNone},
    {Rubric::kSinglePremium, FileId::PRIMEUNI, true, 3, 0, 0, NetIncome::kNone},
}};
static_assert(kMembers.size() == RubricKeyGaps::kFamilies);

// Land record reals used for its net income.
constexpr size_t kLandRentOffset = 55;     // field 6
constexpr size_t kLandChargesOffset = 86;  // field 14

const Member* FindMember(Rubric rubric) {
  for (const Member& member : kMembers) {
    if (member.rubric == rubric) return &member;
  }
  return nullptr;
}

// Characters [from, to) of a text, shorter when the text is.
std::string_view Part(std::string_view text, size_t from, size_t to) {
  if (from >= text.size()) return {};
  return text.substr(from, to - from);
}

// True when a loan's property reference names the property whose key is
// `property_key`: characters 1 to 8 and 10 to 17 agree (the owner digit may
// differ).
bool NamesProperty(std::string_view reference, std::string_view property_key) {
  return Part(reference, 0, 8) == Part(property_key, 0, 8) &&
         Part(reference, 9, 17) == Part(property_key, 9, 17);
}

// Subtracts from `net` the amounts of the loans that finance the property.
// Moves the position of EMPRUNTS only.
double SubtractLinkedLoans(double net, std::string_view codclef) {
  KeyValue property_key;
  property_key.Append(Part(codclef, 0, db::RubricRecord::kCodclefWidth));
  const std::string_view household = Part(property_key.view(), 0, 8);
  db::LoanRecord loan(db::RecordBuffer(FileId::EMPRUNTS));
  db::Hlitrecherche("EMPRUNTS", "CODCLEF", household);
  while (!db::Hendehors() && loan.HouseholdCode() == household && !household.empty()) {
    if (NamesProperty(loan.PropertyKey(), property_key.view()) && loan.SecondAmount() > 0.0f) {
      net -= static_cast<double>(loan.Amount());
    }
    db::Hlitsuivant("EMPRUNTS", "CODCLEF");
  }
  return net;
}

double NetIncomeOf(NetIncome kind, const db::RubricRecord& record) {
  if (kind == NetIncome::kRental) {
    const db::RentalRecord rental(record.data);
    double net = static_cast<double>(rental.Rent()) - static_cast<double>(rental.Charges()) -
                 static_cast<double>(rental.Tax());
    std::string_view financed = rental.LoanFinanced();
    while (!financed.empty() && (financed.front() == ' ' || financed.front() == '\xFF')) {
      financed.remove_prefix(1);
    }
    while (!financed.empty() && (financed.back() == ' ' || financed.back() == '\xFF')) {
      financed.remove_suffix(1);
    }
    if (financed == "O") net = SubtractLinkedLoans(net, rental.Codclef());
    return net;
  }
  const double net = static_cast<double>(db::GetReal(record.data, kLandRentOffset)) -
                     static_cast<double>(db::GetReal(record.data, kLandChargesOffset));
  return SubtractLinkedLoans(net, record.Codclef());
}

// The tables a member fills, 0 for none.
std::array<int, 4> FilledTables(const Member& member) {
  const bool net = member.net_income != NetIncome::kNone;
  return {member.amount_table, member.second_amount_table, net ? kNetIncomeTable : 0,
          net ? kYieldTable : 0};
}

// Adds one record of the household to the tables when the selector takes it.
void AddRecord(const Member& member, const db::RubricRecord& record, char selector, char person,
               CodeTable& codes, AmountTables& amounts,
               std::array<double, kAmountTableCount + 1>& overflow) {
  const char owner = record.OwnerDigit();
  const bool taken = !member.has_selector || selector == '2' ||
                     (selector == '1' && (owner == person || owner == '3'));
  if (taken) {
    const bool halved = member.has_selector && selector == '1' && owner == '3';
    const auto share = [halved](double value) { return halved ? value / 2.0 : value; };
    const double amount = share(static_cast<double>(record.Amount()));
    const double second =
        member.second_amount_table == 0
            ? 0.0
            : share(static_cast<double>(db::GetReal(record.data, member.second_amount_offset)));
    const double net =
        member.net_income == NetIncome::kNone ? 0.0 : share(NetIncomeOf(member.net_income, record));

    int entry = codes.Find(record.RubricCode());
    if (entry > codes.count() && codes.count() >= kMaxLineCodes) {
      overflow[static_cast<size_t>(member.amount_table)] += amount;
      overflow[static_cast<size_t>(member.second_amount_table)] += second;
      overflow[kNetIncomeTable] += net;
    } else {
      codes.Set(entry, record.RubricCode());
      amounts.Add(member.amount_table, entry, amount);
      if (member.second_amount_table != 0) amounts.Add(member.second_amount_table, entry, second);
      if (member.net_income != NetIncome::kNone) amounts.Add(kNetIncomeTable, entry, net);
      if (entry > codes.count()) codes.set_count(entry);
    }
  }
}

}  // namespace

void LoadFamilyRubric(Rubric rubric, std::string_view client_code, char selector,
                      WorkTables& tables) {
  const Member* member = FindMember(rubric);
  if (member == nullptr) return;
  CodeTable& codes = tables.codes;
  AmountTables& amounts = tables.amounts;
  codes.Clear();
  for (int table : FilledTables(*member)) amounts.Clear(table);

  // Sums of the records whose line code found no room (see above).
  std::array<double, kAmountTableCount + 1> overflow{};

  const std::string_view household = HouseholdOf(client_code);
  const char person = client_code.size() > 8 ? client_code[8] : '\0';
  const std::optional<db::RubricRecord> found =
      db::RubricRecordIn(member->file, db::RecordBuffer(member->file));
  if (!found) return;
  const db::RubricRecord record = *found;

  // Taxes start at the client's own code; the others at the household. A
  // household the file is known to hold nothing for needs no search.
  const size_t family = static_cast<size_t>(member - kMembers.data());
  RubricKeyGaps& gaps = tables.key_gaps;
  // A member searched at the household whose records read no other file may
  // add up the household's records kept from the previous person's load; a
  // load that ends out of the file is not kept (the position would differ).
  HouseholdRecords& held = tables.household_records;
  const bool may_hold = held.enabled() && member->has_selector &&
                        member->net_income == NetIncome::kNone && !household.empty();
  uint8_t* const buffer = db::RecordBuffer(member->file);
  const size_t size = db::RecordBufferSize(member->file);
  if (may_hold && !db::Hendehors() && held.Holds(member->file, household, buffer, size)) {
    for (size_t i = 0; i < held.count(); ++i) {
      const std::optional<db::RubricRecord> kept = db::RubricRecordIn(member->file, held.Record(i));
      if (kept) AddRecord(*member, *kept, selector, person, codes, amounts, overflow);
    }
  } else if (!gaps.HasNone(family, household)) {
    // The previous household's load stopped on this household's first
    // record, still in the buffer: the search would stop there again.
    const bool stands_on_first =
        may_hold && held.StoppedOn(member->file, household, record.HouseholdCode(), buffer, size);
    if (may_hold) held.Start(member->file, household, size);
    // The file is named by its identifier: no look-up of its name per read.
    // Only the net incomes read a record's key (CODCLEF): for the others the
    // key slots are built once, for the record the load stops on.
    db::RecordSession& session = db::ProgramSession();
    const bool slots_later = member->net_income == NetIncome::kNone;
    const std::string_view from = member->has_selector ? household : client_code.substr(0, 9);
    bool in_file = true;
    if (!stands_on_first) {
      if (slots_later) {
        session.HlitrechercheSlotsLater(member->file, "CODCLEF", from);
      } else {
        session.Hlitrecherche(member->file, "CODCLEF", from);
      }
      in_file = !db::Hendehors();
    }
    while (in_file && !household.empty() && record.HouseholdCode() == household) {
      AddRecord(*member, record, selector, person, codes, amounts, overflow);
      if (may_hold) held.Add(buffer);
      if (slots_later) {
        session.HlitsuivantSlotsLater(member->file, "CODCLEF");
      } else {
        session.Hlitsuivant(member->file, "CODCLEF");
      }
      in_file = !db::Hendehors();
    }
    // The last read was this file's: `in_file` is what Hendehors tells.
    if (slots_later && in_file) session.RebuildKeySlots(member->file);
    if (may_hold && in_file) held.Finish(buffer);
    if (gaps.enabled()) {
      gaps.Learn(family, household, in_file ? record.HouseholdCode() : std::string_view(),
                 !in_file);
    }
  }

  // Totals in the entry after the last line code.
  const int count = codes.count();
  const int total = count + 1;
  for (int table : FilledTables(*member)) {
    if (table == 0 || table == kYieldTable) continue;
    double sum = overflow[static_cast<size_t>(table)];
    for (int entry = 1; entry <= count; ++entry) sum += amounts.Get(table, entry);
    amounts.Set(table, total, sum);
  }
  if (member->net_income != NetIncome::kNone) {
    for (int entry = 1; entry <= total; ++entry) {
      const double value = amounts.Get(member->amount_table, entry);
      if (value != 0.0) {
        amounts.Set(kYieldTable, entry, amounts.Get(kNetIncomeTable, entry) / value);
      }
    }
  }
  KeyValue total_code;
  total_code.Append(codes.At(1).substr(0, codes.At(1).size() < 2 ? codes.At(1).size() : 2))
      .Append("000");
  codes.Set(total, total_code.view());
  codes.set_count(total);
}

}  // namespace vz::selection::internal
