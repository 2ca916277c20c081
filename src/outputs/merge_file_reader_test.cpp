// Reading merge files back: what the writer writes comes back column by
// column, and broken files are told apart from empty ones.
#include "src/outputs/merge_file_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <optional>

#include "src/outputs/merge_file.h"

namespace vz::outputs {
namespace {

using Lines = std::vector<std::vector<std::string_view>>;

// Every client line of the contents, cut into its values; as many as counted.
Lines AllLines(const MergeFileContents& contents) {
  Lines lines;
  std::string_view rest = contents.client_lines;
  std::vector<std::string_view> values;
  for (size_t i = 0; i < contents.line_count; ++i) {
    TakeMergeLine(rest, contents.codes.size(), values);
    lines.push_back(values);
  }
  EXPECT_TRUE(rest.empty()) << "lines left past the count: " << rest;
  return lines;
}

TEST(ParseMergeFile, ReadsWhatTheWriterWrites) {
  ColumnTables first;
  first.Append("0000A", "DUPONT");
  first.Append("0000C", "1 rue de la Paix");
  first.Append("0000C", "");
  first.Append("40000", "   45000");
  ColumnTables second;
  second.Append("0000A", "LEFEBVRE-MARTIN");  // wider than announced
  second.Append("0000C", "2 all\xE9" "e des Ch\xEAnes");
  second.Append("0000C", "B\xE2t. A");
  second.Append("40000", "        ");
  std::string bytes = MergeFileHeader(first) + "\r\n";
  for (const ColumnTables* columns : {&first, &second}) {
    for (int i = 0; i < columns->count(); ++i) {
      bytes += std::string(columns->at(i).value.view()) + "\t";
    }
    bytes += "\r\n";
  }
  const MergeFileContents contents = ParseMergeFile(bytes);
  EXPECT_TRUE(contents.readable);
  EXPECT_FALSE(contents.malformed);
  EXPECT_EQ(contents.codes, (std::vector<std::string>{"0000A", "0000C", "0000C", "40000"}));
  EXPECT_EQ(AllLines(contents),
            (Lines{{"DUPONT", "1 rue de la Paix", "", "   45000"},
                   {"LEFEBVRE-MARTIN", "2 all\xE9" "e des Ch\xEAnes", "B\xE2t. A", "        "}}));
}

TEST(ParseMergeFile, TellsEmptyShortAndBrokenFilesApart) {
  const struct {
    const char* name;
    std::string bytes;
    bool malformed;
    size_t columns;
    Lines lines;
  } cases[] = {
      {"empty: a selection without client", "", false, 0, {}},
      {"no column: empty lines", "0002\r\n\r\n\r\n", false, 0, {{}, {}}},
      {"one amount column, LF only", "001140000" "08\t\n   12345\t\n", false, 1, {{"   12345"}}},
      {"short line gets empty values", "002040000" "08\t40001" "08\t    \r\n       1\t\r\n", false,
       2, {{"       1", ""}}},
      {"last line without its end", "001140000" "08\t\r\n1\t\r\n2", false, 1, {{"1"}, {"2"}}},
      {"extra values dropped", "001140000" "08\t\r\n1\t2\t3\t\r\n", false, 1, {{"1"}}},
      {"no header digits", "ABCD\r\n", true, 0, {}},
      {"column group without TAB", "001140000" "08 \r\n", true, 0, {}},
      {"width not digits", "0011400000X\t\r\n", true, 0, {}},
      {"filler that is not blank", "001140000" "08\tzz\r\n", true, 0, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const MergeFileContents contents = ParseMergeFile(c.bytes);
    EXPECT_TRUE(contents.readable);
    EXPECT_EQ(contents.malformed, c.malformed);
    EXPECT_EQ(contents.codes.size(), c.columns);
    EXPECT_EQ(AllLines(contents), c.lines);
  }
}

TEST(ReadMergeFile, AMissingFileIsNotReadable) {
  const MergeFileContents contents = ReadMergeFile("/nonexistent/01000001.MEM");
  EXPECT_FALSE(contents.readable);
  EXPECT_EQ(contents.line_count, 0u);
}

TEST(ReadMergeFile, ItsValuesLastAsLongAsAnyCopyOfTheContents) {
  // Short files too: their bytes would fit inside a string object itself.
  const struct {
    const char* name;
    std::string bytes;
    Lines lines;
  } cases[] = {
      {"fifteen bytes", "001140000" "08\t\r\n1", {{"1"}}},
      {"two lines", "002040000" "08\t40001" "08\t\r\n   12\t3\t\r\n\xC9\t\t\r\n",
       {{"   12", "3"}, {"\xC9", ""}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = ::testing::TempDir() + "/vz_merge_file_reader_01000001.MEM";
    std::ofstream(path, std::ios::binary) << c.bytes;
    std::optional<MergeFileContents> read = ReadMergeFile(path);
    std::remove(path.c_str());
    ASSERT_TRUE(read->readable);
    const MergeFileContents copy = *read;
    MergeFileContents moved = std::move(*read);
    read.reset();
    EXPECT_EQ(AllLines(copy), c.lines);
    EXPECT_EQ(AllLines(moved), c.lines);
  }
}

}  // namespace
}  // namespace vz::outputs
