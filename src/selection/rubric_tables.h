// The work tables of one selection, extraction or letter run: the code
// table, the seven amount tables, the address block of the current client
// and the criteria entries of the query being evaluated.
//
// The loaders (rubric_loaders.h, address_loader.h) fill the code table and
// the amount tables per client and rubric; the criteria tests
// (identity_test.h, rubric_tests.h), the extraction columns and the letters
// read them. Entry k of every amount table belongs to code table entry k;
// entries are numbered from 1. The caller allocates one WorkTables for its
// whole run (about 8 KB: keep it on the heap) and reuses it for every client:
// nothing here allocates after construction but the household copy
// (household_records.h), which grows to the largest household it holds.
//
// Room: the code table holds 128 five-character line codes and each amount
// table 128 values, so a client may have up to 127 distinct line codes in one
// rubric and the total still has an entry of its own. Reads outside the
// tables give an empty code or 0; writes outside them are ignored, so a bad
// entry number never touches a neighbour table.
#ifndef VZ_SRC_SELECTION_RUBRIC_TABLES_H_
#define VZ_SRC_SELECTION_RUBRIC_TABLES_H_

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "src/selection/household_records.h"
#include "src/selection/rubric_tests_support.h"

namespace vz::selection {

inline constexpr int kCodeTableSize = 128;
inline constexpr int kAmountTableSize = kCodeTableSize;
inline constexpr int kAmountTableCount = 7;
// Distinct line codes one load may hold; the entry after them is the total.
inline constexpr int kMaxLineCodes = kCodeTableSize - 1;
inline constexpr size_t kLineCodeWidth = 5;

// A text of at most N characters kept in place (cut on assignment).
template <size_t N>
class FixedText {
 public:
  std::string_view view() const { return {bytes_.data(), length_}; }
  void assign(std::string_view text) {
    length_ = text.size() < N ? text.size() : N;
    std::copy_n(text.data(), length_, bytes_.data());
  }
  void clear() { length_ = 0; }

 private:
  std::array<char, N> bytes_{};
  size_t length_ = 0;
};

// Line codes in first-seen order, entries 1 to count().
class CodeTable {
 public:
  int count() const { return count_; }
  void set_count(int count);

  // Count 0 and every entry empty.
  void Clear();

  // Entry `entry` (1-based); empty outside 1..kCodeTableSize.
  std::string_view At(int entry) const;
  // Stores `code` cut to 5 characters; ignored outside 1..kCodeTableSize.
  void Set(int entry, std::string_view code);

  // The first entry 1..count() holding `code` (compared on at most 5
  // characters), or count() + 1 when there is none.
  int Find(std::string_view code) const;

 private:
  std::array<FixedText<kLineCodeWidth>, kCodeTableSize> codes_{};
  int count_ = 0;
  int highest_set_ = 0;  // entries above it are empty: Clear() stops there
};

// Seven tables of 64-bit sums, tables and entries numbered from 1.
class AmountTables {
 public:
  // 0 outside the tables.
  double Get(int table, int entry) const;
  // Ignored outside the tables.
  void Set(int table, int entry, double value);
  void Add(int table, int entry, double value);
  // Every entry of table `table` to 0.
  void Clear(int table);
  void ClearAll();

 private:
  void NoteWritten(int table, int entry);

  std::array<std::array<double, kAmountTableSize>, kAmountTableCount> values_{};
  // Per table, the highest entry written since it was cleared: Clear() stops there.
  std::array<int, kAmountTableCount> highest_written_{};
};

// The mailing address of the current client: each line and the city fitted
// to exactly 60 characters by the address loader, the postcode 5 characters.
struct AddressBlock {
  static constexpr size_t kTextWidth = 70;
  static constexpr size_t kPostcodeWidth = 5;
  std::array<FixedText<kTextWidth>, 3> lines;
  FixedText<kPostcodeWidth> postcode;
  FixedText<kTextWidth> city;

  void Clear();
};

// One criterion of the query being evaluated: its 12-character criteria key
// ("NOMCLI******", "40001******1", ...) and its criteria text, whose
// elements are separated by the list separator.
//
// Its range bounds (elements 1-2 and 3-4) are read into numbers when the
// entry is made, at the list separator of that moment; Bounds() reads the
// text again when the separator has changed since. The key and text are
// given once: code that changes a criterion makes a new entry.
struct CriteriaEntry {
  CriteriaEntry() : CriteriaEntry(std::string(), std::string()) {}
  CriteriaEntry(std::string entry_key, std::string entry_text);

  // The pair of bounds at element `first` (1 or 3).
  BoundPair Bounds(int first) const;

  std::string key;
  std::string text;

 private:
  std::array<BoundPair, 2> bounds_;  // elements 1-2 and 3-4
  char separator_;                   // the list separator they were read at
};

// What the family loaders learnt of the key order of their files during a
// run that reads clients in client-code order and changes none of those
// files (the extraction): after a load of household P that stopped on a
// record of household S, no household strictly between P and S has a record
// there, so its load needs no search. Only households of 8 digits are
// compared. Off unless the run turns it on, for its own length: turning it
// on or off forgets everything learnt; so does Forget().
class RubricKeyGaps {
 public:
  static constexpr size_t kFamilies = 10;
  static constexpr size_t kHouseholdWidth = 8;

  bool enabled() const { return enabled_; }
  void SetEnabled(bool enabled) {
    enabled_ = enabled;
    Forget();
  }
  void Forget() {
    for (Gap& gap : gaps_) gap.known = false;
  }
  // True when family `family`'s file is known to hold no record of
  // `household` (the first 8 characters of a client code).
  bool HasNone(size_t family, std::string_view household) const;
  // A load of `loaded` stopped on a record of household `stopped`, or at the
  // end of the file when `at_end`.
  void Learn(size_t family, std::string_view loaded, std::string_view stopped, bool at_end);

 private:
  struct Gap {
    bool known = false;
    bool to_end = false;
    FixedText<kHouseholdWidth> after;
    FixedText<kHouseholdWidth> before;
  };
  bool enabled_ = false;
  std::array<Gap, kFamilies> gaps_{};
};

// Everything the loaders fill, allocated once per run.
struct WorkTables {
  CodeTable codes;
  AmountTables amounts;
  AddressBlock address;
  RubricKeyGaps key_gaps;
  HouseholdRecords household_records;  // grows to the largest household read
};

}  // namespace vz::selection

#endif  // VZ_SRC_SELECTION_RUBRIC_TABLES_H_
