#include "src/selection/rubric_loaders_test_fixture.h"

#include <stdlib.h>

#include <cstring>
#include <string>

#include "platform/engine/le_api.h"
#include "src/db/analysis_writer.h"
#include "src/db/catalogue.h"
#include "src/db/describe.h"
#include "src/db/layouts/adresses.h"
#include "src/db/layouts/clipart.h"
#include "src/db/record_buffers.h"
#include "src/db/record_ops.h"

namespace vz::selection {
namespace {

namespace fs = std::filesystem;

void ClearBuffer(db::FileId file) {
  std::memset(db::RecordBuffer(file), 0, db::RecordBufferSize(file));
}

std::string NameOf(db::FileId file) {
  return std::string(db::Describe(file).name);
}

}  // namespace

void SelectionDataTest::SetUp() {
  today_ = std::make_unique<os::ScopedTodayForTests>(os::CalendarDate{2024, 6, 15});
  std::string pattern = (fs::temp_directory_path() / "vz_selection_XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  root_ = pattern;
  fs::create_directories(root_ / "HSF");
  fs::create_directories(root_ / "DATA");
  ASSERT_TRUE(db::WriteAnalysisFile(root_ / "HSF" / "vestra.wdd"));
  for (const db::FileDescription& file : db::Catalogue()) ClearBuffer(file.id);
  db::SetContextHandle(LE_CreateContexteHF(103));
  ASSERT_GT(db::ContextHandle(), 0);
  db::DescribeAllFiles();
  ASSERT_NE(db::Houvreanalyse((root_ / "HSF" / "vestra.wdd").string(), "", "", "", ""), 0);
  db::Hsubstrep(db::kPlaceholderDirectory, (root_ / "DATA").string());
  db::Hseterrignore(1);
}

void SelectionDataTest::TearDown() {
  db::Hferme("");
  db::HftermineCTX();
  db::SetContextHandle(0);
  std::error_code ignored;
  fs::remove_all(root_, ignored);
  today_.reset();
}

void SelectionDataTest::AddRubric(db::FileId file, std::string_view owner,
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
  db::Hajoute(NameOf(file));
}

void SelectionDataTest::AddClient(std::string_view code9, std::string_view name,
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

void SelectionDataTest::AddAddress(std::string_view household, std::string_view line1,
                                   std::string_view postcode, std::string_view city) {
  ClearBuffer(db::FileId::ADRESSES);
  db::AddressRecord address(db::RecordBuffer(db::FileId::ADRESSES));
  address.SetPrefix(household.substr(0, 2));
  address.SetFileNumber(household.substr(2, 6));
  address.SetAddressNumber("001");
  address.SetLine(0, line1);
  address.SetPostcode(postcode);
  address.SetCity(city);
  db::Hajoute("ADRESSES");
}

void SelectionDataTest::AddEstate(std::string_view code9, float first_death, float second_death) {
  ClearBuffer(db::FileId::CLIPART);
  db::EstateRecord estate = db::CurrentEstate();
  estate.SetClientCode(code9);
  estate.SetEstateOnDeath(0, first_death);
  estate.SetEstateOnDeath(1, second_death);
  db::Hajoute("CLIPART");
}

void SelectionDataTest::ReadClient(std::string_view code9) {
  db::Hlitrecherche("CLIENT", "CODCLI", code9);
  ASSERT_FALSE(db::Hendehors());
  ASSERT_EQ(db::CurrentClient().Codcli(), code9);
}

}  // namespace vz::selection
