#include "src/db/buffer_sync.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "src/db/catalogue.h"
#include "src/db/field_access.h"
#include "src/db/record_buffers.h"
#include "tests/support/numbered_fields.h"

namespace vz::db {
namespace {

using namespace std::string_literals;
using vz::testing::FieldOffset;
using vz::testing::GetField;
using vz::testing::KeySlot;
using vz::testing::LongText;
using vz::testing::SetField;
using vz::testing::SetLongText;

std::string Piece(FileId id, size_t piece, size_t which = 0) {
  return GetText(RecordBuffer(id), Describe(id).long_texts[which].field_offset + piece * 52, 51);
}
void Fill(FileId id, uint8_t value) {
  std::memset(RecordBuffer(id), value, RecordBufferSize(id));
}
std::vector<uint8_t> Snapshot(FileId id) {
  return std::vector<uint8_t>(RecordBuffer(id), RecordBuffer(id) + RecordBufferSize(id));
}

// A pattern of text characters, so that a piece boundary shows in the result.
std::string Pattern(size_t n) {
  std::string text;
  for (size_t i = 0; i < n; ++i) text += static_cast<char>('A' + i % 26);
  return text;
}

TEST(NormalisedNameTest, RemovesBlanksFoldsListedAccentsAndUpperCases) {
  struct Case {
    std::string in;
    std::string out;
  };
  const Case cases[] = {
      {"requetes", "REQUETES"},
      {" REQ UETES ", "REQUETES"},
      {"Requ\xEAtes", "REQUETES"},
      {"\0CLI\0ENT\0"s, "CLIENT"},
      {"\xE0\xE1\xE2\xE4\xE5\xC4\xC5", "AAAAAAA"},
      {"\xE7\xC7", "CC"},
      {"\xE8\xE9\xEA\xEB", "EEEE"},
      {"\xEC\xED\xEE\xEF", "IIII"},
      {"\xF2\xF4\xF6\xD6", "OOOO"},
      {"\xF9\xFA\xFB\xDC", "UUUU"},
      // Accents outside the list stay as they are; so do tabs and digits.
      {"\xC0\xC9\xD1\xF3\xF5\xFC\xFF", "\xC0\xC9\xD1\xF3\xF5\xFC\xFF"},
      {"a\tb", "A\tB"},
      {"trent100", "TRENT100"},
      {"", ""},
      {"   ", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NormalisedName(c.in).view(), c.out) << c.in;
  }
  // A hostile length is cut, never overrun.
  std::string huge(5000, 'x');
  EXPECT_EQ(NormalisedName(huge).view(), std::string(255, 'X'));
}

TEST(NormalisedNameTest, WrittenNamesFindTheirFiles) {
  struct Case {
    std::string written;
    bool found;
    FileId file;
  };
  const Case cases[] = {
      {"requetes", true, FileId::REQUETES},
      {"REQUETES", true, FileId::REQUETES},
      {" REQ UETES ", true, FileId::REQUETES},
      {"Requ\xEAtes", true, FileId::REQUETES},
      {"client", true, FileId::CLIENT},
      {"Cl\xEF"
       "ent",
       true, FileId::CLIENT},
      {"selectes", true, FileId::SELECTES},
      {"REQUETE", false, FileId::CAISSRET},
      {"REQUETES2", false, FileId::CAISSRET},
      {"", false, FileId::CAISSRET},
      {"CL\xC9"
       "ENT",
       false, FileId::CAISSRET},  // É is not folded
  };
  for (const Case& c : cases) {
    auto found = FindFileByWrittenName(c.written);
    EXPECT_EQ(found.has_value(), c.found) << c.written;
    if (c.found && found) {
      EXPECT_EQ(*found, c.file) << c.written;
    }
  }
}

TEST(OperationWordTest, WritesAreNamedOtherWordsAreReads) {
  struct Case {
    const char* word;
    SyncOperation operation;
  };
  const Case cases[] = {
      {"HAJOUTE", SyncOperation::kAdd},        {"hajoute", SyncOperation::kAdd},
      {" H AJOUTE ", SyncOperation::kAdd},     {"HMODIFIE", SyncOperation::kModify},
      {"Hmodifi\xE9", SyncOperation::kModify}, {"HSUPPRIME", SyncOperation::kDelete},
      {"HLITPREMIER", SyncOperation::kRead},   {"HLITSUIVANT", SyncOperation::kRead},
      {"HLITRECHERCHE", SyncOperation::kRead}, {"", SyncOperation::kRead},
      {"HAJOUTER", SyncOperation::kRead},
  };
  for (const Case& c : cases) EXPECT_EQ(OperationFromWord(c.word), c.operation) << c.word;
}

class BufferSyncTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const FileDescription& file : Catalogue()) Fill(file.id, 0);
  }
};

TEST_F(BufferSyncTest, KeysAreRebuiltPaddedAndLongTextSplitOnWrites) {
  SetField(FileId::REQUETES, 1, "01");
  SetField(FileId::REQUETES, 2, "12");  // shorter than its width: padded
  SetField(FileId::REQUETES, 3, "TITRE*******");
  SetLongText(FileId::REQUETES, Pattern(120));
  SynchroniseBuffer("requetes", "HAJOUTE", true);  // out of file does not matter for a write
  EXPECT_EQ(KeySlot(FileId::REQUETES, 0), "0112    TITRE*******");
  EXPECT_EQ(KeySlot(FileId::REQUETES, 1), "01TITRE*******");
  EXPECT_EQ(Piece(FileId::REQUETES, 0), Pattern(120).substr(0, 51));
  EXPECT_EQ(Piece(FileId::REQUETES, 1), Pattern(120).substr(51, 51));
  EXPECT_EQ(Piece(FileId::REQUETES, 2), Pattern(120).substr(102, 18));
  EXPECT_EQ(Piece(FileId::REQUETES, 3), "");
  EXPECT_EQ(Piece(FileId::REQUETES, 4), "");

  // A read joins the pieces back into the long text.
  SetLongText(FileId::REQUETES, "stale");
  SynchroniseBuffer(" REQ UETES ", "HLITSUIVANT", false);
  EXPECT_EQ(LongText(FileId::REQUETES), Pattern(120));
  EXPECT_EQ(KeySlot(FileId::REQUETES, 0), "0112    TITRE*******");
}

TEST_F(BufferSyncTest, LongTextPiecesForEveryLength) {
  for (size_t length : {0u, 1u, 50u, 51u, 52u, 102u, 103u, 204u, 254u, 255u}) {
    SCOPED_TRACE(length);
    std::string text = Pattern(length);
    SetLongText(FileId::INTERFA, text);
    SynchroniseBuffer("INTERFA", "HMODIFIE", true);
    std::string joined;
    for (size_t piece = 0; piece < 5; ++piece) {
      std::string part = Piece(FileId::INTERFA, piece);
      size_t from = std::min(piece * 51, length);
      EXPECT_EQ(part, text.substr(from, 51));
      joined += part;
    }
    SetLongText(FileId::INTERFA, "");
    SynchroniseBuffer("Interfa", "HLITRECHERCHE", false);
    EXPECT_EQ(LongText(FileId::INTERFA), text);
  }
}

TEST_F(BufferSyncTest, DamagedPieceLengthsJoinToAtMost255Characters) {
  const FileDescription& file = Describe(FileId::REQUETES);
  uint8_t* record = RecordBuffer(FileId::REQUETES);
  for (size_t piece = 0; piece < 5; ++piece) {
    size_t at = file.long_texts[0].field_offset + piece * 52;
    std::memset(record + at, 'Z', 52);
    record[at] = 0xFF;  // claims 255 characters in a 51-character piece
  }
  SynchroniseBuffer("REQUETES", "HLITPREMIER", false);
  EXPECT_EQ(LongText(FileId::REQUETES), std::string(255, 'Z'));
}

TEST_F(BufferSyncTest, RdvSplitsAndJoinsBothLongTexts) {
  SetField(FileId::RDV, 1, "CONSEIL1");
  SetField(FileId::RDV, 2, "0001");
  SetLongText(FileId::RDV, Pattern(60), 0);
  SetLongText(FileId::RDV, "second text", 1);
  SynchroniseBuffer("RDV", "HAJOUTE", false);
  // The first text goes to field 6, the second to field 5.
  size_t field5 = FieldOffset(FileId::RDV, 5);
  size_t field6 = FieldOffset(FileId::RDV, 6);
  EXPECT_EQ(GetText(RecordBuffer(FileId::RDV), field6, 51), Pattern(51));
  EXPECT_EQ(GetText(RecordBuffer(FileId::RDV), field6 + 52, 51), Pattern(60).substr(51));
  EXPECT_EQ(GetText(RecordBuffer(FileId::RDV), field5, 51), "second text");
  EXPECT_EQ(KeySlot(FileId::RDV, 0), "CONSEIL10001");
  SetLongText(FileId::RDV, "", 0);
  SetLongText(FileId::RDV, "", 1);
  SynchroniseBuffer("RDV", "HLITSUIVANT", false);
  EXPECT_EQ(LongText(FileId::RDV, 0), Pattern(60));
  EXPECT_EQ(LongText(FileId::RDV, 1), "second text");
}

TEST_F(BufferSyncTest, KeyComponentsAreCutToTheirWidth) {
  // DOSENT field 3 holds 30 characters and enters the second key with 20.
  SetField(FileId::DOSENT, 1, "01");
  SetField(FileId::DOSENT, 2, "000042");
  SetField(FileId::DOSENT, 3, Pattern(30));
  SynchroniseBuffer("DOSENT", "HLITRECHERCHE", false);
  EXPECT_EQ(KeySlot(FileId::DOSENT, 0), "01000042");
  EXPECT_EQ(KeySlot(FileId::DOSENT, 1), "01" + Pattern(20));
  // A damaged length byte is clamped to the field's width.
  RecordBuffer(FileId::DOSENT)[FieldOffset(FileId::DOSENT, 1)] = 0xFF;
  SynchroniseBuffer("DOSENT", "HLITRECHERCHE", false);
  EXPECT_EQ(KeySlot(FileId::DOSENT, 0).size(), 8u);
}

TEST_F(BufferSyncTest, CharsocKeyIsCutButNeverPadded) {
  SetField(FileId::CHARSOC, 1, "AB");
  SetField(FileId::CHARSOC, 2, "XYZ");
  SetField(FileId::CHARSOC, 3, "Q");
  SynchroniseBuffer("CHARSOC", "HLITPREMIER", false);
  EXPECT_EQ(KeySlot(FileId::CHARSOC, 0), "ABXYZQ");
  SetField(FileId::CHARSOC, 1, "SOC00001");
  SetField(FileId::CHARSOC, 2, Pattern(9));
  SetField(FileId::CHARSOC, 3, Pattern(10));
  SynchroniseBuffer("CHARSOC", "HAJOUTE", false);
  EXPECT_EQ(KeySlot(FileId::CHARSOC, 0), "SOC00001" + Pattern(9) + Pattern(10));
}

TEST_F(BufferSyncTest, ClientStampAndFieldWidths) {
  struct Case {
    std::string stamp;
    std::string field84;
  };
  const std::string blanks(17, ' ');
  const Case cases[] = {
      {"19991231235959999", blanks},  // before 2000: emptied, then padded
      {"", blanks},                   // nothing: padded
      {"   ", blanks},                // blanks only: padded
      {std::string(17, ' '), blanks},
      {"20000101000000001", "20000101000000001"},  // lower bound kept
      {"20000101000000000", blanks},               // just below
      {"99991231235959001", "99991231235959001"},  // upper bound kept
      {"99991231235959002", blanks},               // just above
      {"20240615103000123", "20240615103000123"},
      {"2005", "2005             "},  // short but in range: padded
      {"ABC", blanks},                // letters sort above the bound
      {" 2024", blanks},              // leading blank sorts below
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stamp);
    SetField(FileId::CLIENT, 1, "01");
    SetField(FileId::CLIENT, 2, "000123");
    SetField(FileId::CLIENT, 3, "1");
    SetField(FileId::CLIENT, 84, c.stamp);
    SetField(FileId::CLIENT, 82, "ABC");
    SynchroniseBuffer("CLIENT", "HLITRECHERCHE", false);
    EXPECT_EQ(GetField(FileId::CLIENT, 84), c.field84);
    EXPECT_EQ(GetField(FileId::CLIENT, 82), "ABC" + std::string(11, ' '));
    EXPECT_EQ(KeySlot(FileId::CLIENT, 0), "010001231");
  }
  // The same rule applies before a write.
  SetField(FileId::CLIENT, 84, "19991231000000000");
  SynchroniseBuffer("CLIENT", "HMODIFIE", false);
  EXPECT_EQ(GetField(FileId::CLIENT, 84), blanks);
  // A damaged length byte in field 82 is clamped, never read past the field.
  uint8_t* record = RecordBuffer(FileId::CLIENT);
  std::memset(record + FieldOffset(FileId::CLIENT, 82) + 1, 'K', 14);
  record[FieldOffset(FileId::CLIENT, 82)] = 0xFF;
  SynchroniseBuffer("CLIENT", "HLITSUIVANT", false);
  EXPECT_EQ(GetField(FileId::CLIENT, 82), std::string(14, 'K'));
  EXPECT_EQ(record[FieldOffset(FileId::CLIENT, 83)], 0) << "field 83 untouched";
}

TEST_F(BufferSyncTest, NoCurrentRecordZeroFillsTheWholeBuffer) {
  struct Case {
    const char* operation;
    bool out_of_file;
  };
  const Case cases[] = {{"HLITPREMIER", true},
                        {"HLITSUIVANT", true},
                        {"HLITRECHERCHE", true},
                        {"HSUPPRIME", false},
                        {"HSUPPRIME", true}};
  for (FileId id : {FileId::REQUETES, FileId::CLIENT, FileId::VALMOBIL, FileId::RDV, FileId::DIVSOC,
                    FileId::CLIPART, FileId::AUTREVAL}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(Describe(id).name) + " " + c.operation);
      Fill(id, 0xAB);
      // The neighbouring buffers keep their bytes.
      uint8_t* before = RecordBuffer(id) - 1;
      uint8_t* after = RecordBuffer(id) + RecordBufferSize(id);
      *before = 0x11;
      *after = 0x22;
      SynchroniseBuffer(Describe(id).name, c.operation, c.out_of_file);
      std::vector<uint8_t> bytes = Snapshot(id);
      EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b == 0; }));
      EXPECT_EQ(*before, 0x11);
      EXPECT_EQ(*after, 0x22);
    }
  }
}

TEST_F(BufferSyncTest, WritesKeepARecordEvenOutOfFile) {
  for (const char* operation : {"HAJOUTE", "HMODIFIE"}) {
    Fill(FileId::RUBRIQUE, 0);
    SetField(FileId::RUBRIQUE, 1, "40");
    SetField(FileId::RUBRIQUE, 2, "000");
    SynchroniseBuffer("RUBRIQUE", operation, true);
    EXPECT_EQ(KeySlot(FileId::RUBRIQUE, 0), "40000") << operation;
    EXPECT_EQ(GetField(FileId::RUBRIQUE, 1), "40") << operation;
  }
}

TEST_F(BufferSyncTest, FilesOutsideTheKeyTableAreUntouched) {
  for (FileId id : {FileId::SELECTES, FileId::CAISSRET, FileId::PARAM, FileId::UTILISAT}) {
    Fill(id, 0x5A);
    std::vector<uint8_t> before = Snapshot(id);
    for (const char* operation : {"HAJOUTE", "HMODIFIE", "HSUPPRIME", "HLITSUIVANT"}) {
      for (bool out_of_file : {false, true}) {
        SynchroniseBuffer(Describe(id).name, operation, out_of_file);
        EXPECT_EQ(Snapshot(id), before) << Describe(id).name << " " << operation;
      }
    }
  }
  // A name that is no catalogue file changes nothing anywhere.
  Fill(FileId::REQUETES, 0x33);
  std::vector<uint8_t> requetes = Snapshot(FileId::REQUETES);
  for (std::string_view name : {"NOSUCH", "", "REQUETES2", "REQ-UETES"}) {
    SynchroniseBuffer(name, "HSUPPRIME", true);
  }
  EXPECT_EQ(Snapshot(FileId::REQUETES), requetes);
}

TEST_F(BufferSyncTest, KeySlotsStayInsideTheDescribedKeyField) {
  // VALMOBIL describes eleven fields after its key: a read must not disturb
  // them when the key is rebuilt.
  const FileDescription& file = Describe(FileId::VALMOBIL);
  uint8_t* record = RecordBuffer(FileId::VALMOBIL);
  SetField(FileId::VALMOBIL, 1, "010000011");
  SetField(FileId::VALMOBIL, 2, "04000");
  SetField(FileId::VALMOBIL, 3, "001");
  size_t after_key = FieldOffset(FileId::VALMOBIL, 56);
  for (size_t i = after_key; i < file.described_size; ++i) record[i] = static_cast<uint8_t>(i);
  std::vector<uint8_t> tail(record + after_key, record + file.described_size);
  SynchroniseBuffer("VALMOBIL", "HLITSUIVANT", false);
  EXPECT_EQ(KeySlot(FileId::VALMOBIL, 0), "01000001104000001");
  EXPECT_EQ(std::vector<uint8_t>(record + after_key, record + file.described_size), tail);
}

TEST_F(BufferSyncTest, GivenBufferIsSynchronisedAndTheProcessWideOneLeftAlone) {
  const FileDescription& file = Describe(FileId::RDV);
  Fill(FileId::RDV, 0x44);
  std::vector<uint8_t> process_wide = Snapshot(FileId::RDV);
  std::vector<uint8_t> own(file.buffer_size, 0);
  SetText(own.data(), FieldOffset(FileId::RDV, 1), 8, "20270115");
  SetText(own.data(), FieldOffset(FileId::RDV, 2), 4, "0930");
  SetText(own.data(), file.long_texts[0].text_offset, kLongTextCharacters, Pattern(70));
  SynchroniseBuffer(FileId::RDV, SyncOperation::kAdd, true, own.data());
  EXPECT_EQ(GetText(own.data(), file.keys[0].slot_offset, kKeySlotCharacters), "202701150930");
  EXPECT_EQ(GetText(own.data(), file.long_texts[0].field_offset + 52, 51), Pattern(70).substr(51));
  // A read joins the pieces back; out of file clears the given buffer only.
  SetText(own.data(), file.long_texts[0].text_offset, kLongTextCharacters, "");
  SynchroniseBuffer(FileId::RDV, SyncOperation::kRead, false, own.data());
  EXPECT_EQ(GetText(own.data(), file.long_texts[0].text_offset, kLongTextCharacters), Pattern(70));
  SynchroniseBuffer(FileId::RDV, SyncOperation::kRead, true, own.data());
  EXPECT_TRUE(std::all_of(own.begin(), own.end(), [](uint8_t b) { return b == 0; }));
  EXPECT_EQ(Snapshot(FileId::RDV), process_wide);
}

}  // namespace
}  // namespace vz::db
