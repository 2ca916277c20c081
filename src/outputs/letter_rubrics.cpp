#include "src/outputs/letter_rubrics.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <string>

#include "src/db/layouts/clipart.h"
#include "src/db/record_buffers.h"
#include "src/db/record_ops.h"
#include "src/outputs/letter_reading.h"
#include "src/selection/rubric_loaders.h"
#include "src/util/number_text.h"

namespace vz::outputs {
namespace {

using selection::Rubric;

constexpr std::string_view kNotInCodeTable = "0";
constexpr int8_t kAmountWidth = -8;
constexpr size_t kClientCodeWidth = 9;
constexpr size_t kSelectorIndex = 6;

// Which amount a family writes for a code found at entry p of the code table.
enum class AmountRule {
  kTable2,         // income
  kTable3,         // taxes, owner-occupied, securities, cash, other assets, single premium
  kTable3Or4,      // loans: table 3 when character 6 is "1", else table 4
  kTable3OrYield,  // rental, land: table 3 when character 6 is "1", else the yield
  kRetirement,     // table 7
  kProvident,      // "3300A".."3300G" and "3300H".."3300N", see ProvidentAmount
  kEstate,         // CLIPART, no code table
};

struct Member {
  int rank;
  std::optional<Rubric> rubric;
  AmountRule rule;
};

constexpr std::array<Member, 13> kMembers = {{
    {2, Rubric::kIncome, AmountRule::kTable2},
    {3, Rubric::kLoans, AmountRule::kTable3Or4},
    {4, Rubric::kTaxes, AmountRule::kTable3},
    {5, Rubric::kOwnerOccupied, AmountRule::kTable3},
    {6, Rubric::kRental, AmountRule::kTable3OrYield},
    {7, Rubric::kLand, AmountRule::kTable3OrYield},
    {8, Rubric::kSecurities, AmountRule::kTable3},
    {9, Rubric::kCash, AmountRule::kTable3},
    {10, Rubric::kOtherAssets, AmountRule::kTable3},
    {11, Rubric::kSinglePremium, AmountRule::kTable3},
    {12, Rubric::kRetirement, AmountRule::kRetirement},
    {13, Rubric::kProvident, AmountRule::kProvident},
    {14, std::nullopt, AmountRule::kEstate},
}};

constexpr int kProvidentHalf = 7;

char CharAt(std::string_view text, size_t index) {
  return index < text.size() ? text[index] : '\0';
}

// Provident codes at position p: "3300A".."3300G" (p 1..7) read table 3 at
// p or p + 7, "3300H".."3300N" (p 8..14) read table 6 at p - 7 or p, by
// character 6 "1" or "2". Any other character 6 keeps "0".
std::optional<double> ProvidentAmount(int p, char choice, const selection::AmountTables& amounts) {
  if (choice != '1' && choice != '2') return std::nullopt;
  const bool first = choice == '1';
  if (p <= kProvidentHalf) return amounts.Get(3, first ? p : p + kProvidentHalf);
  return amounts.Get(6, first ? p - kProvidentHalf : p);
}

std::optional<double> TableAmount(const Member& member, std::string_view keyword,
                                  const selection::WorkTables& tables) {
  const int entry = tables.codes.Find(keyword.substr(0, selection::kLineCodeWidth));
  if (entry > tables.codes.count()) return std::nullopt;
  const char choice = CharAt(keyword, 5);
  const selection::AmountTables& amounts = tables.amounts;
  switch (member.rule) {
    case AmountRule::kTable2:
      return amounts.Get(2, entry);
    case AmountRule::kTable3:
      return amounts.Get(3, entry);
    case AmountRule::kTable3Or4:
      return amounts.Get(choice == '1' ? 3 : 4, entry);
    case AmountRule::kTable3OrYield:
      return amounts.Get(choice == '1' ? 3 : 6, entry);
    case AmountRule::kRetirement:
      return amounts.Get(7, entry);
    case AmountRule::kProvident:
      return ProvidentAmount(entry, choice, amounts);
    case AmountRule::kEstate:
      break;
  }
  return std::nullopt;
}

// Reads the client's CLIPART record; a record of another client reads as
// zeros.
void ReadEstate(std::string_view client_code) {
  const db::EstateRecord estate = db::CurrentEstate();
  bool found = false;
  if (!client_code.empty()) {
    db::Hlitrecherche("CLIPART", "CODCLI", client_code);
    found = !db::Hendehors() && estate.ClientCode() == client_code.substr(0, kClientCodeWidth);
  }
  if (!found) {
    std::memset(estate.data, 0,
                std::min(db::RecordBufferSize(db::FileId::CLIPART), db::EstateRecord::kBufferSize));
  }
}

std::optional<double> EstateAmount(std::string_view keyword) {
  const std::string_view code = keyword.substr(0, selection::kLineCodeWidth);
  const db::EstateRecord estate = db::CurrentEstate();
  if (code == "SC00A") return estate.EstateOnDeath(0);
  if (code == "SC00B") return estate.EstateOnDeath(1);
  return std::nullopt;
}

// The selector of the family's first keyword that has one (a seventh
// character), so that a stray short keyword such as "#40" does not empty every
// amount of the letter; '\0' (no record taken) when none has.
char FamilySelector(int rank, const LetterFieldList& fields) {
  for (int i = 0; i < fields.count(); ++i) {
    const std::string_view keyword = fields.At(i);
    if (FamilyRank(keyword) == rank && keyword.size() > kSelectorIndex) {
      return keyword[kSelectorIndex];
    }
  }
  return '\0';
}

// True when the keyword's value is a yield (a rate) rather than an amount.
bool IsRate(const Member& member, std::string_view keyword) {
  return member.rule == AmountRule::kTable3OrYield && CharAt(keyword, 5) != '1';
}

}  // namespace

void AppendRubricValues(int rank, const LetterFieldList& fields, std::string_view client_code,
                        selection::WorkTables& tables, LetterValues& values,
                        LetterValues* reading) {
  const Member* member = nullptr;
  for (const Member& candidate : kMembers) {
    if (candidate.rank == rank) member = &candidate;
  }
  if (member == nullptr || !fields.HasFamily(rank)) return;

  if (member->rubric) {
    selection::LoadRubric(*member->rubric, client_code, FamilySelector(rank, fields), tables);
  } else {
    ReadEstate(client_code);
  }
  for (int i = 0; i < fields.count(); ++i) {
    const std::string_view keyword = fields.At(i);
    if (FamilyRank(keyword) != rank) continue;
    const std::optional<double> amount =
        member->rubric ? TableAmount(*member, keyword, tables) : EstateAmount(keyword);
    if (amount) {
      values.Append(util::NumberToText(*amount, kAmountWidth, 0));
    } else {
      values.Append(kNotInCodeTable);
    }
    if (reading == nullptr) continue;
    if (!amount) {
      reading->Append(kNotInCodeTable);
    } else {
      reading->Append(IsRate(*member, keyword) ? ReadingRate(*amount) : ReadingAmount(*amount));
    }
  }
}

}  // namespace vz::outputs
