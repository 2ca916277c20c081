// vzscreens: renders every window of the window library, in a typical state,
// to a PNG file each, without a display (the offscreen platform).
//
//   vzscreens [LIBRARY [DIRECTORY]]
//
// LIBRARY defaults to project/ORVANE.wdl and DIRECTORY to docs/screenshots
// (both from the current directory). Prints each file written; texts that do
// not fit their place are listed on the error output. Exit code 0 when every
// file was written, 1 otherwise, with the reason on the error output.
#include <QApplication>
#include <QFont>
#include <QStyleFactory>
#include <cstdio>

#include "platform/runtime/qt/screenshots.h"

int main(int argc, char** argv) {
  const std::filesystem::path library = argc > 1 ? argv[1] : "project/ORVANE.wdl";
  const std::filesystem::path directory = argc > 2 ? argv[2] : "docs/screenshots";
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));

  const auto run = vz::runtime::RenderScreenshots(library, directory);
  for (const auto& file : run.written) std::printf("%s\n", file.string().c_str());
  for (const auto& cut : run.cut_texts)
    std::fprintf(stderr, "vzscreens: text cut: %s\n", cut.c_str());
  for (const auto& failure : run.failures) std::fprintf(stderr, "vzscreens: %s\n", failure.c_str());
  return run.failures.empty() ? 0 : 1;
}
