// The record operations against the real engine, in a temporary
// installation: the analysis written by the analysis writer, every file
// described, and the placeholder directory substituted by a temporary data
// folder.
#include "src/db/record_ops.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/engine/le_api.h"
#include "src/db/catalogue.h"
#include "src/db/field_access.h"
#include "src/db/record_buffers.h"
#include "tests/support/numbered_fields.h"
#include "tests/support/temporary_installation.h"

namespace vz::db {
namespace {

namespace fs = std::filesystem;
using vz::testing::FieldOffset;
using vz::testing::GetField;
using vz::testing::KeySlot;
using vz::testing::LongText;
using vz::testing::SetField;
using vz::testing::SetLongText;

std::vector<uint8_t> Snapshot(FileId id) {
  return std::vector<uint8_t>(RecordBuffer(id), RecordBuffer(id) + RecordBufferSize(id));
}
bool AllZero(FileId id) {
  std::vector<uint8_t> bytes = Snapshot(id);
  return std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b == 0; });
}
void Clear(FileId id) {
  std::memset(RecordBuffer(id), 0, RecordBufferSize(id));
}

std::string Pattern(size_t n, char first = 'A') {
  std::string text;
  for (size_t i = 0; i < n; ++i) text += static_cast<char>(first + i % 26);
  return text;
}

class RecordOpsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(installation_.ready()); }

  int32_t Count(std::string_view file) {
    Hinfogene(file);
    return Hnbenr();
  }

  void AddQueryLine(std::string_view number, std::string_view criteria, std::string_view text) {
    Clear(FileId::REQUETES);
    SetField(FileId::REQUETES, 1, "01");
    SetField(FileId::REQUETES, 2, number);
    SetField(FileId::REQUETES, 3, criteria);
    SetField(FileId::REQUETES, 7, " ");
    SetField(FileId::REQUETES, 8, "E");
    SetLongText(FileId::REQUETES, text);
    Hajoute("REQUETES");
  }

  void FillClient(std::string_view code9, std::string_view name, std::string_view stamp) {
    Clear(FileId::CLIENT);
    SetField(FileId::CLIENT, 1, code9.substr(0, 2));
    SetField(FileId::CLIENT, 2, code9.substr(2, 6));
    SetField(FileId::CLIENT, 3, code9.substr(8, 1));
    SetField(FileId::CLIENT, 4, name);
    SetField(FileId::CLIENT, 84, stamp);
  }

  vz::testing::TemporaryInstallation installation_{"db"};
  const fs::path& root_ = installation_.root();
};

TEST_F(RecordOpsTest, QueryLinesAddSearchReadNextModifyDelete) {
  AddQueryLine("000124", "TITRE*******", "Other query");
  AddQueryLine("000123", "TITRE*******", "Clients over fifty");
  AddQueryLine("000123", "RUBRIQUE****", "40000\t40001");
  AddQueryLine("000123", "AGE********1", Pattern(120));
  // After an add the buffer still holds the record with its keys.
  EXPECT_EQ(KeySlot(FileId::REQUETES, 0), "01000123AGE********1");
  EXPECT_EQ(GetField(FileId::REQUETES, 3), "AGE********1");
  EXPECT_EQ(Count("REQUETES"), 4);

  // The caller's loop: search, then read next while the query code matches.
  std::vector<std::string> keys;
  Clear(FileId::REQUETES);
  Hlitrecherche("requetes", "codreq", "01000123");
  while (!Hendehors() && KeySlot(FileId::REQUETES).substr(0, 8) == "01000123") {
    keys.push_back(GetField(FileId::REQUETES, 3));
    if (keys.back() == "AGE********1") {
      EXPECT_EQ(LongText(FileId::REQUETES), Pattern(120));
    }
    if (keys.back() == "RUBRIQUE****") {
      EXPECT_EQ(LongText(FileId::REQUETES), "40000\t40001");
    }
    Hlitsuivant("requetes", "codreq");
  }
  EXPECT_EQ(keys, (std::vector<std::string>{"AGE********1", "RUBRIQUE****", "TITRE*******"}));
  // The loop stopped on the next query's title; the key slots were rebuilt.
  EXPECT_FALSE(Hendehors());
  EXPECT_EQ(KeySlot(FileId::REQUETES, 0), "01000124TITRE*******");
  EXPECT_EQ(KeySlot(FileId::REQUETES, 1), "01TITRE*******");
  // Reading on past the last record ends out of file with a zero buffer.
  Hlitsuivant("REQUETES", "CODREQ");
  EXPECT_TRUE(Hendehors());
  EXPECT_TRUE(AllZero(FileId::REQUETES));

  // The second key lists the titles; equal keys come in the order they were added.
  std::vector<std::string> titles;
  Hlitrecherche("REQUETES", "codreq1", "01TITRE*******");
  while (!Hendehors() && GetField(FileId::REQUETES, 3) == "TITRE*******") {
    titles.push_back(GetField(FileId::REQUETES, 2) + " " + LongText(FileId::REQUETES));
    Hlitsuivant("REQUETES", "codreq1");
  }
  EXPECT_EQ(titles, (std::vector<std::string>{"000124 Other query", "000123 Clients over fifty"}));

  // Modify: the state of the query becomes "O".
  Hlitrecherche("REQUETES", "CODREQ", "01000123TITRE*******");
  ASSERT_FALSE(Hendehors());
  SetField(FileId::REQUETES, 7, "O");
  SetLongText(FileId::REQUETES, Pattern(255, 'a'));
  Hmodifie("REQUETES");
  Clear(FileId::REQUETES);
  Hlitrecherche("REQUETES", "CODREQ", "01000123TITRE*******");
  ASSERT_FALSE(Hendehors());
  EXPECT_EQ(GetField(FileId::REQUETES, 7), "O");
  EXPECT_EQ(LongText(FileId::REQUETES), Pattern(255, 'a'));

  // Delete: the buffer is cleared and read next goes on after the deleted one.
  Hlitrecherche("REQUETES", "CODREQ", "01000123RUBRIQUE");
  ASSERT_EQ(GetField(FileId::REQUETES, 3), "RUBRIQUE****");
  Hsupprime("REQUETES");
  EXPECT_TRUE(AllZero(FileId::REQUETES));
  Hlitsuivant("REQUETES", "CODREQ");
  ASSERT_FALSE(Hendehors());
  EXPECT_EQ(GetField(FileId::REQUETES, 3), "TITRE*******");
  EXPECT_EQ(Count("REQUETES"), 3);
}

TEST_F(RecordOpsTest, SearchPastTheLastKeyIsOutOfFileWithAZeroBuffer) {
  AddQueryLine("000001", "TITRE*******", "Only one");
  for (std::string_view value : {"02", "01000002", "\xFF"}) {
    std::memset(RecordBuffer(FileId::REQUETES), 0x7E, RecordBufferSize(FileId::REQUETES));
    Hlitrecherche("REQUETES", "CODREQ", value);
    EXPECT_TRUE(Hendehors()) << value;
    EXPECT_TRUE(AllZero(FileId::REQUETES)) << value;
  }
  // A file with no records: read first is out of file, buffer zero.
  std::memset(RecordBuffer(FileId::RUBRIQUE), 0x7E, RecordBufferSize(FileId::RUBRIQUE));
  Hlitpremier("RUBRIQUE", "CODRUBR");
  EXPECT_TRUE(Hendehors());
  EXPECT_TRUE(AllZero(FileId::RUBRIQUE));
  // An unknown key or file fails quietly.
  Hlitrecherche("REQUETES", "NOSUCHKEY", "01");
  EXPECT_TRUE(Hendehors());
  Hlitpremier("NOSUCH", "CODREQ");
  EXPECT_TRUE(Hendehors());
}

TEST_F(RecordOpsTest, ClientsInKeyOrderWithTheStampRule) {
  FillClient("010002221", "MARTIN", "20240101120000000");
  Hajoute("CLIENT");
  FillClient("010001231", "DURAND", "");
  Hajoute("CLIENT");
  FillClient("010001232", "DURAND", "99991231235959001");
  Hajoute("CLIENT");
  EXPECT_EQ(Count("client"), 3);

  std::vector<std::string> codes;
  Hlitpremier("CLIENT", "CODCLI");
  while (!Hendehors()) {
    codes.push_back(KeySlot(FileId::CLIENT));
    Hlitsuivant("CLIENT", "CODCLI");
  }
  EXPECT_EQ(codes, (std::vector<std::string>{"010001231", "010001232", "010002221"}));
  EXPECT_TRUE(AllZero(FileId::CLIENT));

  Hlitrecherche("CLIENT", "CODCLI", "010001232");
  ASSERT_FALSE(Hendehors());
  EXPECT_EQ(GetField(FileId::CLIENT, 4), "DURAND");
  EXPECT_EQ(GetField(FileId::CLIENT, 84), "99991231235959001");
  EXPECT_EQ(GetField(FileId::CLIENT, 82), std::string(14, ' '));
  Hlitrecherche("CLIENT", "CODCLI", "010001231");
  EXPECT_EQ(GetField(FileId::CLIENT, 84), std::string(17, ' '));

  // A record stored by another program with a stamp of 31 December 1999
  // reads back with 17 blanks.
  FillClient("010003331", "PETIT", "19991231235959000");
  std::string engine_name = "CLIENT";
  LE_Hajoute(ContextHandle(), engine_name.c_str(), 0);
  Clear(FileId::CLIENT);
  Hlitrecherche("CLIENT", "CODCLI", "010003331");
  ASSERT_FALSE(Hendehors());
  EXPECT_EQ(GetField(FileId::CLIENT, 4), "PETIT");
  EXPECT_EQ(GetField(FileId::CLIENT, 84), std::string(17, ' '));

  // Modify and delete.
  SetField(FileId::CLIENT, 4, "PETIT-JEAN");
  Hmodifie("CLIENT");
  Clear(FileId::CLIENT);
  Hlitrecherche("CLIENT", "CODCLI", "010003331");
  EXPECT_EQ(GetField(FileId::CLIENT, 4), "PETIT-JEAN");
  Hsupprime("CLIENT");
  EXPECT_TRUE(AllZero(FileId::CLIENT));
  Hlitrecherche("CLIENT", "CODCLI", "010003331");
  EXPECT_TRUE(Hendehors());
  EXPECT_EQ(Count("CLIENT"), 3);
}

TEST_F(RecordOpsTest, ClipartReadFillsExactlyItsDescribedBytes) {
  const size_t clipart_size = RecordBufferSize(FileId::CLIPART);
  ASSERT_EQ(clipart_size, 1180u);
  uint8_t* clipart = RecordBuffer(FileId::CLIPART);
  for (size_t i = 0; i < clipart_size; ++i) clipart[i] = static_cast<uint8_t>(1 + i % 250);
  SetField(FileId::CLIPART, 1, "010001231");
  std::vector<uint8_t> stored = Snapshot(FileId::CLIPART);
  Hajoute("CLIPART");

  FillClient("010001231", "DURAND", "");
  std::vector<uint8_t> client = Snapshot(FileId::CLIENT);
  Clear(FileId::CLIPART);
  Hlitrecherche("CLIPART", "CODCLI", "010001231");
  ASSERT_FALSE(Hendehors());
  EXPECT_EQ(Snapshot(FileId::CLIPART), stored);
  EXPECT_EQ(Snapshot(FileId::CLIENT), client) << "the CLIENT buffer follows and keeps its content";

  // Out of file clears the CLIPART buffer only.
  Hlitsuivant("CLIPART", "CODCLI");
  EXPECT_TRUE(Hendehors());
  EXPECT_TRUE(AllZero(FileId::CLIPART));
  EXPECT_EQ(Snapshot(FileId::CLIENT), client);
}

TEST_F(RecordOpsTest, SelectesIsWrittenUnchangedAndReadInPostcodeOrder) {
  Hsubstnom("SELECTES", "01000123");
  Hcreation("SELECTES");
  struct Line {
    const char* code;
    const char* postcode;
    int16_t sequence;
  };
  const Line lines[] = {
      {"010001231", "75011", 2}, {"010002221", "13001", 3}, {"010004441", "69002", 4}};
  for (const Line& line : lines) {
    Clear(FileId::SELECTES);
    SetField(FileId::SELECTES, 1, line.code);
    SetField(FileId::SELECTES, 2, "DURAND");
    SetField(FileId::SELECTES, 3, line.postcode);
    SetField(FileId::SELECTES, 4, "PARIS");
    SetInt16(RecordBuffer(FileId::SELECTES), FieldOffset(FileId::SELECTES, 5), line.sequence);
    SetField(FileId::SELECTES, 6, "E");
    std::vector<uint8_t> before = Snapshot(FileId::SELECTES);
    Hajoute("SELECTES");
    EXPECT_EQ(Snapshot(FileId::SELECTES), before) << line.code;
  }
  EXPECT_TRUE(fs::exists(root_ / "DATA")) << "data folder";
  std::vector<std::string> postcodes;
  Hlitpremier("SELECTES", "CODPTT");
  while (!Hendehors()) {
    postcodes.push_back(GetField(FileId::SELECTES, 3));
    EXPECT_EQ(GetInt16(RecordBuffer(FileId::SELECTES), FieldOffset(FileId::SELECTES, 7)), 0);
    Hlitsuivant("SELECTES", "CODPTT");
  }
  EXPECT_EQ(postcodes, (std::vector<std::string>{"13001", "69002", "75011"}));
  // Outside the key table the buffer is left as the last read left it.
  EXPECT_EQ(GetField(FileId::SELECTES, 3), "75011");

  // Another physical name is another file.
  Hsubstnom("SELECTES", "01000999");
  EXPECT_EQ(Count("SELECTES"), 0);
  Hsubstnom("SELECTES", "01000123");
  EXPECT_EQ(Count("SELECTES"), 3);
}

TEST_F(RecordOpsTest, RubricRecordsByClientAndFieldsAfterTheKey) {
  struct Line {
    const char* client;
    const char* rubric;
    const char* part;
    float amount;
  };
  const Line lines[] = {{"010001231", "40001", "001", 1500.5f},
                        {"010001233", "40002", "001", 99.0f},
                        {"010001231", "40001", "002", 20.25f},
                        {"010002221", "40001", "001", 7.0f}};
  for (const Line& line : lines) {
    Clear(FileId::REVENUS);
    SetField(FileId::REVENUS, 1, line.client);
    SetField(FileId::REVENUS, 2, line.rubric);
    SetField(FileId::REVENUS, 3, line.part);
    SetReal(RecordBuffer(FileId::REVENUS), FieldOffset(FileId::REVENUS, 4), line.amount);
    SetField(FileId::REVENUS, 14, "20240101");
    Hajoute("REVENUS");
  }
  float household = 0;
  int records = 0;
  Hlitrecherche("REVENUS", "CODCLEF", "01000123");
  while (!Hendehors() && GetField(FileId::REVENUS, 1).substr(0, 8) == "01000123") {
    household += GetReal(RecordBuffer(FileId::REVENUS), FieldOffset(FileId::REVENUS, 4));
    EXPECT_EQ(KeySlot(FileId::REVENUS, 1).substr(0, 8), "20240101");
    ++records;
    Hlitsuivant("REVENUS", "CODCLEF");
  }
  EXPECT_EQ(records, 3);
  EXPECT_FLOAT_EQ(household, 1619.75f);

  // A client with no record ends the first search out of file: amounts 0.
  Hlitrecherche("REVENUS", "CODCLEF", "019999991");
  EXPECT_TRUE(Hendehors());
  EXPECT_EQ(GetReal(RecordBuffer(FileId::REVENUS), FieldOffset(FileId::REVENUS, 4)), 0.0f);

  // VALMOBIL fields described after its key come back intact.
  Clear(FileId::VALMOBIL);
  SetField(FileId::VALMOBIL, 1, "010001231");
  SetField(FileId::VALMOBIL, 2, "04001");
  SetField(FileId::VALMOBIL, 3, "001");
  SetReal(RecordBuffer(FileId::VALMOBIL), FieldOffset(FileId::VALMOBIL, 56), 42.5f);
  SetField(FileId::VALMOBIL, 63, "after the key");
  Hajoute("VALMOBIL");
  Clear(FileId::VALMOBIL);
  Hlitrecherche("VALMOBIL", "CODCLEF", "010001231");
  ASSERT_FALSE(Hendehors());
  EXPECT_EQ(KeySlot(FileId::VALMOBIL), "01000123104001001");
  EXPECT_EQ(GetReal(RecordBuffer(FileId::VALMOBIL), FieldOffset(FileId::VALMOBIL, 56)), 42.5f);
  EXPECT_EQ(GetField(FileId::VALMOBIL, 63), "after the key");
}

TEST_F(RecordOpsTest, CountsAndRecordNumbers) {
  AddQueryLine("000001", "TITRE*******", "one");
  AddQueryLine("000002", "TITRE*******", "two");
  Hinfogene("REQUETES");
  EXPECT_EQ(Hnbenr(), 2);
  Hlitrecherche("REQUETES", "CODREQ", "01000002");
  Hinfogene("REQUETES");
  int32_t second = Hnumenr();
  Hlitrecherche("REQUETES", "CODREQ", "01000001");
  Hinfogene("REQUETES");
  EXPECT_NE(Hnumenr(), second);
  Hcreation("REQUETES");
  EXPECT_EQ(Count("REQUETES"), 0);
}

TEST_F(RecordOpsTest, SettingsReachTheEngine) {
  Hsetnbessais(7);
  EXPECT_EQ(Hnbessais(), 7);
  Hsetnbessaismessage(Hnbessais() + 1);
  Hmodeperso(1);
  Hsecurite(2);
  Hgeredoublonnon();
  Hgeretrsnon();
  Hgerejnlnon();
  Hgererepnon();
  // A malformed analysis is refused.
  std::string bad = (root_ / "HSF" / "bad.wdd").string();
  std::FILE* out = std::fopen(bad.c_str(), "wb");
  ASSERT_NE(out, nullptr);
  std::fputs("VZANALYSIS 1\nKEY ORPHAN 1:2\n", out);
  std::fclose(out);
  EXPECT_EQ(Houvreanalyse(bad, "", "", "", ""), 0);
  EXPECT_EQ(Houvreanalyse((root_ / "HSF" / "missing.wdd").string(), "", "", "", ""), 0);
}

}  // namespace
}  // namespace vz::db
