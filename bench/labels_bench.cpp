// Labels benchmark: the address labels of N clients (10,000 by default) on
// 3 x 8 sheets of 70 x 37 mm, drawn into the labels PDF as the result window
// prints them (in memory, then written under a temporary name and renamed),
// in a temporary folder of its own. Reports labels and sheets per second and
// the PDF's size. The addresses are made up: reading them from the files is
// measured by the result list and extraction benchmarks.
//
//   labels_bench [--clients N]
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "project/gui_application.h"
#include "project/label_sheet.h"
#include "project/label_sheet_pdf.h"

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  using vz::bench::Clock;
  using vz::bench::Seconds;
  size_t clients = 10000;
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "--clients") == 0) clients = std::stoul(argv[i + 1]);
  }
  if (!vz::project::EnsureGuiApplication()) {
    std::fprintf(stderr, "labels_bench: no Qt application\n");
    return 1;
  }
  std::vector<vz::project::LabelAddress> addresses(clients);
  for (size_t i = 0; i < clients; ++i) {
    vz::project::LabelAddress& a = addresses[i];
    a.client_code = std::to_string(10000000 + i) + "1";
    a.civility = i % 2 ? "Madame" : "Monsieur";
    a.first_name = "Prenom" + std::to_string(i % 97);
    a.name = "NOM" + std::to_string(i);
    a.lines = {std::to_string(i % 300) + " avenue de la Republique",
               "Batiment " + std::to_string(i % 7), ""};
    a.postcode = std::to_string(75000 + i % 20);
    a.city = "PARIS";
  }
  const auto layout = vz::project::CheckLabelLayout({"0", "0", "0", "0", "37", "70", "3", "8"});
  if (!layout.layout) {
    std::fprintf(stderr, "labels_bench: layout refused\n");
    return 1;
  }
  const fs::path folder =
      fs::temp_directory_path() / ("vz-labels-bench-" + std::to_string(getpid()));
  fs::create_directories(folder);
  const fs::path pdf = folder / "01000099.pdf";
  const auto start = Clock::now();
  const double cpu_start = vz::bench::CpuSeconds();
  const bool written = vz::project::WriteLabelSheets(pdf, *layout.layout, 1, addresses);
  const double seconds = Seconds(start);
  const double cpu = vz::bench::CpuSeconds() - cpu_start;
  const size_t sheets = vz::project::SheetCount(*layout.layout, 1, clients);
  std::printf(
      "labels_bench: %zu labels, %zu sheets in %.2f s (processor %.2f s): %.0f labels/s, "
      "%.1f sheets/s, PDF %.1f MB%s\n",
      clients, sheets, seconds, cpu, clients / seconds, sheets / seconds,
      written ? fs::file_size(pdf) / 1e6 : 0.0, written ? "" : " (NOT WRITTEN)");
  fs::remove_all(folder);
  return written ? 0 : 1;
}
