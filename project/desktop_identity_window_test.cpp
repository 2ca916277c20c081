// The identity criteria window SEL01A on the desktop, over a small
// installation: the adviser's choice of a profession family restricts the
// professions list while the window is open, through the window's own code.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <memory>

#include "platform/os/cp1252.h"
#include "platform/runtime/qt/qt_front_end.h"
#include "platform/runtime/qt/qt_test_support.h"
#include "platform/runtime/qt/qt_text.h"
#include "project/project_code.h"
#include "project/query_windows_test_support.h"

namespace vz::project {
namespace {

using runtime::QtFrontEnd;

QStringList Shown(QTreeWidget* list) {
  QStringList rows;
  for (int i = 0; i < list->topLevelItemCount(); ++i) rows << list->topLevelItem(i)->text(0);
  return rows;
}

void ClickRow(QTreeWidget* list, int row) {
  const QRect place = list->visualItemRect(list->topLevelItem(row));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, place.center());
}

class IdentityOnTheDesktopTest : public QueryWindowsTest {
 protected:
  void SetUp() override {
    runtime::TestApplication();
    QueryWindowsTest::SetUp();
    AddCodeLabel(db::FileId::PROFES, "03", "000", os::Cp1252("Salariés"));
    AddCodeLabel(db::FileId::PROFES, "03", "001", os::Cp1252("Employé"));
    AddCodeLabel(db::FileId::PROFES, "03", "002", "Cadre");
    AddCodeLabel(db::FileId::PROFES, "05", "001", "Ouvrier agricole");
    // The same runtime, now with the desktop front end.
    desktop_ = std::make_unique<QtFrontEnd>(
        transcript_, [this] { return session_ ? session_->CurrentWindow() : nullptr; });
    runtime::Session::Setup setup;
    setup.front_end = desktop_.get();
    setup.transcript = &transcript_;
    setup.directory = VZ_PROJECT_DIR;
    const int32_t context = installation_.runtime_context();
    setup.create_engine_context = [context] { return context; };
    RegisterQueryWindows(setup.registry);
    session_ = std::make_unique<runtime::Session>(std::move(setup));
    ASSERT_EQ(session_->Execute("BIBLI,disque,ORVANE.wdl").value, 0);
  }
  void TearDown() override {
    session_.reset();
    desktop_.reset();
    QueryWindowsTest::TearDown();
  }

  QTreeWidget* List(std::string_view name) {
    return qobject_cast<QTreeWidget*>(desktop_->input_dialog()->FieldWidget(name));
  }

  QObject guard_;
  std::unique_ptr<QtFrontEnd> desktop_;
};

TEST_F(IdentityOnTheDesktopTest, PickingAFamilyRestrictsTheProfessionsAtOnce) {
  Open("SEL01A,10,10");
  QTimer::singleShot(0, &guard_, [this] {
    QTreeWidget* professions = List("PROFES1");
    EXPECT_EQ(Shown(professions),
              (QStringList{"(tous)", QString::fromUtf8("Employé"), "Cadre", "Ouvrier agricole"}));
    QTreeWidget* families = List("FAMPRO1");
    ASSERT_EQ(Shown(families), (QStringList{"(tous)", QString::fromUtf8("Salariés"), "Famille 05"}));
    ClickRow(families, 2);
    EXPECT_EQ(Shown(professions), (QStringList{"(tous)", "Ouvrier agricole"}));
    ClickRow(professions, 1);
    ClickRow(families, 1);
    EXPECT_EQ(Shown(professions), (QStringList{"(tous)", QString::fromUtf8("Employé"), "Cadre"}));
    ClickRow(professions, 2);
    qobject_cast<QPushButton*>(desktop_->input_dialog()->FieldWidget("BT_VALIDER"))->click();
  });
  session().Execute("Ecran,Saisie");
  EXPECT_EQ(session().return_code(), "TF0");
  EXPECT_EQ(Run("ECRAN,RECUPERE,FAMPRO1"), os::Cp1252("Salariés\t03"));
  EXPECT_EQ(Run("ECRAN,RECUPERE,PROFES1"), "Cadre\t03002");
}

}  // namespace
}  // namespace vz::project
