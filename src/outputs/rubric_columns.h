// The rubric column producers: one family of producers driven by a member
// table (prefix, loader, columns per entry, which amount tables), and the
// estate producer, which reads CLIPART instead of a loader.
//
// A producer for prefix P runs its loader once per client (the selector is
// the option of the first entry of the list whose code begins with P), then
// appends, for each entry of P in list order, one or two columns carrying the
// entry's code, filled from the amount tables at the position of the code in
// the loader's code table; a code the client has no figure for keeps 8
// blanks. An entry that would not fit whole in the column tables is left out.
// The provident cover ("33") pairs amounts across its two tables (see the
// .cpp). The estate producer ("SC") fills "SC00A" and "SC00B" from the two
// values of CLIPART field 12 of the client; a client without a CLIPART record
// gets 8 blanks.
//
// Producers hold no state between clients of their own; the loaders move the
// positions of the files they read (rubric_loaders.h), CLIENT included for
// "20". A caller that walks clients in client-code order may pass a
// HouseholdColumnMemo: the persons of one household then share one load of
// every family whose figures are the household's whole (every family with a
// person option except under option "1"; never taxes, retirement, provident
// or estate), and the second person gets the columns the first one got
// without the files being read again. The columns are the same bytes either
// way.
// REQUIRES: the database files are described and open.
#ifndef VZ_SRC_OUTPUTS_RUBRIC_COLUMNS_H_
#define VZ_SRC_OUTPUTS_RUBRIC_COLUMNS_H_

#include <array>
#include <cstddef>
#include <string_view>

#include "src/outputs/extraction_columns.h"
#include "src/outputs/extraction_rubrics.h"
#include "src/selection/rubric_tables.h"

namespace vz::outputs {

// The loader families a memo keeps one household's columns for.
inline constexpr size_t kMemoFamilyCount = 12;
inline constexpr size_t kHouseholdCodeWidth = 8;

// The columns each household-wide family gave for the last household it was
// loaded for. About 135 KB: keep it on the heap, one per run (the data must
// not change while it is in use). Starts empty; Forget() empties it.
class HouseholdColumnMemo {
 public:
  struct Slot {
    bool valid = false;
    selection::FixedText<kHouseholdCodeWidth> household;
    char selector = 0;
    int first_column = 0;  // the column count before the family's columns
    int count = 0;
    std::array<Column, kColumnCapacity> columns{};
  };

  void Forget() {
    for (Slot& slot : slots_) slot.valid = false;
  }
  // REQUIRES: family < kMemoFamilyCount.
  Slot& slot(size_t family) { return slots_[family]; }

 private:
  std::array<Slot, kMemoFamilyCount> slots_{};
};

// Runs the producer of `prefix` ("40", "54", ..., "SC") for the 9-character
// `client_code`; an unknown prefix appends nothing. With a `memo`, a
// household-wide family reuses the columns of the previous load of the same
// household (see above).
void ProduceRubricColumns(std::string_view prefix, const ExtractionRubricList& list,
                          std::string_view client_code, selection::WorkTables& tables,
                          ColumnTables& columns, HouseholdColumnMemo* memo = nullptr);

}  // namespace vz::outputs

#endif  // VZ_SRC_OUTPUTS_RUBRIC_COLUMNS_H_
