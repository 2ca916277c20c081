// Result list benchmark: how long the result window takes to list the
// clients of a query that selected the whole client file. Generates a demo
// installation in a temporary folder (never in the repository), selects its
// first S clients, extracts 10 columns for them (the merge file the list
// reads), then measures, once:
//   (1) reading the list back: the selection file, the merge file, the
//       rubric labels, and CLIENT and ADRESSES for every client
//       (LoadResultList, through the program's record operations);
//   (2) the cells as the window shows them (amounts grouped, dates), the
//       rows then moved into the window's table;
//   (3) the desktop table: a dialog of the result window built on Qt's
//       offscreen platform with those rows and shown once.
// It reports each wall time and their sum against the target of one second,
// and the processor time of each phase (a figure other work on a loaded
// machine does not inflate). --keep leaves the generated installation and
// --installation DIR reuses one kept before (selection file and merge file
// written again).
//
//   result_list_bench [--clients N] [--selected S] [--seed X] [--keep]
//                     [--installation DIR]
#include <stdlib.h>

#include <QApplication>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_program.h"
#include "bench/bench_support.h"
#include "platform/runtime/qt/window_dialog.h"
#include "platform/runtime/window_library.h"
#include "src/db/layouts/client.h"
#include "src/db/record_ops.h"
#include "src/db/record_session.h"
#include "src/outputs/extraction_dispatch.h"
#include "src/outputs/result_list.h"
#include "src/screen/bridge.h"

namespace {

namespace fs = std::filesystem;
using Clock = vz::bench::Clock;
using vz::bench::Seconds;

constexpr char kQuery[] = "01000031";
constexpr double kTargetSeconds = 1.0;
const char* const kColumns[] = {"0000A", "0000C", "0000D", "0000E", "0000M",
                                "40000", "40001", "40002", "40003", "40010"};

// The wall time and processor time of one phase.
struct Phase {
  double wall = 0;
  double processor = 0;
  void Start() {
    started_ = Clock::now();
    processor_at_start_ = vz::bench::CpuSeconds();
  }
  void Stop() {
    wall = Seconds(started_);
    processor = vz::bench::CpuSeconds() - processor_at_start_;
  }

 private:
  Clock::time_point started_;
  double processor_at_start_ = 0;
};

int64_t WriteSelection(const std::string& path, int64_t count) {
  std::ofstream out(path, std::ios::binary);
  int64_t written = 0;
  for (vz::db::Hlitpremier("CLIENT", "CODCLI"); !vz::db::Hendehors() && written < count;
       vz::db::Hlitsuivant("CLIENT", "CODCLI")) {
    out << vz::db::CurrentClient().Codcli().substr(0, 9) << "\r\n";
    ++written;
  }
  return written;
}

}  // namespace

int main(int argc, char** argv) {
  static int app_argc = 3;
  static char app_name[] = "result_list_bench";
  static char platform_option[] = "-platform";
  static char platform_name[] = "offscreen";
  static char* app_argv[] = {app_name, platform_option, platform_name, nullptr};
  QApplication application(app_argc, app_argv);

  vz::bench::CommonOptions options;
  options.clients = 100000;
  options.own_option = "--selected";
  options.own_value = 100000;
  options.takes_installation = true;
  if (!vz::bench::ReadCommandLine(argc, argv, &options,
                                  "usage: result_list_bench [--clients N] [--selected S] "
                                  "[--seed X] [--keep] [--installation DIR]")) {
    return 2;
  }
  vz::bench::BenchInstallation generated;
  vz::datatool::Installation installation;
  if (!vz::bench::PrepareBenchRun("result_list_bench", "vz_result_list_bench", false,
                                  "# the extraction asks nothing", &options, &generated,
                                  &installation)) {
    return 1;
  }
  vz::bench::OpenProgramDatabase(installation);
  // A kept installation reused has the query already.
  vz::db::Hlitrecherche("REQUETES", "CODREQ", std::string(kQuery) + "TITRE*******");
  if (vz::db::Hendehors()) {
    vz::bench::AddQueryLine(kQuery, "TITRE*******", "O", "20261208\tListe\t\t\t\t\t\t\t\t");
    for (const char* column : kColumns) {
      vz::bench::AddQueryLine(kQuery, "RUBRIQUE***2", "O", std::string(column) + "\t");
    }
  }
  const fs::path data(installation.data_directory);
  const int64_t codes =
      WriteSelection((data / (std::string(kQuery) + ".EXT")).string(), options.own_value);
  vz::outputs::RunExtractionDispatch(kQuery);

  Phase read;
  read.Start();
  vz::outputs::ResultList list = vz::outputs::LoadResultList(vz::db::ProgramSession(), kQuery);
  read.Stop();
  const size_t listed = list.rows.size();

  // The window code's filling: the values as shown, the rows moved into the
  // window's table.
  const vz::runtime::LibraryLoad library =
      vz::runtime::LoadWindowLibrary(fs::path(VZ_PROJECT_DIR) / "ORVANE.wdl");
  const vz::runtime::Window* layout = library.library ? library.library->Find("RESULTAT") : nullptr;
  if (!layout) {
    std::fprintf(stderr, "result_list_bench: %s\n", library.error.c_str());
    return 1;
  }
  vz::runtime::Window window = *layout;
  vz::runtime::Field* table = window.FindField("CLIENTS");
  Phase cells;
  cells.Start();
  for (size_t c = table->columns.size(); c < list.columns.size(); ++c) {
    table->columns.push_back({"X" + std::to_string(c), list.columns[c].title, 120, false});
  }
  vz::outputs::ToDisplayValues(list);
  table->rows = std::move(list.rows);
  cells.Stop();

  // The dialog as the desktop front end opens an input window: built from
  // the window, bound to it, shown.
  Phase desktop;
  desktop.Start();
  {
    vz::runtime::WindowDialog dialog(window, {});
    dialog.Bind(&window);
    dialog.ShowModel(window);
    dialog.show();
    application.processEvents();
    desktop.Stop();
    dialog.Bind(nullptr);
  }
  const double total = read.wall + cells.wall + desktop.wall;
  std::printf(
      "result_list_bench: %lld clients, %zu columns: read %.3f s, cells %.3f s, desktop table "
      "%.3f s, total %.3f s (target under %.1f s: %s)%s\n",
      static_cast<long long>(codes), list.columns.size(), read.wall, cells.wall, desktop.wall,
      total, kTargetSeconds, total < kTargetSeconds ? "met" : "MISSED",
      list.problem.empty() ? "" : " [the list reports a problem]");
  std::printf(
      "result_list_bench: processor time: read %.3f s, cells %.3f s, desktop table %.3f s, "
      "total %.3f s\n",
      read.processor, cells.processor, desktop.processor,
      read.processor + cells.processor + desktop.processor);
  vz::bench::CloseProgramDatabase();
  vz::screen::TerminateModule();
  vz::bench::KeepOrRemove("result_list_bench", generated, options.keep, generated.folder);
  return listed == static_cast<size_t>(codes) ? 0 : 1;
}
