// Letters benchmark: generates a demo installation in a temporary folder
// (never in the repository), puts its first clients into SELECTES, opens the
// result window RESULTAT through the screen bridge and the screen runtime
// (scripted front end, ORVANE project) and produces the letters of a template
// with identity and rubric keywords: per client the values are computed,
// INTERFA is rewritten and the window's merge button is clicked. Whatever
// window code the project registers for BOUTON1.CLIC runs inside each click;
// the benchmark counts the letters it wrote under <data>/LETTRES and reports
// clients per second, the closing of the window (which finishes the letters'
// PDF) and peak memory.
//
//   letters_bench [--clients N] [--letters L] [--seed S] [--keep]
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "bench/bench_program.h"
#include "bench/bench_support.h"
#include "src/config/parameter_file.h"
#include "src/config/program_settings.h"
#include "src/db/context.h"
#include "src/db/layouts/client.h"
#include "src/db/layouts/selectes.h"
#include "src/db/record_buffers.h"
#include "src/db/record_ops.h"
#include "src/outputs/letters.h"
#include "src/screen/bridge.h"
#include "src/selection/address_loader.h"
#include "src/selection/rubric_tables.h"
#include "tools/datatool/installation.h"

namespace {

namespace fs = std::filesystem;
using vz::bench::Clock;
using vz::bench::CpuSeconds;
using vz::bench::PeakKilobytes;
using vz::bench::Seconds;

constexpr const char* kQuery = "01000099";
constexpr const char* kTemplate = "BANC.HTM";

// Identity and rubric keywords, as an adviser's letter names them.
constexpr const char* kTemplateText =
    "<html><body>\n"
    "<p>#0000M #0000A<br>#0000C1<br>#0000C2<br>#0000D #0000E</p>\n"
    "<p>N\xE9(e) le #0000I1 (#0000H1 ans), #0000J, #0000L1, r\xE9gime #0000K.</p>\n"
    "<p>Revenus #4000011, emprunts #5400011, imp\xF4ts #51000, valeurs #0400011,\n"
    "liquidit\xE9s #0500011, assurance #0700011, taux de remplacement #2000B,\n"
    "capital d\xE9\x63\xE8s #3300A1, succession #SC00A.</p>\n"
    "</body></html>\n";

// Writes one SELECTES record per CLIENT record, the first `letters` of the
// client file, with the postcode of the client's address.
int64_t FillSelection(int64_t letters) {
  vz::db::Hcreation("SELECTES");
  auto tables = std::make_unique<vz::selection::WorkTables>();
  int64_t written = 0;
  std::string code;
  for (vz::db::Hlitpremier("CLIENT", "CODCLI"); !vz::db::Hendehors() && written < letters;
       vz::db::Hlitsuivant("CLIENT", "CODCLI")) {
    code = vz::db::CurrentClient().Codcli().substr(0, 9);
    vz::selection::LoadAddress(code, tables->address);
    std::memset(vz::db::RecordBuffer(vz::db::FileId::SELECTES), 0,
                vz::db::RecordBufferSize(vz::db::FileId::SELECTES));
    vz::db::SelectedRecord selected = vz::db::CurrentSelected();
    selected.SetClientCode(code);
    selected.SetName(vz::db::CurrentClient().Name());
    selected.SetPostcode(tables->address.postcode.view());
    selected.SetSequence(static_cast<int16_t>(written + 2));
    selected.SetMarker("E");
    vz::db::Hajoute("SELECTES");
    ++written;
  }
  return written;
}

int64_t FilesUnder(const fs::path& folder) {
  int64_t files = 0;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(folder, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_regular_file()) ++files;
  }
  return files;
}

}  // namespace

int main(int argc, char** argv) {
  vz::bench::CommonOptions options = vz::bench::OptionsWith(2000, "--letters", 1000);
  if (!vz::bench::ReadCommandLine(
          argc, argv, &options,
          "usage: letters_bench [--clients N] [--letters L] [--seed S] [--keep]")) {
    return 2;
  }
  const int64_t letters = options.own_value;
  vz::bench::BenchInstallation generated;
  if (!vz::bench::ObtainInstallation("letters_bench", "vz_letters_bench", false, &options,
                                     &generated)) {
    return 1;
  }
  vz::datatool::Installation installation;
  if (!vz::bench::LocateBenchInstallation("letters_bench", generated, &installation)) return 1;
  if (!vz::bench::OpenScreenProject("letters_bench", installation, generated.folder,
                                    "# the letters ask nothing")) {
    return 1;
  }

  // The program's database context, shared with the runtime's as at start-up,
  // so that the window code reads the same SELECTES and INTERFA.
  vz::db::OpenDatabaseContext();
  vz::db::ApplyEngineSettings(installation.data_directory, vz::db::kDefaultSecurityLevel);
  vz::config::SetDataDirectory(installation.data_directory);
  vz::config::SetListSeparator('\t');

  vz::db::Hsubstnom("SELECTES", kQuery);
  const int64_t selected = FillSelection(letters);
  std::ofstream(fs::path(installation.data_directory) / kTemplate, std::ios::binary)
      << kTemplateText;

  vz::screen::SendCommand("Ouvre,RESULTAT");
  vz::screen::SendCommand(std::string("AFFICHE,REQUETE=") + kQuery);
  vz::screen::SendCommand(std::string("AFFICHE,Nom_Lettre=") + kTemplate);
  vz::screen::SendCommand("ECRAN,RECUPERE,Nom_Lettre");
  const std::string chosen = vz::screen::ReturnedText();

  const auto start = Clock::now();
  const double cpu_start = CpuSeconds();
  vz::outputs::ProduceLetters();
  const double seconds = Seconds(start);
  const double cpu = CpuSeconds() - cpu_start;
  const auto close_start = Clock::now();
  vz::screen::SendCommand("Ferme");
  const double close_seconds = Seconds(close_start);

  const int64_t documents = FilesUnder(fs::path(installation.data_directory) / "LETTRES");
  std::printf("letters_bench: %lld clients generated, %lld selected, template \"%s\"\n",
              static_cast<long long>(generated.stats.clients), static_cast<long long>(selected),
              chosen.c_str());
  std::printf(
      "letters_bench: letters of %lld clients in %.2f s (processor %.2f s): %.0f clients/s; "
      "closing the window %.2f s; %lld files written by the window code under LETTRES; "
      "peak memory %ld kB\n",
      static_cast<long long>(selected), seconds, cpu, static_cast<double>(selected) / seconds,
      close_seconds, static_cast<long long>(documents), PeakKilobytes());

  vz::bench::CloseProgramDatabase();
  vz::screen::TerminateModule();
  vz::bench::KeepOrRemove("letters_bench", generated, options.keep, generated.root);
  return selected > 0 ? 0 : 1;
}
