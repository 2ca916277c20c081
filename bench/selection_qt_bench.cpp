// Selection benchmark through the desktop front end: the run of
// selection_bench's case (a), one income criterion (saved query 01000001 of
// the demo installation), through the program's own path (record operations,
// screen bridge, screen runtime, ORVANE project), once with the Qt front end
// and once with the scripted front end, in turns in the same process so that
// both meet the same load of the machine. Nobody is needed: the run asks for
// no input, and the Qt front end draws the progress window on Qt's offscreen
// platform as it would on a desktop (at most 25 times a second).
//
//   selection_qt_bench [--clients N] [--rounds R] [--seed S] [--keep]
//
// For each front end it reports the median and best wall time, processor
// time and clients per second over R rounds, how often the progress window
// was drawn, and the ratio of the Qt median to the scripted one (target: at
// most 1.2).
#include <stdlib.h>

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "bench/bench_program.h"
#include "bench/bench_support.h"
#include "src/screen/bridge.h"
#include "src/selection/selection_run.h"
#include "tools/datatool/installation.h"

namespace {

namespace fs = std::filesystem;
using vz::bench::Clock;
using vz::bench::CpuSeconds;
using vz::bench::PeakKilobytes;
using vz::bench::Seconds;

constexpr char kIncomeQuery[] = "01000001";
constexpr double kMostTimesScripted = 1.2;

// Counts the paint events of dialogs: proof that the desktop front end drew
// the progress window, and how often.
class PaintCounter final : public QObject {
 public:
  int paints = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->isWindow()) {
      ++paints;
    }
    return QObject::eventFilter(watched, event);
  }
};

struct Timing {
  double seconds = 0;
  double cpu = 0;
  int paints = 0;
};

struct FrontEndRuns {
  const char* name;
  std::vector<Timing> runs;

  Timing Median() const {
    std::vector<Timing> sorted = runs;
    std::sort(sorted.begin(), sorted.end(),
              [](const Timing& a, const Timing& b) { return a.seconds < b.seconds; });
    return sorted[sorted.size() / 2];
  }
  Timing Best() const {
    return *std::min_element(runs.begin(), runs.end(), [](const Timing& a, const Timing& b) {
      return a.seconds < b.seconds;
    });
  }
};

}  // namespace

int main(int argc, char** argv) {
  vz::bench::CommonOptions options = vz::bench::OptionsWith(100000, "--rounds", 3);
  if (!vz::bench::ReadCommandLine(
          argc, argv, &options,
          "usage: selection_qt_bench [--clients N] [--rounds R] [--seed S] [--keep]")) {
    return 2;
  }
  const int rounds = static_cast<int>(std::max<int64_t>(1, options.own_value));

  // The application on the offscreen platform, made before any screen
  // module: the desktop front end then uses it instead of opening a display.
  static int app_argc = 3;
  static char app_name[] = "selection_qt_bench";
  static char platform_option[] = "-platform";
  static char platform_name[] = "offscreen";
  static char* app_argv[] = {app_name, platform_option, platform_name, nullptr};
  QApplication application(app_argc, app_argv);
  PaintCounter paint_counter;
  application.installEventFilter(&paint_counter);

  vz::bench::BenchInstallation generated;
  if (!vz::bench::ObtainInstallation("selection_qt_bench", "vz_selection_qt_bench", true, &options,
                                     &generated)) {
    return 1;
  }
  std::printf("selection_qt_bench: %lld clients generated in %.1f s\n",
              static_cast<long long>(generated.stats.clients), generated.seconds);
  vz::datatool::Installation installation;
  if (!vz::bench::LocateBenchInstallation("selection_qt_bench", generated, &installation)) return 1;
  // The pictures the progress window draws, then the screen project beside
  // the program and an empty scenario for the scripted rounds.
  const fs::path program = installation.program_directory;
  for (const char* name : {"HORSE1A.BMP", "HORSE2A.BMP", "HORSE3A.BMP"}) {
    fs::create_directories(program / "images");
    fs::copy_file(fs::path(VZ_PROJECT_DIR) / "images" / name, program / "images" / name,
                  fs::copy_options::overwrite_existing);
  }
  const std::string scenario = vz::bench::PlaceScreenProject(installation, generated.folder,
                                                             "# the selection run asks nothing");

  // The program's database context over the installation.
  vz::bench::OpenProgramDatabase(installation);

  FrontEndRuns scripted{"scripted", {}};
  FrontEndRuns desktop{"Qt (offscreen)", {}};
  bool ok = true;
  const fs::path selection_file =
      fs::path(installation.data_directory) / (std::string(kIncomeQuery) + ".EXT");
  int64_t first_selected = -1;
  for (int round = 0; round < 2 * rounds && ok; ++round) {
    const bool qt = round % 2 == 1;
    if (qt) {
      // The screen module takes the desktop front end when it sees a display
      // and no scenario; the application made above draws offscreen.
      unsetenv("VZ_SCENARIO");
      unsetenv("QT_QPA_PLATFORM");
      setenv("DISPLAY", "offscreen", 1);
    } else {
      setenv("VZ_SCENARIO", scenario.c_str(), 1);
    }
    if (!vz::bench::StartScreenModule()) {
      std::cerr << "selection_qt_bench: the screen project does not open\n";
      return 1;
    }
    paint_counter.paints = 0;
    const auto start = Clock::now();
    const double cpu_start = CpuSeconds();
    const bool done = vz::selection::RunSelection(kIncomeQuery);
    Timing timing{Seconds(start), CpuSeconds() - cpu_start, paint_counter.paints};
    vz::screen::TerminateModule();
    (qt ? desktop : scripted).runs.push_back(timing);
    const int64_t selected = vz::bench::LinesOf(selection_file);
    std::printf(
        "selection_qt_bench: round %d, %s: %lld selected, %.2f s (processor %.2f s), %d "
        "drawings\n",
        round / 2 + 1, qt ? desktop.name : scripted.name, static_cast<long long>(selected),
        timing.seconds, timing.cpu, timing.paints);
    if (!done) {
      std::fprintf(stderr, "selection_qt_bench: the run was aborted\n");
      ok = false;
    }
    if (first_selected < 0) first_selected = selected;
    if (selected != first_selected) {
      std::fprintf(stderr, "selection_qt_bench: the front ends selected different clients\n");
      ok = false;
    }
  }
  if (!ok) return 1;
  const double evaluated = static_cast<double>(generated.stats.clients);
  for (const FrontEndRuns* runs : {&scripted, &desktop}) {
    const Timing median = runs->Median();
    const Timing best = runs->Best();
    std::printf(
        "selection_qt_bench: %s: median %.2f s (processor %.2f s, %.0f clients/s), best %.2f s "
        "(%.0f clients/s), progress window drawn %d times\n",
        runs->name, median.seconds, median.cpu, evaluated / median.seconds, best.seconds,
        evaluated / best.seconds, median.paints);
  }
  const double ratio = desktop.Median().seconds / scripted.Median().seconds;
  const double cpu_ratio = desktop.Median().cpu / scripted.Median().cpu;
  std::printf(
      "selection_qt_bench: Qt / scripted: %.2f (processor %.2f), target at most %.1f: %s; peak "
      "memory %ld kB\n",
      ratio, cpu_ratio, kMostTimesScripted, ratio <= kMostTimesScripted ? "met" : "MISSED",
      PeakKilobytes());
  if (desktop.Median().paints == 0) {
    std::fprintf(stderr, "selection_qt_bench: the desktop front end drew nothing\n");
    ok = false;
  }

  vz::bench::CloseProgramDatabase();
  vz::bench::KeepOrRemove("selection_qt_bench", generated, options.keep, generated.root);
  return ok ? 0 : 1;
}
