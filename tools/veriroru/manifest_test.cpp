// The manifest: what a backup writes reads back, and every cut or edited
// manifest is refused with the line at fault.
#include "tools/veriroru/manifest.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tools/veriroru/database_file.h"

namespace vz::veriroru {
namespace {

using ::testing::HasSubstr;

Manifest Sample() {
  Manifest m;
  m.date = "20261208-102030";
  m.data_directory = "/srv/suite/DONNEES";
  m.items.push_back({"CLIENT.vzdb", ItemKind::kDatabase, 49152, 48, 0x1a2b3c4du});
  m.items.push_back({"01000042.vzdb", ItemKind::kDatabase, 0, 0, 0});
  m.items.push_back({"PARAM.DTA", ItemKind::kParameters, 57, -1, 0xffffffffu});
  return m;
}

TEST(ManifestTest, WhatIsWrittenReadsBack) {
  const std::string text = ManifestText(Sample());
  Manifest read;
  std::string why;
  ASSERT_TRUE(ParseManifest(text, &read, &why)) << why;
  EXPECT_EQ(read.date, "20261208-102030");
  EXPECT_EQ(read.data_directory, "/srv/suite/DONNEES");
  ASSERT_EQ(read.items.size(), 3u);
  EXPECT_EQ(read.items[0].size, 49152u);
  EXPECT_EQ(read.items[0].records, 48);
  EXPECT_EQ(read.items[0].crc, 0x1a2b3c4du);
  EXPECT_EQ(read.items[2].kind, ItemKind::kParameters);
  EXPECT_EQ(read.items[2].records, -1);
  EXPECT_EQ(read.items[2].crc, 0xffffffffu);
  EXPECT_NE(read.Find("01000042.vzdb"), nullptr);
  EXPECT_EQ(read.Find("REVENUS.vzdb"), nullptr);
}

TEST(ManifestTest, ChecksumIsTheUsualCrc32) {
  EXPECT_EQ(Crc32(0, "123456789", 9), 0xcbf43926u);
  EXPECT_EQ(Crc32(Crc32(0, "12345", 5), "6789", 4), 0xcbf43926u);
  EXPECT_EQ(Crc32(0xcbf43926u, nullptr, 0), 0xcbf43926u);  // nothing more: unchanged
  EXPECT_EQ(HexCrc(0x0000abcdu), "0000abcd");
}

struct Damage {
  const char* name;
  std::string (*apply)(std::string);
  const char* reason;
};

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  std::size_t at = text.find(from);
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

class ManifestDamageTest : public ::testing::TestWithParam<Damage> {};

TEST_P(ManifestDamageTest, IsRefused) {
  const std::string text = GetParam().apply(ManifestText(Sample()));
  Manifest read;
  std::string why;
  EXPECT_FALSE(ParseManifest(text, &read, &why));
  EXPECT_THAT(why, HasSubstr(GetParam().reason));
}

INSTANTIATE_TEST_SUITE_P(
    Manifests, ManifestDamageTest,
    ::testing::Values(
        Damage{"Empty", [](std::string) { return std::string(); }, "fin absente"},
        Damage{"OtherFile", [](std::string) { return std::string("[COMPOSANTS]\n"); }, "ligne 1"},
        Damage{"SizeEdited", [](std::string t) { return Replace(t, "49152", "49153"); }, "modifié"},
        Damage{"LineRemoved",
               [](std::string t) {
                 return Replace(t, "fichier\t01000042.vzdb\tbase\t0\t0\t00000000\n", "");
               },
               "modifié"},
        Damage{"EndMissing", [](std::string t) { return t.substr(0, t.find("fin\t")); },
               "fin absente"},
        Damage{"CutInALine", [](std::string t) { return t.substr(0, t.size() - 3); }, "coupée"},
        Damage{"TextAfterEnd",
               [](std::string t) { return t + "fichier\tX.vzdb\tbase\t1\t1\t00000000\n"; },
               "après la fin"},
        Damage{"PathInName",
               [](std::string t) { return Replace(t, "CLIENT.vzdb", "../CLIENT.vzdb"); },
               "mal décrit"},
        Damage{"UnknownKind", [](std::string t) { return Replace(t, "\tbase\t0", "\tautre\t0"); },
               "mal décrit"},
        Damage{"BadChecksumDigits", [](std::string t) { return Replace(t, "1a2b3c4d", "1a2b3c4"); },
               "mal décrit"},
        Damage{"UnknownLine", [](std::string t) { return Replace(t, "date\t", "jour\t"); },
               "ligne inconnue"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ManifestTest, DuplicateNamesAreRefused) {
  Manifest m = Sample();
  m.items.push_back(m.items[0]);
  Manifest read;
  std::string why;
  EXPECT_FALSE(ParseManifest(ManifestText(m), &read, &why));
}

TEST(ManifestTest, PlainFileNames) {
  for (const char* good : {"CLIENT.vzdb", "PARAM.DTA", "01 000042.vzdb"}) {
    EXPECT_TRUE(IsPlainFileName(good)) << good;
  }
  for (const char* bad : {"", ".", "..", "a/b", "a\\b", "a\tb", "a\nb"}) {
    EXPECT_FALSE(IsPlainFileName(bad)) << bad;
  }
}

}  // namespace
}  // namespace vz::veriroru
