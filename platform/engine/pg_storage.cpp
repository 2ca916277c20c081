#include "platform/engine/pg_storage.h"

#include "platform/engine/pg_data_file.h"

namespace vz::engine {

bool IsAcceptableConninfo(const std::string& conninfo, std::string* why) {
  char* error = nullptr;
  PQconninfoOption* options = PQconninfoParse(conninfo.c_str(), &error);
  if (options == nullptr) {
    *why = error != nullptr ? error : "connection settings not understood";
    PQfreemem(error);
    while (!why->empty() && why->back() == '\n') why->pop_back();
    return false;
  }
  bool password = false;
  for (PQconninfoOption* option = options; option->keyword != nullptr; ++option) {
    if (std::string_view(option->keyword) == "password" && option->val != nullptr &&
        option->val[0] != '\0') {
      password = true;
    }
  }
  PQconninfoFree(options);
  if (password) {
    *why = "the connection settings hold a password; keep it in the .pgpass file instead";
    return false;
  }
  return true;
}

PgStorage::PgStorage(std::string conninfo) : pool_(std::make_shared<PgPool>(std::move(conninfo))) {}

bool PgStorage::Check(std::string* why) {
  if (!IsAcceptableConninfo(pool_->conninfo(), why)) return false;
  std::unique_ptr<PgSession> session = pool_->Take(20, why);
  if (session == nullptr) return false;
  pool_->Give(std::move(session));
  return true;
}

std::string PgStorage::Locate(const std::string& /*directory*/,
                              std::string_view physical_name) const {
  std::string name(physical_name);
  for (char& c : name) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return name;
}

Storage::OpenResult PgStorage::Open(const std::string& path, const FileEntry& entry, bool create,
                                    const Attempts& attempts, std::unique_ptr<DataFile>* out,
                                    std::string* why) {
  return PgDataFile::Open(pool_, path, entry, create, attempts, out, why);
}

}  // namespace vz::engine
