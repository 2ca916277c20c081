#include "platform/runtime/qt/qt_front_end.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "platform/os/keyboard.h"
#include "platform/runtime/headless_front_end.h"
#include "platform/runtime/module.h"
#include "platform/runtime/qt/qt_test_support.h"
#include "platform/runtime/runtime_test_files.h"
#include "platform/runtime/scripted_front_end.h"
#include "platform/runtime/session.h"

// The font library keeps caches for the life of the process; the PDF library
// behind QtPdf (pdf_printing_test.cpp) sets up process-wide state on its
// first load and never frees it.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig\nleak:libQt6Pdf.so\n";
}

namespace vz::runtime {
namespace {

// Runs action on the next turn of the event loop, once the modal loop runs;
// dropped if the guard is gone by then (the test that asked has ended).
QObject* guard = nullptr;
void Soon(std::function<void()> action) {
  QTimer::singleShot(0, guard, std::move(action));
}

QMessageBox* OpenMessageBox() {
  return qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
}

void ClickMessageButton(const QString& text) {
  QMessageBox* box = OpenMessageBox();
  ASSERT_NE(box, nullptr);
  for (QAbstractButton* button : box->buttons()) {
    if (button->text() == text) {
      button->click();
      return;
    }
  }
  FAIL() << "no button " << text.toStdString();
}

class QtFrontEndTest : public ::testing::Test {
 protected:
  QtFrontEndTest() {
    TestApplication();
    guard = &guard_;
    WriteFile(dir_.path() / "test.wdl", kAllKindsLibrary);
    registry_.AddWindowCode("FICHE", "BT_CALC", "CLIC", [this](CodeContext&, Window& window) {
      ++clicks_;
      window.FindField("VILLE")->value = "Calcul\xE9";
    });
  }

  Session& Start(QtFrontEnd::Options options = {}) {
    front_ = std::make_unique<QtFrontEnd>(
        transcript_, [this] { return session_ ? session_->CurrentWindow() : nullptr; },
        std::move(options));
    Session::Setup setup;
    setup.front_end = front_.get();
    setup.transcript = &transcript_;
    setup.registry = registry_;
    setup.directory = dir_.path();
    session_ = std::make_unique<Session>(std::move(setup));
    EXPECT_EQ(session_->Execute("BIBLI,disque,test.wdl").value, 0);
    return *session_;
  }

  template <typename W>
  W* InputWidget(std::string_view field) {
    WindowDialog* dialog = front_->input_dialog();
    EXPECT_NE(dialog, nullptr);
    return dialog ? qobject_cast<W*>(dialog->FieldWidget(field)) : nullptr;
  }

  std::string Text(std::string_view command) { return session_->Execute(command).text; }
  int32_t Value(std::string_view command) { return session_->Execute(command).value; }

  ~QtFrontEndTest() override { guard = nullptr; }

  QObject guard_;
  TempDir dir_;
  Transcript transcript_;
  CodeRegistry registry_;
  int clicks_ = 0;
  std::unique_ptr<QtFrontEnd> front_;
  std::unique_ptr<Session> session_;
};

TEST_F(QtFrontEndTest, ProgramValuesShowAndTypedValuesComeBack) {
  Session& session = Start();
  session.Execute("Ouvre,FICHE");
  session.Execute("AFFICHE,NOM=Dupont");
  session.Execute("Table,Ajoute,LIGNES,Revenus\t0\t999999999");
  session.Execute("Table,Ajoute,LIGNES,Pr\xEAts\t0\t999999999");
  Soon([&] {
    EXPECT_EQ(InputWidget<QLineEdit>("NOM")->text(), "Dupont");
    EXPECT_EQ(InputWidget<QTableView>("LIGNES")->model()->rowCount(), 2);
    TypeText(InputWidget<QLineEdit>("VILLE"), QString::fromUtf8("Sète"));
    auto* table = InputWidget<QTableView>("LIGNES");
    table->selectRow(1);
    table->model()->setData(table->model()->index(1, 2), "250000");
    InputWidget<QTreeWidget>("FAMILLE")->topLevelItem(2)->setSelected(true);
    InputWidget<QPushButton>("BT_OK")->click();
  });
  session.Execute("Ecran,Saisie");
  EXPECT_EQ(session.return_code(), "TF0");
  EXPECT_EQ(Text("ECRAN,RECUPERE,VILLE"), "S\xE8te");
  EXPECT_EQ(Text("ECRAN,RECUPERE,NOM"), "Dupont");
  EXPECT_EQ(Text("Table,Recupere,VALFIN,2"), "250000");
  EXPECT_EQ(Text("Table,Recupere,VALFIN,1"), "999999999");
  EXPECT_EQ(Value("Table,Select,?,LIGNES"), 2);
  EXPECT_EQ(Value("Liste,Select,?,FAMILLE"), 3);
  EXPECT_EQ(Text("ECRAN,RECUPERE,FAMILLE"), "Artisans\t3");
}

TEST_F(QtFrontEndTest, ListChoiceOfTheProgramIsTheOneShown) {
  Session& session = Start();
  session.Execute("Ouvre,FICHE");
  session.Execute("Liste,Select,+,FAMILLE,02");
  Soon([&] {
    auto* list = InputWidget<QTreeWidget>("FAMILLE");
    ASSERT_EQ(list->selectedItems().size(), 1);
    EXPECT_EQ(list->indexOfTopLevelItem(list->selectedItems()[0]), 1);
    QTest::keyClick(front_->input_dialog(), Qt::Key_Escape);
  });
  session.Execute("Ecran,Saisie");
  EXPECT_EQ(session.return_code(), "ESC");
  EXPECT_EQ(Value("Liste,Select,?,FAMILLE"), 2);
}

TEST_F(QtFrontEndTest, EachWayOfEndingTheInputGivesItsCode) {
  const struct {
    const char* what;
    std::function<void(QtFrontEnd&)> act;
    std::string code;
  } cases[] = {
      {"Escape", [](QtFrontEnd& f) { QTest::keyClick(f.input_dialog(), Qt::Key_Escape); }, "ESC"},
      {"Enter",
       [](QtFrontEnd& f) { QTest::keyClick(f.input_dialog()->FieldWidget("NOM"), Qt::Key_Enter); },
       "TF0"},
      {"other button",
       [](QtFrontEnd& f) {
         qobject_cast<QPushButton*>(f.input_dialog()->FieldWidget("BT_NON"))->click();
       },
       "ABA"},
      {"disabled button then Escape",
       [](QtFrontEnd& f) {
         qobject_cast<QPushButton*>(f.input_dialog()->FieldWidget("BT_OFF"))->click();
         QTest::keyClick(f.input_dialog(), Qt::Key_Escape);
       },
       "ESC"},
  };
  Session& session = Start();
  session.Execute("Ouvre,FICHE");
  for (const auto& c : cases) {
    Soon([&] { c.act(*front_); });
    session.Execute("Ecran,Saisie");
    EXPECT_EQ(session.return_code(), c.code) << c.what;
    EXPECT_EQ(front_->input_dialog(), nullptr) << c.what;
  }
}

TEST_F(QtFrontEndTest, WindowCodeRunsAndTheWidgetsFollowTheModel) {
  Session& session = Start();
  session.Execute("Ouvre,FICHE");
  Soon([&] {
    InputWidget<QPushButton>("BT_CALC")->click();
    EXPECT_EQ(clicks_, 1);
    EXPECT_EQ(InputWidget<QLineEdit>("VILLE")->text(), QString::fromUtf8("Calculé"));
    InputWidget<QPushButton>("BT_OK")->click();
  });
  session.Execute("Ecran,Saisie");
  EXPECT_EQ(session.return_code(), "TF0");
  EXPECT_EQ(Text("ECRAN,RECUPERE,VILLE"), "Calcul\xE9");
}

// A click at the middle of a list entry or table row, as a mouse gives it.
void ClickRow(QAbstractItemView* view, int row) {
  const QRect place = view->visualRect(view->model()->index(row, 0));
  QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, place.center());
}

QRadioButton* Choice(WindowDialog& dialog, std::string_view options, int number) {
  QWidget* first = dialog.FieldWidget(options);
  const auto radios = first->parentWidget()->findChildren<QRadioButton*>();
  return number >= 1 && number <= radios.size() ? radios[number - 1] : nullptr;
}

TEST_F(QtFrontEndTest, ChangesTheUserMakesRunTheirChangeCodeAndShowAtOnce) {
  std::vector<std::string> changes;
  for (const char* name : {"ACTIF", "SITU", "FAMILLE", "LIGNES"}) {
    registry_.AddWindowCode("FICHE", name, "MODIFICATION",
                            [&changes, name](CodeContext&, Window& window) {
                              changes.push_back(name);
                              window.FindField("VILLE")->value = name;
                              if (name != std::string("FAMILLE")) return;
                              // A family restricts the rows and picks one: the
                              // code's own choices are no user's change.
                              Field* rows = window.FindField("LIGNES");
                              const int family = window.FindField("FAMILLE")->selected;
                              rows->rows = {{"Famille " + std::to_string(family), "0", "9"}};
                              rows->selected = 1;
                              window.FindField("ACTIF")->value = "1";
                            });
  }
  using Changes = std::vector<std::string>;
  const struct {
    const char* what;
    std::function<void(QtFrontEnd&)> act;
    Changes expected;
    const char* city_shown;  // VILLE in the dialog right after the action
  } cases[] = {
      {"nothing: the program's values run nothing", [](QtFrontEnd&) {}, {}, "Lyon"},
      {"switch",
       [](QtFrontEnd& f) {
         qobject_cast<QCheckBox*>(f.input_dialog()->FieldWidget("ACTIF"))->click();
       },
       {"ACTIF"},
       "ACTIF"},
      {"option chosen",
       [](QtFrontEnd& f) { Choice(*f.input_dialog(), "SITU", 3)->click(); },
       {"SITU"},
       "SITU"},
      {"option chosen again",
       [](QtFrontEnd& f) { Choice(*f.input_dialog(), "SITU", 2)->click(); },
       {},
       "Lyon"},
      {"list entry clicked",
       [](QtFrontEnd& f) {
         ClickRow(qobject_cast<QTreeWidget*>(f.input_dialog()->FieldWidget("FAMILLE")), 2);
       },
       {"FAMILLE"},
       "FAMILLE"},
      {"list entry of the program clicked",
       [](QtFrontEnd& f) {
         ClickRow(qobject_cast<QTreeWidget*>(f.input_dialog()->FieldWidget("FAMILLE")), 0);
       },
       {},
       "Lyon"},
      {"list entry by keyboard",
       [](QtFrontEnd& f) {
         QWidget* list = f.input_dialog()->FieldWidget("FAMILLE");
         list->setFocus();
         QTest::keyClick(list, Qt::Key_Down);
       },
       {"FAMILLE"},
       "FAMILLE"},
      {"table row clicked",
       [](QtFrontEnd& f) {
         ClickRow(qobject_cast<QTableView*>(f.input_dialog()->FieldWidget("LIGNES")), 1);
       },
       {"LIGNES"},
       "LIGNES"},
      {"typing",
       [](QtFrontEnd& f) { TypeText(f.input_dialog()->FieldWidget("NOM"), "Martin"); },
       {},
       "Lyon"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    session_.reset();
    front_.reset();
    changes.clear();
    Session& session = Start();
    session.Execute("Ouvre,FICHE");
    session.Execute("AFFICHE,VILLE=Lyon");
    session.Execute("AFFICHE,SITU=2");
    session.Execute("Liste,Select,+,FAMILLE,1");
    session.Execute("Table,Ajoute,LIGNES,Revenus\t0\t999999999");
    session.Execute("Table,Ajoute,LIGNES,Pr\xEAts\t0\t999999999");
    session.Execute("Table,Select,+,LIGNES,1");
    EXPECT_TRUE(changes.empty()) << "the program's own values run no code";
    Soon([&] {
      c.act(*front_);
      EXPECT_EQ(InputWidget<QLineEdit>("VILLE")->text(), c.city_shown);
      InputWidget<QPushButton>("BT_OK")->click();
    });
    session.Execute("Ecran,Saisie");
    EXPECT_EQ(session.return_code(), "TF0");
    EXPECT_EQ(changes, c.expected);
    EXPECT_EQ(Text("ECRAN,RECUPERE,VILLE"), c.city_shown);
  }
}

TEST_F(QtFrontEndTest, ChangeCodeThatRestrictsAListShowsTheNewRowsAtOnce) {
  int runs = 0;
  registry_.AddWindowCode("FICHE", "FAMILLE", "MODIFICATION", [&runs](CodeContext&, Window& w) {
    ++runs;
    Field* rows = w.FindField("LIGNES");
    rows->rows = {{"Seule ligne", "1", "2"}};
    rows->selected = 1;
    w.FindField("ACTIF")->value = "1";
  });
  registry_.AddWindowCode("FICHE", "LIGNES", "MODIFICATION", [](CodeContext&, Window&) {
    ADD_FAILURE() << "set by code, not by hand";
  });
  Session& session = Start();
  session.Execute("Ouvre,FICHE");
  session.Execute("Table,Ajoute,LIGNES,Revenus\t0\t9");
  session.Execute("Table,Ajoute,LIGNES,Imp\xF4ts\t0\t9");
  Soon([&] {
    auto* list = InputWidget<QTreeWidget>("FAMILLE");
    ClickRow(list, 1);
    auto* table = InputWidget<QTableView>("LIGNES");
    EXPECT_EQ(table->model()->rowCount(), 1);
    EXPECT_EQ(table->model()->index(0, 0).data().toString(), "Seule ligne");
    EXPECT_EQ(table->selectionModel()->selectedRows().size(), 1);
    EXPECT_TRUE(InputWidget<QCheckBox>("ACTIF")->isChecked());
    // The list the user clicked keeps the entry clicked.
    ASSERT_EQ(list->selectedItems().size(), 1);
    EXPECT_EQ(list->indexOfTopLevelItem(list->selectedItems()[0]), 1);
    ClickRow(list, 2);
    InputWidget<QPushButton>("BT_OK")->click();
  });
  session.Execute("Ecran,Saisie");
  EXPECT_EQ(runs, 2);
  EXPECT_EQ(Value("Liste,Select,?,FAMILLE"), 3);
  EXPECT_EQ(Value("Table,Occurrence,LIGNES"), 1);
  EXPECT_EQ(Text("ECRAN,RECUPERE,ACTIF"), "1");
}

TEST_F(QtFrontEndTest, QuestionsAnswerYesAndNoInFrench) {
  const struct {
    const char* what;
    std::function<void()> act;
    int32_t answer;
  } cases[] = {
      {"Oui", [] { ClickMessageButton("Oui"); }, 1},
      {"Non", [] { ClickMessageButton("Non"); }, 0},
      {"Escape answers no", [] { QTest::keyClick(OpenMessageBox(), Qt::Key_Escape); }, 0},
      {"Enter answers yes", [] { QTest::keyClick(OpenMessageBox(), Qt::Key_Return); }, 1},
  };
  Start();
  for (const auto& c : cases) {
    Soon([&] {
      ASSERT_NE(OpenMessageBox(), nullptr);
      EXPECT_EQ(OpenMessageBox()->text(), QString::fromUtf8("Désirez vous quitter le logiciel ?"));
      c.act();
    });
    EXPECT_EQ(Value("OUINON,D\xE9sirez vous quitter le logiciel ?  "), c.answer) << c.what;
  }
}

TEST_F(QtFrontEndTest, MessagesAreBoxesWithFrenchTitles) {
  const struct {
    const char* command;
    QString title;
    QMessageBox::Icon icon;
  } cases[] = {
      {"Erreur,Le fichier est verrouill\xE9", "Erreur", QMessageBox::Critical},
      {"info,S\xE9lection termin\xE9"
       "e",
       "Information", QMessageBox::Information},
  };
  Start();
  for (const auto& c : cases) {
    Soon([&] {
      QMessageBox* box = OpenMessageBox();
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(box->windowTitle(), c.title);
      EXPECT_EQ(box->icon(), c.icon);
      ClickMessageButton("OK");
    });
    EXPECT_EQ(Value(c.command), 0) << c.command;
  }
}

TEST_F(QtFrontEndTest, ProgressWindowIsShownAtABoundedRate) {
  Session& session = Start({{}, std::chrono::hours(1)});
  session.Execute("Ouvre,FICHE");
  for (int step = 1; step <= 200; ++step) {
    session.Execute("AFFICHE,NOM=" + std::to_string(step));
    session.Execute("MULTITACHE,-2");
  }
  // The first call draws; the rest fall within the same interval.
  EXPECT_EQ(front_->progress_redraws(), 1);
  ASSERT_NE(front_->progress_dialog(), nullptr);
  EXPECT_TRUE(front_->progress_dialog()->isVisible());
  EXPECT_EQ(qobject_cast<QLineEdit*>(front_->progress_dialog()->FieldWidget("NOM"))->text(), "1");
}

TEST_F(QtFrontEndTest, ProgressWindowFollowsTheModelAndGoesWhenClosed) {
  Session& session = Start({{}, std::chrono::milliseconds(0)});
  session.Execute("MULTITACHE,-2");
  EXPECT_EQ(front_->progress_dialog(), nullptr);  // nothing open: nothing shown
  session.Execute("Ouvre,FICHE");
  session.Execute("AFFICHE,NOM=12");
  session.Execute("MULTITACHE,-2");
  session.Execute("AFFICHE,NOM=13");
  session.Execute("MULTITACHE,-2");
  ASSERT_NE(front_->progress_dialog(), nullptr);
  EXPECT_EQ(qobject_cast<QLineEdit*>(front_->progress_dialog()->FieldWidget("NOM"))->text(), "13");
  EXPECT_EQ(front_->progress_redraws(), 2);
  session.Execute("Ferme");
  session.Execute("MULTITACHE,-2");
  EXPECT_EQ(front_->progress_dialog(), nullptr);
}

// A run closes its progress window and tells its outcome at once, before
// events are processed again: the message or question stands alone, never
// over the finished progress; one asked while the progress window is still
// open leaves it shown.
TEST_F(QtFrontEndTest, AMessageAfterTheRunDoesNotShowTheFinishedProgress) {
  const struct {
    const char* what;
    const char* command;
    const char* button;
    bool closed_first;
  } cases[] = {
      {"message after the run",
       "info,Sauvegarde termin\xE9"
       "e",
       "OK", true},
      {"question after the run", "OUINON,Recommencer ?", "Non", true},
      {"message during the run", "Erreur,Fichier verrouill\xE9", "OK", false},
  };
  Session& session = Start({{}, std::chrono::milliseconds(0)});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    session.Execute("Ouvre,FICHE");
    session.Execute("AFFICHE,NOM=1");
    session.Execute("MULTITACHE,-2");
    ASSERT_NE(front_->progress_dialog(), nullptr);
    if (c.closed_first) session.Execute("Ferme");
    bool progress_shown_with_box = true;
    Soon([&] {
      ASSERT_NE(OpenMessageBox(), nullptr);
      progress_shown_with_box =
          front_->progress_dialog() != nullptr && front_->progress_dialog()->isVisible();
      ClickMessageButton(c.button);
    });
    session.Execute(c.command);
    EXPECT_EQ(progress_shown_with_box, !c.closed_first);
    if (!c.closed_first) session.Execute("Ferme");
  }
}

TEST_F(QtFrontEndTest, TheProgressWindowCannotBeClosedWhileTheProgramWorks) {
  Session& session = Start({{}, std::chrono::milliseconds(0)});
  session.Execute("Ouvre,FICHE");
  session.Execute("MULTITACHE,-2");
  WindowDialog* shown = front_->progress_dialog();
  ASSERT_NE(shown, nullptr);
  ASSERT_TRUE(shown->isVisible());
  EXPECT_EQ(session.Execute("ECRAN,ARRET").value, 0) << "nobody asked to stop yet";
  const struct {
    const char* what;
    std::function<void(WindowDialog&)> act;
  } attempts[] = {
      {"Escape", [](WindowDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }},
      {"close box", [](WindowDialog& d) { d.close(); }},
      {"button with a code",
       [](WindowDialog& d) { qobject_cast<QPushButton*>(d.FieldWidget("BT_NON"))->click(); }},
      {"Enter", [](WindowDialog& d) { QTest::keyClick(&d, Qt::Key_Return); }},
  };
  int step = 0;
  for (const auto& attempt : attempts) {
    SCOPED_TRACE(attempt.what);
    attempt.act(*shown);
    session.Execute("AFFICHE,NOM=" + std::to_string(++step));
    session.Execute("MULTITACHE,-2");
    EXPECT_EQ(front_->progress_dialog(), shown);
    EXPECT_TRUE(shown->isVisible());
    EXPECT_EQ(qobject_cast<QLineEdit*>(shown->FieldWidget("NOM"))->text(), QString::number(step));
  }
  // Escape, the close box and a button with a code ask to stop: the program
  // hears it once.
  EXPECT_EQ(session.Execute("ECRAN,ARRET").value, 1);
  EXPECT_EQ(session.Execute("ECRAN,ARRET").value, 0);
  // The program closes it.
  session.Execute("Ferme");
  session.Execute("MULTITACHE,-2");
  EXPECT_EQ(front_->progress_dialog(), nullptr);
}

TEST_F(QtFrontEndTest, EscapeKeyStateReachesTheProgramWaits) {
  Start();
  QWidget target;
  EXPECT_FALSE(vz::os::EscapeKeyDown());
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(&target, &press);
  EXPECT_TRUE(vz::os::EscapeKeyDown());
  QKeyEvent other(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier);
  QApplication::sendEvent(&target, &other);
  EXPECT_TRUE(vz::os::EscapeKeyDown());
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(&target, &release);
  EXPECT_FALSE(vz::os::EscapeKeyDown());
  QApplication::sendEvent(&target, &press);
  front_.reset();  // a front end gone no longer answers
  EXPECT_FALSE(vz::os::EscapeKeyDown());
}

// The module chooses its front end from the environment.
class FrontEndChoiceTest : public ::testing::Test {
 protected:
  FrontEndChoiceTest() {
    TestApplication();
    for (const char* name : kDisplayVariables) {
      const char* value = getenv(name);
      saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
      unsetenv(name);
    }
    SetDesktopFrontEndMaker(&MakeQtFrontEnd);
  }
  ~FrontEndChoiceTest() override {
    for (const auto& [name, value] : saved_) {
      if (value)
        setenv(name, value->c_str(), 1);
      else
        unsetenv(name);
    }
  }
  static constexpr const char* kDisplayVariables[] = {"DISPLAY", "WAYLAND_DISPLAY",
                                                      "QT_QPA_PLATFORM"};
  std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
  TempDir dir_;
};

TEST_F(FrontEndChoiceTest, ScenarioThenDisplayThenHeadless) {
  WriteFile(dir_.path() / "s.scn", "input MENU press ESC\n");
  const struct {
    const char* what;
    const char* variable;  // display variable set, or null
    const char* value;
    bool scenario;
    const char* expected;
  } cases[] = {
      {"nothing", nullptr, nullptr, false, "headless"},
      {"X display", "DISPLAY", ":0", false, "desktop"},
      {"Wayland display", "WAYLAND_DISPLAY", "wayland-0", false, "desktop"},
      {"platform named", "QT_QPA_PLATFORM", "xcb", false, "desktop"},
      {"platform with options", "QT_QPA_PLATFORM", "wayland:nodecorations", false, "desktop"},
      {"offscreen is seen by nobody", "QT_QPA_PLATFORM", "offscreen", false, "headless"},
      {"minimal neither", "QT_QPA_PLATFORM", "minimal:enable_fonts", false, "headless"},
      {"empty is unset", "DISPLAY", "", false, "headless"},
      {"scenario wins over a display", "DISPLAY", ":0", true, "scripted"},
      {"scenario alone", nullptr, nullptr, true, "scripted"},
  };
  for (const auto& c : cases) {
    if (c.variable) setenv(c.variable, c.value, 1);
    Module::Environment environment;
    if (c.scenario) environment.scenario_path = (dir_.path() / "s.scn").string();
    auto module = Module::Create(environment, {}, nullptr);
    FrontEnd* front = &module->session().Front();
    const char* kind = dynamic_cast<QtFrontEnd*>(front)         ? "desktop"
                       : dynamic_cast<ScriptedFrontEnd*>(front) ? "scripted"
                       : dynamic_cast<HeadlessFrontEnd*>(front) ? "headless"
                                                                : "other";
    EXPECT_STREQ(kind, c.expected) << c.what;
    if (c.variable) unsetenv(c.variable);
  }
  // A display, but the offscreen platform asked for: still nobody sees it.
  setenv("DISPLAY", ":0", 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  EXPECT_FALSE(DisplayAvailable());
  unsetenv("QT_QPA_PLATFORM");
  EXPECT_TRUE(DisplayAvailable());
  SetDesktopFrontEndMaker(nullptr);
  auto module = Module::Create({}, {}, nullptr);
  EXPECT_NE(dynamic_cast<HeadlessFrontEnd*>(&module->session().Front()), nullptr)
      << "no desktop front end linked: headless";
  SetDesktopFrontEndMaker(&MakeQtFrontEnd);
}

}  // namespace
}  // namespace vz::runtime
