// Reading merge files back: what the writer writes comes back column by
// column, and broken files are told apart from empty ones.
#include "src/outputs/merge_file_reader.h"

#include <gtest/gtest.h>

#include "src/outputs/merge_file.h"

namespace vz::outputs {
namespace {

using Lines = std::vector<std::vector<std::string>>;

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
  EXPECT_EQ(contents.lines,
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
    EXPECT_EQ(contents.lines, c.lines);
  }
}

TEST(ReadMergeFile, AMissingFileIsNotReadable) {
  const MergeFileContents contents = ReadMergeFile("/nonexistent/01000001.MEM");
  EXPECT_FALSE(contents.readable);
  EXPECT_TRUE(contents.lines.empty());
}

}  // namespace
}  // namespace vz::outputs
