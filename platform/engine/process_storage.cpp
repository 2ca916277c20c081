#include "platform/engine/process_storage.h"

#include "platform/engine/store_choice.h"

namespace vz::engine {
namespace {

Storage* g_in_use = nullptr;

// Passes each call to the storage in use.
class ForwardingStorage final : public Storage {
 public:
  std::string Locate(const std::string& directory, std::string_view physical_name) const override {
    return InUse().Locate(directory, physical_name);
  }
  OpenResult Open(const std::string& path, const FileEntry& entry, bool create,
                  const Attempts& attempts, std::unique_ptr<DataFile>* out,
                  std::string* why) override {
    return InUse().Open(path, entry, create, attempts, out, why);
  }

 private:
  static Storage& InUse() { return g_in_use != nullptr ? *g_in_use : DefaultStorage(); }
};

}  // namespace

Storage& DefaultStorage() {
  return ChosenStore();
}

Storage& ProcessStorage() {
  static auto* storage = new ForwardingStorage();
  return *storage;
}

void UseStorage(Storage* storage) {
  g_in_use = storage;
}

}  // namespace vz::engine
