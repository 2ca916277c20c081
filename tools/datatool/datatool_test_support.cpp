#include "tools/datatool/datatool_test_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "src/db/catalogue.h"

namespace vz::datatool::testing {

TempDir::TempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern =
      std::string(base != nullptr && base[0] != '\0' ? base : "/tmp") + "/vz_datatool_XXXXXX";
  if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  if (!path_.empty()) std::filesystem::remove_all(path_, ec);
}

bool MemorySink::Add(vz::db::FileId file, const uint8_t* record) {
  if (refuse_after >= 0 && added_ >= refuse_after) return false;
  ++added_;
  const size_t size = vz::db::Describe(file).described_size;
  records_[file].emplace_back(reinterpret_cast<const char*>(record), size);
  return true;
}

std::vector<std::string> ReadAll(EngineSession& session, vz::db::FileId file) {
  std::vector<std::string> records;
  const std::string key = session.FirstKey(file);
  const size_t size = vz::db::Describe(file).described_size;
  for (bool found = session.ReadFirst(file, key); found; found = session.ReadNext(file, key)) {
    records.emplace_back(reinterpret_cast<const char*>(session.Buffer(file)), size);
  }
  return records;
}

std::string WriteText(const std::string& path, const std::string& contents) {
  std::ofstream(path, std::ios::binary) << contents;
  return path;
}

}  // namespace vz::datatool::testing
