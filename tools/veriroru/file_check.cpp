#include "tools/veriroru/file_check.h"

#include <filesystem>
#include <memory>
#include <optional>

#include "platform/engine/record_codec.h"
#include "platform/engine/record_layout.h"
#include "platform/engine/sqlite_key_index.h"
#include "platform/engine/sqlite_storage.h"
#include "src/db/catalogue.h"
#include "src/db/compact_files.h"
#include "tools/veriroru/database_file.h"

namespace vz::veriroru {
namespace {

using vz::engine::FileEntry;
using vz::engine::RecordLayout;

}  // namespace

std::optional<std::string> BindLayout(const FileEntry& entry, BoundFile* bound) {
  std::optional<vz::db::FileId> id = vz::db::FindFileByName(entry.name);
  if (!id) return "aucune description d'enregistrement pour " + entry.name;
  const vz::db::FileDescription& d = vz::db::Describe(*id);
  bound->buffer.assign(d.described_size + 1, 0);
  const std::string name(d.name);
  const std::string types(d.types);
  vz::engine::RecordDescription description;
  std::string why;
  if (!vz::engine::RecordDescription::Make(name.c_str(), d.record_size, d.field_sizes.data(),
                                           d.field_count(), types.c_str(), bound->buffer.data(),
                                           &description, &why) ||
      !RecordLayout::Bind(description, entry, &bound->layout, &why)) {
    return "les clés de l'analyse ne conviennent pas à la description (" + why + ")";
  }
  return std::nullopt;
}

namespace {

bool OnlyIndexDamage(const std::vector<std::string>& problems) {
  for (const std::string& p : problems) {
    if (p.find(" index ") == std::string::npos) return false;
  }
  return true;
}

// How many damaged records the report names one by one.
constexpr int64_t kMostDamagedListed = 20;

const char* FrenchFault(vz::engine::CompactFault fault) {
  switch (fault) {
    case vz::engine::CompactFault::kUnknownVersion:
      return "version inconnue";
    case vz::engine::CompactFault::kBadLength:
      return "longueur incorrecte";
    case vz::engine::CompactFault::kTruncatedRun:
      return "suite tronquée";
    case vz::engine::CompactFault::kBadRun:
      return "suite invalide";
    case vz::engine::CompactFault::kNone:
      break;
  }
  return "illisible";
}

// The record bytes of a row's data column into `bytes`: as they are, or
// expanded from the compact form. False when they do not expand.
bool RecordBytes(sqlite3_stmt* statement, int column, bool compact, std::string* bytes,
                 vz::engine::CompactFault* fault) {
  const auto* data = static_cast<const char*>(sqlite3_column_blob(statement, column));
  const std::string_view stored(data != nullptr ? data : "",
                                static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
  if (!compact) {
    bytes->assign(stored);
    return true;
  }
  *fault = vz::engine::ExpandRecord(stored, bytes);
  return *fault == vz::engine::CompactFault::kNone;
}

// Every record of a compact file that does not expand, one problem each
// (the first kMostDamagedListed, then their count). False when the records
// cannot be read.
bool FindDamagedRecords(DatabaseFile& db, std::vector<std::string>* problems) {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db.handle(), "SELECT recno, data FROM records ORDER BY recno", -1,
                         &statement, nullptr) != SQLITE_OK) {
    return false;
  }
  std::string bytes;
  vz::engine::CompactFault fault{};
  int64_t damaged = 0;
  int rc;
  while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
    if (RecordBytes(statement, 1, true, &bytes, &fault)) continue;
    if (++damaged <= kMostDamagedListed) {
      problems->push_back("enregistrement " + std::to_string(sqlite3_column_int64(statement, 0)) +
                          " endommagé : forme compacte illisible (" + FrenchFault(fault) + ")");
    }
  }
  sqlite3_finalize(statement);
  if (damaged > kMostDamagedListed) {
    problems->push_back(std::to_string(damaged - kMostDamagedListed) +
                        " autres enregistrements endommagés");
  }
  return rc == SQLITE_DONE;
}

// True when the stored rules are the analysis's and every key column and
// index is there.
bool StoredRulesMatch(DatabaseFile& db, const FileEntry& entry) {
  for (std::size_t i = 0; i < entry.keys.size(); ++i) {
    if (db.Info(vz::engine::Numbered("key", static_cast<long long>(i + 1))) !=
        entry.keys[i].Signature()) {
      return false;
    }
  }
  if (db.Info(vz::engine::Numbered("key", static_cast<long long>(entry.keys.size() + 1)))) {
    return false;
  }
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db.handle(), "SELECT name FROM pragma_table_info('records')", -1,
                         &statement, nullptr) != SQLITE_OK) {
    return false;
  }
  std::size_t found = 0;
  while (sqlite3_step(statement) == SQLITE_ROW) {
    std::string column = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    for (std::size_t i = 0; i < entry.keys.size(); ++i) {
      if (column == vz::engine::SqliteKeyColumn(i)) ++found;
    }
  }
  sqlite3_finalize(statement);
  return found == entry.keys.size();
}

// The record numbers whose stored keys differ from the computed ones; false
// when the records cannot be read.
bool FindWrongKeys(DatabaseFile& db, const FileEntry& entry, BoundFile& bound, bool compact,
                   std::vector<int64_t>* wrong) {
  std::string sql = "SELECT recno, data";
  for (std::size_t i = 0; i < entry.keys.size(); ++i) sql += ", " + vz::engine::SqliteKeyColumn(i);
  sql += " FROM records ORDER BY recno";
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db.handle(), sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
    return false;
  }
  std::vector<uint8_t> record(bound.layout.record_size());
  std::string key, bytes;
  vz::engine::CompactFault fault{};
  int rc;
  while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
    // A record that does not expand is damage, reported on its own.
    if (!RecordBytes(statement, 1, compact, &bytes, &fault)) continue;
    bound.layout.GiveRecord(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                            record.data());
    for (std::size_t i = 0; i < entry.keys.size(); ++i) {
      bound.layout.BuildKey(i, record.data(), &key);
      const char* stored = static_cast<const char*>(sqlite3_column_blob(statement, 2 + i));
      std::size_t stored_size = static_cast<std::size_t>(sqlite3_column_bytes(statement, 2 + i));
      if (sqlite3_column_type(statement, 2 + i) != SQLITE_BLOB ||
          std::string_view(stored != nullptr ? stored : "", stored_size) != key) {
        wrong->push_back(sqlite3_column_int64(statement, 0));
        break;
      }
    }
  }
  sqlite3_finalize(statement);
  return rc == SQLITE_DONE;
}

// Rewrites the key columns of the records `recnos`, in one transaction.
bool RewriteKeys(DatabaseFile& db, const FileEntry& entry, BoundFile& bound, bool compact,
                 const std::vector<int64_t>& recnos, std::string* why) {
  std::string sql = "UPDATE records SET ";
  for (std::size_t i = 0; i < entry.keys.size(); ++i) {
    sql += (i > 0 ? ", " : "") + vz::engine::SqliteKeyColumn(i) + "=?" + std::to_string(i + 1);
  }
  sql += " WHERE recno=?" + std::to_string(entry.keys.size() + 1);
  sqlite3_stmt* read = nullptr;
  sqlite3_stmt* update = nullptr;
  if (!db.Exec("BEGIN IMMEDIATE", why)) return false;
  bool ok = sqlite3_prepare_v2(db.handle(), "SELECT data FROM records WHERE recno=?1", -1, &read,
                               nullptr) == SQLITE_OK &&
            sqlite3_prepare_v2(db.handle(), sql.c_str(), -1, &update, nullptr) == SQLITE_OK;
  std::vector<uint8_t> record(bound.layout.record_size());
  std::vector<std::string> keys(entry.keys.size());
  std::string bytes;
  vz::engine::CompactFault fault{};
  for (std::size_t r = 0; ok && r < recnos.size(); ++r) {
    sqlite3_bind_int64(read, 1, recnos[r]);
    ok = sqlite3_step(read) == SQLITE_ROW && RecordBytes(read, 0, compact, &bytes, &fault);
    if (ok) {
      bound.layout.GiveRecord(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                              record.data());
    }
    sqlite3_reset(read);
    for (std::size_t i = 0; ok && i < keys.size(); ++i) {
      bound.layout.BuildKey(i, record.data(), &keys[i]);
      sqlite3_bind_blob(update, static_cast<int>(i + 1), keys[i].data(),
                        static_cast<int>(keys[i].size()), SQLITE_STATIC);
    }
    sqlite3_bind_int64(update, static_cast<int>(keys.size() + 1), recnos[r]);
    ok = ok && sqlite3_step(update) == SQLITE_DONE;
    sqlite3_reset(update);
  }
  if (!ok) *why = sqlite3_errmsg(db.handle());
  sqlite3_finalize(read);
  sqlite3_finalize(update);
  std::string ignored;
  if (ok) return db.Exec("COMMIT", why);
  db.Exec("ROLLBACK", &ignored);
  return false;
}

// Every key index rebuilt, or made when it is missing.
bool RebuildIndexes(DatabaseFile& db, const FileEntry& entry, bool compact, std::string* why) {
  const bool carry = compact && vz::db::CarriesRecordsInFirstKeyIndex(entry.name);
  for (std::size_t i = 0; i < entry.keys.size(); ++i) {
    if (!db.Exec(vz::engine::SqliteKeyIndexSql(i, entry.keys.size(), carry, "", true), why)) {
      return false;
    }
  }
  return db.Exec("REINDEX records", why);
}

// The engine's own rebuild after a change of key rules (DataFile::Reindex).
bool ReindexAsTheEngine(const std::string& path, const FileEntry& entry, BoundFile& bound,
                        std::string* why) {
  std::unique_ptr<vz::engine::DataFile> file;
  vz::engine::Attempts attempts;
  vz::engine::SqliteStorage storage;
  if (storage.Open(path, entry, false, attempts, &file, why) !=
      vz::engine::Storage::OpenResult::kOpen) {
    return false;
  }
  if (!file->Reindex(&bound.layout, attempts)) {
    *why = "reconstruction des clés refusée";
    return false;
  }
  return true;
}

}  // namespace

FileCheckResult CheckAndReindexFile(const std::string& path, const vz::engine::Analysis* analysis) {
  FileCheckResult result;
  result.name = std::filesystem::path(path).filename().string();
  std::string why;
  std::unique_ptr<DatabaseFile> db = DatabaseFile::Open(path, DatabaseFile::Mode::kReadWrite, &why);
  if (db == nullptr) {
    result.problems.push_back(why);
    return result;
  }
  const std::vector<std::string> damage = db->IntegrityProblems();
  if (!damage.empty() && !OnlyIndexDamage(damage)) {
    for (const std::string& p : damage) result.problems.push_back("fichier endommagé : " + p);
    result.problems.push_back("fichier laissé tel quel : restaurez une sauvegarde");
    result.records = db->RecordCount();
    return result;
  }
  if (!db->HasRecordsTable()) {
    result.records = 0;  // never written: nothing to check
    return result;
  }
  const std::string format = db->Info("format").value_or("");
  const std::string file = db->Info("file").value_or("");
  result.analysis_name = file;
  const FileEntry* entry = analysis != nullptr ? analysis->FindFile(file) : nullptr;
  BoundFile bound;
  std::optional<std::string> unbound;
  const bool compact = format == vz::engine::kCompactFormat;
  if (compact && !FindDamagedRecords(*db, &result.problems)) {
    result.problems.push_back("enregistrements illisibles : " +
                              std::string(sqlite3_errmsg(db->handle())));
  }
  if (format != vz::engine::kPlainFormat && !compact) {
    result.problems.push_back("format de fichier inconnu (" + format + ") : clés non vérifiées");
  } else if (analysis == nullptr) {
    result.problems.push_back("analyse introuvable : clés non vérifiées");
  } else if (entry == nullptr) {
    result.problems.push_back("fichier " + file + " inconnu de l'analyse : clés non vérifiées");
  } else if ((unbound = BindLayout(*entry, &bound))) {
    result.problems.push_back(*unbound + " : clés non vérifiées");
  } else if (!StoredRulesMatch(*db, *entry)) {
    result.records = db->RecordCount();
    db.reset();
    if (ReindexAsTheEngine(path, *entry, bound, &why)) {
      result.keys_rebuilt = result.records;
      result.repairs.push_back("règles de clés de l'analyse appliquées à tout le fichier");
    } else {
      result.problems.push_back("clés non reconstruites (" + why + ")");
    }
    db = DatabaseFile::Open(path, DatabaseFile::Mode::kReadWrite, &why);
    if (db == nullptr) {
      result.problems.push_back(why);
      return result;
    }
  } else {
    std::vector<int64_t> wrong;
    if (!FindWrongKeys(*db, *entry, bound, compact, &wrong)) {
      result.problems.push_back("enregistrements illisibles : " +
                                std::string(sqlite3_errmsg(db->handle())));
    } else if (!wrong.empty()) {
      if (RewriteKeys(*db, *entry, bound, compact, wrong, &why)) {
        result.keys_rebuilt = static_cast<int64_t>(wrong.size());
      } else {
        result.problems.push_back("clés non reconstruites (" + why + ")");
      }
    }
  }
  if (entry != nullptr && !RebuildIndexes(*db, *entry, compact, &why)) {
    result.problems.push_back("index non reconstruits (" + why + ")");
  } else if (entry == nullptr && !db->Exec("REINDEX", &why)) {
    result.problems.push_back("index non reconstruits (" + why + ")");
  }
  const std::vector<std::string> after = db->IntegrityProblems();
  if (!damage.empty() && after.empty()) result.repairs.push_back("index endommagés réparés");
  for (const std::string& p : after) result.problems.push_back("fichier endommagé : " + p);
  result.records = db->RecordCount();
  if (result.records < 0) result.problems.push_back("enregistrements impossibles à compter");
  return result;
}

}  // namespace vz::veriroru
