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
// Then the same clients get the letters of each format, one pass each: text,
// RTF, OpenDocument and Word (the shipped samples), with the pass's gathered
// document (lettres.rtf, .odt, .docx) or PDF (text); the figures are letters
// per second for the whole pass, and pages per second for the PDF.
//
//   letters_bench [--clients N] [--letters L] [--seed S] [--keep]
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

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

// The page objects of a PDF, the page tree's own "/Type /Pages" not counted.
int PdfPages(const fs::path& pdf) {
  std::ifstream in(pdf, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  int pages = 0;
  for (size_t at = bytes.find("/Type /Page"); at != std::string::npos;
       at = bytes.find("/Type /Page", at + 1)) {
    if (at + 11 >= bytes.size() || bytes[at + 11] != 's') ++pages;
  }
  return pages;
}

// A text letter with the same keywords as the HTML one.
constexpr const char* kTextTemplate =
    "#0000M #0000A\n#0000C1\n#0000C2\n#0000D #0000E\n\n"
    "N\xE9(e) le #0000I1 (#0000H1 ans), #0000J, #0000L1, r\xE9gime #0000K.\n"
    "Revenus #4000011, emprunts #5400011, imp\xF4ts #51000, valeurs #0400011,\n"
    "liquidit\xE9s #0500011, assurance #0700011, succession #SC00A.\n";

// One pass of letters of `name` over the selection, timed.
void MeasureFormat(const fs::path& data, const std::string& name, int64_t selected) {
  vz::screen::SendCommand("AFFICHE,Nom_Lettre=" + name);
  const auto start = Clock::now();
  const double cpu_start = CpuSeconds();
  vz::outputs::ProduceLetters();
  const double seconds = Seconds(start);
  const double cpu = CpuSeconds() - cpu_start;
  const fs::path folder =
      data / "LETTRES" / (std::string(kQuery) + "-" + name.substr(0, name.find('.')));
  std::error_code ec;
  std::string gathered = "none";
  for (const char* document :
       {"lettres.rtf", "lettres.odt", "lettres.docx", "lettres.fodt", "lettres.pdf"}) {
    if (fs::exists(folder / document, ec)) {
      gathered = std::string(document) + " (" +
                 std::to_string(fs::file_size(folder / document, ec) / 1024) + " kB)";
      break;
    }
  }
  const int pages = fs::exists(folder / "lettres.pdf", ec) ? PdfPages(folder / "lettres.pdf") : 0;
  std::printf(
      "letters_bench: %-16s %lld letters in %.2f s (processor %.2f s): %.0f letters/s, "
      "%.0f per processor second; gathered %s",
      name.c_str(), static_cast<long long>(selected), seconds, cpu,
      static_cast<double>(selected) / seconds, static_cast<double>(selected) / cpu,
      gathered.c_str());
  if (pages > 0) {
    std::printf("; PDF %d pages: %.0f pages/s, %.0f per processor second", pages, pages / seconds,
                pages / cpu);
  }
  std::printf("\n");
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
  const fs::path data(installation.data_directory);
  std::ofstream(data / kTemplate, std::ios::binary) << kTemplateText;
  std::ofstream(data / "BANC.TXT", std::ios::binary) << kTextTemplate;
  const std::vector<std::string> samples = {"INVITATION.RTF", "PATRIMOINE.ODT", "ENTRETIEN.DOCX"};
  for (const std::string& sample : samples) {
    std::error_code ec;
    fs::copy_file(fs::path(VZ_PROJECT_DIR) / "templates" / sample, data / sample,
                  fs::copy_options::overwrite_existing, ec);
  }

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
  const int64_t documents = FilesUnder(fs::path(installation.data_directory) / "LETTRES");
  const int html_pages =
      PdfPages(data / "LETTRES" / (std::string(kQuery) + "-BANC") / "lettres.pdf");
  std::printf(
      "letters_bench: HTML letters' PDF %d pages: %.0f pages/s, %.0f per processor second "
      "(whole pass)\n",
      html_pages, html_pages / seconds, html_pages / cpu);
  for (const std::string& name : {std::string("BANC.TXT"), samples[0], samples[1], samples[2]}) {
    MeasureFormat(data, name, selected);
  }
  const auto close_start = Clock::now();
  vz::screen::SendCommand("Ferme");
  const double close_seconds = Seconds(close_start);

  std::printf("letters_bench: %lld clients generated, %lld selected, template \"%s\"\n",
              static_cast<long long>(generated.stats.clients), static_cast<long long>(selected),
              chosen.c_str());
  std::printf(
      "letters_bench: letters of %lld clients in %.2f s (processor %.2f s): %.0f clients/s; "
      "closing the window %.2f s; %lld files written by the window code under LETTRES "
      "(first pass); "
      "peak memory %ld kB\n",
      static_cast<long long>(selected), seconds, cpu, static_cast<double>(selected) / seconds,
      close_seconds, static_cast<long long>(documents), PeakKilobytes());

  vz::bench::CloseProgramDatabase();
  vz::screen::TerminateModule();
  vz::bench::KeepOrRemove("letters_bench", generated, options.keep, generated.root);
  return selected > 0 ? 0 : 1;
}
