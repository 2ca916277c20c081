// The read loops of the selection run must not allocate: this binary counts
// every C++ allocation made while the record operations read and search.
#include <gtest/gtest.h>

#include <string>

#include "src/db/catalogue.h"
#include "src/db/field_access.h"
#include "src/db/record_buffers.h"
#include "src/db/record_ops.h"
#include "tests/support/allocation_counter.h"
#include "tests/support/temporary_installation.h"

namespace vz::db {
namespace {

using vz::testing::AllocationCount;

TEST(RecordOpsAllocationTest, ReadNextAndSearchDoNotAllocate) {
  const vz::testing::TemporaryInstallation installation("dba");
  ASSERT_TRUE(installation.ready());

  const FileDescription& client = Describe(FileId::CLIENT);
  uint8_t* record = RecordBuffer(FileId::CLIENT);
  for (int i = 0; i < 200; ++i) {
    std::string number = std::to_string(100000 + i);
    SetText(record, client.field_offsets[0], 2, "01");
    SetText(record, client.field_offsets[1], 6, number);
    SetText(record, client.field_offsets[2], 1, "1");
    Hajoute("CLIENT");
  }
  // Warm up: files open and statements are prepared on first use.
  Hlitrecherche("CLIENT", "CODCLI", "01100000");
  Hlitsuivant("CLIENT", "CODCLI");
  Hlitpremier("CLIENT", "CODCLI");

  long before = AllocationCount();
  ASSERT_GT(before, 0) << "the counter sees the set-up's allocations";
  int read = 0;
  for (int round = 0; round < 3; ++round) {
    Hlitrecherche("CLIENT", "CODCLI", "01100000");
    while (!Hendehors()) {
      ++read;
      Hlitsuivant("CLIENT", "CODCLI");
    }
  }
  long used = AllocationCount() - before;
  EXPECT_EQ(read, 600);
  EXPECT_EQ(used, 0) << "allocations in 600 reads";
}

}  // namespace
}  // namespace vz::db
