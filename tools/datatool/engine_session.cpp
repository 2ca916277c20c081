#include "tools/datatool/engine_session.h"

#include "platform/engine/le_api.h"
#include "src/db/analysis_writer.h"
#include "src/db/catalogue.h"
#include "tools/datatool/store_transfer.h"

namespace vz::datatool {

using vz::db::FileId;

std::unique_ptr<EngineSession> EngineSession::Open(const Installation& installation,
                                                   std::string* error) {
  // The installation's own store: its files, or the firm's server.
  if (!UseInstallationStore(installation, error)) return nullptr;
  std::unique_ptr<EngineSession> session(new EngineSession());
  vz::engine::AnalysisError analysis_error;
  std::optional<vz::engine::Analysis> analysis =
      vz::engine::LoadAnalysis(installation.analysis_file, &analysis_error);
  if (!analysis) {
    *error = installation.analysis_file + ": line " + std::to_string(analysis_error.line) + ": " +
             analysis_error.message;
    return nullptr;
  }
  session->analysis_ = std::move(*analysis);
  const auto catalogue = vz::db::Catalogue();
  session->ctx_ = LE_CreateContexteHF(static_cast<int32_t>(catalogue.size()));
  if (session->ctx_ <= 0) {
    *error = "the record engine refused a new context";
    return nullptr;
  }
  session->buffers_.resize(catalogue.size());
  for (const vz::db::FileDescription& d : catalogue) session->names_.emplace_back(d.name);
  for (const vz::db::FileDescription& d : catalogue) {
    std::vector<uint8_t>& buffer = session->buffers_[static_cast<size_t>(d.id)];
    buffer.assign(d.described_size, 0);
    const std::string name(d.name);
    const std::string types(d.types);
    if (LE_HDecritEnregistrement(session->ctx_, name.c_str(), d.record_size, d.field_sizes.data(),
                                 d.field_count(), types.c_str(), buffer.data()) == 0) {
      *error = "the record engine refused the description of " + name;
      return nullptr;
    }
  }
  if (LE_Houvreanalyse(session->ctx_, installation.analysis_file.c_str(), "", "", "", "") == 0) {
    *error = "the record engine cannot open the analysis " + installation.analysis_file;
    return nullptr;
  }
  const std::string placeholder(vz::db::kPlaceholderDirectory);
  if (LE_Hsubstrep(session->ctx_, placeholder.c_str(), installation.data_directory.c_str()) == 0) {
    *error = "the record engine refused the data directory " + installation.data_directory;
    return nullptr;
  }
  return session;
}

EngineSession::~EngineSession() {
  if (ctx_ <= 0) return;
  if (in_batch_) LE_EndBatch(ctx_);
  LE_Hferme(ctx_, "");
  LE_HftermineCTX(ctx_);
}

const char* EngineSession::Name(FileId file) const {
  return names_[static_cast<size_t>(file)].c_str();
}

std::string EngineSession::FirstKey(FileId file) const {
  const vz::engine::FileEntry* entry = analysis_.FindFile(vz::db::Describe(file).name);
  if (entry == nullptr || entry->keys.empty()) return "";
  return entry->keys.front().name;
}

bool EngineSession::ReadFirst(FileId file, const std::string& key) {
  return LE_Hlitpremier(ctx_, Name(file), key.c_str(), 0) != 0 && LE_Hendehors(ctx_) == 0;
}

bool EngineSession::ReadNext(FileId file, const std::string& key) {
  return LE_Hlitsuivant(ctx_, Name(file), key.c_str(), 0) != 0 && LE_Hendehors(ctx_) == 0;
}

bool EngineSession::Search(FileId file, const std::string& key, const std::string& value) {
  return LE_Hlitrecherche(ctx_, Name(file), key.c_str(), value.c_str(), 0) != 0 &&
         LE_Hendehors(ctx_) == 0;
}

bool EngineSession::Add(FileId file) {
  return LE_Hajoute(ctx_, Name(file), 0) != 0;
}

bool EngineSession::Create(FileId file) {
  return LE_Hcreation(ctx_, Name(file)) != 0;
}

int64_t EngineSession::Count(FileId file) {
  LE_Hinfogene(ctx_, Name(file));
  return LE_Hnbenr(ctx_);
}

bool EngineSession::BeginBatch() {
  in_batch_ = LE_BeginBatch(ctx_) != 0;
  return in_batch_;
}

bool EngineSession::EndBatch() {
  in_batch_ = false;
  return LE_EndBatch(ctx_) != 0;
}

void EngineSession::CancelBatch() {
  in_batch_ = false;
  LE_CancelBatch(ctx_);
}

std::string EngineSession::FileError() const {
  char file[64];
  char reason[512];
  if (LE_LastFileError(ctx_, file, sizeof file, nullptr, 0, reason, sizeof reason) == 0) return "";
  return std::string(file) + ": " + reason;
}

}  // namespace vz::datatool
