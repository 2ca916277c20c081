#include "tools/datatool/demo_generator.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <map>
#include <set>

#include "platform/os/cp1252.h"
#include "src/db/catalogue.h"
#include "src/db/field_access.h"
#include "tools/datatool/datatool_test_support.h"
#include "tools/datatool/demo_installation.h"
#include "tools/datatool/demo_tables.h"

namespace vz::datatool {
namespace {

using testing::MemorySink;
using vz::db::FileId;

// Rubric files and the families whose line codes they hold.
struct RubricFile {
  FileId file;
  const char* families;  // two characters per family
};
constexpr RubricFile kRubricFiles[] = {
    {FileId::REVENUS, "40"},  {FileId::EMPRUNTS, "54"}, {FileId::IMPOTS, "51"},
    {FileId::IMMOBUSA, "01"}, {FileId::IMMORAPP, "02"}, {FileId::FONCIER, "03"},
    {FileId::VALMOBIL, "04"}, {FileId::LIQUIDIT, "05"}, {FileId::AUTREVAL, "06"},
    {FileId::PRIMEUNI, "07"}, {FileId::RETRAITE, "20"}, {FileId::RETRPERS, "22"},
    {FileId::RETRSOUH, "21"}, {FileId::PREVSOUH, "33"}};

std::string Text(const std::string& record, size_t offset, size_t width) {
  return vz::db::GetText(reinterpret_cast<const uint8_t*>(record.data()), offset, width);
}

float Real(const std::string& record, size_t offset) {
  return vz::db::GetReal(reinterpret_cast<const uint8_t*>(record.data()), offset);
}

struct Generated {
  MemorySink sink;
  GenerateStats stats;
  bool ok = false;
  std::string error;
};

std::unique_ptr<Generated> Generate(int64_t clients, uint64_t seed, bool queries = false) {
  auto g = std::make_unique<Generated>();
  GenerateOptions options;
  options.clients = clients;
  options.seed = seed;
  options.queries = queries;
  g->ok = GenerateDemoData(g->sink, options, &g->stats, nullptr, &g->error);
  return g;
}

TEST(DemoGeneratorTest, SameSeedSameRecordsOtherSeedOtherRecords) {
  auto a = Generate(400, 5, true);
  auto b = Generate(400, 5, true);
  auto c = Generate(400, 6, true);
  ASSERT_TRUE(a->ok && b->ok && c->ok) << a->error;
  bool any_difference = false;
  for (const vz::db::FileDescription& d : vz::db::Catalogue()) {
    EXPECT_EQ(a->sink.Records(d.id), b->sink.Records(d.id)) << d.name;
    if (a->sink.Records(d.id) != c->sink.Records(d.id)) any_difference = true;
  }
  EXPECT_TRUE(any_difference);
  // The queries do not change the clients drawn.
  auto d = Generate(400, 5, false);
  EXPECT_EQ(d->sink.Records(FileId::REVENUS), a->sink.Records(FileId::REVENUS));
  EXPECT_TRUE(d->sink.Records(FileId::REQUETES).empty());
}

// FNV-1a of every record handed over, file by file in catalogue order.
uint64_t Digest(Generated& g) {
  uint64_t h = 1469598103934665603ull;
  for (const vz::db::FileDescription& d : vz::db::Catalogue()) {
    for (const std::string& r : g.sink.Records(d.id)) {
      for (unsigned char c : r) h = (h ^ c) * 1099511628211ull;
    }
  }
  return h;
}

// The same seed gives the same installation on every machine and compiler:
// a change of this digest means demo installations changed for everyone.
TEST(DemoGeneratorTest, KnownDigestForASeed) {
  auto g = Generate(50, 1, true);
  ASSERT_TRUE(g->ok) << g->error;
  EXPECT_EQ(Digest(*g), 12721517444910628780ull) << Digest(*g);
}

TEST(DemoGeneratorTest, ExactlyTheClientsAskedFor) {
  for (int64_t n : {1, 2, 3, 77, 500}) {
    auto g = Generate(n, 9);
    ASSERT_TRUE(g->ok) << g->error;
    EXPECT_EQ(g->stats.clients, n);
    EXPECT_EQ(static_cast<int64_t>(g->sink.Records(FileId::CLIENT).size()), n);
    EXPECT_EQ(static_cast<int64_t>(g->sink.Records(FileId::CLIPART).size()), n);
  }
}

TEST(DemoGeneratorTest, RefusesOptionsOutOfRangeAndStopsWhenTheSinkRefuses) {
  for (int64_t n : {int64_t{0}, int64_t{-3}, kMaxDemoClients + 1}) {
    auto g = Generate(n, 1);
    EXPECT_FALSE(g->ok) << n;
    EXPECT_NE(g->error.find("number of clients"), std::string::npos);
  }
  Generated g;
  g.sink.refuse_after = 500;
  GenerateOptions options;
  options.clients = 1000;
  EXPECT_FALSE(GenerateDemoData(g.sink, options, &g.stats, nullptr, &g.error));
  EXPECT_NE(g.error.find("could not be written"), std::string::npos);
  EXPECT_EQ(g.stats.total_records(), 500);

  Generated commit;  // a commit that fails stops the run too
  commit.sink.fail_checkpoint = 2;
  options.clients = 20000;
  EXPECT_FALSE(GenerateDemoData(commit.sink, options, &commit.stats, nullptr, &commit.error));
  EXPECT_NE(commit.error.find("up to 4000 could not be committed"), std::string::npos)
      << commit.error;
  EXPECT_EQ(commit.stats.households, 4000);
}

TEST(DemoGeneratorTest, ClientCodesHouseholdsAndIdentity) {
  auto g = Generate(2000, 3);
  ASSERT_TRUE(g->ok) << g->error;
  std::map<std::string, int> household_size;
  std::set<char> situations, civilities;
  int skipped = 0, unknown_birth = 0;
  std::string previous;
  for (const std::string& r : g->sink.Records(FileId::CLIENT)) {
    const std::string code = Text(r, 0, 2) + Text(r, 3, 6) + Text(r, 10, 1);
    ASSERT_EQ(code.size(), 9u);
    EXPECT_EQ(code.substr(0, 2), kClientPrefix);
    EXPECT_GT(code, previous) << "client codes in key order, no duplicate";
    previous = code;
    ++household_size[code.substr(0, 8)];
    EXPECT_TRUE(code[8] == '1' || code[8] == '2');
    const std::string name = Text(r, 12, 20);
    ASSERT_FALSE(name.empty());
    if (name[0] == '(' || name[0] == '*') ++skipped;
    situations.insert(Text(r, 206, 1)[0]);
    civilities.insert(Text(r, 208, 1)[0]);
    const std::string birth = Text(r, 210, 8);
    EXPECT_EQ(birth.size(), 8u);
    if (birth == "00000000") ++unknown_birth;
    EXPECT_EQ(Text(r, 867, 17).size(), 17u) << "date-time stamp of 17 characters";
    EXPECT_GE(Text(r, 867, 17), "20000101000000001");
  }
  int couples = 0;
  for (const auto& [household, size] : household_size) couples += size == 2;
  EXPECT_GT(couples, 300);
  EXPECT_LT(couples, static_cast<int>(household_size.size()));
  EXPECT_GT(skipped, 0);
  EXPECT_LT(skipped, 100);
  EXPECT_GT(unknown_birth, 0);
  EXPECT_EQ(situations, (std::set<char>{'M', 'P', 'C', 'V', 'D', 'S', 'U', 'N'}));
  EXPECT_EQ(civilities, (std::set<char>{'1', '2', '3'}));
  // Some households rely on the address fields of CLIENT.
  std::set<std::string> with_address;
  for (const std::string& r : g->sink.Records(FileId::ADRESSES)) {
    if (Text(r, 10, 3) == "001") with_address.insert(Text(r, 0, 2) + Text(r, 3, 6));
    EXPECT_FALSE(Text(r, 227, 5).empty());
  }
  EXPECT_GT(with_address.size(), household_size.size() / 2);
  EXPECT_LT(with_address.size(), household_size.size());
}

TEST(DemoGeneratorTest, RubricCatalogueHasEveryFamilyAndItsTotal) {
  auto g = Generate(10, 1);
  ASSERT_TRUE(g->ok) << g->error;
  std::set<std::string> codes;
  for (const std::string& r : g->sink.Records(FileId::RUBRIQUE)) {
    const std::string code = Text(r, 0, 2) + Text(r, 3, 3);
    EXPECT_TRUE(codes.insert(code).second) << "duplicate " << code;
    EXPECT_FALSE(Text(r, 7, 30).empty()) << code;
  }
  for (const char* family :
       {"40", "54", "51", "01", "02", "03", "04", "05", "06", "07", "20", "33", "SC", "00"}) {
    EXPECT_TRUE(codes.count(std::string(family) + "000")) << family;
  }
  for (const char* fixed :
       {"2000A", "2000E", "3300A", "3300N", "SC00A", "SC00B", "0000A", "0000M", "21001"}) {
    EXPECT_TRUE(codes.count(fixed)) << fixed;
  }
}

TEST(DemoGeneratorTest, EveryRubricFileHasRecordsJointHoldingsAndKnownCodes) {
  auto g = Generate(1500, 21);
  ASSERT_TRUE(g->ok) << g->error;
  std::set<std::string> catalogue;
  for (const std::string& r : g->sink.Records(FileId::RUBRIQUE)) {
    catalogue.insert(Text(r, 0, 2) + Text(r, 3, 3));
  }
  int joint_files = 0;
  for (const RubricFile& rf : kRubricFiles) {
    const auto& records = g->sink.Records(rf.file);
    const std::string name(vz::db::Describe(rf.file).name);
    EXPECT_GT(records.size(), 10u) << name;
    std::map<std::string, int> per_owner_code;
    bool joint = false;
    std::string previous;
    for (const std::string& r : records) {
      const std::string owner = Text(r, 0, 9), code = Text(r, 10, 5), part = Text(r, 16, 3);
      EXPECT_EQ(owner.size(), 9u);
      EXPECT_EQ(code.substr(0, 2), rf.families) << name;
      EXPECT_TRUE(catalogue.count(code)) << name << " " << code;
      EXPECT_EQ(part.size(), 3u);
      EXPECT_GT(owner + code + part, previous) << name << ": keys unique and in order";
      previous = owner + code + part;
      if (owner[8] == '3') joint = true;
      ++per_owner_code[owner + code];
      if (rf.file != FileId::PREVSOUH) {
        EXPECT_GE(Real(r, 20), 0.0f) << name;
        EXPECT_EQ(Real(r, 20), std::floor(Real(r, 20))) << name << ": whole euros";
      }
    }
    joint_files += joint;
    int several = 0;
    for (const auto& [k, n] : per_owner_code) several += n > 1;
    if (rf.file == FileId::LIQUIDIT || rf.file == FileId::REVENUS) {
      EXPECT_GT(several, 0) << name << ": several lines of one code";
    }
  }
  EXPECT_GE(joint_files, 9);
}

TEST(DemoGeneratorTest, LoansPointAtTheFinancedProperties) {
  auto g = Generate(3000, 8);
  ASSERT_TRUE(g->ok) << g->error;
  std::map<std::string, bool> rentals;  // key -> financed
  for (const std::string& r : g->sink.Records(FileId::IMMORAPP)) {
    const std::string key = Text(r, 0, 9) + Text(r, 10, 5) + Text(r, 16, 3);
    const std::string financed = Text(r, 274, 1);
    ASSERT_TRUE(financed == "O" || financed == "N");
    rentals[key] = financed == "O";
    EXPECT_GT(Real(r, 55), 0.0f) << "rent";
  }
  std::set<std::string> lands;
  for (const std::string& r : g->sink.Records(FileId::FONCIER)) {
    lands.insert(Text(r, 0, 9) + Text(r, 10, 5) + Text(r, 16, 3));
  }
  int linked = 0, repaid = 0;
  for (const std::string& r : g->sink.Records(FileId::EMPRUNTS)) {
    const std::string code = Text(r, 10, 5), link = Text(r, 113, 17);
    if (code == "54002") {
      ASSERT_TRUE(rentals.count(link)) << link;
      EXPECT_TRUE(rentals[link]) << "a linked rental is marked financed";
      EXPECT_EQ(link.substr(0, 9), Text(r, 0, 9));
      ++linked;
    } else if (code == "54004") {
      EXPECT_TRUE(lands.count(link)) << link;
    } else {
      EXPECT_TRUE(link.empty()) << code;
    }
    if (Real(r, 80) == 0.0f) ++repaid;
  }
  EXPECT_GT(linked, 10);
  EXPECT_GT(repaid, 0) << "some loans fully repaid (second amount 0)";
}

TEST(DemoGeneratorTest, QueriesHaveTitlesAndCombinationsNameExistingQueries) {
  auto g = Generate(5, 2, true);
  ASSERT_TRUE(g->ok) << g->error;
  EXPECT_EQ(g->stats.queries, LastDemoQueryNumber());
  std::set<std::string> titles;
  std::vector<std::string> combined;
  for (const std::string& r : g->sink.Records(FileId::REQUETES)) {
    EXPECT_EQ(Text(r, 0, 2), "01");
    EXPECT_EQ(Text(r, 10, 12).size(), 12u);
    EXPECT_EQ(Text(r, 297, 1), "E");
    if (Text(r, 10, 12) != "TITRE*******") continue;
    const std::string code = Text(r, 0, 2) + Text(r, 3, 6);
    titles.insert(code);
    const std::string text = Text(r, 35, 51);
    EXPECT_EQ(text.substr(0, 9), "20250115\t");
    std::string all;
    for (size_t i = 0; i < 5; ++i) all += Text(r, 35 + 52 * i, 51);
    if (all.find("\tC\t") != std::string::npos) combined.push_back(all);
  }
  EXPECT_EQ(static_cast<int>(titles.size()), LastDemoQueryNumber());
  ASSERT_EQ(combined.size(), 2u);
  for (const std::string& text : combined) {
    const size_t c = text.find("\tC\t");
    EXPECT_TRUE(titles.count(text.substr(c + 3, 8))) << text;
    EXPECT_TRUE(titles.count(text.substr(c + 3 + 8 + 4, 8))) << text;
  }
}

TEST(DemoTablesTest, LabelsFitTheirFieldsAndCodesTheirKeys) {
  for (const CodeLabel& r : RubricCatalogue()) {
    EXPECT_EQ(std::string(r.code).size(), 5u) << r.code;
    EXPECT_LE(vz::os::Cp1252(r.label).size(), 30u) << r.label;
    EXPECT_EQ(vz::os::Utf8(vz::os::Cp1252(r.label)), r.label) << "cp1252 holds " << r.label;
  }
  for (const Profession& p : Professions()) {
    EXPECT_EQ(std::string(p.code).size(), 5u) << p.code;
    EXPECT_LE(vz::os::Cp1252(p.label).size(), 30u) << p.label;
  }
  for (const CodeLabel& r : MatrimonialRegimes()) EXPECT_LE(vz::os::Cp1252(r.label).size(), 30u);
  for (const Town& t : Towns()) {
    EXPECT_EQ(std::string(t.postcode).size(), 5u) << t.name;
    EXPECT_LE(vz::os::Cp1252(t.name).size(), 30u) << t.name;
  }
  for (const char* name : FamilyNames()) EXPECT_LE(vz::os::Cp1252(name).size(), 19u) << name;
  for (const char* street : Streets()) EXPECT_LE(vz::os::Cp1252(street).size(), 26u) << street;
}

TEST(DemoTablesTest, SampleLetterKeywordsAreShortEnough) {
  const std::string letter = SampleLetter();
  size_t at = 0;
  int keywords = 0;
  while ((at = letter.find('#', at)) != std::string::npos) {
    size_t end = ++at;
    while (end < letter.size() &&
           (std::isalnum(static_cast<unsigned char>(letter[end])) || letter[end] == '_'))
      ++end;
    EXPECT_LE(end - at, 7u) << letter.substr(at, end - at);
    EXPECT_GE(end - at, 5u) << letter.substr(at, end - at);
    ++keywords;
  }
  EXPECT_GT(keywords, 8);
  EXPECT_NE(letter.find("\r\n"), std::string::npos);
}

}  // namespace
}  // namespace vz::datatool
