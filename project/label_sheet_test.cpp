// The label sheet without drawing: the typed layout, where each label lands
// and what it says.
#include "project/label_sheet.h"

#include <gtest/gtest.h>

#include "platform/os/cp1252.h"

namespace vz::project {
namespace {

// A common sheet: 3 across, 8 down, 70 x 37 mm, touching, no margins left.
const TypedLabelLayout kSheet24 = {"0", "0", "0", "0", "37", "70", "3", "8"};

LabelLayout Accepted(const TypedLabelLayout& typed) {
  const LayoutCheck check = CheckLabelLayout(typed);
  EXPECT_TRUE(check.layout) << os::Utf8(check.error);
  return check.layout.value_or(LabelLayout{});
}

TEST(LabelLayoutTest, TypedNumbersTakeACommaOrAPointAndNothingElse) {
  struct Case {
    const char* typed;
    std::optional<double> value;
  };
  const Case cases[] = {
      {"12", 12.0}, {"12,5", 12.5}, {"12.5", 12.5}, {" 8,25 ", 8.25}, {",5", 0.5}, {"7.", 7.0},
      {"", {}},     {"  ", {}},     {"1,2,3", {}},  {"1.2,3", {}},    {"-3", {}},  {"+3", {}},
      {"1e3", {}},  {"12 mm", {}},  {",", {}},      {"0x10", {}},     {"inf", {}}, {"nan", {}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    EXPECT_EQ(ParseTypedMillimetres(c.typed), c.value);
  }
}

TEST(LabelLayoutTest, AcceptsTheFieldsAsTyped) {
  const LabelLayout layout = Accepted({"12,5", " 7.5", "2", "3,0", "32,9", "63.5", " 3 ", "8"});
  EXPECT_DOUBLE_EQ(layout.top_margin_mm, 12.5);
  EXPECT_DOUBLE_EQ(layout.left_margin_mm, 7.5);
  EXPECT_DOUBLE_EQ(layout.vertical_spacing_mm, 2.0);
  EXPECT_DOUBLE_EQ(layout.horizontal_spacing_mm, 3.0);
  EXPECT_DOUBLE_EQ(layout.label_height_mm, 32.9);
  EXPECT_DOUBLE_EQ(layout.label_width_mm, 63.5);
  EXPECT_EQ(layout.across, 3);
  EXPECT_EQ(layout.down, 8);
  EXPECT_EQ(layout.LabelsPerSheet(), 24);
}

TEST(LabelLayoutTest, RefusesBadValuesNamingTheField) {
  struct Case {
    TypedLabelLayout typed;
    const char* named;  // UTF-8, as the window labels the field
  };
  const Case cases[] = {
      {{"", "0", "0", "0", "37", "70", "3", "8"}, "« Marge haute » n'est pas renseigné"},
      {{"0", "abc", "0", "0", "37", "70", "3", "8"}, "« Marge gauche » doit être un nombre"},
      {{"0", "0", "-1", "0", "37", "70", "3", "8"}, "« Espacement vertical »"},
      {{"0", "0", "0", "1;5", "37", "70", "3", "8"}, "« Espacement horizontal »"},
      {{"0", "0", "0", "0", "0", "70", "3", "8"},
       "« Hauteur d'une étiquette » doit être supérieur"},
      {{"0", "0", "0", "0", "37", "0,0", "3", "8"},
       "« Largeur d'une étiquette » doit être supérieur"},
      {{"0", "0", "0", "0", "37", "70", "0", "8"},
       "« Nombre d'étiquettes en largeur » doit être un nombre entier de 1 à 50"},
      {{"0", "0", "0", "0", "37", "70", "2,5", "8"}, "« Nombre d'étiquettes en largeur »"},
      {{"0", "0", "0", "0", "37", "70", "3", "51"}, "« Nombre d'étiquettes en hauteur »"},
      {{"0", "0", "0", "0", "37", "70", "3", "99999999999"}, "« Nombre d'étiquettes en hauteur »"},
      // Labels that run off the page: the message names the page's side.
      {{"0", "1", "0", "0", "37", "70", "3", "8"},
       "dépassent la largeur de la page : 211 mm pour 210 mm"},
      {{"0", "0", "0", "0.5", "37", "70", "3", "8"}, "dépassent la largeur de la page : 211 mm"},
      {{"0", "0", "0", "0", "5", "71", "3", "1"}, "dépassent la largeur de la page : 213 mm"},
      {{"2", "0", "0", "0", "37", "70", "3", "8"}, "dépassent la hauteur de la page : 298 mm"},
      {{"0", "0", "0,2", "0", "37", "70", "3", "8"}, "dépassent la hauteur de la page : 297,4 mm"},
      {{"0", "0", "0", "0", "300", "10", "1", "1"}, "dépassent la hauteur de la page : 300 mm"},
  };
  for (const Case& c : cases) {
    const LayoutCheck check = CheckLabelLayout(c.typed);
    const std::string error = os::Utf8(check.error);
    SCOPED_TRACE(error);
    EXPECT_FALSE(check.layout);
    EXPECT_NE(error.find(c.named), std::string::npos) << c.named;
  }
}

TEST(LabelLayoutTest, LabelsThatEndOnThePageEdgeFit) {
  // 3 x 70 = 210 wide, 8 x 37 + 1 = 297 high, and decimals that add up to the edge.
  EXPECT_TRUE(CheckLabelLayout({"1", "0", "0", "0", "37", "70", "3", "8"}).layout);
  EXPECT_TRUE(CheckLabelLayout({"0,5", "0", "0", "0", "37", "70", "3", "8"}).layout);
  EXPECT_TRUE(CheckLabelLayout({"0", "0,1", "0", "0,1", "37", "69,9", "3", "8"}).layout);
  EXPECT_TRUE(CheckLabelLayout({"0", "0", "0", "0", "297", "210", "1", "1"}).layout);
}

TEST(LabelLayoutTest, FirstPositionIsOneOfTheSheetsLabels) {
  const LabelLayout layout = Accepted(kSheet24);
  struct Case {
    const char* typed;
    int position;
    bool accepted;
  };
  const Case cases[] = {{"", 1, true},      {" ", 1, true},  {"1", 1, true},   {"5", 5, true},
                        {" 24 ", 24, true}, {"0", 1, false}, {"25", 1, false}, {"-2", 1, false},
                        {"2,5", 1, false},  {"x", 1, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    const FirstPositionCheck check = CheckFirstPosition(c.typed, layout);
    EXPECT_EQ(check.position, c.position);
    EXPECT_EQ(check.error.empty(), c.accepted);
    if (!c.accepted) {
      EXPECT_NE(os::Utf8(check.error)
                    .find("« Première étiquette sur la feuille » doit être un "
                          "nombre entier de 1 à 24"),
                std::string::npos);
    }
  }
}

TEST(LabelPlacementTest, LabelsGoAcrossThenDownWithMarginsAndSpacing) {
  const LabelLayout layout = Accepted({"10", "5", "2", "4", "30", "60", "3", "8"});
  struct Case {
    int first;
    size_t index;
    size_t sheet;
    double x;
    double y;
  };
  const Case cases[] = {
      {1, 0, 0, 5, 10},                  // top left: the margins
      {1, 1, 0, 5 + 64, 10},             // next across: width + horizontal spacing
      {1, 2, 0, 5 + 128, 10},            // last of the row
      {1, 3, 0, 5, 10 + 32},             // next row: height + vertical spacing
      {1, 23, 0, 5 + 128, 10 + 7 * 32},  // last of the sheet
      {1, 24, 1, 5, 10},                 // the next sheet starts at its top left
      {5, 0, 0, 5 + 64, 10 + 32},        // starting at label 5: second row, middle
      {5, 19, 0, 5 + 128, 10 + 7 * 32},
      {5, 20, 1, 5, 10},  // ...and the second sheet from the top left
      {24, 0, 0, 5 + 128, 10 + 7 * 32},
      {24, 1, 1, 5, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "first " << c.first << " index " << c.index);
    const LabelBox box = PlaceLabel(layout, c.first, c.index);
    EXPECT_EQ(box.sheet, c.sheet);
    EXPECT_DOUBLE_EQ(box.x_mm, c.x);
    EXPECT_DOUBLE_EQ(box.y_mm, c.y);
    EXPECT_DOUBLE_EQ(box.width_mm, 60);
    EXPECT_DOUBLE_EQ(box.height_mm, 30);
  }
}

TEST(LabelPlacementTest, SheetsNeededForAPrint) {
  const LabelLayout layout = Accepted(kSheet24);
  struct Case {
    int first;
    size_t count;
    size_t sheets;
  };
  const Case cases[] = {{1, 0, 0},  {1, 1, 1},  {1, 24, 1}, {1, 25, 2}, {1, 30, 2}, {1, 48, 2},
                        {1, 49, 3}, {5, 20, 1}, {5, 21, 2}, {24, 1, 1}, {24, 2, 2}, {5, 30, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "first " << c.first << " count " << c.count);
    EXPECT_EQ(SheetCount(layout, c.first, c.count), c.sheets);
  }
}

TEST(LabelTextTest, CivilityIsWrittenOut) {
  struct Case {
    const char* title;
    const char* code;
    const char* words;
  };
  const Case cases[] = {{"", "1", "Monsieur"},
                        {"", "2", "Madame"},
                        {"", "3", "Mademoiselle"},
                        {"Docteur  ", "1", "Docteur"},
                        {"Maître", "2", "Maître"},
                        {"Madame", "3", "Mademoiselle"},
                        {"   ", "1", "Monsieur"},
                        {"", "9", ""},
                        {"", "", ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    EXPECT_EQ(CivilityWords(c.title, c.code), c.words) << c.code;
  }
}

TEST(LabelTextTest, BlankLinesAreLeftOutAndTheFirstNameFollowsTheCivility) {
  struct Case {
    LabelAddress address;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {{"010000011", "Monsieur", "DURAND", {"12 rue des Lilas", "", "Bâtiment B"}, "75011",
        "PARIS", "", ""},
       {"Monsieur DURAND", "12 rue des Lilas", "Bâtiment B", "75011 PARIS"}},
      {{"010000021", "", "  MARTIN  ", {"   ", " 3 place Bellecour ", ""}, "69002", "", "", ""},
       {"MARTIN", "3 place Bellecour", "69002"}},
      {{"010000031", "Madame", "", {"", "", ""}, "", "LYON", "", ""}, {"Madame", "LYON"}},
      {{"010000041", "", "", {"", "", ""}, "", "", "", ""}, {}},
      // The first name between civility and name; a household's addressee
      // in their place.
      {{"010000051", "Madame", "DURAND", {"1 rue Haute", "", ""}, "75011", "PARIS", " Anne ", ""},
       {"Madame Anne DURAND", "1 rue Haute", "75011 PARIS"}},
      {{"010000061", "", "DURAND", {"", "", ""}, "75011", "PARIS", "Anne", ""},
       {"Anne DURAND", "75011 PARIS"}},
      {{"010000071", "Monsieur", "DURAND", {"", "", ""}, "75011", "PARIS", "Paul",
        "Monsieur et Madame DURAND"},
       {"Monsieur et Madame DURAND", "75011 PARIS"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address.client_code);
    EXPECT_EQ(LabelLines(c.address), c.lines);
  }
}

}  // namespace
}  // namespace vz::project
