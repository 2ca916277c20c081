// The combination window's own code: its tables of saved queries, the
// picture of the operation and the titles shown, as the program drives them.
#include "project/combine_window.h"

#include <gtest/gtest.h>

#include "platform/os/cp1252.h"
#include "project/query_windows_test_support.h"

namespace vz::project {
namespace {

using runtime::Window;

class CombineWindowTest : public QueryWindowsTest {
 protected:
  void SetUp() override {
    QueryWindowsTest::SetUp();
    AddQueryLine("01000012", "TITRE*******", os::Cp1252("20261201\tRetraités\t\t\t\t\t\t\t\t"));
    AddQueryLine("01000003", "TITRE*******", "20261115\tGros revenus\te1\te2\te3\t\t\t\t\t", "O");
    AddQueryLine("01000003", "40000******2", "30000\t999999999\t");
    AddQueryLine("01000003", "RUBRIQUE***2", "40000");
    AddQueryLine("01000007", "TITRE*******", "20261120");  // fewer than two elements
    AddQueryLine("02000001", "TITRE*******", "20261120\tAutre module\t");
  }
};

TEST_F(CombineWindowTest, BothTablesListTheSavedQueriesInCodeOrder) {
  Window& window = Open("COMBINE");
  const std::vector<std::vector<std::string>> expected = {
      {"01000003", "Gros revenus"}, {"01000007", ""}, {"01000012", os::Cp1252("Retraités")}};
  EXPECT_EQ(window.FindField("TABLE1")->rows, expected);
  EXPECT_EQ(window.FindField("TABLE2")->rows, expected);
  EXPECT_EQ(session().Execute("Table,Occurrence,TABLE2").value, 3);
}

TEST_F(CombineWindowTest, TheProgramShowsAStoredCombinationAsItReadsIt) {
  Open("COMBINE");
  const int row = session().Execute("Table,Cherche,REQUETE1,01000012").value;
  ASSERT_EQ(row, 3);
  EXPECT_EQ(session().Execute("Table,Select,+,TABLE1, 3").value, 3);
  EXPECT_EQ(Run("ECRAN,RECUPERE,texte1,03"), os::Cp1252("Retraités"));
  EXPECT_EQ(session().Execute("Table,Cherche,REQUETE2,01000099").value, 0) << "deleted operand";
  EXPECT_EQ(session().Execute("Table,Select,?,TABLE1").value, 3);
  EXPECT_EQ(Run("ECRAN,RECUPERE,REQUETE1,003"), "01000012");
}

TEST_F(CombineWindowTest, ChangingTheOperationChangesThePicture) {
  Window& window = Open("COMBINE");
  EXPECT_EQ(window.FindField("ENSEMBLE")->value, "UNION.BMP") << "a new combination is a union";
  struct Case {
    const char* option;
    const char* picture;
  };
  for (const Case& c :
       {Case{"2", "INTERSEC.BMP"}, Case{"1", "UNION.BMP"}, Case{"", "INTERSEC.BMP"}}) {
    SCOPED_TRACE(c.option);
    ASSERT_EQ(session().Execute(std::string("AFFICHE,OPTION=") + c.option).value, 0);
    ASSERT_EQ(session().Execute("Execute,OPTION.MODIFICATION").value, 0);
    EXPECT_EQ(Run("ECRAN,RECUPERE,ENSEMBLE"), c.picture);
  }
}

TEST(OperationPicture, OnlyChoiceOneIsAUnion) {
  struct Case {
    const char* option;
    const char* picture;
  };
  const Case cases[] = {{"1", "UNION.BMP"},     {" 1 ", "UNION.BMP"},   {"2", "INTERSEC.BMP"},
                        {"", "INTERSEC.BMP"},   {"11", "INTERSEC.BMP"}, {"x", "INTERSEC.BMP"},
                        {"\t1", "INTERSEC.BMP"}};
  for (const Case& c : cases) EXPECT_EQ(OperationPicture(c.option), c.picture) << c.option;
}

TEST_F(CombineWindowTest, ChoosingARowShowsItsTitle) {
  Open("COMBINE");
  ASSERT_EQ(session().Execute("Table,Select,+,TABLE2,1").value, 1);
  ASSERT_EQ(session().Execute("Execute,TABLE2.MODIFICATION").value, 0);
  EXPECT_EQ(Run("ECRAN,RECUPERE,titre2"), "Gros revenus");
  EXPECT_EQ(Run("ECRAN,RECUPERE,titre1"), "") << "the other operand is untouched";
}

TEST_F(QueryWindowsTest, WithNoSavedQueryTheTablesAreEmpty) {
  Window& window = Open("COMBINE");
  EXPECT_TRUE(window.FindField("TABLE1")->rows.empty());
  EXPECT_EQ(session().Execute("Table,Cherche,REQUETE1,01000001").value, 0);
  EXPECT_EQ(session().Execute("Execute,TABLE1.MODIFICATION").value, 0);
  EXPECT_EQ(Run("ECRAN,RECUPERE,titre1"), "");
}

}  // namespace
}  // namespace vz::project
