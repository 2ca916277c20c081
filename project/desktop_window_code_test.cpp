// The desktop front end with the screen project's own window code and the
// real window library: what the adviser changes in the combination window
// runs that window's change code, and the dialog shows the result at once.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>

#include "platform/runtime/qt/qt_front_end.h"
#include "platform/runtime/qt/qt_test_support.h"
#include "platform/runtime/qt/qt_text.h"
#include "platform/runtime/runtime_test_files.h"
#include "platform/runtime/session.h"
#include "project/project_code.h"

extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig\n";
}

namespace vz::runtime {
namespace {

namespace fs = std::filesystem;

void ClickRow(QAbstractItemView* view, int row) {
  const QRect place = view->visualRect(view->model()->index(row, 0));
  QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, place.center());
}

class CombineOnTheDesktopTest : public ::testing::Test {
 public:
  CombineOnTheDesktopTest() {
    TestApplication();
    fs::copy_file(fs::path(VZ_PROJECT_DIR) / "ORVANE.wdl", dir_.path() / "ORVANE.wdl");
    QtFrontEnd::Options options;
    options.picture_directories = {fs::path(VZ_PROJECT_DIR) / "images"};
    front_ = std::make_unique<QtFrontEnd>(
        transcript_, [this] { return session_ ? session_->CurrentWindow() : nullptr; }, options);
    Session::Setup setup;
    setup.front_end = front_.get();
    setup.transcript = &transcript_;
    project::RegisterCombineWindow(setup.registry);
    setup.directory = dir_.path();
    session_ = std::make_unique<Session>(std::move(setup));
    EXPECT_EQ(session_->Execute("BIBLI,disque,ORVANE.wdl").value, 0);
    // No record engine here: the program fills the tables itself.
    session_->Execute("Ouvre,COMBINE");
    for (const char* table : {"TABLE1", "TABLE2"}) {
      session_->Execute(std::string("Table,Ajoute,") + table + ",01000003\tGros revenus");
      session_->Execute(std::string("Table,Ajoute,") + table + ",01000012\tRetrait\xE9s");
    }
  }

  WindowDialog& Dialog() { return *front_->input_dialog(); }
  template <typename W>
  W* Widget(std::string_view field) {
    return qobject_cast<W*>(Dialog().FieldWidget(field));
  }
  std::string Text(std::string_view command) { return session_->Execute(command).text; }

  // Plays act in the window's input, then presses "Enregistrer".
  void Input(std::function<void()> act) {
    QTimer::singleShot(0, &guard_, [this, act] {
      act();
      Widget<QPushButton>("BT_VALIDER")->click();
    });
    session_->Execute("Ecran,Saisie");
    EXPECT_EQ(session_->return_code(), "TF0");
  }

  QObject guard_;
  TempDir dir_;
  Transcript transcript_;
  std::unique_ptr<QtFrontEnd> front_;
  std::unique_ptr<Session> session_;
};

TEST_F(CombineOnTheDesktopTest, ChoosingTheOperationTurnsThePictureAtOnce) {
  // The program's own choice shows as it is and runs nothing: the picture
  // waits for the program's "Execute,OPTION.MODIFICATION".
  session_->Execute("AFFICHE,OPTION=2");
  Input([] {});
  EXPECT_EQ(Text("ECRAN,RECUPERE,ENSEMBLE"), "UNION.BMP");

  session_->Execute("AFFICHE,OPTION=1");
  Input([this] {
    auto* picture = Widget<QLabel>("ENSEMBLE");
    ASSERT_NE(picture, nullptr);
    const qint64 union_picture = picture->pixmap().cacheKey();
    EXPECT_FALSE(picture->pixmap().isNull()) << "UNION.BMP is found and shown";
    auto radios = Dialog().FieldWidget("OPTION")->parentWidget()->findChildren<QRadioButton*>();
    ASSERT_EQ(radios.size(), 2);
    radios[1]->click();
    EXPECT_FALSE(picture->pixmap().isNull());
    EXPECT_NE(picture->pixmap().cacheKey(), union_picture) << "the intersection is drawn";
  });
  EXPECT_EQ(Text("ECRAN,RECUPERE,OPTION"), "2");
  EXPECT_EQ(Text("ECRAN,RECUPERE,ENSEMBLE"), "INTERSEC.BMP");
}

TEST_F(CombineOnTheDesktopTest, PickingAQueryShowsItsTitleAtOnce) {
  const struct {
    const char* what;
    std::function<void(CombineOnTheDesktopTest&)> act;
    const char* first_title;
    const char* second_title;
  } cases[] = {
      {"first table, mouse",
       [](CombineOnTheDesktopTest& t) { ClickRow(t.Widget<QTableView>("TABLE1"), 1); },
       "Retrait\xE9s", ""},
      {"second table, keyboard",
       [](CombineOnTheDesktopTest& t) {
         auto* table = t.Widget<QTableView>("TABLE2");
         table->setFocus();
         QTest::keyClick(table, Qt::Key_Down);
         QTest::keyClick(table, Qt::Key_Down);
       },
       "Retrait\xE9s", "Retrait\xE9s"},
      {"first table, back to the first row",
       [](CombineOnTheDesktopTest& t) { ClickRow(t.Widget<QTableView>("TABLE1"), 0); },
       "Gros revenus", "Retrait\xE9s"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Input([&] {
      c.act(*this);
      EXPECT_EQ(FromQString(Widget<QLineEdit>("titre1")->text()), c.first_title);
      EXPECT_EQ(FromQString(Widget<QLineEdit>("titre2")->text()), c.second_title);
    });
    EXPECT_EQ(Text("ECRAN,RECUPERE,titre1"), c.first_title);
    EXPECT_EQ(Text("ECRAN,RECUPERE,titre2"), c.second_title);
  }
}

// A long run as the selection run drives the progress window EX_attente: a
// step writes the counter and runs the window's counter code, which lets the
// front end process its events now and then.
TEST(ProgressOnTheDesktopTest, ARunCanBeWatchedAndEscapeDoesNotEndIt) {
  TestApplication();
  TempDir dir;
  fs::copy_file(fs::path(VZ_PROJECT_DIR) / "ORVANE.wdl", dir.path() / "ORVANE.wdl");
  Transcript transcript;
  std::unique_ptr<Session> session;
  QtFrontEnd::Options options;
  options.picture_directories = {fs::path(VZ_PROJECT_DIR) / "images"};
  options.progress_interval = std::chrono::milliseconds(0);  // draw whenever events are processed
  QtFrontEnd front(
      transcript, [&session] { return session ? session->CurrentWindow() : nullptr; }, options);
  Session::Setup setup;
  setup.front_end = &front;
  setup.transcript = &transcript;
  project::RegisterProgressWindow(setup.registry);
  setup.directory = dir.path();
  session = std::make_unique<Session>(std::move(setup));
  ASSERT_EQ(session->Execute("BIBLI,disque,ORVANE.wdl").value, 0);

  constexpr int kClients = 1000;
  session->Execute("Ouvre,EX_attente");
  session->Execute("AFFICHE,NBTOTAL=" + std::to_string(kClients));
  int escapes = 0;
  for (int step = 1; step <= kClients; ++step) {
    session->Execute("AFFICHE,NbTraite=" + std::to_string(step));
    session->Execute("EXECUTE,NbTraite.entree");
    WindowDialog* shown = front.progress_dialog();
    if (step % 300 == 0 && shown) {
      // The adviser presses Escape on the progress window, then tries to close it.
      QTest::keyClick(shown, Qt::Key_Escape);
      shown->close();
      ++escapes;
    }
  }
  EXPECT_EQ(escapes, 3) << "the progress window was shown from the first steps";
  EXPECT_GE(front.progress_redraws(), kClients / 200);
  EXPECT_LE(front.progress_redraws(), kClients / 100) << "never drawn once per client";
  WindowDialog* shown = front.progress_dialog();
  ASSERT_NE(shown, nullptr);
  EXPECT_TRUE(shown->isVisible());
  // What was drawn last is recent, and the bar agrees with the counter shown.
  const int counted = qobject_cast<QLineEdit*>(shown->FieldWidget("NbTraite"))->text().toInt();
  EXPECT_GE(counted, kClients - 200);
  EXPECT_EQ(qobject_cast<QLineEdit*>(shown->FieldWidget("JAUGE"))->text(),
            QString(counted * 50 / kClients, '|'));
  // The run ends with "Ferme"; the window then goes.
  session->Execute("Ferme");
  session->Execute("MULTITACHE,-2");
  EXPECT_EQ(front.progress_dialog(), nullptr);
}

}  // namespace
}  // namespace vz::runtime
