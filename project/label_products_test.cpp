// The catalogue of label products read from XML label templates: which
// templates become products and the exact fields a product fills.
#include "project/label_products.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/os/cp1252.h"

namespace vz::project {
namespace {

namespace fs = std::filesystem;

class LabelProductsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ =
        fs::temp_directory_path() /
        ("vz-label-products-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  void Write(const std::string& name, const std::string& text) {
    std::ofstream(folder_ / name, std::ios::binary) << text;
  }
  void WriteGzipped(const std::string& name, const std::string& text) {
    gzFile out = gzopen((folder_ / name).c_str(), "wb");
    ASSERT_NE(out, nullptr);
    gzwrite(out, text.data(), static_cast<unsigned>(text.size()));
    gzclose(out);
  }

  fs::path folder_;
};

std::string Templates(const std::string& body) {
  return "<?xml version=\"1.0\"?>\n<Glabels-templates>\n" + body + "</Glabels-templates>\n";
}

// 3 x 7 labels of 63,5 x 38,1 mm in millimetres; an equivalent part; a US
// Letter sheet, a round label, a sheet too wide for A4, two layouts on one
// sheet: none of the last four is an A4 sheet of one kind of rectangles.
const char kBody[] = R"(
  <Template brand="Marque" part="M21" size="A4" _description="Address labels">
    <Meta category="label"/>
    <Label-rectangle id="0" width="63.5mm" height="38.1mm" round="2mm">
      <Markup-margin size="1mm"/>
      <Layout nx="3" ny="7" x0="7.2mm" y0="15.15mm" dx="66mm" dy="38.1mm"/>
    </Label-rectangle>
  </Template>
  <Template brand="Marque" part="J21" equiv="M21"/>
  <Template brand="Marque" part="U30" size="US-Letter">
    <Label-rectangle id="0" width="2.625in" height="1in">
      <Layout nx="3" ny="10" x0="0.1875in" y0="0.5in" dx="2.75in" dy="1in"/>
    </Label-rectangle>
  </Template>
  <Template brand="Marque" part="R12" size="A4">
    <Label-round id="0" radius="20mm"><Layout nx="3" ny="4" x0="10mm" y0="10mm" dx="60mm" dy="60mm"/></Label-round>
  </Template>
  <Template brand="Marque" part="W4" size="A4">
    <Label-rectangle id="0" width="60mm" height="30mm">
      <Layout nx="4" ny="5" x0="5mm" y0="5mm" dx="61mm" dy="31mm"/>
    </Label-rectangle>
  </Template>
  <Template brand="Marque" part="T2" size="A4">
    <Label-rectangle id="0" width="60mm" height="30mm">
      <Layout nx="2" ny="2" x0="5mm" y0="5mm" dx="61mm" dy="31mm"/>
      <Layout nx="1" ny="2" x0="130mm" y0="5mm" dx="61mm" dy="31mm"/>
    </Label-rectangle>
  </Template>
)";

TEST_F(LabelProductsTest, APartPickedByNumberFillsTheExactDimensionsOfItsTemplate) {
  Write("marque-iso-templates.xml", Templates(kBody));
  const LabelCatalogue catalogue = ReadLabelCatalogue(folder_);
  EXPECT_EQ(catalogue.note, "");
  ASSERT_EQ(catalogue.products.size(), 2u);  // J21 and M21, sorted by part
  for (const char* part : {"Marque M21", "Marque J21"}) {
    SCOPED_TRACE(part);
    const LabelProduct* product = FindProduct(catalogue, part);
    ASSERT_NE(product, nullptr);
    const TypedLabelLayout expected = {"15,15", "7,2", "0", "2,5", "38,1", "63,5", "3", "7"};
    EXPECT_EQ(ProductFields(*product), expected);
    // The list line finds the same product, and the fields it fills pass the
    // sheet's own check.
    EXPECT_EQ(FindProduct(catalogue, ProductEntry(*product)), product);
    EXPECT_TRUE(CheckLabelLayout(ProductFields(*product)).layout);
  }
  EXPECT_EQ(ProductEntry(*FindProduct(catalogue, "Marque M21")),
            "Marque M21\t3 x 7 de 63,5 x 38,1 mm");
  for (const char* refused : {"Marque U30", "Marque R12", "Marque W4", "Marque T2", "Marque"}) {
    EXPECT_EQ(FindProduct(catalogue, refused), nullptr) << refused;
  }
}

TEST_F(LabelProductsTest, LengthsTakeTheTemplatesUnits) {
  struct Case {
    const char* text;
    std::optional<double> mm;
  };
  const Case cases[] = {{"12mm", 12.0},    {"1.5cm", 15.0}, {"1in", 25.4},        {"72pt", 25.4},
                        {"72", 25.4},      {"6pc", 25.4},   {"0.1875in", 4.7625}, {"", {}},
                        {"mm", {}},        {"1.2.3mm", {}}, {"-3mm", {}},         {"12 mm", {}},
                        {"12furlongs", {}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const std::optional<double> mm = TemplateLengthMm(c.text);
    ASSERT_EQ(mm.has_value(), c.mm.has_value());
    if (mm) {
      EXPECT_NEAR(*mm, *c.mm, 1e-9);
    }
  }
}

TEST_F(LabelProductsTest, MillimetresReadAsMeantWithoutLosingAnInchTemplatesPrecision) {
  struct Case {
    double mm;
    const char* text;
  };
  const Case cases[] = {{4.7625, "4,7625"},             // 3/16 in, exact
                        {66.0 - 63.5, "2,5"},           // a difference of lengths
                        {12, "12"},                     //
                        {198.425 * 25.4 / 72, "70"},    // points meant as 70 mm
                        {102.047 * 25.4 / 72, "36"},    // points meant as 36 mm
                        {12.557 * 25.4 / 72, "4,43"},   //
                        {181.4 * 25.4 / 72, "63,994"},  // no rounder length is that close
                        {0.00004, "0"},                 //
                        {1234.56789, "1234,568"}};
  for (const Case& c : cases) {
    EXPECT_EQ(MillimetreText(c.mm), c.text) << c.mm;
  }
}

TEST_F(LabelProductsTest, GzippedFilesAreReadAndABadFileIsNamedWithoutLosingTheOthers) {
  WriteGzipped("marque-iso-templates.xml.gz", Templates(kBody));
  Write("broken-templates.xml", "<Glabels-templates><Template brand=\"X\" part=\"1\"");
  Write("notes.txt", "not a template");
  const LabelCatalogue catalogue = ReadLabelCatalogue(folder_);
  EXPECT_EQ(catalogue.products.size(), 2u);
  EXPECT_NE(catalogue.note.find("broken-templates.xml"), std::string::npos)
      << os::Utf8(catalogue.note);
}

TEST_F(LabelProductsTest, WithoutTheCatalogueTheListIsEmptyWithANote) {
  for (const fs::path& folder : {folder_ / "absent", folder_}) {
    const LabelCatalogue catalogue = ReadLabelCatalogue(folder);
    EXPECT_TRUE(catalogue.products.empty());
    EXPECT_NE(os::Utf8(catalogue.note).find("n'est pas installé"), std::string::npos);
  }
}

// The package's own templates, where it is installed: the A4 mailing labels
// in points fill their fields within 0,2 micrometre (the templates give
// points to the thousandth, 0,35 micrometre).
TEST(InstalledLabelProductsTest, TheInstalledCatalogueOffersA4MailingLabels) {
  const fs::path folder = "/usr/share/libglabels-3.0/templates";
  if (!fs::exists(folder / "avery-iso-templates.xml")) GTEST_SKIP() << "glabels-data absent";
  const LabelCatalogue catalogue = ReadLabelCatalogue(folder);
  EXPECT_EQ(catalogue.note, "");
  EXPECT_GT(catalogue.products.size(), 200u);
  const LabelProduct* product = FindProduct(catalogue, "Avery L7160");
  ASSERT_NE(product, nullptr);
  // width="181.4" height="108.0" x0="21.2" y0="43.9" dx="187.2", in points.
  const TypedLabelLayout expected = {"15,487", "7,479", "0", "2,046", "38,1", "63,994", "3", "7"};
  EXPECT_EQ(ProductFields(*product), expected);
  for (const LabelProduct& each : catalogue.products) {
    EXPECT_TRUE(CheckLabelLayout(ProductFields(each)).layout) << each.brand << " " << each.part;
  }
}

}  // namespace
}  // namespace vz::project
