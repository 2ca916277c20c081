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

  void Choose(std::unique_ptr<Storage> storage, PgStorage* server = nullptr) {
    current_ = storage.get();
    server_ = server;
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

  PgStorage* server() const { return server_; }

 private:
  Storage* current_ = nullptr;
  PgStorage* server_ = nullptr;  // current_ when it is a server
  std::vector<std::unique_ptr<Storage>> kept_;
};

ChosenStorage& Chosen() {
  static auto* storage = new ChosenStorage();
  return *storage;
}

}  // namespace

Storage& ChosenStore() {
  return Chosen();
}

void UseSqliteStore() {
  Chosen().Choose(std::make_unique<SqliteStorage>());
}

bool UsePostgresStore(const std::string& conninfo, std::string* why) {
  auto storage = std::make_unique<PgStorage>(conninfo);
  if (!storage->Check(why)) return false;
  PgStorage* server = storage.get();
  Chosen().Choose(std::move(storage), server);
  return true;
}

bool StoreIsShared() {
  return Chosen().server() != nullptr;
}

int64_t NextSharedCounter(std::string_view name, int64_t at_least, std::string* why) {
  PgStorage* server = Chosen().server();
  if (server == nullptr) {
    *why = "the store is not shared";
    return 0;
  }
  return server->NextCounter(name, at_least, why);
}

}  // namespace vz::engine
