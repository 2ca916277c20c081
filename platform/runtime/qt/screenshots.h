// Screenshots of the window library for the documentation: every window in a
// typical state (screenshot_samples.h), drawn by the desktop front end's
// dialog with a title bar above it, one PNG file per window named after it in
// lower case ("pareti.png"), and message boxes the adviser meets: a yes/no
// question ("question.png"), the count of a query ("compter.png"), the end of
// a run ("selection_terminee.png"), leaving an edited query ("abandon.png")
// and the end of an export ("export.png"). Pictures of
// image fields come from the library's folder and its "images" folder.
//
// Nothing is thrown: a library that does not load or a file that cannot be
// written is a failure in the result; the files written before it stay.
// REQUIRES: an application object exists (the offscreen platform will do).
#ifndef VZ_PLATFORM_RUNTIME_QT_SCREENSHOTS_H_
#define VZ_PLATFORM_RUNTIME_QT_SCREENSHOTS_H_

#include <filesystem>
#include <string>
#include <vector>

namespace vz::runtime {

struct ScreenshotRun {
  std::vector<std::filesystem::path> written;
  std::vector<std::string> cut_texts;  // "WINDOW: FIELD: needs N px, has M" (UTF-8)
  std::vector<std::string> failures;   // UTF-8; empty when every file was written
};

ScreenshotRun RenderScreenshots(const std::filesystem::path& library,
                                const std::filesystem::path& directory);

}  // namespace vz::runtime

#endif  // VZ_PLATFORM_RUNTIME_QT_SCREENSHOTS_H_
