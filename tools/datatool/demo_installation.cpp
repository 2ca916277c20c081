#include "tools/datatool/demo_installation.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/os/cp1252.h"
#include "src/db/analysis_writer.h"
#include "src/db/catalogue.h"
#include "tools/datatool/engine_session.h"
#include "tools/datatool/installation.h"

namespace vz::datatool {

namespace fs = std::filesystem;

namespace {

// Hands records to the engine, committing every few thousand households.
class EngineSink : public RecordSink {
 public:
  explicit EngineSink(EngineSession& session) : session_(session) {}
  bool Add(vz::db::FileId file, const uint8_t* record) override {
    const size_t size = vz::db::Describe(file).described_size;
    std::memcpy(session_.Buffer(file), record, size);
    return session_.Add(file);
  }
  bool Checkpoint() override {
    const bool committed = session_.EndBatch();
    session_.BeginBatch();
    return committed;
  }

 private:
  EngineSession& session_;
};

bool MakeFolders(const Installation& i, std::string* error) {
  std::error_code ec;
  if (fs::exists(i.root, ec) && (!fs::is_directory(i.root, ec) || !fs::is_empty(i.root, ec))) {
    *error = i.root + " already exists and is not an empty folder: nothing written";
    return false;
  }
  for (const std::string& dir :
       {i.root, i.root + "/FIC01", i.root + "/HSF", i.program_directory, i.data_directory}) {
    fs::create_directories(dir, ec);
    if (ec) {
      *error = "cannot create " + dir + ": " + ec.message();
      return false;
    }
  }
  return true;
}

bool CopyTemplates(const std::string& folder, const std::string& data_directory,
                   std::string* error) {
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    *error = "the letter templates folder " + folder + " cannot be read";
    return false;
  }
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    const fs::path target = fs::path(data_directory) / it->path().filename();
    if (!fs::copy_file(it->path(), target, fs::copy_options::skip_existing, ec) && ec) break;
  }
  if (ec) {
    *error = "cannot copy the letter templates of " + folder + ": " + ec.message();
    return false;
  }
  return true;
}

}  // namespace

std::string SampleLetter() {
  const char* lines[] = {
      "#0000M #0000A",
      "#0000C1",
      "#0000C2",
      "#0000D #0000E",
      "",
      "Objet : votre bilan patrimonial",
      "",
      "#0000M,",
      "",
      "Vous avez #0000H1 ans et vos revenus du foyer s'élèvent à #4000012 euros par an.",
      "Vos liquidités atteignent #0500012 euros et votre épargne en assurance vie #0700012 euros.",
      "Votre taux de remplacement à la retraite est estimé à #2000B11 %.",
      "",
      "Nous vous proposons un rendez-vous pour faire le point sur votre situation.",
      "",
      "Veuillez agréer, #0000M, l'expression de nos salutations distinguées.",
  };
  std::string text;
  for (const char* line : lines) text += vz::os::Cp1252(line) + "\r\n";
  return text;
}

bool CreateEmptyInstallation(const std::string& root, int last_query, std::string* error) {
  const Installation installation = InstallationPaths(root);
  if (!MakeFolders(installation, error)) return false;
  if (!WriteParameterFile(installation, last_query, error)) return false;
  if (!vz::db::WriteAnalysisFile(installation.analysis_file)) {
    *error = "cannot write the analysis " + installation.analysis_file;
    return false;
  }
  return true;
}

bool CreateDemoInstallation(const std::string& root, const DemoInstallationOptions& options,
                            const ProgressFn& progress, GenerateStats* stats, std::string* error) {
  const Installation installation = InstallationPaths(root);
  if (options.data.clients < 1 || options.data.clients > kMaxDemoClients) {
    *error = "the number of clients must be from 1 to " + std::to_string(kMaxDemoClients);
    return false;
  }
  const int last_query = options.data.queries ? LastDemoQueryNumber() : 0;
  if (!CreateEmptyInstallation(root, last_query, error)) return false;
  std::unique_ptr<EngineSession> session = EngineSession::Open(installation, error);
  if (!session) return false;
  EngineSink sink(*session);
  session->BeginBatch();
  const bool generated = GenerateDemoData(sink, options.data, stats, progress, error);
  if (!session->EndBatch() && generated) {
    *error = "the record engine could not commit the last records";
    return false;
  }
  if (!generated) return false;
  if (options.letters) {
    const std::string path = installation.data_directory + "/" + kLetterTemplate;
    std::ofstream out(path, std::ios::binary);
    out << SampleLetter();
    if (!out) {
      *error = "cannot write " + path;
      return false;
    }
  }
  if (!options.templates_folder.empty() &&
      !CopyTemplates(options.templates_folder, installation.data_directory, error)) {
    return false;
  }
  return true;
}

}  // namespace vz::datatool
