#include "src/db/file_name_cache.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "src/db/buffer_sync.h"

namespace vz::db {
namespace {

TEST(FileNameCacheTest, AgreesWithTheNormalisedLookup) {
  const std::vector<std::string> names = {"CLIENT",
                                          "client",
                                          " REQ UETES ",
                                          "Requ\xEAtes",
                                          "REQUETES",
                                          "selectes",
                                          "NOSUCH",
                                          "",
                                          "revenus",
                                          "RUBRIQUE",
                                          std::string(30, 'A'),
                                          "  c l i p a r t                           ",
                                          "TRENT100",
                                          "TRENT10"};
  FileNameCache cache;
  // Twice round, so that the second answers come from the cache.
  for (int round = 0; round < 2; ++round) {
    for (const std::string& name : names) {
      EXPECT_EQ(cache.Find(name), FindFileByWrittenName(name)) << name;
    }
  }
}

TEST(FileNameCacheTest, KeyedByTextNotByAddress) {
  FileNameCache cache;
  char written[16] = "client";
  EXPECT_EQ(cache.Find(written), FileId::CLIENT);
  std::memcpy(written, "clipart", 8);
  EXPECT_EQ(cache.Find(written), FileId::CLIPART);
  std::memcpy(written, "nothing", 8);
  EXPECT_FALSE(cache.Find(written).has_value());
}

TEST(FileNameCacheTest, ManyNamesCollideWithoutWrongAnswers) {
  FileNameCache cache;
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 500; ++i) {
      std::string unknown = "X" + std::to_string(i);
      EXPECT_FALSE(cache.Find(unknown).has_value()) << unknown;
      EXPECT_EQ(cache.Find("requetes"), FileId::REQUETES);
      EXPECT_EQ(cache.Find("CLIENT"), FileId::CLIENT);
    }
  }
}

}  // namespace
}  // namespace vz::db
