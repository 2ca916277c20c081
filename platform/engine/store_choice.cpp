#include "platform/engine/store_choice.h"

#include <memory>
#include <vector>

#include "platform/engine/pg_storage.h"
#include "platform/engine/sqlite_storage.h"

namespace vz::engine {
namespace {

// Forwards to the storage chosen last. Storages chosen before stay alive:
// files they opened may still be open in some store.
class ChosenStorage final : public Storage {
 public:
  ChosenStorage() { Choose(std::make_unique<SqliteStorage>()); }

  void Choose(std::unique_ptr<Storage> storage) {
    current_ = storage.get();
    kept_.push_back(std::move(storage));
  }

  std::string Locate(const std::string& directory, std::string_view physical_name) const override {
    return current_->Locate(directory, physical_name);
  }

  OpenResult Open(const std::string& path, const FileEntry& entry, bool create,
                  const Attempts& attempts, std::unique_ptr<DataFile>* out,
                  std::string* why) override {
    return current_->Open(path, entry, create, attempts, out, why);
  }

 private:
  Storage* current_ = nullptr;
  std::vector<std::unique_ptr<Storage>> kept_;
};

ChosenStorage& Chosen() {
  static auto* storage = new ChosenStorage();
  return *storage;
}

}  // namespace

Storage& ProcessStorage() {
  return Chosen();
}

void UseSqliteStore() {
  Chosen().Choose(std::make_unique<SqliteStorage>());
}

bool UsePostgresStore(const std::string& conninfo, std::string* why) {
  auto storage = std::make_unique<PgStorage>(conninfo);
  if (!storage->Check(why)) return false;
  Chosen().Choose(std::move(storage));
  return true;
}

}  // namespace vz::engine
