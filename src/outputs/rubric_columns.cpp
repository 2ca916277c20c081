// The rubric column producers (rubric_columns.h).
#include "src/outputs/rubric_columns.h"

#include <array>
#include <optional>

#include "src/db/layouts/clipart.h"
#include "src/db/record_ops.h"
#include "src/selection/rubric_loaders.h"

namespace vz::outputs {
namespace {

using selection::Rubric;

// How one family turns the loader's tables into columns.
enum class Pairing {
  kOne,        // one column: table `first`, entry k
  kTwo,        // two columns: table `first` then table `second`, entry k
  kProvident,  // two columns across tables 3 and 6 (below)
};

struct Member {
  std::string_view prefix;
  Rubric rubric;
  Pairing pairing;
  int first;
  int second;
  // The loader searches from the household code and reads the household's
  // records, choosing them by person only under option "1".
  bool by_household;
};

constexpr std::array<Member, 12> kMembers = {{
    {"40", Rubric::kIncome, Pairing::kOne, 2, 0, true},
    {"54", Rubric::kLoans, Pairing::kTwo, 3, 4, true},
    {"51", Rubric::kTaxes, Pairing::kOne, 3, 0, false},  // searches from the client's own code
    {"01", Rubric::kOwnerOccupied, Pairing::kOne, 3, 0, true},
    {"02", Rubric::kRental, Pairing::kTwo, 3, 6, true},
    {"03", Rubric::kLand, Pairing::kTwo, 3, 6, true},
    {"04", Rubric::kSecurities, Pairing::kOne, 3, 0, true},
    {"05", Rubric::kCash, Pairing::kOne, 3, 0, true},
    {"06", Rubric::kOtherAssets, Pairing::kOne, 3, 0, true},
    {"07", Rubric::kSinglePremium, Pairing::kOne, 3, 0, true},
    {"20", Rubric::kRetirement, Pairing::kOne, 7, 0, false},
    {"33", Rubric::kProvident, Pairing::kProvident, 3, 6, false},
}};
static_assert(kMembers.size() == kMemoFamilyCount);

// The provident loader fills 14 fixed codes: the first seven pair amount
// table 3 entries k and k + 7, the last seven pair amount table 6 entries
// k - 7 and k.
constexpr int kProvidentHalf = 7;

// REQUIRES: `prefix` has 2 characters.
bool HasPrefix(const ExtractionRubric& entry, std::string_view prefix) {
  const std::string_view code = entry.Code();
  return code.size() >= 2 && code[0] == prefix[0] && code[1] == prefix[1];
}

const Member* MemberOf(std::string_view prefix) {
  for (const Member& member : kMembers) {
    if (member.prefix == prefix) return &member;
  }
  return nullptr;
}

int ColumnsPerEntry(Pairing pairing) {
  return pairing == Pairing::kOne ? 1 : 2;
}

// The memo slot that may serve this load, or null when the figures depend on
// the person (or the code names no household).
HouseholdColumnMemo::Slot* MemoSlot(const Member& member, char selector,
                                    std::string_view client_code, HouseholdColumnMemo* memo) {
  if (memo == nullptr || !member.by_household || selector == '1' ||
      client_code.size() < kHouseholdCodeWidth) {
    return nullptr;
  }
  return &memo->slot(static_cast<size_t>(&member - kMembers.data()));
}

bool Serves(const HouseholdColumnMemo::Slot& slot, char selector, std::string_view client_code,
            const ColumnTables& columns) {
  return slot.valid && slot.selector == selector && slot.first_column == columns.count() &&
         slot.household.view() == client_code.substr(0, kHouseholdCodeWidth);
}

void Remember(HouseholdColumnMemo::Slot& slot, char selector, std::string_view client_code,
              int first_column, const ColumnTables& columns) {
  slot.valid = true;
  slot.selector = selector;
  slot.household.assign(client_code.substr(0, kHouseholdCodeWidth));
  slot.first_column = first_column;
  slot.count = columns.count() - first_column;
  for (int i = 0; i < slot.count; ++i) {
    slot.columns[static_cast<size_t>(i)] = columns.at(first_column + i);
  }
}

// One or two columns per entry of the member's prefix, from the tables its
// loader just filled.
void FillLoaderColumns(const Member& member, const ExtractionRubricList& list,
                       const selection::WorkTables& tables, ColumnTables& columns) {
  const int width = ColumnsPerEntry(member.pairing);
  std::array<char, 32> text{};
  for (const ExtractionRubric& entry : list) {
    if (!HasPrefix(entry, member.prefix)) continue;
    if (columns.count() + width > kColumnCapacity) return;
    for (int i = 0; i < width; ++i) columns.Append(entry.Code(), kBlankAmount);
    const int k = tables.codes.Find(entry.Code());
    if (k > tables.codes.count()) continue;
    const selection::AmountTables& amounts = tables.amounts;
    switch (member.pairing) {
      case Pairing::kOne:
        columns.SetFromLast(0, FormatAmount(amounts.Get(member.first, k), text));
        break;
      case Pairing::kTwo:
        columns.SetFromLast(1, FormatAmount(amounts.Get(member.first, k), text));
        columns.SetFromLast(0, FormatAmount(amounts.Get(member.second, k), text));
        break;
      case Pairing::kProvident:
        if (k <= kProvidentHalf) {
          columns.SetFromLast(1, FormatAmount(amounts.Get(member.first, k), text));
          columns.SetFromLast(0, FormatAmount(amounts.Get(member.first, k + kProvidentHalf), text));
        } else {
          columns.SetFromLast(1,
                              FormatAmount(amounts.Get(member.second, k - kProvidentHalf), text));
          columns.SetFromLast(0, FormatAmount(amounts.Get(member.second, k), text));
        }
        break;
    }
  }
}

void ProduceLoaderColumns(const Member& member, const ExtractionRubricList& list,
                          std::string_view client_code, selection::WorkTables& tables,
                          ColumnTables& columns, HouseholdColumnMemo* memo) {
  const ExtractionRubric* first = nullptr;
  for (const ExtractionRubric& entry : list) {
    if (HasPrefix(entry, member.prefix)) {
      first = &entry;
      break;
    }
  }
  if (first == nullptr) return;
  const char selector = first->Option();
  HouseholdColumnMemo::Slot* slot = MemoSlot(member, selector, client_code, memo);
  if (slot != nullptr && Serves(*slot, selector, client_code, columns)) {
    for (int i = 0; i < slot->count; ++i) {
      const Column& column = slot->columns[static_cast<size_t>(i)];
      columns.Append(column.code.view(), column.value.view());
    }
    return;
  }
  const int first_column = columns.count();
  selection::LoadRubric(member.rubric, client_code, selector, tables);
  FillLoaderColumns(member, list, tables, columns);
  if (slot != nullptr) Remember(*slot, selector, client_code, first_column, columns);
}

void ProduceEstateColumns(const ExtractionRubricList& list, std::string_view client_code,
                          ColumnTables& columns) {
  std::array<double, 2> estate{0, 0};
  bool read = false;
  std::array<char, 32> text{};
  for (const ExtractionRubric& entry : list) {
    if (!HasPrefix(entry, "SC")) continue;
    if (!read) {
      read = true;
      db::Hlitrecherche("CLIPART", "CODCLI", client_code);
      const db::EstateRecord record = db::CurrentEstate();
      if (!db::Hendehors() && record.ClientCode() == client_code) {
        estate = {record.EstateOnDeath(0), record.EstateOnDeath(1)};
      }
    }
    const std::string_view code = entry.Code();
    if (code == "SC00A") {
      columns.Append(code, FormatAmount(estate[0], text));
    } else if (code == "SC00B") {
      columns.Append(code, FormatAmount(estate[1], text));
    } else {
      columns.Append(code, kBlankAmount);
    }
  }
}

}  // namespace

void ProduceRubricColumns(std::string_view prefix, const ExtractionRubricList& list,
                          std::string_view client_code, selection::WorkTables& tables,
                          ColumnTables& columns, HouseholdColumnMemo* memo) {
  if (prefix == "SC") {
    ProduceEstateColumns(list, client_code, columns);
    return;
  }
  if (const Member* member = MemberOf(prefix)) {
    ProduceLoaderColumns(*member, list, client_code, tables, columns, memo);
  }
}

}  // namespace vz::outputs
