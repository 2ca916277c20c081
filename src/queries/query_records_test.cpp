#include "src/queries/query_records.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/engine/pg_test_support.h"
#include "platform/engine/store_choice.h"
#include "src/config/parameter_file.h"
#include "src/db/file_id.h"
#include "src/db/layouts/requetes.h"
#include "src/db/record_buffers.h"
#include "src/queries/criteria_test_database.h"
#include "tests/support/recording_runtime.h"

namespace vz::queries {
namespace {

using testing::CriteriaTestDatabase;
using ::testing::ElementsAreArray;
using vz::testing::RecordingRuntime;

std::vector<QueryLine> LinesOf(const QueryWorkingSet& lines) {
  std::vector<QueryLine> result;
  for (int i = 1; i <= lines.LineCount(); ++i) result.push_back(lines.Line(i));
  return result;
}

MATCHER_P2(IsLine, key, text, "") {
  return arg.key == key && arg.text == text;
}

TEST(QueryWorkingSetTest, SlotsAreBoundedAndLongValuesCut) {
  QueryWorkingSet lines;
  EXPECT_FALSE(lines.SetLine(0, "K", "T"));
  EXPECT_FALSE(lines.SetLine(-3, "K", "T"));
  EXPECT_FALSE(lines.SetLine(kMaxQueryLines + 1, "K", "T"));
  EXPECT_EQ(lines.LineCount(), 0);

  EXPECT_TRUE(lines.SetLine(3, "ABCDEFGHIJKLMNOP", std::string(300, 'x')));
  EXPECT_EQ(lines.LineCount(), 3);
  EXPECT_EQ(lines.Line(3).key, "ABCDEFGHIJKL");
  EXPECT_EQ(lines.Line(3).text, std::string(255, 'x'));
  EXPECT_EQ(lines.Line(1).key, "");  // the slots before stay empty

  for (int i = lines.LineCount(); i < kMaxQueryLines; ++i) EXPECT_TRUE(lines.AppendLine("K", "T"));
  EXPECT_EQ(lines.LineCount(), kMaxQueryLines);
  EXPECT_FALSE(lines.AppendLine("K65", "T"));
  EXPECT_EQ(lines.LineCount(), kMaxQueryLines);
  EXPECT_EQ(lines.Line(kMaxQueryLines).key, "K");

  lines.RemoveLine(kMaxQueryLines + 1);  // ignored
  lines.RemoveLine(2);
  EXPECT_EQ(lines.Line(2).key, "");
  EXPECT_EQ(lines.LineCount(), kMaxQueryLines);

  lines.set_type("C");
  lines.Clear();
  EXPECT_EQ(lines.LineCount(), 0);
  EXPECT_EQ(lines.type(), "");
  EXPECT_EQ(lines.Line(3).key, "");
}

// One put into a working set that already holds `before`.
struct PutCase {
  const char* name;
  std::vector<QueryLine> before;
  std::string key;
  std::string text;
  std::string default_text;
  KeyMatch match;
  PutResult result;
  std::vector<QueryLine> after;
};

TEST(PutCriteriaLineTest, FindsReplacesAddsAndRemoves) {
  const std::string amount_default = "0\t999999999\t";
  const PutCase cases[] = {
      {"a new criterion is added after the last line",
       {{"TITRE*******", "t"}},
       "NOMCLI******",
       "A\tB\t",
       "\t\t",
       KeyMatch::kWholeKey,
       PutResult::kStored,
       {{"TITRE*******", "t"}, {"NOMCLI******", "A\tB\t"}}},
      {"only a lower bound: the upper bound stays empty",
       {},
       "NOMCLI******",
       "DUPONT\t\t",
       "\t\t",
       KeyMatch::kWholeKey,
       PutResult::kStored,
       {{"NOMCLI******", "DUPONT\t\t"}}},
      {"an existing criterion is replaced in place",
       {{"NOMCLI******", "A\tB\t"}, {"VILLE*******", "PARIS\t"}},
       "NOMCLI******",
       "C\tD\t",
       "\t\t",
       KeyMatch::kWholeKey,
       PutResult::kStored,
       {{"NOMCLI******", "C\tD\t"}, {"VILLE*******", "PARIS\t"}}},
      {"bounds put back to the default remove the line, keeping its slot",
       {{"40001******1", "0\t5000\t"}, {"VILLE*******", "PARIS\t"}},
       "40001******1",
       amount_default,
       amount_default,
       KeyMatch::kRubricCode,
       PutResult::kRemoved,
       {{"", "0\t5000\t"}, {"VILLE*******", "PARIS\t"}}},
      {"a default criterion not in the query is not added",
       {{"VILLE*******", "PARIS\t"}},
       "NOMCLI******",
       "\t\t",
       "\t\t",
       KeyMatch::kWholeKey,
       PutResult::kUnchanged,
       {{"VILLE*******", "PARIS\t"}}},
      {"a change of option replaces the rubric's line",
       {{"40001******1", "0\t5000\t"}},
       "40001******2",
       "0\t5000\t",
       amount_default,
       KeyMatch::kRubricCode,
       PutResult::kStored,
       {{"40001******2", "0\t5000\t"}}},
      {"a change of option back to the default removes the line of the other option",
       {{"40001******1", "0\t5000\t"}},
       "40001******2",
       amount_default,
       amount_default,
       KeyMatch::kRubricCode,
       PutResult::kRemoved,
       {{"", "0\t5000\t"}}},
      {"whole-key matching keeps keys that differ after the code apart",
       {{"2000A*******", "0\t10\t"}},
       "2000A******X",
       "0\t20\t",
       amount_default,
       KeyMatch::kWholeKey,
       PutResult::kStored,
       {{"2000A*******", "0\t10\t"}, {"2000A******X", "0\t20\t"}}},
      {"rubric-code matching does not confuse neighbouring codes",
       {{"40001******1", "0\t5000\t"}},
       "40010******1",
       "0\t7\t",
       amount_default,
       KeyMatch::kRubricCode,
       PutResult::kStored,
       {{"40001******1", "0\t5000\t"}, {"40010******1", "0\t7\t"}}},
      {"a removed slot is not matched by a later criterion",
       {{"", "old\t"}},
       "VILLE*******",
       "LYON\t",
       "\t",
       KeyMatch::kWholeKey,
       PutResult::kStored,
       {{"", "old\t"}, {"VILLE*******", "LYON\t"}}},
      {"an over-long key and text are cut",
       {},
       "NOMCLI******EXTRA",
       std::string(256, 'n') + "\t",
       "\t\t",
       KeyMatch::kWholeKey,
       PutResult::kStored,
       {{"NOMCLI******", std::string(255, 'n')}}},
  };
  for (const PutCase& c : cases) {
    SCOPED_TRACE(c.name);
    QueryWorkingSet lines;
    for (const QueryLine& line : c.before) ASSERT_TRUE(lines.AppendLine(line.key, line.text));
    EXPECT_EQ(PutCriteriaLine(lines, c.key, c.text, c.default_text, c.match), c.result);
    std::vector<QueryLine> got = LinesOf(lines);
    ASSERT_EQ(got.size(), c.after.size());
    for (size_t i = 0; i < got.size(); ++i) {
      EXPECT_THAT(got[i], IsLine(c.after[i].key, c.after[i].text)) << "line " << i + 1;
    }
  }
}

TEST(PutCriteriaLineTest, AFullWorkingSetRefusesNewLinesButStillReplacesAndRemoves) {
  QueryWorkingSet lines;
  for (int i = 1; i <= kMaxQueryLines; ++i) {
    ASSERT_TRUE(lines.AppendLine("K" + std::to_string(i), "t\t"));
  }
  EXPECT_EQ(PutCriteriaLine(lines, "NEW", "x\t", "\t", KeyMatch::kWholeKey), PutResult::kRefused);
  EXPECT_EQ(lines.LineCount(), kMaxQueryLines);
  EXPECT_EQ(PutCriteriaLine(lines, "K64", "y\t", "\t", KeyMatch::kWholeKey), PutResult::kStored);
  EXPECT_EQ(lines.Line(64).text, "y\t");
  EXPECT_EQ(PutCriteriaLine(lines, "K5", "\t", "\t", KeyMatch::kWholeKey), PutResult::kRemoved);
  EXPECT_EQ(lines.Line(5).key, "");
  // A removed slot keeps its place: the working set is still full.
  EXPECT_EQ(PutCriteriaLine(lines, "NEW", "x\t", "\t", KeyMatch::kWholeKey), PutResult::kRefused);
}

class NewQueryNumberTest : public ::testing::Test {
 protected:
  CriteriaTestDatabase database_;
};

// The counter as stored, the query numbers in the file, the number given and
// the counter written back.
TEST(NewQueryNumberTableTest, CounterOrScanOfTheQueryFile) {
  struct Case {
    const char* name;
    const char* parameter_file;  // nullptr: no file
    std::vector<std::string> stored_numbers;
    std::string expected;
    const char* other_code = nullptr;  // a query record of another prefix
  };
  const Case cases[] = {
      {"no file, no query", nullptr, {}, "000011"},
      {"no counter, queries up to 7",
       "[COMPOSANTS]\r\nREPERTOIREF=/d,\r\n",
       {"000003", "000007"},
       "000017"},
      {"counter kept", "[COMPOSANTS]\r\nNUMREQ=000017,\r\n", {"000003", "000007"}, "000018"},
      {"counter without its comma", "[COMPOSANTS]\r\nNUMREQ=41\r\n", {"000090"}, "000042"},
      {"non-numeric counter scans", "[COMPOSANTS]\r\nNUMREQ=abc,\r\n", {"000020"}, "000030"},
      {"zero counter scans", "[COMPOSANTS]\r\nNUMREQ=000000,\r\n", {}, "000011"},
      {"negative counter scans instead of giving a signed number",
       "[COMPOSANTS]\r\nNUMREQ=-5,\r\n",
       {"000004"},
       "000014"},
      {"non-numeric query numbers in the file are ignored",
       nullptr,
       {"ABCDEF", "000002"},
       "000012"},
      {"a counter behind the file does not reuse a query's number",
       "[COMPOSANTS]\r\nNUMREQ=000004,\r\n",
       {"000005", "000009"},
       "000019"},
      {"a counter whose next number is free is kept even below the file",
       "[COMPOSANTS]\r\nNUMREQ=000005,\r\n",
       {"000005", "000009"},
       "000006"},
      {"a query of another prefix does not take the number",
       "[COMPOSANTS]\r\nNUMREQ=4,\r\n",
       {},
       "000005",
       "02000005"},
      {"a last six-digit counter scans the file",
       "[COMPOSANTS]\r\nNUMREQ=999999,\r\n",
       {"000001", "000004"},
       "000014"},
      {"with the last number used, the lowest free number is taken",
       "[COMPOSANTS]\r\nNUMREQ=999999,\r\n",
       {"000001", "000002", "000004", "999999"},
       "000003"},
      {"a file near the last number takes the lowest free number",
       nullptr,
       {"000001", "999995"},
       "000002"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CriteriaTestDatabase database;  // a fresh file and parameter file per case
    if (c.parameter_file != nullptr) database.WriteParameterFile(c.parameter_file);
    for (const std::string& number : c.stored_numbers) {
      CriteriaTestDatabase::AddQueryLine("01" + number, "TITRE*******", "20260101\tT\t");
    }
    if (c.other_code != nullptr) {
      CriteriaTestDatabase::AddQueryLine(c.other_code, "TITRE*******", "other program\t");
    }
    EXPECT_EQ(NewQueryNumber(), c.expected);
    EXPECT_THAT(database.ReadParameterFile(), ::testing::HasSubstr("NUMREQ=" + c.expected + ","));
    EXPECT_EQ(config::ListSeparator(), '\t');  // "," only for the read and the write
  }
}

TEST_F(NewQueryNumberTest, FollowingNumbersCountOnAndOtherParametersStay) {
  database_.WriteParameterFile("[COMPOSANTS]\r\nREPERTOIREF=/data,\r\nDPIOK=1\r\n");
  CriteriaTestDatabase::AddQueryLine("01000007", "TITRE*******", "t\t");
  EXPECT_EQ(NewQueryNumber(), "000017");
  EXPECT_EQ(NewQueryNumber(), "000018");
  EXPECT_EQ(NewQueryNumber(), "000019");
  const std::string file = database_.ReadParameterFile();
  EXPECT_THAT(file, ::testing::HasSubstr("REPERTOIREF=/data,"));
  EXPECT_THAT(file, ::testing::HasSubstr("DPIOK=1"));
}

TEST_F(NewQueryNumberTest, TheCallersQueryRecordSurvivesTheScan) {
  CriteriaTestDatabase::AddQueryLine("01000005", "TITRE*******", "stored\t");
  db::QueryLineRecord record = db::CurrentQueryLine();
  record.SetPrefix("01");
  record.SetNumber("000123");
  record.SetCriteriaKey("VILLE*******");
  record.SetLineText("IN PROGRESS\t");
  uint8_t* buffer = db::RecordBuffer(db::FileId::REQUETES);
  const std::vector<uint8_t> before(buffer, buffer + db::RecordBufferSize(db::FileId::REQUETES));
  EXPECT_EQ(NewQueryNumber(), "000015");
  EXPECT_TRUE(std::memcmp(before.data(), buffer, before.size()) == 0);
}

// With a store shared by several advisers the counter is the database's: the
// first number comes ten above the file's highest, another program's number
// is never given again, a number in use is passed over, and the parameter
// file's counter is neither read nor written.
TEST(SharedQueryNumberTest, TheCounterLivesInTheDatabase) {
  if (engine::testing::TestServerConninfo().empty()) GTEST_SKIP() << "no test server";
  engine::testing::TestSchema schema;
  std::string why;
  ASSERT_TRUE(engine::UsePostgresStore(schema.conninfo(), &why)) << why;
  {
    CriteriaTestDatabase database;
    database.WriteParameterFile("[COMPOSANTS]\r\nNUMREQ=000500,\r\n");
    CriteriaTestDatabase::AddQueryLine("01000007", "TITRE*******", "t\t");
    EXPECT_EQ(NewQueryNumber(), "000017");
    EXPECT_EQ(engine::NextSharedCounter("NUMREQ", 0, &why), 18);  // another adviser's
    CriteriaTestDatabase::AddQueryLine("01000019", "TITRE*******", "t\t");
    EXPECT_EQ(NewQueryNumber(), "000020");
    EXPECT_EQ(database.ReadParameterFile(), "[COMPOSANTS]\r\nNUMREQ=000500,\r\n");
  }
  engine::UseSqliteStore();
}

TEST(RubricRowTest, ThreeRowForms) {
  EXPECT_EQ(RubricRow("Salaires", "40001", RubricRowForm::kOneAmount),
            "Salaires\t0\t999999999\t40001");
  EXPECT_EQ(RubricRow("Loyers", "02001", RubricRowForm::kAmountAndYield),
            "Loyers\t0\t999999999\t0\t999\t02001");
  EXPECT_EQ(RubricRow("Pret", "54001", RubricRowForm::kTwoAmounts),
            "Pret\t0\t999999999\t0\t999999999\t54001");
  // A damaged label cannot shift the code out of its column.
  EXPECT_EQ(RubricRow("A\tB\t", "40001", RubricRowForm::kOneAmount), "A B \t0\t999999999\t40001");
  EXPECT_EQ(RubricRow("", "40001", RubricRowForm::kOneAmount), "\t0\t999999999\t40001");
}

class FillRubricTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Added out of order, with neighbours of other prefixes on both sides.
    CriteriaTestDatabase::AddRubric("40002", "Revenus fonciers");
    CriteriaTestDatabase::AddRubric("04000", "Valeurs mobilieres");
    CriteriaTestDatabase::AddRubric("40000", "Total des revenus");
    CriteriaTestDatabase::AddRubric("40001", "Salaires");
    CriteriaTestDatabase::AddRubric("41000", "Autre famille");
    CriteriaTestDatabase::AddRubric("02001", "Appartement");
  }
  CriteriaTestDatabase database_;
};

TEST_F(FillRubricTableTest, RowsOfOnePrefixInCodeOrderWithAnEmptyRowAfterTheTotal) {
  struct Case {
    std::string prefix;
    RubricRowForm form;
    std::vector<std::string> commands;
  };
  const Case cases[] = {
      {"40",
       RubricRowForm::kOneAmount,
       {"Table,Ajoute,TABLE1,Total des revenus\t0\t999999999\t40000", "Table,Ajoute,TABLE1,",
        "Table,Ajoute,TABLE1,Salaires\t0\t999999999\t40001",
        "Table,Ajoute,TABLE1,Revenus fonciers\t0\t999999999\t40002"}},
      {"02",
       RubricRowForm::kAmountAndYield,
       {"Table,Ajoute,TABLE1,Appartement\t0\t999999999\t0\t999\t02001"}},
      {"04",
       RubricRowForm::kTwoAmounts,
       {"Table,Ajoute,TABLE1,Valeurs mobilieres\t0\t999999999\t0\t999999999\t04000",
        "Table,Ajoute,TABLE1,"}},
      {"54", RubricRowForm::kOneAmount, {}},  // nothing in the catalogue
      {"4", RubricRowForm::kOneAmount, {}},   // a partial prefix matches no record
      {"", RubricRowForm::kOneAmount, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.prefix);
    RecordingRuntime::Get().Reset();
    FillRubricTable(c.prefix, c.form);
    EXPECT_THAT(RecordingRuntime::Get().Commands(), ElementsAreArray(c.commands));
  }
}

TEST(FillRubricTableEmptyTest, AnEmptyCatalogueSendsNothing) {
  CriteriaTestDatabase database;
  FillRubricTable("40", RubricRowForm::kOneAmount);
  EXPECT_TRUE(RecordingRuntime::Get().Commands().empty());
}

}  // namespace
}  // namespace vz::queries
