// The selection run calls the loaders and tests once per client: after the
// first client, loading a rubric and testing its criteria must not allocate.
// This binary counts every C++ allocation made while they run.
#include <gtest/gtest.h>

#include <vector>

#include "src/config/parameter_file.h"
#include "src/db/layouts/rubric_files.h"
#include "src/selection/address_loader.h"
#include "src/selection/identity_test.h"
#include "src/selection/rubric_loaders_test_fixture.h"
#include "src/selection/rubric_tests.h"
#include "tests/support/allocation_counter.h"

namespace vz::selection {
namespace {

using db::FileId;
using vz::testing::AllocationCount;

class RubricAllocationTest : public SelectionDataTest {};

TEST_F(RubricAllocationTest, LoadsAndTestsAllocateNothingPerClient) {
  const config::ScopedListSeparator tab('\t');
  const char* clients[] = {"010000011", "010000012", "010000021"};
  for (const char* client : clients) {
    AddClient(client, "DUPONT");
    AddRubric(FileId::REVENUS, client, "40001", "001", 1000);
    AddRubric(FileId::REVENUS, client, "40014", "001", 500);
    AddRubric(FileId::IMMORAPP, client, "02001", "001", 90000,
              [](db::RubricRecord& r) { db::RentalRecord(r.data).SetLoanFinanced("O"); });
    AddRubric(FileId::EMPRUNTS, client, "54001", "001", 100,
              [](db::RubricRecord& r) { db::LoanRecord(r.data).SetSecondAmount(10); });
  }
  // Every file read exists, as in an installation (searching a file that
  // does not exist is the engine's business and may allocate).
  for (FileId file : {FileId::RETRAITE, FileId::RETRPERS, FileId::RETRSOUH, FileId::PREVSOUH}) {
    AddRubric(file, "099999991", "00000", "001", 1);
  }
  AddEstate("099999991", 1, 1);
  AddAddress("01000001", "1 rue de la Paix", "75002", "PARIS");
  const std::vector<CriteriaEntry> criteria = {
      {"NOMCLI******", "DUPONT\tDURAND"},
      {"AGECLI******", "0\t200"},
      {"VILLE*******", ""},
      {"40001******1", "900\t999999999"},
      {"40000******1", "0\t999999999"},
      {"02001******2", "0\t999999999\t0\t999"},
      {"54001******2", "0\t999999999\t0\t999999999"},
      {"2000B*******", "0\t999"},
      {"3300A*******", "0\t999999999\t0\t999999999"},
      {"SC00A*******", "0\t999999999"},
  };
  const auto run_client = [&](const char* client) {
    ReadClient(client);
    LoadAddress(client, tables_->address);
    bool passes = PassesIdentityTest(criteria, db::CurrentClient(), tables_->address);
    for (std::string_view prefix : kRubricPrefixes) {
      passes = PassesRubricTest(prefix, criteria, client, *tables_) && passes;
    }
    return passes;
  };
  EXPECT_TRUE(run_client(clients[0]));  // files open, statements prepared
  const long before = AllocationCount();
  for (const char* client : clients) EXPECT_TRUE(run_client(client));
  EXPECT_EQ(AllocationCount() - before, 0);
}

}  // namespace
}  // namespace vz::selection
