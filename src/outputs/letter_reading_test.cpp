// Values written for reading in the documents: the table of their forms.
#include "src/outputs/letter_reading.h"

#include <gtest/gtest.h>

namespace vz::outputs {
namespace {

TEST(LetterReadingTest, AmountsAreGroupedByThousandsWithoutPadding) {
  const struct {
    double amount;
    const char* text;
  } cases[] = {
      {154872, "154 872"}, {0, "0"},   {1234.5, "1 235"},  {999, "999"},
      {-3584, "-3 584"},   {0.4, "0"}, {1e6, "1 000 000"},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadingAmount(c.amount), c.text) << c.amount;
}

TEST(LetterReadingTest, RatesKeepTheirDecimals) {
  const struct {
    double rate;
    const char* text;
  } cases[] = {{4.35, "4,35"}, {5, "5"}, {4.5, "4,5"}, {0, "0"}, {1234.567, "1 234,57"}};
  for (const auto& c : cases) EXPECT_EQ(ReadingRate(c.rate), c.text) << c.rate;
}

TEST(LetterReadingTest, IdentityValuesAsTheAdviserReadsThem) {
  const struct {
    const char* keyword;
    const char* stored;
    const char* text;
  } cases[] = {
      {"0000I1", "19680518", "18/05/1968"},
      {"0000I2", "00000000", ""},  // no birth date
      {"0000I1", "19680231", ""},  // no such day
      {"0000I1", "20000229", "29/02/2000"},
      {"0000I1", "        ", ""},
      {"0000H1", " 56", "56"},
      {"0000H2", "   ", ""},  // no age
      {"0000J", "Pacsée     ", "Pacsée"},
      {"0000A", "  DUPONT ", "DUPONT"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReadingIdentityValue(c.keyword, c.stored), c.text) << c.keyword << " " << c.stored;
  }
}

}  // namespace
}  // namespace vz::outputs
