#include "platform/runtime/qt/window_dialog.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QHeaderView>
#include <QImage>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>

#include "platform/runtime/field_values.h"
#include "platform/runtime/qt/qt_test_support.h"
#include "platform/runtime/qt/qt_text.h"
#include "platform/runtime/runtime_test_files.h"
#include "platform/runtime/window_library.h"

namespace vz::runtime {
namespace {

class WindowDialogTest : public ::testing::Test {
 protected:
  WindowDialogTest() : window_(*AllKindsLibrary().Find("FICHE")) { TestApplication(); }

  template <typename W>
  W* Widget(std::string_view field) {
    auto* widget = qobject_cast<W*>(dialog_.FieldWidget(field));
    EXPECT_NE(widget, nullptr) << field;
    return widget;
  }

  Window window_;
  WindowDialog dialog_{window_, {}};
};

TEST_F(WindowDialogTest, FieldsSitWhereTheLibraryPlacesThem) {
  EXPECT_EQ(dialog_.windowTitle(), QString::fromUtf8("Fiche & client"));
  EXPECT_EQ(dialog_.size(), QSize(640, 480));
  const struct {
    const char* field;
    QRect where;
  } cases[] = {
      {"NOM", QRect(170, 50, 250, 24)},  // the side label takes lw=150
      {"ACTIF", QRect(440, 50, 180, 24)},  {"BT_OK", QRect(360, 420, 120, 32)},
      {"L_TITRE", QRect(20, 10, 600, 30)}, {"FAMILLE", QRect(100, 240, 200, 90)},
  };
  for (const auto& c : cases) {
    QWidget* widget = dialog_.FieldWidget(c.field);
    ASSERT_NE(widget, nullptr) << c.field;
    EXPECT_EQ(widget->geometry(), c.where) << c.field;
  }
  EXPECT_EQ(dialog_.FieldWidget("INCONNU"), nullptr);
}

TEST_F(WindowDialogTest, LabelsKeepTheirDoubledAmpersandAndAccents) {
  bool found = false;
  for (QLabel* label : dialog_.findChildren<QLabel*>()) {
    if (label->buddy() == dialog_.FieldWidget("NOM")) {
      found = true;
      EXPECT_EQ(label->text(), QString::fromUtf8("Nom && prénom"));  // shows one "&"
    }
  }
  EXPECT_TRUE(found);
  EXPECT_EQ(Widget<QPushButton>("BT_OFF")->text(), QString::fromUtf8("Éteint"));
  EXPECT_EQ(Widget<QCheckBox>("ACTIF")->text(), QString::fromUtf8("Client actif"));
}

TEST_F(WindowDialogTest, TabOrderFollowsTheLibrary) {
  // VILLE has tab=1, NOM tab=2, the others follow in the order written.
  const std::vector<std::string> expected = {"VILLE",   "NOM",    "FIGE",    "ACTIF", "SITU",
                                             "FAMILLE", "LIGNES", "BT_CALC", "BT_OK"};
  QWidget* widget = dialog_.FieldWidget(expected.front());
  for (size_t i = 1; i < expected.size(); ++i) {
    QWidget* next = widget->nextInFocusChain();
    // Radio buttons of the option group and inner widgets come in between.
    while (next != dialog_.FieldWidget(expected[i]) && next != dialog_.FieldWidget(expected[0])) {
      next = next->nextInFocusChain();
    }
    EXPECT_EQ(next, dialog_.FieldWidget(expected[i])) << expected[i];
    widget = next;
  }
}

TEST_F(WindowDialogTest, StatesShowAsDisabledAndHidden) {
  dialog_.show();
  EXPECT_FALSE(dialog_.FieldWidget("CACHE")->isVisible());
  auto* fixed = Widget<QLineEdit>("FIGE");
  EXPECT_TRUE(fixed->isReadOnly());
  EXPECT_EQ(fixed->focusPolicy(), Qt::NoFocus);
  TypeText(fixed, "x");
  EXPECT_EQ(fixed->text(), "lu");
  EXPECT_FALSE(dialog_.FieldWidget("BT_OFF")->isEnabled());
  EXPECT_TRUE(dialog_.FieldWidget("NOM")->isEnabled());
  window_.FindField("CACHE")->state = FieldState::kEnabled;
  window_.FindField("NOM")->state = FieldState::kInvisible;
  window_.FindField("FIGE")->state = FieldState::kEnabled;
  dialog_.ShowModel(window_);
  EXPECT_FALSE(fixed->isReadOnly());
  EXPECT_TRUE(dialog_.FieldWidget("CACHE")->isVisible());
  EXPECT_FALSE(dialog_.FieldWidget("NOM")->isVisible());
}

TEST_F(WindowDialogTest, ModelValuesAppearInTheWidgets) {
  ASSERT_EQ(WriteFieldValue(window_, "NOM", "Lef\xE8vre"), "");
  ASSERT_EQ(WriteFieldValue(window_, "ACTIF", "1"), "");
  ASSERT_EQ(WriteFieldValue(window_, "SITU", "2"), "");
  ASSERT_EQ(WriteFieldValue(window_, "FAMILLE", "Artisans"), "");
  Field& lines = *window_.FindField("LIGNES");
  ASSERT_EQ(AddTableRow(lines, "Revenus\t1000\t5000"), "");
  ASSERT_EQ(AddTableRow(lines, "Imp\xF4ts\t\t"), "");
  ASSERT_EQ(SelectItem(lines, 2), "");
  dialog_.ShowModel(window_);

  EXPECT_EQ(Widget<QLineEdit>("NOM")->text(), QString::fromUtf8("Lefèvre"));
  EXPECT_TRUE(Widget<QCheckBox>("ACTIF")->isChecked());
  EXPECT_EQ(Widget<QLineEdit>("FIGE")->text(), "lu");
  auto* situation = Widget<QRadioButton>("SITU");
  EXPECT_EQ(situation->group()->checkedId(), 2);
  auto* list = Widget<QTreeWidget>("FAMILLE");
  EXPECT_EQ(list->topLevelItemCount(), 3);
  EXPECT_EQ(list->columnCount(), 2);
  ASSERT_EQ(list->selectedItems().size(), 1);
  EXPECT_EQ(list->selectedItems()[0]->text(0), "Artisans");
  auto* table = Widget<QTableView>("LIGNES");
  QAbstractItemModel* rows = table->model();
  EXPECT_EQ(rows->rowCount(), 2);
  EXPECT_EQ(rows->index(1, 0).data().toString(), QString::fromUtf8("Impôts"));
  EXPECT_EQ(table->currentIndex().row(), 1);
  EXPECT_EQ(rows->headerData(1, Qt::Horizontal).toString(), "Minimum");
  EXPECT_FALSE(rows->flags(rows->index(0, 0)) & Qt::ItemIsEditable);
  EXPECT_TRUE(rows->flags(rows->index(0, 1)) & Qt::ItemIsEditable);

  // Cleared again: nothing checked, nothing selected.
  ASSERT_EQ(WriteFieldValue(window_, "SITU", ""), "");
  ASSERT_EQ(WriteFieldValue(window_, "ACTIF", "0"), "");
  window_.FindField("FAMILLE")->selected = 0;
  dialog_.ShowModel(window_);
  EXPECT_EQ(situation->group()->checkedId(), -1);
  EXPECT_FALSE(Widget<QCheckBox>("ACTIF")->isChecked());
  EXPECT_TRUE(list->selectedItems().isEmpty());
}

TEST_F(WindowDialogTest, EditsReachTheBoundModelAtOnce) {
  ASSERT_EQ(AddTableRow(*window_.FindField("LIGNES"), "Revenus\t0\t999999999"), "");
  dialog_.ShowModel(window_);
  dialog_.Bind(&window_);
  dialog_.show();

  TypeText(Widget<QLineEdit>("VILLE"), QString::fromUtf8("Nîmes"));
  EXPECT_EQ(ReadFieldValue(window_, "VILLE").value, "N\xEEmes");
  Widget<QCheckBox>("ACTIF")->click();
  EXPECT_EQ(ReadFieldValue(window_, "ACTIF").value, "1");
  auto buttons = Widget<QRadioButton>("SITU")->group()->buttons();
  buttons[2]->click();
  EXPECT_EQ(ReadFieldValue(window_, "SITU").value, "3");
  auto* list = Widget<QTreeWidget>("FAMILLE");
  list->topLevelItem(1)->setSelected(true);
  EXPECT_EQ(window_.FindField("FAMILLE")->selected, 2);
  EXPECT_EQ(ReadFieldValue(window_, "FAMILLE").value, "Employ\xE9s\t2");
  auto* table = Widget<QTableView>("LIGNES");
  table->selectRow(0);
  EXPECT_EQ(window_.FindField("LIGNES")->selected, 1);
  table->model()->setData(table->model()->index(0, 1), "1500");
  EXPECT_EQ(ReadFieldValue(window_, "VALDEB").value, "1500");
  // A column the user may not type into is never written back.
  EXPECT_FALSE(table->model()->setData(table->model()->index(0, 0), "Autre"));
  EXPECT_EQ(ReadFieldValue(window_, "LIBELLE").value, "Revenus");

  dialog_.Bind(nullptr);
  TypeText(Widget<QLineEdit>("VILLE"), "x");
  EXPECT_EQ(ReadFieldValue(window_, "VILLE").value, "N\xEEmes");
}

// A table shows the bound model's rows where they are (a list of 100,000
// clients is not copied), and a copy of the rows of a model not bound.
TEST_F(WindowDialogTest, ATableReadsTheBoundModelsRowsAndCopiesOthers) {
  Field& lines = *window_.FindField("LIGNES");
  lines.rows = {{"Revenus", "1", "2"}, {"Imp\xF4ts", "3", "4"}};
  dialog_.Bind(&window_);
  dialog_.ShowModel(window_);
  QAbstractItemModel* shown = Widget<QTableView>("LIGNES")->model();
  ASSERT_EQ(shown->rowCount(), 2);
  EXPECT_EQ(shown->index(1, 0).data().toString(), QString::fromUtf8("Impôts"));
  lines.rows[1][0] = "Foncier";  // read where it is, even before the model is shown again
  EXPECT_EQ(shown->index(1, 0).data().toString(), "Foncier");
  lines.rows.push_back({"Emprunts", "", ""});
  dialog_.ShowModel(window_);
  ASSERT_EQ(shown->rowCount(), 3);
  EXPECT_EQ(shown->index(2, 0).data().toString(), "Emprunts");

  // Unbound, the dialog keeps nothing of the model.
  dialog_.Bind(nullptr);
  EXPECT_EQ(shown->rowCount(), 0);
  Window other = window_;
  dialog_.ShowModel(other);
  ASSERT_EQ(shown->rowCount(), 3);
  other.FindField("LIGNES")->rows[0][0] = "Chang\xE9";
  EXPECT_EQ(shown->index(0, 0).data().toString(), "Revenus") << "a copy";
}

TEST_F(WindowDialogTest, HostileTypingIsBoundedAndKeptInTheCodePage) {
  dialog_.Bind(&window_);
  dialog_.show();
  // NOM takes 10 characters at most.
  TypeText(Widget<QLineEdit>("NOM"), "ABCDEFGHIJKLMNOP");
  EXPECT_EQ(ReadFieldValue(window_, "NOM").value, "ABCDEFGHIJ");
  Widget<QLineEdit>("VILLE")->clear();
  TypeText(Widget<QLineEdit>("VILLE"), QString::fromUtf8("Kyōto 東京"));
  EXPECT_EQ(ReadFieldValue(window_, "VILLE").value, "Ky?to ??");
}

TEST_F(WindowDialogTest, ButtonsAndKeysEndWithTheirCodes) {
  const struct {
    const char* what;
    std::function<void(WindowDialog&)> act;
    std::string code;
  } cases[] = {
      {"button with a code",
       [](WindowDialog& d) { qobject_cast<QPushButton*>(d.FieldWidget("BT_NON"))->click(); },
       "ABA"},
      {"Escape", [](WindowDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }, "ESC"},
      {"Enter in a text field presses the default button",
       [](WindowDialog& d) { QTest::keyClick(d.FieldWidget("VILLE"), Qt::Key_Return); }, "TF0"},
      {"closing the window is Escape", [](WindowDialog& d) { d.close(); }, "ESC"},
  };
  for (const auto& c : cases) {
    WindowDialog dialog(window_, {});
    dialog.Bind(&window_);
    dialog.show();
    QTimer::singleShot(0, &dialog, [&] { c.act(dialog); });
    dialog.exec();
    EXPECT_EQ(dialog.return_code(), c.code) << c.what;
  }
}

TEST_F(WindowDialogTest, EventButtonRunsCodeAndTheInputGoesOn) {
  int runs = 0;
  dialog_.Bind(&window_);
  dialog_.set_event_handler([&](Window& model, const Field& button) {
    ++runs;
    EXPECT_EQ(button.name, "BT_CALC");
    WriteFieldValue(model, "NOM", "Calcul\xE9");
  });
  dialog_.show();
  Widget<QPushButton>("BT_CALC")->click();
  EXPECT_EQ(runs, 1);
  EXPECT_TRUE(dialog_.isVisible());
  EXPECT_EQ(dialog_.return_code(), "");
  EXPECT_EQ(Widget<QLineEdit>("NOM")->text(), QString::fromUtf8("Calculé"));
}

TEST_F(WindowDialogTest, ModelOfAnotherWindowIsIgnored) {
  Window other = window_;
  other.fields.pop_back();
  WriteFieldValue(other, "NOM", "Autre");
  dialog_.ShowModel(other);
  EXPECT_EQ(Widget<QLineEdit>("NOM")->text(), "");
}

TEST_F(WindowDialogTest, TextsThatDoNotFitAreReported) {
  dialog_.show();
  EXPECT_TRUE(dialog_.ClippedTexts().empty());
  Window narrow = window_;
  narrow.FindField("BT_OK")->label = std::string(60, 'W');
  narrow.FindField("NOM")->label = "Nom de naissance du premier titulaire du contrat";
  narrow.FindField("CACHE")->label = std::string(60, 'W');  // invisible: not shown, not cut
  narrow.FindField("LIGNES")->columns[1].title = "Minimum de la rubrique";
  narrow.FindField("LIGNES")->columns[2].title = "Maximum de la rubrique";
  WindowDialog dialog(narrow, {});
  dialog.show();
  const auto clipped = dialog.ClippedTexts();
  ASSERT_EQ(clipped.size(), 4u);
  EXPECT_EQ(clipped[0].rfind("NOM: needs ", 0), 0u) << clipped[0];
  EXPECT_EQ(clipped[1].rfind("LIGNES.VALDEB: needs ", 0), 0u) << clipped[1];
  EXPECT_EQ(clipped[2].rfind("LIGNES.VALFIN: needs ", 0), 0u) << clipped[2];
  EXPECT_EQ(clipped[3].rfind("BT_OK: needs ", 0), 0u) << clipped[3];
}

// Window code may give a table more columns once the dialog is built (the
// result window's extracted rubrics): their titles are checked too.
TEST_F(WindowDialogTest, ColumnsAddedAfterTheDialogIsBuiltAreCheckedToo) {
  dialog_.Bind(&window_);
  window_.FindField("LIGNES")->columns.push_back(
      {"X40000", "Une rubrique au titre bien trop long pour sa colonne", 40, false});
  dialog_.ShowModel(window_);
  dialog_.show();
  const auto clipped = dialog_.ClippedTexts();
  EXPECT_TRUE(std::any_of(clipped.begin(), clipped.end(), [](const std::string& text) {
    return text.rfind("LIGNES.X40000: needs ", 0) == 0;
  })) << ::testing::PrintToString(clipped);
}

// A caption several lines high is the window's heading, large and bold,
// unless its style is text: then it reads as the other texts, from its top.
TEST(WindowDialogCaptionTest, ATallCaptionIsAHeadingUnlessItsStyleIsText) {
  TestApplication();
  const auto load = ParseWindowLibrary(R"wdl(library T
window W title="Captions" w=400 h=300 default=OK escape=ESC
  caption TITRE  x=10 y=10  w=380 h=30 label="Titre de la fenêtre"
  caption RESUME x=10 y=50  w=380 h=66 label="Nom de A à M ; revenus d'au moins 40 000" style=text
  caption NOTE   x=10 y=120 w=380 h=22 label="Une ligne"
  button  OK     x=10 y=260 w=80  h=30 label="OK" code=TF0
end
)wdl",
                                       "captions.wdl");
  ASSERT_TRUE(load.library) << load.error;
  WindowDialog dialog(*load.library->Find("W"), {});
  const auto* heading = qobject_cast<QLabel*>(dialog.FieldWidget("TITRE"));
  const auto* summary = qobject_cast<QLabel*>(dialog.FieldWidget("RESUME"));
  const auto* note = qobject_cast<QLabel*>(dialog.FieldWidget("NOTE"));
  ASSERT_TRUE(heading && summary && note);
  EXPECT_TRUE(heading->font().bold());
  EXPECT_GT(heading->font().pointSizeF(), note->font().pointSizeF());
  EXPECT_FALSE(summary->font().bold());
  EXPECT_EQ(summary->font().pointSizeF(), note->font().pointSizeF());
  EXPECT_TRUE(summary->wordWrap());
  EXPECT_TRUE(summary->alignment() & Qt::AlignTop);
  EXPECT_FALSE(note->font().bold());
}

// Every window of the project's library opens as a dialog with a widget for
// each field, inside the window, with the library's texts.
TEST(ProjectWindowsTest, EveryWindowOfTheLibraryOpens) {
  TestApplication();
  const auto load = LoadWindowLibrary(std::filesystem::path(VZ_PROJECT_DIR) / "ORVANE.wdl");
  ASSERT_TRUE(load.library) << load.error;
  for (const Window& window : load.library->windows) {
    WindowDialog dialog(window, {});
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), ToQString(window.title)) << window.name;
    const QRect inside(0, 0, window.rect.w, window.rect.h);
    for (const Field& field : window.fields) {
      QWidget* widget = dialog.FieldWidget(field.name);
      ASSERT_NE(widget, nullptr) << window.name << "." << field.name;
      EXPECT_TRUE(inside.contains(widget->geometry())) << window.name << "." << field.name;
      if (field.kind == FieldKind::kButton) {
        EXPECT_EQ(qobject_cast<QPushButton*>(widget)->text(), ToQString(field.label))
            << window.name << "." << field.name;
      }
    }
    QTimer::singleShot(0, &dialog, [&dialog] { QTest::keyClick(&dialog, Qt::Key_Escape); });
    dialog.exec();
    EXPECT_EQ(dialog.return_code(), window.escape_code) << window.name;
  }
}

// The library's "&" gives a button its access key: Alt and the letter press
// it; the label shows the letter alone.
TEST_F(WindowDialogTest, AnAccessKeyPressesItsButton) {
  EXPECT_EQ(Widget<QPushButton>("BT_OK")->text(), QString::fromUtf8("&Valider"));
  EXPECT_EQ(QKeySequence::mnemonic(Widget<QPushButton>("BT_OK")->text()),
            QKeySequence(Qt::ALT | Qt::Key_V));
  QTimer::singleShot(0, &dialog_, [this] {
    // As the keyboard sends it, through the window, so that shortcuts apply.
    QTest::keyClick(dialog_.windowHandle(), Qt::Key_V, Qt::AltModifier);
  });
  QTimer::singleShot(2000, &dialog_, [this] { dialog_.done(0); });  // never waits for good
  dialog_.exec();
  EXPECT_EQ(dialog_.return_code(), "TF0");
}

// A shown window comes to the front, before the windows of other programs
// (the tools program is started from the main program's tools menu). The
// offscreen platform activates every window it shows: this checks the end
// state, not a desktop's refusal to give focus to a new program's window.
TEST(WindowFrontTest, AShownWindowIsTheActiveOne) {
  TestApplication();
  QWidget other;
  other.show();
  other.activateWindow();
  QApplication::processEvents();
  const Window window = *AllKindsLibrary().Find("FICHE");
  WindowDialog dialog(window, {});
  dialog.show();
  QApplication::processEvents();
  EXPECT_TRUE(dialog.isActiveWindow());
  EXPECT_FALSE(other.isActiveWindow());
}

// Every window of the project opens on a 1366 x 768 screen at 125 % (1093 x
// 614 device-independent pixels, a task bar of 40 px) within the free area,
// title bar included; it can be made smaller or larger, and every field stays
// reachable by scrolling.
TEST(ProjectWindowsTest, EveryWindowFitsASmallScreenAndResizes) {
  TestApplication();
  const QRect available(0, 0, 1366 * 4 / 5, (768 - 40) * 4 / 5);
  for (const char* library : {"ORVANE.wdl", "../tools/veriroru/VERIRORU.wdl"}) {
    const auto load = LoadWindowLibrary(std::filesystem::path(VZ_PROJECT_DIR) / library);
    ASSERT_TRUE(load.library) << load.error;
    for (const Window& window : load.library->windows) {
      SCOPED_TRACE(window.name);
      const QRect placed = PlaceOnScreen(window.rect, available);
      EXPECT_LE(placed.width(), window.rect.w);
      EXPECT_LE(placed.height(), window.rect.h);
      // With a frame of 4 px on each side and a title bar of 30 px.
      EXPECT_TRUE(available.contains(placed.adjusted(-4, -34, 4, 4)))
          << placed.x() << "," << placed.y() << " " << placed.width() << "x" << placed.height();
      WindowDialog dialog(window, {});
      dialog.setGeometry(placed);
      dialog.show();
      QApplication::processEvents();
      EXPECT_EQ(dialog.size(), placed.size());
      for (const QSize size : {QSize(window.rect.w + 100, window.rect.h + 50),
                               QSize(std::min(window.rect.w, 320), std::min(window.rect.h, 200))}) {
        dialog.resize(size);
        QApplication::processEvents();
        EXPECT_EQ(dialog.size(), size);
      }
      // Made small, the window scrolls to every field.
      for (const Field& field : window.fields) {
        QWidget* widget = dialog.FieldWidget(field.name);
        ASSERT_NE(widget, nullptr) << field.name;
        auto* scroll = dialog.findChild<QScrollArea*>();
        ASSERT_NE(scroll, nullptr);
        scroll->ensureWidgetVisible(widget, 0, 0);
        const QPoint at = widget->mapTo(scroll->viewport(), QPoint(0, 0));
        EXPECT_TRUE(scroll->viewport()->rect().intersects(QRect(at, widget->size()))) << field.name;
      }
    }
  }
  // A window larger than the free area is cut to it and scrolls; one within
  // it keeps its size and place.
  EXPECT_EQ(PlaceOnScreen({20, 20, 1200, 700}, available), QRect(4, 34, 1084, 544));
  EXPECT_EQ(PlaceOnScreen({40, 30, 640, 480}, available), QRect(40, 34, 640, 480));
  EXPECT_EQ(PlaceOnScreen({900, 30, 640, 480}, available), QRect(448, 34, 640, 480));
  EXPECT_EQ(PlaceOnScreen({40, 30, 640, 480}, QRect()), QRect(40, 30, 640, 480));
}

TEST(PictureTest, ImageFieldsShowThePictureOrItsName) {
  TestApplication();
  TempDir dir;
  QImage picture(40, 20, QImage::Format_RGB32);
  picture.fill(Qt::darkGreen);
  std::filesystem::create_directories(dir.path() / "images");
  ASSERT_TRUE(
      picture.save(QString::fromStdString((dir.path() / "images" / "LOGO.BMP").string()), "BMP"));
  WriteFile(dir.path() / "BROKEN.BMP", "not a picture");
  Window window = *AllKindsLibrary().Find("FICHE");
  const struct {
    const char* value;
    bool picture_shown;
    QString text;
  } cases[] = {
      {"LOGO.BMP", true, ""},
      {"BROKEN.BMP", false, "BROKEN.BMP"},
      {"NONE.BMP", false, "NONE.BMP"},
      {"../images/LOGO.BMP", false, "../images/LOGO.BMP"},
  };
  for (const auto& c : cases) {
    window.FindField("LOGO")->value = c.value;
    WindowDialog dialog(window, {dir.path(), dir.path() / "images"});
    auto* label = qobject_cast<QLabel*>(dialog.FieldWidget("LOGO"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(!label->pixmap().isNull(), c.picture_shown) << c.value;
    if (!c.picture_shown) {
      EXPECT_EQ(label->text(), c.text) << c.value;
    }
  }
}

TEST(FindPictureTest, FindsOnlyPlainFileNamesInTheDirectories) {
  TempDir dir;
  WriteFile(dir.path() / "LOGO.BMP", "x");
  WriteFile(dir.path() / "horse1a.bmp", "x");
  WriteFile(dir.path().parent_path() / "outside.bmp", "x");
  const std::vector<std::filesystem::path> dirs = {dir.path() / "missing", dir.path()};
  const struct {
    const char* name;
    bool found;
  } cases[] = {
      {"LOGO.BMP", true},  {"logo.bmp", true},        {"HORSE1A.BMP", true},  {"", false},
      {"NONE.BMP", false}, {"../outside.bmp", false}, {"/etc/passwd", false}, {"..", false},
      {".", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(!FindPicture(c.name, dirs).empty(), c.found) << c.name;
  }
  std::filesystem::remove(dir.path().parent_path() / "outside.bmp");
}

TEST(WindowDialogSortTest, AClickOnAColumnTitleSortsASortableTableOnly) {
  TestApplication();
  Window window;
  window.name = "LISTE";
  window.title = "Liste";
  window.rect = {0, 0, 600, 400};
  window.escape_code = "ESC";
  Field table;
  table.name = "CLIENTS";
  table.kind = FieldKind::kTable;
  table.label = "Clients";
  table.rect = {10, 10, 580, 300};
  table.sortable = true;
  table.columns = {{"NOM", "Nom", 200, false}, {"MONTANT", "Montant", 200, false}};
  table.rows = {{"Martin", "1 200"}, {"Dupont", "45 000"}, {"\xC9tienne", "300"}};
  table.selected = 1;
  window.fields.push_back(table);
  table.name = "FIXE";
  table.sortable = false;
  window.fields.push_back(table);
  WindowDialog dialog(window, {});
  dialog.Bind(&window);
  dialog.show();
  auto click_title = [&dialog](const char* field, int column) {
    QHeaderView* header = static_cast<QTableView*>(dialog.FieldWidget(field))->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
  };
  auto names = [&window](const char* field) {
    std::vector<std::string> shown;
    for (const auto& row : window.FindField(field)->rows) shown.push_back(row[0]);
    return shown;
  };
  click_title("CLIENTS", 1);
  const auto first = names("CLIENTS");
  click_title("CLIENTS", 1);
  const auto second = names("CLIENTS");
  // One click sorts by amount one way, the next the other way.
  EXPECT_NE(first, second);
  std::vector<std::string> reversed(second.rbegin(), second.rend());
  EXPECT_EQ(first, reversed);
  EXPECT_TRUE((first == std::vector<std::string>{"\xC9tienne", "Martin", "Dupont"}) ||
              (second == std::vector<std::string>{"\xC9tienne", "Martin", "Dupont"}));
  // The selected row moved with Martin; the view shows the model's order.
  const Field& sorted = *window.FindField("CLIENTS");
  EXPECT_EQ(sorted.rows[static_cast<size_t>(sorted.selected - 1)][0], "Martin");
  auto* view = static_cast<QTableView*>(dialog.FieldWidget("CLIENTS"));
  EXPECT_EQ(view->model()->index(0, 0).data().toString(), ToQString(sorted.rows[0][0]));
  // A table not declared sortable keeps its order.
  click_title("FIXE", 0);
  EXPECT_EQ(names("FIXE"), (std::vector<std::string>{"Martin", "Dupont", "\xC9tienne"}));
}

}  // namespace
}  // namespace vz::runtime
