// The read loops of the selection run must not allocate: this binary counts
// every C++ allocation made while the record operations read and search.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <string>

#include "platform/engine/le_api.h"
#include "src/db/analysis_writer.h"
#include "src/db/catalogue.h"
#include "src/db/describe.h"
#include "src/db/field_access.h"
#include "src/db/record_buffers.h"
#include "src/db/record_ops.h"

namespace {
std::atomic<long> allocations{0};
}  // namespace

void* operator new(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}

namespace vz::db {
namespace {

namespace fs = std::filesystem;

TEST(RecordOpsAllocationTest, ReadNextAndSearchDoNotAllocate) {
  std::string pattern = (fs::temp_directory_path() / "vz_dba_XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  fs::path root = pattern;
  fs::create_directories(root / "HSF");
  fs::create_directories(root / "DATA");
  ASSERT_TRUE(WriteAnalysisFile(root / "HSF" / "vestra.wdd"));
  SetContextHandle(LE_CreateContexteHF(103));
  DescribeAllFiles();
  ASSERT_NE(Houvreanalyse((root / "HSF" / "vestra.wdd").string(), "", "", "", ""), 0);
  Hsubstrep(kPlaceholderDirectory, (root / "DATA").string());

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

  long before = allocations.load();
  ASSERT_GT(before, 0) << "the counter sees the set-up's allocations";
  int read = 0;
  for (int round = 0; round < 3; ++round) {
    Hlitrecherche("CLIENT", "CODCLI", "01100000");
    while (!Hendehors()) {
      ++read;
      Hlitsuivant("CLIENT", "CODCLI");
    }
  }
  long used = allocations.load() - before;
  EXPECT_EQ(read, 600);
  EXPECT_EQ(used, 0) << "allocations in 600 reads";

  Hferme("");
  HftermineCTX();
  SetContextHandle(0);
  std::error_code ignored;
  fs::remove_all(root, ignored);
}

}  // namespace
}  // namespace vz::db
