// Compiled into every program that links the screen runtime's entry points
// when the desktop front end is built: makes the Qt front end the one the
// module chooses when a display is available and no scenario is given.
#include "platform/runtime/module.h"
#include "platform/runtime/qt/qt_front_end.h"

namespace {

const bool desktop_front_end_registered = [] {
  vz::runtime::SetDesktopFrontEndMaker(&vz::runtime::MakeQtFrontEnd);
  return true;
}();

}  // namespace
