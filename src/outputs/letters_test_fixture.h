// Test fixture of the letters: the selection engine's data fixture (real
// record engine in a temporary folder), a folder of templates as the data
// directory, the recording runtime with the window field "Nom_Lettre" set to
// "LETTRE.RTF", and the INTERFA "EX**" records that each merge click finds.
#ifndef VZ_SRC_OUTPUTS_LETTERS_TEST_FIXTURE_H_
#define VZ_SRC_OUTPUTS_LETTERS_TEST_FIXTURE_H_

#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "src/db/file_id.h"
#include "src/selection/rubric_loaders_test_fixture.h"

namespace vz::outputs {

inline constexpr std::string_view kMergeClick = "Execute,BOUTON1.CLIC";

// The "EX**" records of INTERFA, keyword (without "EX**") -> line text.
using LetterRecords = std::multimap<std::string, std::string>;

LetterRecords ReadLetterRecords();

class LettersTest : public selection::SelectionDataTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  void WriteTemplate(const std::string& text);
  // Adds a SELECTES record.
  void Select(std::string_view code9, std::string_view postcode);
  void AddInterface(std::string_view keyword, std::string_view text);
  void AddRegime(std::string_view code, std::string_view label);
  void AddProfession(std::string_view code, std::string_view label);
  // The value of `keyword` in click `click`, without its final TAB.
  std::string Value(size_t click, const std::string& keyword) const;
  int ClickCount() const;

  std::filesystem::path templates_;
  std::vector<LetterRecords> clicks_;
};

}  // namespace vz::outputs

#endif  // VZ_SRC_OUTPUTS_LETTERS_TEST_FIXTURE_H_
