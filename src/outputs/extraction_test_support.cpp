#include "src/outputs/extraction_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "src/db/layouts/selectes.h"
#include "src/db/record_ops.h"
#include "src/selection/merge_io.h"
#include "tests/support/test_records.h"

namespace vz::outputs {
namespace fs = std::filesystem;

ExtractionTestData::ExtractionTestData() = default;

void ExtractionTestData::AddClient(std::string_view code9, std::string_view name,
                                   const std::function<void(db::ClientRecord&)>& more) {
  vz::testing::AddClient(code9, name, more);
}

void ExtractionTestData::AddAddress(std::string_view household, std::string_view line1,
                                    std::string_view line2, std::string_view postcode,
                                    std::string_view city) {
  vz::testing::AddAddress(household, line1, line2, postcode, city);
}

void ExtractionTestData::AddEstate(std::string_view code9, float first_death, float second_death) {
  vz::testing::AddEstate(code9, first_death, second_death);
}

void ExtractionTestData::AddLabel(db::FileId file, std::string_view code5, std::string_view label) {
  vz::testing::AddCodeLabel(file, code5, label);
}

void ExtractionTestData::AddRubric(db::FileId file, std::string_view owner,
                                   std::string_view line_code, std::string_view key_part,
                                   float amount,
                                   const std::function<void(db::RubricRecord&)>& more) {
  vz::testing::AddRubric(file, owner, line_code, key_part, amount, more);
}

void ExtractionTestData::AddRubricLine(std::string_view query, std::string_view code, char option) {
  std::string key = "RUBRIQUE***";
  key += option;
  database_.AddQueryLine(query, key, std::string(code) + "\t");
}

void ExtractionTestData::WriteSelection(std::string_view query,
                                        const std::vector<std::string>& codes) {
  database_.WriteSelectionFile(query, selection::CrLfLines(codes));
}

std::string ExtractionTestData::MergeFile(std::string_view query) const {
  std::ifstream in(database_.data_directory() / (std::string(query) + ".MEM"), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool ExtractionTestData::MergeFileExists(std::string_view query) const {
  return fs::exists(database_.data_directory() / (std::string(query) + ".MEM"));
}

std::vector<std::string> ExtractionTestData::MergeLines(std::string_view query) const {
  const std::string bytes = MergeFile(query);
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    const size_t end = bytes.find("\r\n", start);
    EXPECT_NE(end, std::string::npos) << "merge line without CR LF";
    if (end == std::string::npos) break;
    lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

std::vector<SelectedRow> ExtractionTestData::Selected(std::string_view query) {
  db::Hsubstnom("SELECTES", query);
  std::vector<SelectedRow> rows;
  db::Hlitpremier("SELECTES", "CODPTT");
  while (!db::Hendehors()) {
    const db::SelectedRecord record = db::CurrentSelected();
    rows.push_back({std::string(record.ClientCode()), std::string(record.Name()),
                    std::string(record.Postcode()), std::string(record.City()), record.Sequence(),
                    std::string(record.Marker()), record.LastField()});
    db::Hlitsuivant("SELECTES", "CODPTT");
  }
  db::Hferme("SELECTES");
  std::sort(rows.begin(), rows.end(),
            [](const SelectedRow& a, const SelectedRow& b) { return a.sequence < b.sequence; });
  return rows;
}

std::vector<std::string> ExtractionTestData::DataFilesEndingWith(std::string_view suffix) const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(database_.data_directory())) {
    const std::string name = entry.path().filename().string();
    if (name.size() >= suffix.size() && name.ends_with(suffix)) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace vz::outputs
