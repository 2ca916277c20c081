// Typical contents of the windows for the screenshots of the documentation:
// what an adviser would see on an ordinary day (margins of a label sheet, a
// week of appointments, a few queries). Windows without written samples get
// plausible rows in their tables and lists from the column titles, and their
// first choice in option groups. Works on a copy of a library window; texts
// are cp1252 like every value of the model.
#ifndef VZ_PLATFORM_RUNTIME_QT_SCREENSHOT_SAMPLES_H_
#define VZ_PLATFORM_RUNTIME_QT_SCREENSHOT_SAMPLES_H_

#include <string>
#include <string_view>

#include "platform/runtime/window_model.h"

namespace vz::runtime {

void FillTypicalState(Window& window);

// A sample cell for a column title ("Date" -> a date, "Nom" -> a name),
// varied by row (from 0). cp1252.
std::string SampleCell(std::string_view column_title, int row);

}  // namespace vz::runtime

#endif  // VZ_PLATFORM_RUNTIME_QT_SCREENSHOT_SAMPLES_H_
