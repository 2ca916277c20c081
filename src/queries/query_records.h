// The query working set, the storing of one criterion into it, the numbering
// of new queries and the filling of a criteria window's rubric table.
//
// A query is a group of REQUETES records: the title line ("TITRE*******"),
// one line per criterion and the rubric lines (keys beginning "RUBRIQUE").
// While one query is edited, its lines live in a QueryWorkingSet owned by the
// caller that allocated it (the query list for one action); the definition
// and criteria screens borrow it by reference.
//
// Bounds: at most 64 lines (the title line included), keys of at most 12
// characters and texts of at most 255 characters. A longer key or text is cut
// when stored; a line that would be the 65th is refused (PutCriteriaLine and
// AppendLine return false and change nothing), never written past the end.
// Lines are numbered from 1; a line whose key is empty is a removed line: it
// keeps its slot but is not saved.
//
// NewQueryNumber reads and writes the parameter "NUMREQ" of the parameter file
// and may read the whole query file; FillRubricTable reads RUBRIQUE and sends
// "Table,Ajoute,TABLE1,..." commands. Neither reports failures: a missing
// parameter file counts as no counter, an empty catalogue sends no row.
// Single-threaded, like the record buffers and the screen bridge.
#ifndef VZ_SRC_QUERIES_QUERY_RECORDS_H_
#define VZ_SRC_QUERIES_QUERY_RECORDS_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vz::queries {

inline constexpr int kMaxQueryLines = 64;
inline constexpr size_t kCriteriaKeyWidth = 12;
inline constexpr size_t kCriteriaTextWidth = 255;
inline constexpr size_t kRubricCodeWidth = 5;

inline constexpr std::string_view kTitleKey = "TITRE*******";
inline constexpr std::string_view kRubricLineKey = "RUBRIQUE****";
inline constexpr std::string_view kCombinedQueryType = "C";

struct QueryLine {
  std::string key;   // at most 12 characters; empty: removed line
  std::string text;  // at most 255 characters, elements ended by TAB
};

class QueryWorkingSet {
 public:
  QueryWorkingSet() = default;

  int16_t LineCount() const { return line_count_; }

  // Line `number` (1 to 64). Lines above LineCount() are empty.
  // REQUIRES: 1 <= number <= kMaxQueryLines.
  const QueryLine& Line(int number) const { return lines_[static_cast<size_t>(number - 1)]; }

  // Replaces line `number` (key and text cut to their widths) and raises the
  // line count to it when needed. False, and nothing changed, when `number`
  // is outside 1 to 64.
  bool SetLine(int number, std::string_view key, std::string_view text);

  // Empties the key of line `number` (the line is removed at the next save).
  // Nothing happens when `number` is outside 1 to LineCount().
  void RemoveLine(int number);

  // Adds a line after the last one. False, and nothing changed, when the
  // working set already holds 64 lines.
  bool AppendLine(std::string_view key, std::string_view text);

  // "C" for a combined query, empty for an elementary one.
  const std::string& type() const { return type_; }
  void set_type(std::string_view type) { type_ = std::string(type); }

  // Back to the state of a fresh allocation: no line, no type.
  void Clear();

 private:
  std::array<QueryLine, kMaxQueryLines> lines_;
  int16_t line_count_ = 0;
  std::string type_;
};

// How PutCriteriaLine finds the line to replace.
enum class KeyMatch {
  kWholeKey,    // the whole criteria key
  kRubricCode,  // its first 5 characters: a rubric with option, so that a
                // change of option replaces the line
};

enum class PutResult {
  kStored,     // the line was written (replaced or added)
  kRemoved,    // the text equals the default: the existing line was removed
  kUnchanged,  // the text equals the default and no line existed
  kRefused,    // a new line was needed but the 64 slots are taken
};

// Stores criterion (key, text) into the working set: the first line whose key
// matches (see KeyMatch), or a new line after the last one, gets the key and
// the text (cut to 12 and 255 characters) when the text differs from
// `default_text`; otherwise a matching line is removed.
PutResult PutCriteriaLine(QueryWorkingSet& lines, std::string_view key, std::string_view text,
                          std::string_view default_text, KeyMatch match);

// The number of a new query, six digits: the counter "NUMREQ" of section
// "COMPOSANTS" plus 1, or, with no counter kept (missing, non-numeric, zero or
// negative), ten above the highest query number in the query file (11 when
// the file holds none). The file is also scanned when counter + 1 is already
// the number of a query, so that two queries never share a number. The counter
// is written back. The REQUETES record buffer is the same afterwards.
// A number that would need a seventh digit is never given: the lowest number
// no query uses is taken instead ("" only when all 999999 are used).
// On a store shared by several advisers the counter is the database's
// (db::NextSharedNumber), the parameter file is neither read nor written, and
// "" also comes back when the server fails.
// REQUIRES: the database context exists and every file is described.
std::string NewQueryNumber();

// The three forms of the rows of a criteria window's table TABLE1.
enum class RubricRowForm {
  kOneAmount,       // label, "0", "999999999", CODRUBR
  kAmountAndYield,  // label, "0", "999999999", "0", "999", CODRUBR
  kTwoAmounts,      // label, "0", "999999999", "0", "999999999", CODRUBR
};

// The row text (columns separated by TAB) of one catalogue rubric; a TAB in
// the label becomes a blank.
std::string RubricRow(std::string_view label, std::string_view code, RubricRowForm form);

// Sends one "Table,Ajoute,TABLE1," row per RUBRIQUE record whose prefix is
// `prefix`, in CODRUBR order, and an empty row after each total row
// (sub-code "000").
// REQUIRES: the database context exists and every file is described.
void FillRubricTable(std::string_view prefix, RubricRowForm form);

}  // namespace vz::queries

#endif  // VZ_SRC_QUERIES_QUERY_RECORDS_H_
