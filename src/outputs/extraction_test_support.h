// Test support for the extraction: a temporary installation with the real
// record engine (selection_run_test_support.h: data directory set, list
// separator TAB, recording runtime reset) and today fixed at 2024-06-15, plus
// helpers that write hand-made clients, addresses, labels, estates, rubric
// records and rubric lines, and read the merge file and SELECTES back.
// One instance at a time (record buffers and settings are process-wide).
#ifndef VZ_SRC_OUTPUTS_EXTRACTION_TEST_SUPPORT_H_
#define VZ_SRC_OUTPUTS_EXTRACTION_TEST_SUPPORT_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/os/local_date.h"
#include "src/db/file_id.h"
#include "src/db/layouts/client.h"
#include "src/db/layouts/rubric_record.h"
#include "src/selection/selection_run_test_support.h"

namespace vz::outputs {

// One SELECTES record as read back.
struct SelectedRow {
  std::string code;
  std::string name;
  std::string postcode;
  std::string city;
  int sequence = 0;
  std::string marker;
  int last_field = -1;
};

class ExtractionTestData {
 public:
  ExtractionTestData();

  selection::SelectionTestDatabase& database() { return database_; }

  void AddClient(std::string_view code9, std::string_view name,
                 const std::function<void(db::ClientRecord&)>& more = {});
  void AddAddress(std::string_view household, std::string_view line1, std::string_view line2,
                  std::string_view postcode, std::string_view city);
  void AddEstate(std::string_view code9, float first_death, float second_death);
  // A PROFES (key CODPROF) or ANNEXE (key CODRUBR) record.
  void AddLabel(db::FileId file, std::string_view code5, std::string_view label);
  void AddRubric(db::FileId file, std::string_view owner, std::string_view line_code,
                 std::string_view key_part, float amount,
                 const std::function<void(db::RubricRecord&)>& more = {});
  // A rubric line of `query`: key "RUBRIQUE***" + option, text = code + TAB.
  void AddRubricLine(std::string_view query, std::string_view code, char option);

  void WriteSelection(std::string_view query, const std::vector<std::string>& codes);
  std::string MergeFile(std::string_view query) const;
  bool MergeFileExists(std::string_view query) const;
  // The lines of the merge file without their CR LF (a line without one fails).
  std::vector<std::string> MergeLines(std::string_view query) const;
  // Every SELECTES record of `query`, in the order of their sequence numbers.
  std::vector<SelectedRow> Selected(std::string_view query);
  // Names of the files of the data directory ending with `suffix`.
  std::vector<std::string> DataFilesEndingWith(std::string_view suffix) const;

 private:
  os::ScopedTodayForTests today_{os::CalendarDate{2024, 6, 15}};
  selection::SelectionTestDatabase database_;
};

}  // namespace vz::outputs

#endif  // VZ_SRC_OUTPUTS_EXTRACTION_TEST_SUPPORT_H_
