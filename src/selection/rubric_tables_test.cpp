// The work tables: first-match lookup, the entry past the last code, cutting
// to five characters, and reads and writes outside the tables.
#include "src/selection/rubric_tables.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vz::selection {
namespace {

TEST(CodeTableTest, FindReturnsFirstMatchOrOnePastTheCount) {
  CodeTable codes;
  codes.Set(1, "40001");
  codes.Set(2, "40014");
  codes.Set(3, "40001");  // a duplicate never written by the loaders
  codes.set_count(3);
  EXPECT_EQ(codes.Find("40001"), 1);
  EXPECT_EQ(codes.Find("40014"), 2);
  EXPECT_EQ(codes.Find("40099"), 4);
  // The criteria key's twelve characters compare on the line code only.
  EXPECT_EQ(codes.Find("40014******1"), 2);
  // A code stored past the count is not found.
  codes.Set(5, "40777");
  EXPECT_EQ(codes.Find("40777"), 4);
  EXPECT_EQ(codes.Find(""), 4);
}

TEST(CodeTableTest, CutsCodesAndIgnoresEntriesOutsideTheTable) {
  CodeTable codes;
  codes.Set(1, "4000123");
  EXPECT_EQ(codes.At(1), "40001");
  for (int entry : {0, -1, kCodeTableSize + 1, 1 << 30}) {
    codes.Set(entry, "XXXXX");
    EXPECT_EQ(codes.At(entry), "") << entry;
  }
  codes.set_count(kCodeTableSize + 50);
  EXPECT_EQ(codes.count(), kCodeTableSize);
  codes.set_count(-3);
  EXPECT_EQ(codes.count(), 0);
  codes.Set(kCodeTableSize, "ZZZZZ");
  EXPECT_EQ(codes.At(kCodeTableSize), "ZZZZZ");
  codes.Clear();
  EXPECT_EQ(codes.At(1), "");
  EXPECT_EQ(codes.At(kCodeTableSize), "");
  EXPECT_EQ(codes.count(), 0);
}

TEST(CodeTableTest, ClearEmptiesEveryEntrySetSinceTheLastClear) {
  CodeTable codes;
  for (const std::vector<int>& entries :
       {std::vector<int>{3, 60, 2}, std::vector<int>{1}, std::vector<int>{kCodeTableSize, 5}}) {
    for (int entry : entries) codes.Set(entry, "40001");
    codes.set_count(2);
    codes.Clear();
    for (int entry = 1; entry <= kCodeTableSize; ++entry) {
      ASSERT_EQ(codes.At(entry), "") << entry;
    }
    EXPECT_EQ(codes.count(), 0);
  }
}

TEST(AmountTablesTest, TablesAreSeparateAndBoundsAreSafe) {
  AmountTables amounts;
  amounts.Add(2, 1, 10.5);
  amounts.Add(2, 1, 0.25);
  amounts.Set(3, 1, 7.0);
  EXPECT_DOUBLE_EQ(amounts.Get(2, 1), 10.75);
  EXPECT_DOUBLE_EQ(amounts.Get(3, 1), 7.0);
  EXPECT_DOUBLE_EQ(amounts.Get(1, 1), 0.0);
  struct Place {
    int table;
    int entry;
  };
  for (Place place :
       {Place{0, 1}, Place{8, 1}, Place{1, 0}, Place{1, kAmountTableSize + 1}, Place{-1, -1}}) {
    amounts.Set(place.table, place.entry, 99.0);
    amounts.Add(place.table, place.entry, 99.0);
    EXPECT_DOUBLE_EQ(amounts.Get(place.table, place.entry), 0.0);
  }
  // Neighbours of the bounds are untouched.
  EXPECT_DOUBLE_EQ(amounts.Get(7, kAmountTableSize), 0.0);
  EXPECT_DOUBLE_EQ(amounts.Get(1, 1), 0.0);
  amounts.Clear(2);
  EXPECT_DOUBLE_EQ(amounts.Get(2, 1), 0.0);
  EXPECT_DOUBLE_EQ(amounts.Get(3, 1), 7.0);
  amounts.Clear(0);  // ignored
  amounts.ClearAll();
  EXPECT_DOUBLE_EQ(amounts.Get(3, 1), 0.0);
}

// A clear empties every entry written since the last one, the table's last
// entry included, whatever the order of the writes; other tables keep theirs.
TEST(AmountTablesTest, ClearEmptiesEveryEntryWrittenSinceTheLastClear) {
  AmountTables amounts;
  for (int round = 0; round < 3; ++round) {
    for (int entry : {kAmountTableSize, 5, 1, 64}) amounts.Add(4, entry, entry + round);
    amounts.Set(5, 3, 1.5);
    EXPECT_DOUBLE_EQ(amounts.Get(4, kAmountTableSize), kAmountTableSize + round);
    amounts.Clear(4);
    for (int entry = 1; entry <= kAmountTableSize; ++entry) {
      ASSERT_DOUBLE_EQ(amounts.Get(4, entry), 0.0) << "round " << round << " entry " << entry;
    }
    EXPECT_DOUBLE_EQ(amounts.Get(5, 3), 1.5);
  }
  amounts.Set(6, 2, 3.0);
  amounts.ClearAll();
  amounts.Add(6, 1, 1.0);
  amounts.Clear(6);
  EXPECT_DOUBLE_EQ(amounts.Get(6, 2), 0.0);
  EXPECT_DOUBLE_EQ(amounts.Get(6, 1), 0.0);
}

TEST(AddressBlockTest, TextsAreCutToTheirRoom) {
  AddressBlock address;
  address.postcode.assign("750011");
  address.city.assign(std::string(200, 'V'));
  EXPECT_EQ(address.postcode.view(), "75001");
  EXPECT_EQ(address.city.view().size(), AddressBlock::kTextWidth);
  address.Clear();
  EXPECT_EQ(address.city.view(), "");
  EXPECT_EQ(address.postcode.view(), "");
}

TEST(RubricKeyGapsTest, OnlyHouseholdsStrictlyBetweenALoadAndWhereItStoppedHaveNone) {
  RubricKeyGaps gaps;
  gaps.Learn(0, "01000010", "01000020", false);
  EXPECT_FALSE(gaps.HasNone(0, "01000015")) << "off until the run turns it on";
  gaps.SetEnabled(true);
  gaps.Learn(0, "01000010", "01000020", false);
  gaps.Learn(1, "01000010", "", true);  // the load ran to the end of the file
  gaps.Learn(2, "0100001A", "01000020", false);
  gaps.Learn(3, "01000030", "01000020", false);  // stopped below: learns nothing
  struct Case {
    size_t family;
    std::string_view household;
    bool none;
  };
  const Case cases[] = {
      {0, "01000011", true},  {0, "01000019", true},
      {0, "01000010", false}, {0, "01000020", false},
      {0, "01000021", false}, {0, "01000009", false},
      {0, "0100001", false},  {0, "010000150", false},
      {0, "0100001 ", false}, {1, "01000011", true},
      {1, "99999999", true},  {1, "01000010", false},
      {2, "01000011", false}, {3, "01000025", false},
      {4, "01000015", false}, {RubricKeyGaps::kFamilies, "01000015", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(gaps.HasNone(c.family, c.household), c.none) << c.family << " " << c.household;
  }
  gaps.Forget();
  EXPECT_FALSE(gaps.HasNone(0, "01000015"));
  gaps.Learn(0, "01000010", "01000020", false);
  gaps.SetEnabled(false);
  EXPECT_FALSE(gaps.HasNone(0, "01000015"));
  gaps.SetEnabled(true);
  EXPECT_FALSE(gaps.HasNone(0, "01000015")) << "turning it on again starts afresh";
}

}  // namespace
}  // namespace vz::selection
