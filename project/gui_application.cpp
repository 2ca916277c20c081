#include "project/gui_application.h"

#include <QCoreApplication>
#include <QGuiApplication>

namespace vz::project {

bool EnsureGuiApplication() {
  if (QCoreApplication* existing = QCoreApplication::instance())
    return qobject_cast<QGuiApplication*>(existing) != nullptr;
  // The application keeps argc and argv for its whole life.
  static int argc = 3;
  static char program[] = "vuzuviza";
  static char platform_option[] = "-platform";
  static char platform_name[] = "offscreen";
  static char* argv[] = {program, platform_option, platform_name, nullptr};
  static QGuiApplication* application = new QGuiApplication(argc, argv);
  return application != nullptr;
}

}  // namespace vz::project
