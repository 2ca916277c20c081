// vzdata: the data tool. Export and import of records as JSON Lines
// (docs/data-import.md), demo installations (docs/demo-installation.md), and
// the copy of an installation's files to its database server and back
// (docs/shared-database.md); the data files rewritten with their records in
// the compact form or back (docs/storage.md).
// Exit status: 0 done, 1 refused input or failed write, 2 wrong command line
// or installation not found.
#include <charconv>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "src/db/catalogue.h"
#include "tools/datatool/demo_installation.h"
#include "tools/datatool/engine_session.h"
#include "tools/datatool/installation.h"
#include "tools/datatool/jsonl_transfer.h"
#include "tools/datatool/record_form_migration.h"
#include "tools/datatool/record_shape.h"
#include "tools/datatool/store_transfer.h"

namespace {

using vz::datatool::EngineSession;
using vz::datatool::Installation;

constexpr const char* kUsage =
    "usage:\n"
    "  vzdata export <installation> <FILE> [out.jsonl]\n"
    "  vzdata import [--replace] <installation> <FILE> <in.jsonl>\n"
    "  vzdata generate <installation> --clients N --seed S [--queries] [--letters]\n"
    "                   [--templates FOLDER]\n"
    "  vzdata copy <installation> to-server|from-server\n"
    "  vzdata compact <installation>\n"
    "  vzdata expand <installation>\n";

int Usage(const std::string& why) {
  if (!why.empty()) std::cerr << "vzdata: " << why << "\n";
  std::cerr << kUsage;
  return 2;
}

std::optional<uint64_t> Number(const std::string& text) {
  uint64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

struct Opened {
  std::unique_ptr<EngineSession> session;
  vz::db::FileId file{};
};

// Opens the installation and finds the file; prints why not.
std::optional<Opened> Open(const std::string& root, const std::string& file_name) {
  const vz::datatool::FileShape* shape = vz::datatool::FindShape(file_name);
  if (shape == nullptr) {
    std::cerr << "vzdata: no file called \"" << file_name << "\" in the catalogue\n";
    return std::nullopt;
  }
  Installation installation;
  std::string error;
  if (!vz::datatool::LocateInstallation(root, &installation, &error)) {
    std::cerr << "vzdata: " << error << "\n";
    return std::nullopt;
  }
  Opened opened;
  opened.session = EngineSession::Open(installation, &error);
  if (!opened.session) {
    std::cerr << "vzdata: " << error << "\n";
    return std::nullopt;
  }
  opened.file = *vz::db::FindFileByName(shape->name);
  return opened;
}

int Export(const std::vector<std::string>& args) {
  if (args.size() < 2 || args.size() > 3) return Usage("export takes 2 or 3 arguments");
  std::optional<Opened> opened = Open(args[0], args[1]);
  if (!opened) return 2;
  std::ofstream file;
  if (args.size() == 3) {
    file.open(args[2], std::ios::binary | std::ios::trunc);
    if (!file) {
      std::cerr << "vzdata: cannot write " << args[2] << "\n";
      return 1;
    }
  }
  std::ostream& out = args.size() == 3 ? static_cast<std::ostream&>(file) : std::cout;
  int64_t count = 0;
  std::string error;
  const bool ok = vz::datatool::ExportRecords(*opened->session, opened->file, out, &count, &error);
  std::cerr << opened->session->Name(opened->file) << ": " << count << " records exported\n";
  if (!ok) std::cerr << "vzdata: " << error << "\n";
  return ok ? 0 : 1;
}

int Import(std::vector<std::string> args) {
  const size_t given = args.size();
  std::erase(args, std::string("--replace"));
  const bool replace = args.size() != given;
  if (args.size() != 3) return Usage("import takes 3 arguments");
  std::optional<Opened> opened = Open(args[0], args[1]);
  if (!opened) return 2;
  vz::datatool::ImportReport report;
  std::string error;
  const bool ok = vz::datatool::ImportRecords(*opened->session, opened->file, args[2], replace,
                                              &report, &error);
  for (const std::string& problem : report.problems) std::cerr << problem << "\n";
  if (report.rejected > static_cast<int64_t>(vz::datatool::kMaxListedProblems)) {
    std::cerr << "... and " << report.rejected - vz::datatool::kMaxListedProblems
              << " more rejected lines\n";
  }
  std::cout << opened->session->Name(opened->file) << ": " << report.records
            << " records imported, " << report.rejected << " rejected, " << report.texts_cut
            << " texts cut, " << report.characters_replaced << " characters replaced\n";
  if (!ok) std::cerr << "vzdata: " << error << "\n";
  return ok ? 0 : 1;
}

int Generate(const std::vector<std::string>& args) {
  if (args.empty()) return Usage("generate needs an installation folder");
  vz::datatool::DemoInstallationOptions options;
  bool have_clients = false, have_seed = false;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--queries") {
      options.data.queries = true;
    } else if (a == "--letters") {
      options.letters = true;
    } else if (a == "--templates") {
      if (i + 1 >= args.size()) return Usage("--templates needs a folder");
      options.templates_folder = args[++i];
    } else if ((a == "--clients" || a == "--seed") && i + 1 < args.size()) {
      std::optional<uint64_t> n = Number(args[++i]);
      if (!n) return Usage(a + " needs a whole number, not \"" + args[i] + "\"");
      if (a == "--seed") {
        options.data.seed = *n;
        have_seed = true;
      } else {
        if (*n > static_cast<uint64_t>(vz::datatool::kMaxDemoClients)) {
          return Usage("--clients must be at most " +
                       std::to_string(vz::datatool::kMaxDemoClients));
        }
        options.data.clients = static_cast<int64_t>(*n);
        have_clients = true;
      }
    } else {
      return Usage("unknown option \"" + a + "\"");
    }
  }
  if (!have_clients || !have_seed) return Usage("generate needs --clients and --seed");
  vz::datatool::GenerateStats stats;
  std::string error;
  auto progress = [](int64_t done) {
    std::cerr << "vzdata: " << done << " clients\r" << std::flush;
  };
  if (!vz::datatool::CreateDemoInstallation(args[0], options, progress, &stats, &error)) {
    std::cerr << "\nvzdata: " << error << "\n";
    return 1;
  }
  std::cerr << "\n";
  std::cout << "installation " << vz::datatool::InstallationPaths(args[0]).root << ": "
            << stats.households << " households, " << stats.clients << " clients, "
            << stats.total_records() << " records\n";
  for (const vz::db::FileDescription& d : vz::db::Catalogue()) {
    const int64_t n = stats.records[static_cast<size_t>(d.id)];
    if (n > 0) std::cout << "  " << d.name << ": " << n << "\n";
  }
  return 0;
}

// Every file between the data directory and the server of CONNEXIONBASE.
int Copy(const std::vector<std::string>& args) {
  if (args.size() != 2 || (args[1] != "to-server" && args[1] != "from-server")) {
    return Usage("copy takes an installation and to-server or from-server");
  }
  Installation installation;
  std::string error;
  if (!vz::datatool::LocateInstallation(args[0], &installation, &error)) {
    std::cerr << "vzdata: " << error << "\n";
    return 2;
  }
  const auto direction = args[1] == "to-server" ? vz::datatool::CopyDirection::kToServer
                                                : vz::datatool::CopyDirection::kFromServer;
  if (!vz::datatool::CopyInstallation(installation, direction, std::cout, &error)) {
    std::cerr << "vzdata: " << error << "\n";
    return 1;
  }
  return 0;
}

// Every data file rewritten in the compact form, or back in the plain one.
int ChangeForm(const std::vector<std::string>& args, vz::engine::RecordForm form) {
  if (args.size() != 1) return Usage("compact and expand take an installation");
  Installation installation;
  std::string error;
  if (!vz::datatool::LocateInstallation(args[0], &installation, &error)) {
    std::cerr << "vzdata: " << error << "\n";
    return 2;
  }
  if (!vz::datatool::MigrateRecordForm(installation, form, std::cout, std::cerr, &error)) {
    std::cerr << "vzdata: " << error << "\n";
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty() || args[0] == "--help" || args[0] == "-h") return Usage("");
  const std::string command = args[0];
  args.erase(args.begin());
  if (command == "export") return Export(args);
  if (command == "import") return Import(args);
  if (command == "generate") return Generate(args);
  if (command == "copy") return Copy(args);
  if (command == "compact") return ChangeForm(args, vz::engine::RecordForm::kCompact);
  if (command == "expand") return ChangeForm(args, vz::engine::RecordForm::kPlain);
  return Usage("unknown command \"" + command + "\"");
}
