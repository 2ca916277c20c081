// Result list benchmark: how long the result window takes to list the
// clients of a query that selected the whole client file. Generates a demo
// installation in a temporary folder (never in the repository), selects its
// first S clients, extracts 10 columns for them (the merge file the list
// reads), then measures, once:
//   (1) reading the list back: the selection file, the merge file, the
//       rubric labels, and CLIENT and ADRESSES for every client
//       (LoadResultList, through the program's record operations);
//   (2) the cells as the window shows them (amounts grouped, dates);
//   (3) the desktop table: a dialog of the result window built on Qt's
//       offscreen platform with those rows and shown once.
// It reports each time and their sum against the target of one second.
//
//   result_list_bench [--clients N] [--selected S] [--seed X] [--keep]
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
  if (!vz::bench::ReadCommandLine(argc, argv, &options,
                                  "usage: result_list_bench [--clients N] [--selected S] "
                                  "[--seed X] [--keep]")) {
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
  vz::bench::AddQueryLine(kQuery, "TITRE*******", "O", "20261208\tListe\t\t\t\t\t\t\t\t");
  for (const char* column : kColumns) {
    vz::bench::AddQueryLine(kQuery, "RUBRIQUE***2", "O", std::string(column) + "\t");
  }
  const fs::path data(installation.data_directory);
  const int64_t codes =
      WriteSelection((data / (std::string(kQuery) + ".EXT")).string(), options.own_value);
  vz::outputs::RunExtractionDispatch(kQuery);

  auto start = Clock::now();
  const vz::outputs::ResultList list = vz::outputs::LoadResultList(vz::db::ProgramSession(), kQuery);
  const double read = Seconds(start);

  start = Clock::now();
  std::vector<std::vector<std::string>> shown;
  shown.reserve(list.rows.size());
  for (const auto& stored : list.rows) {
    std::vector<std::string> row;
    row.reserve(stored.size());
    for (size_t c = 0; c < stored.size(); ++c) {
      row.push_back(vz::outputs::DisplayValue(list.columns[c].kind, stored[c]));
    }
    shown.push_back(std::move(row));
  }
  const double cells = Seconds(start);

  double desktop = 0;
  const vz::runtime::LibraryLoad library =
      vz::runtime::LoadWindowLibrary(fs::path(VZ_PROJECT_DIR) / "ORVANE.wdl");
  const vz::runtime::Window* layout = library.library ? library.library->Find("RESULTAT") : nullptr;
  if (layout) {
    vz::runtime::Window window = *layout;
    vz::runtime::Field* table = window.FindField("CLIENTS");
    for (size_t c = table->columns.size(); c < list.columns.size(); ++c) {
      table->columns.push_back({"X" + std::to_string(c), list.columns[c].title, 120, false});
    }
    table->rows = std::move(shown);
    start = Clock::now();
    vz::runtime::WindowDialog dialog(window, {});
    dialog.Bind(&window);
    dialog.show();
    application.processEvents();
    desktop = Seconds(start);
  }
  const double total = read + cells + desktop;
  std::printf(
      "result_list_bench: %lld clients, %zu columns: read %.3f s, cells %.3f s, desktop table "
      "%.3f s, total %.3f s (target under %.1f s: %s)%s\n",
      static_cast<long long>(codes), list.columns.size(), read, cells, desktop, total,
      kTargetSeconds, total < kTargetSeconds ? "met" : "MISSED",
      list.problem.empty() ? "" : " [the list reports a problem]");
  vz::bench::CloseProgramDatabase();
  vz::screen::TerminateModule();
  vz::bench::KeepOrRemove("result_list_bench", generated, options.keep, generated.folder);
  return list.rows.size() == static_cast<size_t>(codes) ? 0 : 1;
}
