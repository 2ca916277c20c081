// Test support for expansion, merging and the selection run: a temporary
// installation with the analysis, the real record engine over a temporary
// data directory, the data directory of the program settings pointing there,
// the list separator set to TAB and the recording screen runtime reset.
// Helpers write query records and clients, run the selection within a step
// limit and read selection files back.
// One instance at a time (the record buffers and settings are process-wide);
// failures are GoogleTest failures.
#ifndef VZ_SRC_SELECTION_SELECTION_RUN_TEST_SUPPORT_H_
#define VZ_SRC_SELECTION_SELECTION_RUN_TEST_SUPPORT_H_

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/temporary_installation.h"

namespace vz::selection {

class SelectionTestDatabase {
 public:
  // A new installation in a temporary folder, removed at the end.
  SelectionTestDatabase();
  // Opens an existing installation (its analysis and data directory), which
  // is left in place at the end.
  SelectionTestDatabase(const std::filesystem::path& analysis_file,
                        const std::filesystem::path& data_directory);

  const std::filesystem::path& data_directory() const { return installation_.data_directory(); }

  // One REQUETES record with the given criteria key and text.
  void AddQueryLine(std::string_view code, std::string_view criteria_key, std::string_view text);
  void AddElementaryQuery(std::string_view code);
  void AddCombinedQuery(std::string_view code, std::string_view first, std::string_view op,
                        std::string_view second);
  // The selection state of the query's title record ("" when none).
  std::string TitleState(std::string_view code);

  // RunSelection(query_code), stopped when one pass over the client file
  // takes more than kStepsPerRecord progress steps per record of the file
  // (the NBTOTAL its progress window shows; at least kStepsPerRecord): a
  // run that no longer moves on then ends at once with a GoogleTest failure
  // instead of looping until the test times out, and gives false. Counts the
  // steps through the recording runtime's command hook; a hook the test set
  // before still sees every command. A run that sends no screen command at
  // all for kStallSeconds loops without taking steps and cannot be stopped:
  // the test program then ends with a message saying so.
  static constexpr long long kStepsPerRecord = 100;
  static constexpr int kStallSeconds = 20;
  bool RunWithinStepLimit(std::string_view query_code);

  // A CLIENT record (9-character code, name, and the postcode that its
  // address takes when the household has no ADRESSES record).
  void AddClient(std::string_view code, std::string_view name, std::string_view postcode = "");

  // Writes a selection file byte for byte; reads one back.
  void WriteSelectionFile(std::string_view code, std::string_view bytes) const;
  std::string ReadSelectionFile(std::string_view code) const;
  bool SelectionFileExists(std::string_view code) const;
  // The lines of a selection file, CR LF checked and removed.
  std::vector<std::string> SelectionLines(std::string_view code) const;

 private:
  vz::testing::TemporaryInstallation installation_;
};

// "a\r\nb\r\n" from {"a", "b"}.
std::string CrLfLines(const std::vector<std::string>& lines);

}  // namespace vz::selection

#endif  // VZ_SRC_SELECTION_SELECTION_RUN_TEST_SUPPORT_H_
