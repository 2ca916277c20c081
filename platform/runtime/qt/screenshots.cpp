#include "platform/runtime/qt/screenshots.h"

#include <QApplication>
#include <QFont>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

#include "platform/os/ascii_case.h"
#include "platform/os/cp1252.h"
#include "platform/runtime/qt/qt_text.h"
#include "platform/runtime/qt/screenshot_samples.h"
#include "platform/runtime/qt/window_dialog.h"
#include "platform/runtime/text_encoding.h"
#include "platform/runtime/window_library.h"

namespace vz::runtime {
namespace {

constexpr int kTitleBarHeight = 30;

// The grab holds the inside of the window only: a title bar is drawn above it
// so that the picture shows the window's French caption.
QPixmap WithTitleBar(const QPixmap& inside, const QString& title) {
  QPixmap framed(inside.width() + 2, inside.height() + kTitleBarHeight + 1);
  framed.fill(QColor(0x4a, 0x5a, 0x70));
  QPainter painter(&framed);
  painter.drawPixmap(1, kTitleBarHeight, inside);
  QFont font = QApplication::font();
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(QRect(12, 0, framed.width() - 24, kTitleBarHeight),
                   Qt::AlignLeft | Qt::AlignVCenter, title);
  return framed;
}

void Save(const QPixmap& picture, const std::filesystem::path& file, ScreenshotRun& run) {
  if (picture.save(QString::fromStdString(file.string()), "PNG")) {
    run.written.push_back(file);
  } else {
    run.failures.push_back("cannot write " + file.string());
  }
}

// A message box as the desktop front end shows it: a question with "Oui"
// and "Non", an information with "OK" (and "Ouvrir le dossier" after an
// export).
struct SampleBox {
  const char* file;
  bool question;
  bool folder;
  const char* utf8_text;
};

constexpr SampleBox kBoxes[] = {
    {"question.png", true, false, "Désirez vous quitter le logiciel ?"},
    {"compter.png", false, false, "1 284 clients correspondent à ces critères."},
    {"selection_terminee.png", false, false,
     "Sélection terminée : 1 284 clients retenus sur 60 000."},
    {"abandon.png", true, false, "Abandonner les modifications de cette requête ?"},
    {"export.png", false, true,
     "Liste exportée (1 284 clients retenus) : EXPORTS/01000001.csv et "
     "EXPORTS/01000001.xlsx."},
};

void RenderBox(const SampleBox& sample, const std::filesystem::path& directory,
               ScreenshotRun& run) {
  const QString text = QString::fromUtf8(sample.utf8_text);
  QMessageBox box(sample.question ? QMessageBox::Question : QMessageBox::Information,
                  sample.question ? QStringLiteral("Question") : QStringLiteral("Information"),
                  text);
  QPushButton* first = nullptr;
  if (sample.question) {
    first = box.addButton(QStringLiteral("Oui"), QMessageBox::YesRole);
    box.addButton(QStringLiteral("Non"), QMessageBox::NoRole);
  } else {
    if (sample.folder) box.addButton(QStringLiteral("Ouvrir le dossier"), QMessageBox::ActionRole);
    first = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
  }
  box.setDefaultButton(first);
  box.show();
  QApplication::processEvents();
  Save(WithTitleBar(box.grab(), box.windowTitle()), directory / sample.file, run);
  box.hide();
}

}  // namespace

ScreenshotRun RenderScreenshots(const std::filesystem::path& library_path,
                                const std::filesystem::path& directory) {
  ScreenshotRun run;
  const auto load = LoadWindowLibrary(library_path);
  if (!load.library) {
    run.failures.push_back(os::Utf8(load.error));
    return run;
  }
  std::error_code error;
  std::filesystem::create_directories(directory, error);
  if (error) {
    run.failures.push_back("cannot create " + directory.string());
    return run;
  }
  const auto here = library_path.parent_path();
  const std::vector<std::filesystem::path> pictures = {here, here / "images"};
  for (const auto& model : load.library->windows) {
    Window window = model;
    FillTypicalState(window);
    WindowDialog dialog(window, pictures);
    dialog.resize(window.rect.w, window.rect.h);  // whole, whatever the screen
    dialog.ShowModel(window);
    dialog.show();
    QApplication::processEvents();
    for (const std::string& clipped : dialog.ClippedTexts()) {
      run.cut_texts.push_back(window.name + ": " + os::Utf8(clipped));
    }
    Save(WithTitleBar(dialog.grab(), ToQString(window.title)),
         directory / (os::AsciiLower(window.name) + ".png"), run);
    dialog.hide();
  }
  for (const SampleBox& sample : kBoxes) RenderBox(sample, directory, run);
  return run;
}

}  // namespace vz::runtime
