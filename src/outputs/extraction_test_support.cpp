#include "src/outputs/extraction_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "src/db/catalogue.h"
#include "src/db/layouts/adresses.h"
#include "src/db/layouts/clipart.h"
#include "src/db/layouts/code_label.h"
#include "src/db/layouts/selectes.h"
#include "src/db/record_buffers.h"
#include "src/db/record_ops.h"
#include "src/selection/merge_io.h"

namespace vz::outputs {
namespace {

namespace fs = std::filesystem;

void ClearBuffer(db::FileId file) {
  std::memset(db::RecordBuffer(file), 0, db::RecordBufferSize(file));
}

}  // namespace

ExtractionTestData::ExtractionTestData() = default;

void ExtractionTestData::AddClient(std::string_view code9, std::string_view name,
                                   const std::function<void(db::ClientRecord&)>& more) {
  ClearBuffer(db::FileId::CLIENT);
  db::ClientRecord client = db::CurrentClient();
  client.SetPrefix(code9.substr(0, 2));
  client.SetFileNumber(code9.substr(2, 6));
  client.SetPersonDigit(code9.substr(8, 1));
  client.SetName(name);
  if (more) more(client);
  db::Hajoute("CLIENT");
}

void ExtractionTestData::AddAddress(std::string_view household, std::string_view line1,
                                    std::string_view line2, std::string_view postcode,
                                    std::string_view city) {
  ClearBuffer(db::FileId::ADRESSES);
  db::AddressRecord address(db::RecordBuffer(db::FileId::ADRESSES));
  address.SetPrefix(household.substr(0, 2));
  address.SetFileNumber(household.substr(2, 6));
  address.SetAddressNumber("001");
  address.SetLine(0, line1);
  address.SetLine(1, line2);
  address.SetPostcode(postcode);
  address.SetCity(city);
  db::Hajoute("ADRESSES");
}

void ExtractionTestData::AddEstate(std::string_view code9, float first_death, float second_death) {
  ClearBuffer(db::FileId::CLIPART);
  db::EstateRecord estate = db::CurrentEstate();
  estate.SetClientCode(code9);
  estate.SetEstateOnDeath(0, first_death);
  estate.SetEstateOnDeath(1, second_death);
  db::Hajoute("CLIPART");
}

void ExtractionTestData::AddLabel(db::FileId file, std::string_view code5, std::string_view label) {
  ClearBuffer(file);
  auto fill = [&](auto record) {
    record.SetPrefix(code5.substr(0, 2));
    record.SetNumber(code5.substr(2, 3));
    record.SetLabel(label);
  };
  if (file == db::FileId::PROFES) {
    fill(db::CurrentProfession());
  } else {
    fill(db::CurrentAnnex());
  }
  db::Hajoute(db::Describe(file).name);
}

void ExtractionTestData::AddRubric(db::FileId file, std::string_view owner,
                                   std::string_view line_code, std::string_view key_part,
                                   float amount,
                                   const std::function<void(db::RubricRecord&)>& more) {
  ClearBuffer(file);
  std::optional<db::RubricRecord> record = db::RubricRecordIn(file, db::RecordBuffer(file));
  ASSERT_TRUE(record.has_value());
  record->SetClientCode(owner);
  record->SetRubricCode(line_code);
  record->SetKeyPart(key_part);
  record->SetAmount(amount);
  if (more) more(*record);
  db::Hajoute(db::Describe(file).name);
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
