// vzscreens: renders every window of the window library, in a typical state,
// to a PNG file each, without a display (the offscreen platform).
//
//   vzscreens [LIBRARY [DIRECTORY]]
//
// LIBRARY defaults to project/ORVANE.wdl and DIRECTORY to docs/screenshots
// (both from the current directory). Files are named after the windows in
// lower case ("pareti.png"), plus "question.png" for a yes/no box. Texts that
// do not fit their place are listed on the error output. Exit code
// 0 when every file was written, 1 otherwise, with the reason on the error
// output.
#include <QApplication>
#include <QFont>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QStyleFactory>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/runtime/qt/qt_text.h"
#include "platform/runtime/qt/screenshot_samples.h"
#include "platform/runtime/qt/window_dialog.h"
#include "platform/runtime/text_encoding.h"
#include "platform/runtime/window_library.h"

namespace {

using vz::runtime::ToQString;

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

bool Save(const QPixmap& picture, const std::filesystem::path& file) {
  if (!picture.save(QString::fromStdString(file.string()), "PNG")) {
    std::fprintf(stderr, "vzscreens: cannot write %s\n", file.string().c_str());
    return false;
  }
  std::printf("%s\n", file.string().c_str());
  return true;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool RenderQuestion(const std::filesystem::path& directory) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("Question"),
                  QStringLiteral("Désirez vous quitter le logiciel ?"));
  QPushButton* yes = box.addButton(QStringLiteral("Oui"), QMessageBox::YesRole);
  box.addButton(QStringLiteral("Non"), QMessageBox::NoRole);
  box.setDefaultButton(yes);
  box.show();
  QApplication::processEvents();
  const bool saved = Save(WithTitleBar(box.grab(), box.windowTitle()), directory / "question.png");
  box.hide();
  return saved;
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path library_path = argc > 1 ? argv[1] : "project/ORVANE.wdl";
  const std::filesystem::path directory = argc > 2 ? argv[2] : "docs/screenshots";
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));

  const auto load = vz::runtime::LoadWindowLibrary(library_path);
  if (!load.library) {
    std::fprintf(stderr, "vzscreens: %s\n", vz::runtime::Cp1252ToUtf8(load.error).c_str());
    return 1;
  }
  std::error_code error;
  std::filesystem::create_directories(directory, error);
  if (error) {
    std::fprintf(stderr, "vzscreens: cannot create %s\n", directory.string().c_str());
    return 1;
  }
  const std::vector<std::filesystem::path> pictures = {library_path.parent_path()};
  bool all_saved = true;
  for (const auto& model : load.library->windows) {
    vz::runtime::Window window = model;
    vz::runtime::FillTypicalState(window);
    vz::runtime::WindowDialog dialog(window, pictures);
    dialog.ShowModel(window);
    dialog.show();
    QApplication::processEvents();
    for (const std::string& clipped : dialog.ClippedTexts()) {
      std::fprintf(stderr, "vzscreens: %s: text cut: %s\n", window.name.c_str(),
                   vz::runtime::Cp1252ToUtf8(clipped).c_str());
    }
    const QPixmap picture = WithTitleBar(dialog.grab(), ToQString(window.title));
    all_saved &= Save(picture, directory / (Lower(window.name) + ".png"));
    dialog.hide();
  }
  all_saved &= RenderQuestion(directory);
  return all_saved ? 0 : 1;
}
