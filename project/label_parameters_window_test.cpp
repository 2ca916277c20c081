// The label parameters window's code through the runtime with the real
// window library: the products offered, a product picked, the preview and
// the check of a typed layout.
#include "project/label_parameters_window.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "platform/os/cp1252.h"
#include "platform/runtime/fake_front_end.h"
#include "platform/runtime/made_pictures.h"
#include "platform/runtime/session.h"
#include "tests/support/project_session.h"
#include "tests/support/temporary_installation.h"

namespace vz::project {
namespace {

namespace fs = std::filesystem;
using runtime::MessageKind;

constexpr char kTemplates[] = R"(<?xml version="1.0"?>
<Glabels-templates>
  <Template brand="Marque" part="M21" size="A4" _description="Address labels">
    <Label-rectangle id="0" width="63.5mm" height="38.1mm">
      <Layout nx="3" ny="7" x0="7.2mm" y0="15.15mm" dx="66mm" dy="38.1mm"/>
    </Label-rectangle>
  </Template>
</Glabels-templates>
)";

class LabelParametersWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(installation_.ready());
    templates_ = installation_.root() / "templates";
    fs::create_directories(templates_);
    std::ofstream(templates_ / "marque-templates.xml") << kTemplates;
    setenv("VZ_LABEL_TEMPLATES", templates_.c_str(), 1);
    transcript_ =
        std::make_unique<runtime::Transcript>((installation_.root() / "transcript.txt").string());
  }
  void TearDown() override {
    session_.reset();
    unsetenv("VZ_LABEL_TEMPLATES");
  }

  runtime::Session& Start() {
    session_ = vz::testing::NewProjectSession(front_, *transcript_, installation_.runtime_context(),
                                              VZ_PROJECT_DIR);
    vz::testing::OpenLibraryAndProject(*session_);
    EXPECT_EQ(session_->Execute("Ouvre,PARETI").value, 0);
    return *session_;
  }
  std::string Shown(const std::string& field) {
    return session_->Execute("ECRAN,RECUPERE," + field).text;
  }
  void Type(const std::vector<std::string>& layout) {
    const char* fields[] = {"MHAUTE",  "MGAUCHE", "ESPV",   "ESPH",
                            "HAUTEUR", "LARGEUR", "NBETIH", "NBETIV"};
    for (size_t i = 0; i < layout.size(); ++i) {
      session_->Execute(std::string("AFFICHE,") + fields[i] + "=" + layout[i]);
    }
  }
  int Check() { return session_->Execute("EXECUTE(\"VerifieEtiquettes\")").value; }

  vz::testing::TemporaryInstallation installation_{
      "label_parameters_window",
      vz::testing::InstallationOptions().SharedWithRuntime().WithDataDirectory()};
  fs::path templates_;
  runtime::FakeFrontEnd front_;
  std::unique_ptr<runtime::Transcript> transcript_;
  std::unique_ptr<runtime::Session> session_;
};

TEST_F(LabelParametersWindowTest, APickedProductFillsTheEightFieldsAndThePreview) {
  runtime::Session& session = Start();
  const runtime::Field* list = session.CurrentWindow()->FindField("PRODUIT");
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->entries, std::vector<std::string>{"Marque M21\t3 x 7 de 63,5 x 38,1 mm"});
  EXPECT_NE(os::Utf8(Shown("L_PRODUITS")).find("1 références"), std::string::npos);

  session.Execute("AFFICHE,PRODUIT=Marque M21\t3 x 7 de 63,5 x 38,1 mm");
  session.Execute("Execute,PRODUIT.MODIFICATION");
  const std::vector<std::string> expected = {"15,15", "7,2", "0", "2,5", "38,1", "63,5", "3", "7"};
  const char* fields[] = {"MHAUTE",  "MGAUCHE", "ESPV",   "ESPH",
                          "HAUTEUR", "LARGEUR", "NBETIH", "NBETIV"};
  for (size_t i = 0; i < expected.size(); ++i)
    EXPECT_EQ(Shown(fields[i]), expected[i]) << fields[i];
  EXPECT_EQ(os::Utf8(Shown("L_APERCU")),
            "21 étiquettes par feuille A4 (3 x 7) de 63,5 x 38,1 mm ; reste 7,3 mm à droite et "
            "15,15 mm en bas.");
  const std::string picture = Shown("APERCU");
  ASSERT_FALSE(picture.empty());
  EXPECT_TRUE(fs::is_regular_file(runtime::MadePicturesFolder() / picture));
  EXPECT_EQ(Check(), 0);
  EXPECT_TRUE(front_.messages.empty());
}

TEST_F(LabelParametersWindowTest, ALayoutTooWideForA4IsRefusedWhenEnteredWithTheReason) {
  Start();
  Type({"10", "5", "0", "2,5", "33", "70", "3", "8"});  // 5 + 3 x 70 + 2 x 2,5 = 220 mm
  EXPECT_EQ(Check(), 1);
  ASSERT_EQ(front_.messages.size(), 1u);
  EXPECT_EQ(front_.messages[0].first, MessageKind::kError);
  EXPECT_NE(os::Utf8(front_.messages[0].second).find("dépassent la largeur de la page : 220"),
            std::string::npos)
      << os::Utf8(front_.messages[0].second);
  // The window says it too, and shows no picture of a sheet that cannot be.
  EXPECT_EQ(Shown("L_APERCU"), front_.messages[0].second);
  EXPECT_EQ(Shown("APERCU"), "");
  // A field that is not a number is refused the same way; no layout at all
  // (nothing stored yet) is let through.
  Type({"10", "5", "0", "2,5", "33", "6x5", "3", "8"});
  EXPECT_EQ(Check(), 1);
  Type({"", "", "", "", "", "", "", ""});
  EXPECT_EQ(Check(), 0);
  Type({"10", "5", "0", "2,5", "33", "65", "3", "8"});
  EXPECT_EQ(Check(), 0);
  EXPECT_EQ(front_.messages.size(), 2u);
}

TEST_F(LabelParametersWindowTest, WithoutTheCatalogueTheListIsEmptyWithANote) {
  setenv("VZ_LABEL_TEMPLATES", (templates_ / "absent").c_str(), 1);
  runtime::Session& session = Start();
  EXPECT_TRUE(session.CurrentWindow()->FindField("PRODUIT")->entries.empty());
  EXPECT_NE(os::Utf8(Shown("L_PRODUITS")).find("n'est pas installé"), std::string::npos);
  EXPECT_TRUE(front_.messages.empty());
}

}  // namespace
}  // namespace vz::project
