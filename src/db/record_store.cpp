#include "src/db/record_store.h"

#include "platform/engine/store_choice.h"
#include "platform/os/cp1252.h"
#include "src/util/blanks.h"

namespace vz::db {
namespace {

// ASCII letters in upper case: the store's name is matched without regard to case.
std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

}  // namespace

std::string UseRecordStore(std::string_view store, std::string_view connection) {
  const std::string kind = Upper(util::TrimBlanks(store, util::kTrimAll));
  if (kind.empty() || kind == "SQLITE") {
    engine::UseSqliteStore();
    return "";
  }
  if (kind != "POSTGRESQL") {
    return os::Cp1252("Erreur,Le paramètre BASEDONNEES du fichier PARAM.DTA vaut « ") + kind +
           os::Cp1252(
               " » : SQLITE ou POSTGRESQL sont attendus. Veuillez contacter le service "
               "technique.");
  }
  const std::string conninfo = util::TrimBlanks(connection, util::kTrimAll);
  if (conninfo.empty()) {
    return os::Cp1252(
        "Erreur,Le paramètre CONNEXIONBASE du fichier PARAM.DTA ne dit pas comment joindre le "
        "serveur de base de données. Veuillez contacter le service technique.");
  }
  std::string why;
  if (!engine::UsePostgresStore(conninfo, &why)) {
    return os::Cp1252(
               "Erreur,Le serveur de base de données ne peut pas être utilisé : le programme "
               "s'arrête. Veuillez contacter le service technique. (") +
           os::Cp1252(why) + ")";
  }
  return "";
}

bool RecordStoreIsShared() {
  return engine::StoreIsShared();
}

int64_t NextSharedNumber(std::string_view name, int64_t at_least) {
  std::string why;
  return engine::NextSharedCounter(name, at_least, &why);
}

}  // namespace vz::db
