// The merge file's header arithmetic and its writer: widths from the first
// client, the filler rule, lines longer than announced, the temporary name.
#include "src/outputs/merge_file.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "platform/os/whole_file.h"
#include "src/config/program_settings.h"
#include "src/outputs/extraction_columns.h"
#include "src/util/number_text.h"
#include "src/util/replacing_file.h"

namespace vz::outputs {
namespace {

namespace fs = std::filesystem;

struct ColumnText {
  std::string code;
  std::string value;
};

ColumnTables Columns(const std::vector<ColumnText>& texts) {
  ColumnTables columns;
  for (const ColumnText& text : texts) columns.Append(text.code, text.value);
  return columns;
}

std::vector<ColumnText> Repeat(int count, const ColumnText& text) {
  return std::vector<ColumnText>(static_cast<size_t>(count), text);
}

struct HeaderCase {
  const char* name;
  std::vector<ColumnText> columns;
  std::string header;
};

TEST(MergeFileHeader, LengthCodesWidthsAndFiller) {
  const std::string ten_columns = [] {
    std::string text = "0092";
    for (int i = 0; i < 10; ++i) text += "4000108\t";
    return text + std::string(6, ' ');
  }();
  const std::vector<HeaderCase> cases = {
      {"no column: the line is its CR LF only", {}, "0002"},
      {"one amount: no filler, longer than a data line",
       {{"40001", "    1235"}},
       "0011"
       "4000108\t"},
      {"name and amount: 10 blanks",
       {{"0000A", std::string(20, 'N')}, {"40001", "        "}},
       "0032"
       "0000A20\t"
       "4000108\t" +
           std::string(10, ' ')},
      {"ten amounts: 80 characters of columns and 6 blanks", Repeat(10, {"40001", "        "}),
       ten_columns},
      {"empty value: width 00",
       {{"0000M", ""}},
       "0003"
       "0000M00\t"},
      {"short code padded to 5",
       {{"40", "12345678"}},
       "0011"
       "40   08\t"},
      {"two columns sharing a code keep their own widths",
       {{"0000C", "rue des Lilas"}, {"0000C", "bis"}},
       "0020"
       "0000C13\t"
       "0000C03\t"},
  };
  for (const HeaderCase& c : cases) {
    EXPECT_EQ(MergeFileHeader(Columns(c.columns)), c.header) << c.name;
  }
}

TEST(ColumnTables, ValuesAreCutAndTheTablesHold128Columns) {
  ColumnTables columns;
  columns.Append("0000A", std::string(70, 'x'));
  EXPECT_EQ(columns.at(0).value.view().size(), kColumnValueWidth);
  columns.Append("400012", "v");
  EXPECT_EQ(columns.at(1).code.view(), "40001");
  for (int i = 0; i < 200; ++i) columns.Append("40001", "w");
  EXPECT_EQ(columns.count(), kColumnCapacity);
  columns.Clear();
  columns.SetFromLast(0, "nothing to set");
  EXPECT_EQ(columns.count(), 0);
}

TEST(FormatAmount, AgreesWithTheGeneralNumberTextEverywhere) {
  std::vector<double> amounts = {0.5,
                                 -0.5,
                                 1.5,
                                 2.5,
                                 -2.5,
                                 0.49999999999999994,
                                 2.4999999999999996,
                                 1234.4999999,
                                 1000.4f,
                                 0.1 + 0.2,
                                 999999.5,
                                 -99999999.5,
                                 123456789.7,
                                 999999999999999.9,
                                 1e15 - 0.5,
                                 1e15,
                                 1e15 + 2,
                                 4503599627370497.0,
                                 1e22,
                                 -1e300,
                                 5e-324,
                                 -5e-324,
                                 std::numeric_limits<double>::infinity(),
                                 std::numeric_limits<double>::quiet_NaN()};
  // Sums of float amounts, halved joint shares and their negatives, over
  // every magnitude the merge file meets.
  std::mt19937_64 random(20241207);
  std::uniform_real_distribution<float> figure(-2e6f, 2e6f);
  for (int i = 0; i < 20000; ++i) {
    const double sum = static_cast<double>(figure(random)) + static_cast<double>(figure(random));
    amounts.push_back(sum);
    amounts.push_back(sum / 2.0);
    amounts.push_back(sum * 1e-6);
    amounts.push_back(std::ldexp(sum, i % 60));
  }
  std::array<char, 32> out{};
  for (double amount : amounts) {
    // A text longer than the room is cut to it.
    ASSERT_EQ(FormatAmount(amount, out), util::NumberToText(amount, -8, 0).substr(0, out.size()))
        << amount;
  }
}

TEST(FormatAmount, RoundedRightAlignedBlankForZero) {
  const std::vector<std::pair<double, std::string>> cases = {
      {0, "        "},          {1234.6, "    1235"}, {1234.4, "    1234"},
      {-250, "    -250"},       {0.4, "       0"},    {99999999, "99999999"},
      {100000000, "100000000"}, {-0.0, "        "},   {-0.4, "       0"},
  };
  std::array<char, 32> out{};
  for (const auto& [amount, text] : cases) EXPECT_EQ(FormatAmount(amount, out), text) << amount;
}

class MergeFileWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "vz_merge_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    config::SetDataDirectory(folder_.string());
  }
  void TearDown() override {
    config::SetDataDirectory("");
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }
  std::string Read(const std::string& name) const {
    std::string text;
    os::ReadWholeFile((folder_ / name).string(), &text);
    return text;
  }
  // The writers' temporary files left in the folder.
  std::vector<fs::path> TemporaryFiles() const {
    std::vector<fs::path> found;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder_)) {
      if (util::TemporaryFileOwnerOf(entry.path().filename().string())) {
        found.push_back(entry.path());
      }
    }
    return found;
  }
  fs::path folder_;
};

TEST_F(MergeFileWriterTest, HeaderFromTheFirstClientThenOneLinePerClient) {
  MergeFileWriter writer(MergeFilePath("01000007"));
  writer.WriteClient(Columns({{"0000A", "DURAND"}, {"40001", "    1235"}}));
  // A wider value later keeps the header of the first client.
  writer.WriteClient(Columns({{"0000A", "LEFEBVRE-MARTIN"}, {"40001", "123456789"}}));
  ASSERT_TRUE(writer.Commit());
  EXPECT_EQ(Read("01000007.MEM"),
            "0018"
            "0000A06\t"
            "4000108\t"
            "\r\n"
            "DURAND\t    1235\t\r\n"
            "LEFEBVRE-MARTIN\t123456789\t\r\n");
  EXPECT_TRUE(TemporaryFiles().empty());
}

TEST_F(MergeFileWriterTest, NoClientGivesAnEmptyFile) {
  MergeFileWriter writer(MergeFilePath("01000007"));
  ASSERT_TRUE(writer.Commit());
  ASSERT_TRUE(fs::exists(folder_ / "01000007.MEM"));
  EXPECT_EQ(Read("01000007.MEM"), "");
}

TEST_F(MergeFileWriterTest, AnInterruptedRunKeepsThePreviousFileWhole) {
  std::ofstream(folder_ / "01000007.MEM", std::ios::binary) << "previous";
  {
    MergeFileWriter writer(MergeFilePath("01000007"));
    writer.WriteClient(Columns({{"0000A", "DURAND"}}));
    // Destroyed without Commit: the run stopped half-way.
  }
  EXPECT_EQ(Read("01000007.MEM"), "previous");
  EXPECT_TRUE(TemporaryFiles().empty());
}

// A commit that fails (the temporary file vanished under the writer) keeps
// the earlier merge file whole; the extraction reports it.
TEST_F(MergeFileWriterTest, AFailedCommitKeepsTheOldFile) {
  std::ofstream(folder_ / "01000007.MEM", std::ios::binary) << "previous";
  MergeFileWriter writer(MergeFilePath("01000007"));
  ASSERT_TRUE(writer.ok());
  writer.WriteClient(Columns({{"0000A", "DURAND"}}));
  for (const fs::path& temporary : TemporaryFiles()) fs::remove(temporary);
  EXPECT_FALSE(writer.Commit());
  EXPECT_EQ(Read("01000007.MEM"), "previous");
}

TEST_F(MergeFileWriterTest, CodesThatCannotNameAFileOfTheDataDirectory) {
  for (const char* code : {"", "..", "../x", "a/b", "a\\b", "0100:001", "0100a001"}) {
    EXPECT_EQ(MergeFilePath(code), "") << code;
  }
  EXPECT_EQ(MergeFilePath("01000007"), (folder_ / "01000007.MEM").string());
}

}  // namespace
}  // namespace vz::outputs
