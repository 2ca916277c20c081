#include "src/db/catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "src/db/catalogue_table.h"
#include "src/db/record_buffers.h"

namespace vz::db {
namespace {

// Files whose fields are laid out one by one for this program; the others have
// sizes of our own choice, with every text field of at least one character.
const std::set<std::string_view> kLaidOut = {
    "CLIENT",   "ADRESSES", "PROFES",   "ANNEXE",   "CLIPART",  "REQUETES", "RUBRIQUE", "SELECTES",
    "INTERFA",  "REVENUS",  "EMPRUNTS", "IMPOTS",   "IMMOBUSA", "IMMORAPP", "FONCIER",  "VALMOBIL",
    "LIQUIDIT", "AUTREVAL", "PRIMEUNI", "RETRAITE", "RETRPERS", "RETRSOUH", "PREVSOUH"};

TEST(CatalogueTest, BuildsWithoutProblems) {
  for (const std::string& problem : CatalogueProblems()) ADD_FAILURE() << problem;
  ASSERT_EQ(Catalogue().size(), static_cast<size_t>(kFileCount));
}

TEST(CatalogueTest, FilesAreInDeclarationOrderWithTheirIdentifiers) {
  std::set<std::string_view> names;
  for (size_t i = 0; i < Catalogue().size(); ++i) {
    const FileDescription& file = Catalogue()[i];
    EXPECT_EQ(static_cast<size_t>(file.id), i) << file.name;
    EXPECT_TRUE(names.insert(file.name).second) << "duplicate " << file.name;
    EXPECT_LE(file.name.size(), 8u) << file.name;
    EXPECT_EQ(file.name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"),
              std::string_view::npos)
        << file.name;
  }
  struct Sample {
    FileId id;
    const char* name;
  };
  for (Sample s : {Sample{FileId::CAISSRET, "CAISSRET"}, Sample{FileId::CLIPART, "CLIPART"},
                   Sample{FileId::CLIENT, "CLIENT"}, Sample{FileId::REQUETES, "REQUETES"},
                   Sample{FileId::SELECTES, "SELECTES"}, Sample{FileId::VALMOBIL, "VALMOBIL"},
                   Sample{FileId::TARIF, "TARIF"}}) {
    EXPECT_EQ(Describe(s.id).name, s.name);
    EXPECT_EQ(FindFileByName(s.name), s.id);
  }
}

TEST(CatalogueTest, DeclaredSizesCountsAndBuffersOfSampleRows) {
  struct Row {
    FileId id;
    int32_t record_size;
    int fields;
    size_t described;
    size_t buffer;
  };
  const Row rows[] = {
      {FileId::CLIENT, 905, 85, 896, 951},   {FileId::CLIPART, 1189, 79, 1180, 1180},
      {FileId::REQUETES, 338, 11, 339, 688}, {FileId::INTERFA, 391, 11, 392, 703},
      {FileId::SELECTES, 40, 7, 40, 40},     {FileId::VALMOBIL, 2361, 66, 2354, 2401},
      {FileId::ADRESSES, 445, 13, 445, 498}, {FileId::PREVSOUH, 226, 12, 226, 273},
      {FileId::REVENUS, 993, 36, 991, 1076}, {FileId::RDV, 575, 9, 575, 1139},
      {FileId::DIVSOC, 100, 10, 99, 99},     {FileId::MADELIN, 191, 21, 189, 189},
  };
  for (const Row& row : rows) {
    const FileDescription& file = Describe(row.id);
    SCOPED_TRACE(std::string(file.name));
    EXPECT_EQ(file.record_size, row.record_size);
    EXPECT_EQ(file.field_count(), row.fields);
    EXPECT_EQ(file.described_size, row.described);
    EXPECT_EQ(file.buffer_size, row.buffer);
  }
}

// Every file: the type string has one digit per field, each size fits its
// type, key fields hold their key, and the buffer is exactly the described
// fields up to the first key, a spare byte, the key slots, the long texts and
// the fields described after the keys.
TEST(CatalogueTest, EveryFileIsConsistent) {
  for (const FileDescription& file : Catalogue()) {
    SCOPED_TRACE(std::string(file.name));
    ASSERT_EQ(file.types.size(), file.field_sizes.size());
    ASSERT_GT(file.field_count(), 0);
    bool laid_out = kLaidOut.count(file.name) > 0;
    std::set<int> key_fields;
    for (const KeyDescription& key : file.keys) key_fields.insert(key.slot_field);
    std::set<int> long_fields;
    for (const LongText& text : file.long_texts) long_fields.insert(text.field);
    size_t sum = 0;
    for (int f = 1; f <= file.field_count(); ++f) {
      int32_t size = file.field_sizes[static_cast<size_t>(f - 1)];
      char type = file.types[static_cast<size_t>(f - 1)];
      EXPECT_EQ(file.field_offsets[static_cast<size_t>(f - 1)], sum) << "field " << f;
      sum += static_cast<size_t>(size);
      switch (type) {
        case '1':
          EXPECT_GE(size, laid_out ? 1 : 2) << "text field " << f;
          if (long_fields.count(f)) {
            EXPECT_EQ(size, 260) << "long text field " << f;
          } else {
            EXPECT_LE(size, 256) << "one text of at most 255 characters, field " << f;
          }
          break;
        case '2':
          EXPECT_TRUE(size > 0 && size % 2 == 0) << "int16 field " << f;
          break;
        case '4':
          if (!key_fields.count(f)) {
            EXPECT_TRUE(size > 0 && size % 4 == 0) << "real field " << f;
          }
          break;
        default:
          ADD_FAILURE() << "type digit " << type << " in field " << f;
      }
    }
    EXPECT_EQ(sum, file.described_size);
    EXPECT_LE(file.described_size, file.buffer_size);
    for (const KeyDescription& key : file.keys) {
      int characters = 0;
      for (const KeyComponent& c : key.components) {
        ASSERT_GE(c.field, 1);
        ASSERT_LE(c.field, file.field_count());
        EXPECT_EQ(file.types[static_cast<size_t>(c.field - 1)], '1')
            << "key " << key.name << " component " << c.field;
        characters +=
            c.width > 0 ? c.width : file.field_sizes[static_cast<size_t>(c.field - 1)] - 1;
      }
      EXPECT_EQ(file.types[static_cast<size_t>(key.slot_field - 1)], '4') << key.name;
      EXPECT_EQ(file.field_sizes[static_cast<size_t>(key.slot_field - 1)], characters + 2)
          << "key field of " << key.name;
    }
    for (const KeyDescription& key : file.engine_only_keys) {
      EXPECT_EQ(key.slot_field, 0);
      for (const KeyComponent& c : key.components) {
        EXPECT_EQ(file.types[static_cast<size_t>(c.field - 1)], '1') << key.name;
      }
    }
    switch (file.rule) {
      case SyncRule::kNotInKeyTable:
      case SyncRule::kClearedOnly:
        EXPECT_TRUE(file.keys.empty());
        EXPECT_EQ(file.table_buffer_size == 0, file.rule == SyncRule::kNotInKeyTable);
        EXPECT_EQ(file.buffer_size, file.described_size) << "buffer ends with the last field";
        break;
      default: {
        ASSERT_FALSE(file.keys.empty());
        size_t first = file.field_offsets[static_cast<size_t>(file.first_key_field - 1)];
        int last_key_field = file.first_key_field + static_cast<int>(file.keys.size()) - 1;
        size_t after =
            file.described_size - file.field_offsets[static_cast<size_t>(last_key_field - 1)] -
            static_cast<size_t>(file.field_sizes[static_cast<size_t>(last_key_field - 1)]);
        EXPECT_EQ(first + 1 + 65 * file.keys.size() + 256 * file.long_texts.size() + after,
                  file.buffer_size);
        EXPECT_EQ(static_cast<size_t>(file.table_buffer_size), file.buffer_size);
      }
    }
  }
}

TEST(CatalogueTest, DeclaredSizeLargerThanTheDescribedFields) {
  for (FileId id : {FileId::CLIPART, FileId::PARAM, FileId::SPASSIF, FileId::SACTIF,
                    FileId::LEGITELA, FileId::UTILISAT}) {
    const FileDescription& file = Describe(id);
    EXPECT_GT(static_cast<size_t>(file.record_size), file.described_size) << file.name;
    EXPECT_EQ(file.buffer_size, file.described_size) << file.name;
  }
}

TEST(CatalogueTest, OffsetsOfLaidOutFields) {
  struct Field {
    FileId id;
    int field;
    size_t offset;
    int32_t size;
  };
  const Field fields[] = {
      {FileId::CLIENT, 4, 12, 21},      {FileId::CLIENT, 18, 230, 6},
      {FileId::CLIENT, 23, 253, 6},     {FileId::CLIENT, 66, 624, 124},
      {FileId::CLIENT, 82, 850, 15},    {FileId::CLIENT, 84, 867, 18},
      {FileId::CLIENT, 85, 885, 11},    {FileId::ADRESSES, 4, 14, 213},
      {FileId::ADRESSES, 13, 432, 13},  {FileId::PROFES, 13, 235, 7},
      {FileId::ANNEXE, 7, 50, 7},       {FileId::CLIPART, 12, 249, 8},
      {FileId::CLIPART, 79, 1178, 2},   {FileId::REQUETES, 6, 35, 260},
      {FileId::REQUETES, 10, 301, 22},  {FileId::REQUETES, 11, 323, 16},
      {FileId::RUBRIQUE, 3, 7, 31},     {FileId::SELECTES, 5, 34, 2},
      {FileId::SELECTES, 7, 38, 2},     {FileId::INTERFA, 5, 40, 260},
      {FileId::INTERFA, 11, 354, 38},   {FileId::REVENUS, 22, 166, 228},
      {FileId::REVENUS, 32, 936, 1},    {FileId::REVENUS, 36, 964, 27},
      {FileId::EMPRUNTS, 19, 113, 18},  {FileId::EMPRUNTS, 50, 3278, 19},
      {FileId::IMMORAPP, 22, 274, 2},   {FileId::VALMOBIL, 55, 1385, 19},
      {FileId::VALMOBIL, 56, 1404, 4},  {FileId::VALMOBIL, 66, 2353, 1},
      {FileId::LIQUIDIT, 62, 2264, 19}, {FileId::PRIMEUNI, 84, 2447, 19},
      {FileId::RETRPERS, 11, 78, 4},    {FileId::PREVSOUH, 4, 20, 32},
      {FileId::PREVSOUH, 12, 207, 19},  {FileId::RETRAITE, 13, 124, 19},
  };
  for (const Field& f : fields) {
    const FileDescription& file = Describe(f.id);
    SCOPED_TRACE(std::string(file.name) + " field " + std::to_string(f.field));
    EXPECT_EQ(file.field_offsets[static_cast<size_t>(f.field - 1)], f.offset);
    EXPECT_EQ(file.field_sizes[static_cast<size_t>(f.field - 1)], f.size);
  }
}

TEST(CatalogueTest, KeysOfTheFilesTheProgramReads) {
  struct Keys {
    FileId id;
    std::vector<std::string_view> names;
    std::vector<size_t> slots;
  };
  const Keys table[] = {
      {FileId::CLIENT, {"CODCLI"}, {886}},
      {FileId::REQUETES, {"CODREQ", "codreq1"}, {302, 367}},
      {FileId::RUBRIQUE, {"CODRUBR"}, {51}},
      {FileId::ANNEXE, {"CODRUBR"}, {51}},
      {FileId::PROFES, {"CODPROF"}, {236}},
      {FileId::ADRESSES, {"CODADR"}, {433}},
      {FileId::INTERFA, {"KEY1", "MOTCLEF"}, {317, 382}},
      {FileId::REVENUS, {"CODCLEF", "KEY2"}, {946, 1011}},
      {FileId::VALMOBIL, {"CODCLEF"}, {1386}},
  };
  for (const Keys& k : table) {
    const FileDescription& file = Describe(k.id);
    SCOPED_TRACE(std::string(file.name));
    ASSERT_EQ(file.keys.size(), k.names.size());
    for (size_t i = 0; i < k.names.size(); ++i) {
      EXPECT_EQ(file.keys[i].name, k.names[i]);
      EXPECT_EQ(file.keys[i].slot_offset, k.slots[i]);
    }
  }
  for (const char* rubric :
       {"REVENUS", "EMPRUNTS", "IMPOTS", "IMMOBUSA", "IMMORAPP", "FONCIER", "VALMOBIL", "LIQUIDIT",
        "AUTREVAL", "PRIMEUNI", "RETRAITE", "RETRPERS", "RETRSOUH", "PREVSOUH"}) {
    const FileDescription& file = Describe(*FindFileByName(rubric));
    ASSERT_FALSE(file.keys.empty()) << rubric;
    EXPECT_EQ(file.keys[0].name, "CODCLEF") << rubric;
    EXPECT_EQ(file.keys[0].characters, 17) << rubric;
  }
  const FileDescription& interfa = Describe(FileId::INTERFA);
  ASSERT_EQ(interfa.keys[1].components.size(), 4u);
  EXPECT_EQ(interfa.keys[1].components[0].field, 2);
  EXPECT_EQ(interfa.keys[1].components[3].width, 14);
}

TEST(CatalogueTest, EngineOnlyKeysAndSpecialRules) {
  const FileDescription& selectes = Describe(FileId::SELECTES);
  EXPECT_EQ(selectes.rule, SyncRule::kNotInKeyTable);
  ASSERT_EQ(selectes.engine_only_keys.size(), 1u);
  EXPECT_EQ(selectes.engine_only_keys[0].name, "CODPTT");
  EXPECT_EQ(selectes.engine_only_keys[0].components[0].field, 3);
  const FileDescription& clipart = Describe(FileId::CLIPART);
  EXPECT_EQ(clipart.rule, SyncRule::kClearedOnly);
  ASSERT_EQ(clipart.engine_only_keys.size(), 1u);
  EXPECT_EQ(clipart.engine_only_keys[0].name, "CODCLI");

  EXPECT_EQ(Describe(FileId::CLIENT).rule, SyncRule::kClientStamp);
  const FileDescription& charsoc = Describe(FileId::CHARSOC);
  EXPECT_EQ(charsoc.rule, SyncRule::kUnpaddedKeys);
  ASSERT_EQ(charsoc.keys.size(), 1u);
  EXPECT_FALSE(charsoc.keys[0].pad);
  ASSERT_EQ(charsoc.keys[0].components.size(), 3u);
  EXPECT_EQ(charsoc.keys[0].components[0].width, 0);
  EXPECT_EQ(charsoc.keys[0].components[1].width, 9);
  EXPECT_EQ(charsoc.keys[0].components[2].width, 10);

  const FileDescription& rdv = Describe(FileId::RDV);
  ASSERT_EQ(rdv.long_texts.size(), 2u);
  EXPECT_EQ(rdv.long_texts[0].field, 6);
  EXPECT_EQ(rdv.long_texts[1].field, 5);
  EXPECT_EQ(rdv.long_texts[1].text_offset, rdv.long_texts[0].text_offset + 256);
  EXPECT_EQ(rdv.long_texts[1].text_offset + 256, rdv.buffer_size);
  const FileDescription& requetes = Describe(FileId::REQUETES);
  ASSERT_EQ(requetes.long_texts.size(), 1u);
  EXPECT_EQ(requetes.long_texts[0].field_offset, 35u);
  EXPECT_EQ(requetes.long_texts[0].text_offset, 432u);
  int with_long_text = 0;
  for (const FileDescription& file : Catalogue()) with_long_text += !file.long_texts.empty();
  EXPECT_EQ(with_long_text, 4);  // ACTION, INTERFA, RDV, REQUETES
}

TEST(CatalogueTest, LookupIsExact) {
  EXPECT_EQ(FindFileByName("CLIENT"), FileId::CLIENT);
  for (std::string_view name : {"", "client", "CLIENT ", "CLIENTS", "CLIEN", "\0CLIENT"}) {
    EXPECT_FALSE(FindFileByName(name).has_value()) << name;
  }
}

TEST(RecordBuffersTest, OneZeroedBlockInCatalogueOrder) {
  uint8_t* previous_end = nullptr;
  for (const FileDescription& file : Catalogue()) {
    uint8_t* buffer = RecordBuffer(file.id);
    EXPECT_EQ(RecordBufferSize(file.id), file.buffer_size) << file.name;
    if (previous_end != nullptr) {
      EXPECT_EQ(buffer, previous_end) << file.name;
    }
    previous_end = buffer + file.buffer_size;
    EXPECT_TRUE(std::all_of(buffer, buffer + file.buffer_size, [](uint8_t b) { return b == 0; }))
        << file.name;
  }
  EXPECT_EQ(RecordBuffer(FileId::CLIENT), RecordBuffer(FileId::CLIPART) + 1180);
}

// Rows that do not hold together are refused and describe nothing, so that
// the engine is never handed sizes that disagree with the buffer.
TEST(CatalogueRowTest, MalformedRowsAreRefused) {
  using internal::CatalogueRow;
  struct Case {
    const char* why;
    CatalogueRow row;
  };
  const Case cases[] = {
      {"sizes not numbers",
       {"BAD", 10, 2, "11", 0, SyncRule::kNotInKeyTable, "4 x", 0, "", "", ""}},
      {"zero size", {"BAD", 10, 2, "11", 0, SyncRule::kNotInKeyTable, "0 4", 0, "", "", ""}},
      {"zero count", {"BAD", 10, 2, "11", 0, SyncRule::kNotInKeyTable, "4*0 4", 0, "", "", ""}},
      {"too few sizes", {"BAD", 10, 3, "111", 0, SyncRule::kNotInKeyTable, "4 4", 0, "", "", ""}},
      {"types too short", {"BAD", 10, 2, "1", 0, SyncRule::kNotInKeyTable, "4 4", 0, "", "", ""}},
      {"negative size", {"BAD", 10, 2, "11", 0, SyncRule::kNotInKeyTable, "-4 4", 0, "", "", ""}},
      {"key on a real", {"BAD", 10, 2, "44", 70, SyncRule::kKeys, "4 4", 2, "K=1:2", "", ""}},
      {"key field missing", {"BAD", 10, 2, "14", 70, SyncRule::kKeys, "4 4", 0, "K=1:2", "", ""}},
      {"key past the end", {"BAD", 10, 2, "14", 70, SyncRule::kKeys, "4 4", 3, "K=1:2", "", ""}},
      {"key component 0", {"BAD", 10, 2, "14", 70, SyncRule::kKeys, "4 4", 2, "K=0:2", "", ""}},
      {"key component far", {"BAD", 10, 2, "14", 70, SyncRule::kKeys, "4 4", 2, "K=9:2", "", ""}},
      {"key with no name", {"BAD", 10, 2, "14", 70, SyncRule::kKeys, "4 4", 2, "=1:2", "", ""}},
      {"key syntax", {"BAD", 10, 2, "14", 70, SyncRule::kKeys, "4 4", 2, "K=1-2", "", ""}},
      {"key too long", {"BAD", 10, 2, "14", 70, SyncRule::kKeys, "4 4", 2, "K=1:65", "", ""}},
      {"long text not 260", {"BAD", 10, 2, "14", 330, SyncRule::kKeys, "4 4", 2, "K=1:2", "1", ""}},
      {"long text, no key",
       {"BAD", 10, 1, "1", 0, SyncRule::kNotInKeyTable, "260", 0, "", "1", ""}},
      {"engine key on real",
       {"BAD", 10, 2, "14", 0, SyncRule::kNotInKeyTable, "4 4", 0, "", "", "C=2:3"}},
      {"buffer too small", {"BAD", 10, 2, "11", 5, SyncRule::kClearedOnly, "4 4", 0, "", "", ""}},
  };
  for (const Case& c : cases) {
    FileDescription file;
    std::string problem;
    bool built = internal::BuildFileDescription(c.row, FileId::CAISSRET, file, problem);
    EXPECT_FALSE(built) << c.why;
    EXPECT_FALSE(problem.empty()) << c.why;
    if (std::string_view(c.why) == "buffer too small") {
      EXPECT_GE(file.buffer_size, file.described_size) << "never less room than described";
    } else {
      EXPECT_EQ(file.described_size, 0u) << c.why;
    }
  }
  FileDescription good;
  std::string problem;
  const CatalogueRow runs = {"GOOD",    99, 4,  "1221", 0, SyncRule::kNotInKeyTable,
                             "5 2*2 6", 0,  "", "",     ""};
  EXPECT_TRUE(internal::BuildFileDescription(runs, FileId::CAISSRET, good, problem)) << problem;
  EXPECT_EQ(good.field_sizes, (std::vector<int32_t>{5, 2, 2, 6}));
  EXPECT_EQ(good.field_offsets, (std::vector<size_t>{0, 5, 7, 9}));
  const CatalogueRow keyed = {"GOOD",  20, 3,           "114", 76, SyncRule::kKeys,
                              "5 4 5", 3,  "K=1:2+2:1", "",    ""};
  EXPECT_TRUE(internal::BuildFileDescription(keyed, FileId::CAISSRET, good, problem)) << problem;
  EXPECT_EQ(good.keys[0].slot_offset, 10u);
  EXPECT_EQ(good.keys[0].characters, 3);
}

}  // namespace
}  // namespace vz::db
