// Loading and ordering a query's rubric lines: only rubric lines count, the
// option comes from the key, other queries stay out, the 64-entry limit, the
// family flags, byte order.
#include "src/outputs/extraction_rubrics.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "src/outputs/extraction_test_support.h"

namespace vz::outputs {
namespace {

constexpr std::string_view kQuery = "01000007";

std::vector<std::string> Texts(const ExtractionRubricList& list) {
  std::vector<std::string> texts;
  for (const ExtractionRubric& entry : list) texts.emplace_back(entry.text.view());
  return texts;
}

std::vector<std::string_view> FlaggedFamilies(const ExtractionRubricList& list) {
  std::vector<std::string_view> families;
  for (size_t i = 0; i < kExtractionFamilies.size(); ++i) {
    if (list.flags[i]) families.push_back(kExtractionFamilies[i]);
  }
  return families;
}

class ExtractionRubricsTest : public ::testing::Test {
 protected:
  ExtractionTestData data_;
  std::unique_ptr<ExtractionRubricList> list_ = std::make_unique<ExtractionRubricList>();
};

TEST_F(ExtractionRubricsTest, OnlyRubricLinesOfTheQueryInAscendingOrder) {
  auto& db = data_.database();
  db.AddElementaryQuery(kQuery);
  db.AddQueryLine(kQuery, "40001******2", "0\t5000\t");  // a criterion, not a rubric line
  db.AddQueryLine(kQuery, "RUBRIQUE***1", "54001\tEmprunts\t");
  db.AddQueryLine(kQuery, "RUBRIQUE***2", "40020\t");
  db.AddQueryLine(kQuery, "RUBRIQUE***1", "40001\t");
  db.AddQueryLine(kQuery, "RUBRIQUE****", "0000A\t");
  db.AddQueryLine(kQuery, "RUBRIQUE***1", "77001\t");      // no such family
  db.AddQueryLine("01000070", "RUBRIQUE***1", "SC00A\t");  // another query
  db.AddQueryLine("0100000", "RUBRIQUE***1", "05001\t");   // a shorter code
  LoadExtractionRubrics(kQuery, *list_);
  EXPECT_EQ(list_->count, 5);
  OrderExtractionRubrics(*list_);
  EXPECT_EQ(Texts(*list_),
            (std::vector<std::string>{"0000A*", "400011", "400202", "540011", "770011"}));
  EXPECT_EQ(FlaggedFamilies(*list_), (std::vector<std::string_view>{"00", "40", "54"}));
  EXPECT_EQ(list_->entries[1].Code(), "40001");
  EXPECT_EQ(list_->entries[1].Option(), '1');
}

TEST_F(ExtractionRubricsTest, DescendingEntriesAreSortedByCodeThenOption) {
  list_->Add("40020", '1');
  list_->Add("40001", '2');
  list_->Add("40001", '1');
  list_->Add(
      "\xE9"
      "0001",
      '1');  // bytes above 127 sort last
  list_->Add("04001", '1');
  OrderExtractionRubrics(*list_);
  EXPECT_EQ(Texts(*list_), (std::vector<std::string>{"040011", "400011", "400012", "400201",
                                                     "\xE9"
                                                     "00011"}));
}

TEST_F(ExtractionRubricsTest, MoreThanSixtyFourLinesKeepTheFirstSixtyFour) {
  for (int i = 0; i < 70; ++i) {
    char code[8];
    std::snprintf(code, sizeof code, "40%03d", 100 - i);
    data_.AddRubricLine(kQuery, code, '2');
  }
  data_.AddRubricLine(kQuery, "SC00A", '2');  // written last: beyond the 64
  LoadExtractionRubrics(kQuery, *list_);
  EXPECT_EQ(list_->count, kExtractionRubricCapacity);
  EXPECT_EQ(FlaggedFamilies(*list_), (std::vector<std::string_view>{"40"}));
}

TEST_F(ExtractionRubricsTest, AQueryWithoutRubricLinesClearsAnEarlierList) {
  list_->Add("40001", '1');
  LoadExtractionRubrics("01999999", *list_);
  EXPECT_EQ(list_->count, 0);
  EXPECT_TRUE(FlaggedFamilies(*list_).empty());
}

}  // namespace
}  // namespace vz::outputs
