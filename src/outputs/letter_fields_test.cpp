// The letter template scanner and the field list: what counts as a keyword,
// keywords cut by the 2048-byte blocks, the 64-field limit, the order the
// values are computed in and the template names that are refused.
#include "src/outputs/letter_fields.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace vz::outputs {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Keywords(const LetterFieldList& fields) {
  std::vector<std::string> all;
  for (int i = 0; i < fields.count(); ++i) all.emplace_back(fields.At(i));
  return all;
}

std::vector<std::string> Scan(std::string_view text, size_t piece) {
  auto fields = std::make_unique<LetterFieldList>();
  KeywordScanner scanner(*fields);
  for (size_t at = 0; at < text.size(); at += piece) scanner.Feed(text.substr(at, piece));
  scanner.Finish();
  return Keywords(*fields);
}

using Found = std::vector<std::string>;

TEST(KeywordScannerTest, WhatATemplateTextYields) {
  struct Case {
    std::string_view text;
    Found keywords;
  };
  const Case cases[] = {
      {"Cher #0000A, vous", {"0000A"}},
      {"#0000AB12 is too long", {}},
      {"#4000112 seven characters", {"4000112"}},
      {"#0000ABCDEFGHIJKLMN then #0000E", {"0000E"}},
      {"##0000A", {"0000A"}},
      {"no keyword at all", {}},
      {"ends with #", {}},
      {"ends with #SC00A1", {"SC00A1"}},
      {"#0000C1#0000C2", {"0000C1", "0000C2"}},
      {"#0000A #0000A", {"0000A", "0000A"}},
      {"#_a9Z-", {"_a9Z"}},
      // The character right after "#" is taken whatever it is.
      {"# 4000", {" 4000"}},
      {"{\\rtf1 #0000D\\par #0000E}", {"0000D", "0000E"}},
      {std::string_view("#00\0 #40", 8), {"00", "40"}},
      {"#\xE9t\xE9", {"\xE9t"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text));
    EXPECT_EQ(Scan(c.text, c.text.size() + 1), c.keywords);
    // Fed one byte at a time, as if every byte ended a block.
    EXPECT_EQ(Scan(c.text, 1), c.keywords);
  }
}

TEST(LetterFieldListTest, KeepsSixtyFourKeywordsAndFlagsOnlyThoseKept) {
  auto fields = std::make_unique<LetterFieldList>();
  for (int i = 0; i < kMaxLetterFields; ++i) fields->Append("40001" + std::to_string(i % 10));
  fields->Append("SC00A1");
  fields->Append("0000A");
  EXPECT_EQ(fields->count(), kMaxLetterFields);
  EXPECT_EQ(fields->dropped_count(), 2);
  EXPECT_TRUE(fields->HasFamily(FamilyRank("40")));
  EXPECT_FALSE(fields->HasFamily(FamilyRank("SC")));
  EXPECT_FALSE(fields->HasFamily(FamilyRank("00")));
  fields->Clear();
  EXPECT_EQ(fields->count(), 0);
  EXPECT_EQ(fields->dropped_count(), 0);
  EXPECT_FALSE(fields->HasFamily(FamilyRank("40")));
}

TEST(LetterFieldListTest, SortsByFamilyRankThenKeyword) {
  auto fields = std::make_unique<LetterFieldList>();
  for (std::string_view keyword : {"SC00A1", "40002", "0000J", "ZZ9", "54001", "40001", "0000A",
                                   "33000", "20000", "01000", "X", "40001", "07000"}) {
    fields->Append(keyword);
  }
  fields->Sort();
  EXPECT_EQ(Keywords(*fields), (Found{"X", "ZZ9", "0000A", "0000J", "40001", "40001", "40002",
                                      "54001", "01000", "07000", "20000", "33000", "SC00A1"}));
}

TEST(LetterFieldListTest, FamilyRanks) {
  const std::pair<std::string_view, int> cases[] = {
      {"0000A", 1}, {"40001", 2},  {"54", 3},    {"51000", 4}, {"01", 5},  {"02", 6},
      {"03", 7},    {"04", 8},     {"05", 9},    {"06", 10},   {"07", 11}, {"20", 12},
      {"33", 13},   {"SC00A", 14}, {"sc00A", 0}, {"4", 0},     {"", 0},    {"99001", 0},
  };
  for (const auto& [keyword, rank] : cases) EXPECT_EQ(FamilyRank(keyword), rank) << keyword;
}

TEST(TemplateNameTest, NamesReachingOutsideTheDataDirectoryAreRefused) {
  const std::pair<std::string_view, bool> cases[] = {
      {"LETTRE1.RTF", false},
      {"", false},
      {"lettre..rtf", true},
      {"../LETTRE1.RTF", true},
      {"..", true},
      {"/etc/passwd", true},
      {"\\LETTRE1.RTF", true},
      {"MODELES/L.RTF", true},
      {"MODELES\\L.RTF", true},
      {"C:L.RTF", true},
      {"c:\\L.RTF", true},
      {"Lettre 2.html", false},
  };
  for (const auto& [name, refused] : cases) {
    EXPECT_EQ(IsRefusedTemplateName(name), refused) << name;
  }
}

class TemplateFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "vz_letter_fields_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }
  std::string Write(const std::string& bytes) {
    const fs::path path = root_ / "LETTRE.RTF";
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
  }
  fs::path root_;
  std::unique_ptr<LetterFieldList> fields_ = std::make_unique<LetterFieldList>();
};

TEST_F(TemplateFileTest, KeywordsAcrossTheBlockBoundary) {
  // The "#" or the keyword's characters on either side of byte 2048.
  for (size_t start = kTemplateBlockSize - 7; start <= kTemplateBlockSize; ++start) {
    std::string text(start, 'x');
    text += "#0000A1 and #40001";
    text += std::string(kTemplateBlockSize, ' ');
    text += "#SC00A";  // the last bytes of a file of three blocks
    ASSERT_TRUE(ReadLetterFields(Write(text), *fields_));
    EXPECT_EQ(Keywords(*fields_), (Found{"0000A1", "40001", "SC00A"})) << start;
  }
  // A candidate cut at the boundary is still one candidate: too long.
  std::string text(kTemplateBlockSize - 4, 'x');
  text += "#0000AB12";
  ASSERT_TRUE(ReadLetterFields(Write(text), *fields_));
  EXPECT_EQ(Keywords(*fields_), Found{});
}

TEST_F(TemplateFileTest, MissingOrUnreadableTemplatesGiveAnEmptyList) {
  fields_->Append("0000A");
  EXPECT_FALSE(ReadLetterFields((root_ / "ABSENT.RTF").string(), *fields_));
  EXPECT_EQ(fields_->count(), 0);
  fields_->Append("0000A");
  EXPECT_FALSE(ReadLetterFields("", *fields_));
  EXPECT_EQ(fields_->count(), 0);
  // A folder where the template should be.
  EXPECT_TRUE(ReadLetterFields(root_.string(), *fields_));
  EXPECT_EQ(fields_->count(), 0);
  // A binary file: whatever it holds, the list stays within its room.
  std::string binary;
  for (int i = 0; i < 20000; ++i) binary += static_cast<char>((i * 7919) % 256);
  EXPECT_TRUE(ReadLetterFields(Write(binary), *fields_));
  EXPECT_LE(fields_->count(), kMaxLetterFields);
}

}  // namespace
}  // namespace vz::outputs
