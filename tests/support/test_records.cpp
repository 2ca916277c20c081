#include "tests/support/test_records.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>

#include "src/db/catalogue.h"
#include "src/db/layouts/adresses.h"
#include "src/db/layouts/clipart.h"
#include "src/db/layouts/code_label.h"
#include "src/db/layouts/requetes.h"
#include "src/db/record_buffers.h"
#include "src/db/record_ops.h"

namespace vz::testing {

void ClearRecordBuffer(db::FileId file) {
  std::memset(db::RecordBuffer(file), 0, db::RecordBufferSize(file));
}

void AddClient(std::string_view code9, std::string_view name,
               const std::function<void(db::ClientRecord&)>& more) {
  ClearRecordBuffer(db::FileId::CLIENT);
  db::ClientRecord client = db::CurrentClient();
  client.SetPrefix(code9.substr(0, 2));
  client.SetFileNumber(code9.substr(2, 6));
  client.SetPersonDigit(code9.substr(8, 1));
  client.SetName(name);
  if (more) more(client);
  db::Hajoute("CLIENT");
}

void AddAddress(std::string_view household, std::string_view line1, std::string_view line2,
                std::string_view postcode, std::string_view city) {
  ClearRecordBuffer(db::FileId::ADRESSES);
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

void AddEstate(std::string_view code9, float first_death, float second_death) {
  ClearRecordBuffer(db::FileId::CLIPART);
  db::EstateRecord estate = db::CurrentEstate();
  estate.SetClientCode(code9);
  estate.SetEstateOnDeath(0, first_death);
  estate.SetEstateOnDeath(1, second_death);
  db::Hajoute("CLIPART");
}

void AddRubric(db::FileId file, std::string_view owner, std::string_view line_code,
               std::string_view key_part, float amount,
               const std::function<void(db::RubricRecord&)>& more) {
  ClearRecordBuffer(file);
  std::optional<db::RubricRecord> record = db::RubricRecordIn(file, db::RecordBuffer(file));
  ASSERT_TRUE(record.has_value()) << db::Describe(file).name << " is no rubric file";
  record->SetClientCode(owner);
  record->SetRubricCode(line_code);
  record->SetKeyPart(key_part);
  record->SetAmount(amount);
  if (more) more(*record);
  db::Hajoute(db::Describe(file).name);
}

void AddCodeLabel(db::FileId file, std::string_view code, std::string_view label) {
  ClearRecordBuffer(file);
  auto fill = [&](auto record) {
    record.SetPrefix(code.substr(0, 2));
    record.SetNumber(code.size() > 2 ? code.substr(2) : std::string_view());
    record.SetLabel(label);
  };
  if (file == db::FileId::PROFES) {
    fill(db::ProfessionRecord{db::RecordBuffer(file)});
  } else {
    fill(db::AnnexRecord{db::RecordBuffer(file)});
  }
  db::Hajoute(db::Describe(file).name);
}

void AddQueryLine(std::string_view code, std::string_view criteria_key, std::string_view text,
                  std::string_view state) {
  ClearRecordBuffer(db::FileId::REQUETES);
  db::QueryLineRecord record = db::CurrentQueryLine();
  record.SetPrefix(code.substr(0, 2));
  record.SetNumber(code.size() > 2 ? code.substr(2) : std::string_view());
  record.SetCriteriaKey(criteria_key);
  record.SetLineText(text);
  record.SetState(state);
  record.SetMarker("E");
  db::Hajoute("REQUETES");
}

}  // namespace vz::testing
