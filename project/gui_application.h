// Makes sure a Qt GUI application object exists before project code paints
// (PDF output through QPdfWriter, QPainter, QTextDocument).
//
// When the process has no Qt application yet (scripted front end, tests,
// unattended runs) one QGuiApplication is created on the "offscreen"
// platform and kept until the process ends; an application created by the
// desktop front end is used as it is. Fails (returns false) only when the
// existing application is a bare QCoreApplication, which cannot paint text.
// REQUIRES: called from the thread that runs the screen runtime.
#ifndef VZ_PROJECT_GUI_APPLICATION_H_
#define VZ_PROJECT_GUI_APPLICATION_H_

namespace vz::project {

bool EnsureGuiApplication();

}  // namespace vz::project

#endif  // VZ_PROJECT_GUI_APPLICATION_H_
