// The rubric choice window: its table, the loading of a query's rubric lines
// and the lines it writes and removes, byte for byte as
// docs/rubric-lines.md describes them.
#include "project/rubric_choice.h"

#include <gtest/gtest.h>

#include "platform/os/cp1252.h"
#include "project/query_windows_test_support.h"
#include "src/db/catalogue.h"
#include "src/db/record_buffers.h"
#include "src/db/record_ops.h"

namespace vz::project {
namespace {

using db::FileId;
using runtime::Field;
using runtime::MessageKind;
using runtime::Window;

constexpr char kQuery[] = "01000005";

class RubricChoiceTest : public QueryWindowsTest {
 protected:
  void SetUp() override {
    QueryWindowsTest::SetUp();
    // Catalogue written out of order; "99" is no family, "00" is shown from
    // the identity columns only.
    AddCodeLabel(FileId::RUBRIQUE, "51", "001", C("Impôt sur le revenu"));
    AddCodeLabel(FileId::RUBRIQUE, "40", "001", "Salaires");
    AddCodeLabel(FileId::RUBRIQUE, "40", "000", "Total des revenus");
    AddCodeLabel(FileId::RUBRIQUE, "54", "001", "Emprunt immobilier");
    AddCodeLabel(FileId::RUBRIQUE, "99", "001", "Hors famille");
    AddCodeLabel(FileId::RUBRIQUE, "00", "00A", "Nom (catalogue)");
    AddCodeLabel(FileId::RUBRIQUE, "SC", "00A", C("Succession au 1er décès"));
    AddQueryLine(kQuery, "TITRE*******", "20261201\tCadres\t\t\t\t\t\t\t\t");
    AddQueryLine(kQuery, "40000******2", "30000\t999999999\t");
  }
  static std::string C(std::string_view utf8) { return os::Cp1252(utf8); }

  Field& Table() { return *session().CurrentWindow()->FindField("TABLE1"); }
  int RowOf(std::string_view code) {
    return session().Execute("Table,Cherche,CODE," + std::string(code)).value;
  }
  void Tick(std::string_view code, std::string_view mark, std::string_view option = "") {
    const int row = RowOf(code);
    ASSERT_GT(row, 0) << code;
    const std::string at = "," + std::to_string(row);
    ASSERT_EQ(session().Execute("AFFICHE,COCHE" + at + "=" + std::string(mark)).value, 0);
    if (!option.empty()) {
      ASSERT_EQ(session().Execute("AFFICHE,OPT" + at + "=" + std::string(option)).value, 0);
    }
  }
  void OpenFor(std::string_view query) {
    Open("Rubrique");
    ASSERT_EQ(session().Execute("AFFICHE,LECODREQ=" + std::string(query)).value, 0);
    ASSERT_EQ(session().Execute("execute,B_REQUETE.Clic").value, 0);
  }
  void Save() { ASSERT_EQ(session().Execute("Execute,B_VALIDER.CLIC").value, 0); }
  StoredLine Rubric(std::string_view key, std::string_view code) {
    return {std::string(kQuery) + std::string(key), std::string(key), std::string(code), " ", "E"};
  }
  StoredLine Title() {
    return {std::string(kQuery) + "TITRE*******", "TITRE*******",
            "20261201\tCadres\t\t\t\t\t\t\t\t", " ", "E"};
  }
  StoredLine Criterion() {
    return {std::string(kQuery) + "40000******2", "40000******2", "30000\t999999999\t", " ", "E"};
  }
};

TEST_F(RubricChoiceTest, OpeningListsIdentityColumnsThenTheCatalogueInExtractionOrder) {
  Open("Rubrique");
  std::vector<std::string> codes;
  for (const auto& row : Table().rows) codes.push_back(row[3]);
  EXPECT_EQ(codes,
            (std::vector<std::string>{"0000A", "0000B", "0000C", "0000D", "0000E", "0000F", "0000G",
                                      "0000H", "0000I", "0000J", "0000K", "0000L", "0000M", "40000",
                                      "40001", "54001", "51001", "SC00A"}));
  struct Expected {
    const char* code;
    const char* family;  // UTF-8
    const char* option;
  };
  for (const Expected& e : {Expected{"0000A", "Identité", ""}, Expected{"40001", "Revenus", "2"},
                            Expected{"54001", "Emprunts", "2"}, Expected{"51001", "Impôts", ""},
                            Expected{"SC00A", "Succession", ""}}) {
    const auto& row = Table().rows[static_cast<size_t>(RowOf(e.code) - 1)];
    EXPECT_EQ(row[0], "") << e.code << " starts unticked";
    EXPECT_EQ(row[1], C(e.family)) << e.code;
    EXPECT_EQ(row[4], e.option) << e.code;
    EXPECT_FALSE(row[2].empty()) << e.code << " has a label";
  }
}

TEST_F(RubricChoiceTest, SavingWritesOneLineByteForByteAndLeavesTheQueryAlone) {
  OpenFor(kQuery);
  Tick("40001", "X", "1");
  Tick("51001", "X");
  Tick("0000A", "x");
  Save();
  EXPECT_TRUE(front_.messages.empty());
  EXPECT_EQ(StoredLines(kQuery),
            (std::vector<StoredLine>{Criterion(), Rubric("RUBRIQUE****", "0000A"),
                                     Rubric("RUBRIQUE****", "51001"),
                                     Rubric("RUBRIQUE***1", "40001"), Title()}));
  EXPECT_EQ(ReadRubricLines(ProjectDataOf(session()), kQuery),
            (std::vector<RubricLine>{{"0000A", '*'}, {"51001", '*'}, {"40001", '1'}}));
}

TEST_F(RubricChoiceTest, TheFieldsALineDoesNotUseStayZero) {
  OpenFor(kQuery);
  Tick("SC00A", "X");
  Save();
  db::Hlitrecherche("REQUETES", "CODREQ", std::string(kQuery) + "RUBRIQUE****");
  ASSERT_FALSE(db::Hendehors());
  const uint8_t* record = db::RecordBuffer(FileId::REQUETES);
  const db::FileDescription& file = db::Describe(FileId::REQUETES);
  // Fields 4 and 5 (two texts of 5) and field 9 (the 16-bit integer).
  for (const int field : {4, 5, 9}) {
    const size_t offset = file.field_offsets[static_cast<size_t>(field - 1)];
    const auto size = static_cast<size_t>(file.field_sizes[static_cast<size_t>(field - 1)]);
    for (size_t i = 0; i < size; ++i) EXPECT_EQ(record[offset + i], 0) << field << " byte " << i;
  }
}

TEST_F(RubricChoiceTest, LoadingShowsTheStoredChoiceAndSavingItAgainChangesNothing) {
  AddQueryLine(kQuery, "RUBRIQUE***1", "54001");
  AddQueryLine(kQuery, "RUBRIQUE****", "SC00A");
  AddQueryLine("01000006", "RUBRIQUE***2", "40001");  // another query
  OpenFor(kQuery);
  const auto& rows = Table().rows;
  EXPECT_EQ(rows[static_cast<size_t>(RowOf("54001") - 1)][0], "X");
  EXPECT_EQ(rows[static_cast<size_t>(RowOf("54001") - 1)][4], "1");
  EXPECT_EQ(rows[static_cast<size_t>(RowOf("SC00A") - 1)][0], "X");
  EXPECT_EQ(rows[static_cast<size_t>(RowOf("40001") - 1)][0], "");
  const auto before = StoredLines(kQuery);
  Save();
  EXPECT_EQ(StoredLines(kQuery), before);
  EXPECT_EQ(StoredLines("01000006").size(), 1u);
}

TEST_F(RubricChoiceTest, UntickedChangedAndDoubledLinesGoUnknownCodesStay) {
  AddQueryLine(kQuery, "RUBRIQUE***2", "40001");  // option changes to 1
  AddQueryLine(kQuery, "RUBRIQUE***2", "54001");  // unticked
  AddQueryLine(kQuery, "RUBRIQUE****", "51001");  // kept
  AddQueryLine(kQuery, "RUBRIQUE****", "51001");  // second line of one rubric
  AddQueryLine(kQuery, "RUBRIQUE****", "77001");  // no row: not ours to remove
  AddQueryLine(kQuery, "RUBRIQUE****", "");       // damaged: no code
  OpenFor(kQuery);
  Tick("40001", "X", "1");
  Tick("54001", "");
  Save();
  EXPECT_EQ(StoredLines(kQuery),
            (std::vector<StoredLine>{Criterion(), Rubric("RUBRIQUE****", "51001"),
                                     Rubric("RUBRIQUE****", "77001"), Rubric("RUBRIQUE****", ""),
                                     Rubric("RUBRIQUE***1", "40001"), Title()}));
}

TEST_F(RubricChoiceTest, BadInputIsRefusedWithAMessageAndWritesNothing) {
  struct Case {
    const char* name;
    const char* query;
    const char* option;  // of the ticked income row
  };
  const Case cases[] = {
      {"empty code", "", "2"},
      {"short code", "0100005", "2"},
      {"long code", "010000051", "2"},
      {"no such query", "01000099", "2"},
      {"option out of range", kQuery, "3"},
      {"option blank", kQuery, " "},
      {"option of two characters", kQuery, "12"},
  };
  const auto before = StoredLines(kQuery);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    front_.messages.clear();
    Open("Rubrique");
    session().Execute(std::string("AFFICHE,LECODREQ=") + c.query);
    Tick("51001", "X");  // would be written if anything were
    Tick("40001", "X", c.option);
    Save();
    ASSERT_EQ(front_.messages.size(), 1u);
    EXPECT_EQ(front_.messages[0].first, MessageKind::kError);
    EXPECT_EQ(StoredLines(kQuery), before);
    EXPECT_TRUE(StoredLines("01000099").empty());
    session().Execute("Ferme");
  }
}

TEST_F(RubricChoiceTest, LoadingABadCodeSaysSoAndClearsTheTicks) {
  OpenFor(kQuery);
  Tick("40001", "X", "1");
  session().Execute("AFFICHE,LECODREQ=01");
  session().Execute("execute,B_REQUETE.Clic");
  ASSERT_EQ(front_.messages.size(), 1u);
  const auto& row = Table().rows[static_cast<size_t>(RowOf("40001") - 1)];
  EXPECT_EQ(row[0], "");
  EXPECT_EQ(row[4], "2");
}

TEST(RubricLineKey, OptionInTheTwelfthCharacter) {
  EXPECT_EQ(RubricLineKey('2'), "RUBRIQUE***2");
  EXPECT_EQ(RubricLineKey('*'), "RUBRIQUE****");
  EXPECT_EQ(RubricLineKey('1').size(), 12u);
}

TEST(FamilyHasOption, TheNineFamiliesWithAnOption) {
  for (const char* family : {"40", "54", "01", "02", "03", "04", "05", "06", "07"}) {
    EXPECT_TRUE(FamilyHasOption(family)) << family;
  }
  for (const char* family : {"00", "51", "20", "33", "SC", "99", "", "4", "400"}) {
    EXPECT_FALSE(FamilyHasOption(family)) << family;
  }
}

}  // namespace
}  // namespace vz::project
