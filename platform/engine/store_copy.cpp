#include "platform/engine/store_copy.h"

#include <dirent.h>

#include <algorithm>

#include "platform/engine/sqlite_handles.h"

namespace vz::engine {
namespace {

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

// The analysis's file a physical file belongs to: by its physical name, or
// by the file name stored with it.
const FileEntry* EntryOf(const Analysis& analysis, const std::string& physical,
                         const std::string& stored_file) {
  for (const FileEntry& entry : analysis.files) {
    if (Upper(entry.physical_name) == physical) return &entry;
  }
  return stored_file.empty() ? nullptr : analysis.FindFile(stored_file);
}

// The file name stored in a SQLite file's vz_info, "" when none.
std::string StoredFileName(const std::string& path) {
  sqlite3* opened = nullptr;
  const int rc = sqlite3_open_v2(path.c_str(), &opened, SQLITE_OPEN_READONLY, nullptr);
  Connection db(opened);
  if (rc != SQLITE_OK) return "";
  Statement row = Prepare(db.get(), "SELECT value FROM vz_info WHERE name='file'");
  if (row == nullptr || sqlite3_step(row.get()) != SQLITE_ROW) return "";
  return std::string(ColumnBytes(row.get(), 0));
}

struct Copied {
  int64_t recno;
  std::string data;
  std::vector<std::string> keys;
};

}  // namespace

std::vector<StoredFile> SqliteFilesIn(const std::string& directory, const Analysis& analysis,
                                      std::vector<std::string>* skipped) {
  std::vector<StoredFile> files;
  DIR* dir = ::opendir(directory.c_str());
  if (dir == nullptr) return files;
  const std::string suffix = ".vzdb";
  while (const dirent* item = ::readdir(dir)) {
    const std::string name = item->d_name;
    if (name.size() <= suffix.size() ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
      continue;
    }
    const std::string physical = name.substr(0, name.size() - suffix.size());
    const FileEntry* entry = EntryOf(analysis, physical, StoredFileName(directory + "/" + name));
    if (entry == nullptr || physical != Upper(physical)) {
      skipped->push_back(name);
      continue;
    }
    files.push_back({physical, entry});
  }
  ::closedir(dir);
  std::sort(files.begin(), files.end(), [](const StoredFile& a, const StoredFile& b) {
    return a.physical_name < b.physical_name;
  });
  return files;
}

std::vector<StoredFile> ServerFiles(PgStorage& server, const Analysis& analysis,
                                    std::vector<std::string>* skipped, std::string* why) {
  std::vector<StoredFile> files;
  std::vector<std::pair<std::string, std::string>> listed;
  if (!server.ListFiles(&listed, why)) return files;
  for (const auto& [physical, file] : listed) {
    const FileEntry* entry = EntryOf(analysis, physical, file);
    if (entry == nullptr) {
      skipped->push_back(physical);
      continue;
    }
    files.push_back({physical, entry});
  }
  return files;
}

bool CopyStoredFile(Storage& from, const std::string& from_path, Storage& to,
                    const std::string& to_path, const FileEntry& entry, int64_t* records,
                    std::string* why) {
  *records = 0;
  const Attempts attempts;
  if (entry.keys.empty()) {
    *why = "a file without a key cannot be read";
    return false;
  }
  std::unique_ptr<DataFile> source;
  if (from.Open(from_path, entry, false, attempts, &source, why) != Storage::OpenResult::kOpen) {
    if (why->empty()) *why = "missing";
    return false;
  }
  if (source->needs_reindex()) {
    *why = "keys stored by other rules than the analysis's: check and reindex it first";
    return false;
  }
  std::vector<Copied> all;
  Cursor* cursor = source->CursorOf(0);
  ReadRequest request;
  RecordView record;
  std::string position;
  ReadResult result;
  while ((result = source->Read(*cursor, request, attempts, &record)) == ReadResult::kFound) {
    Copied copied{record.recno, std::string(record.data), {}};
    for (std::size_t i = 0; i < entry.keys.size(); ++i) copied.keys.emplace_back(record.keys[i]);
    position = copied.keys[0];
    all.push_back(std::move(copied));
    request.kind = ReadKind::kNext;
    request.value = position;
    request.recno = record.recno;
    request.at_cursor = true;
  }
  const int64_t count = source->Count(attempts);
  if (count != static_cast<int64_t>(all.size())) {
    *why = "read " + std::to_string(all.size()) + " records of " + std::to_string(count) + ": " +
           source->last_error();
    return false;
  }
  source.reset();
  std::sort(all.begin(), all.end(),
            [](const Copied& a, const Copied& b) { return a.recno < b.recno; });
  std::unique_ptr<DataFile> target;
  if (to.Open(to_path, entry, true, attempts, &target, why) != Storage::OpenResult::kOpen) {
    return false;
  }
  bool ok = target->Clear(attempts, true);
  for (std::size_t i = 0; ok && i < all.size(); ++i) {
    ok = target->Add(all[i].data, all[i].keys, attempts, true) > 0;
  }
  ok = target->EndBatch(attempts) && ok;
  if (!ok) {
    *why = "not written: " + target->last_error();
    return false;
  }
  *records = static_cast<int64_t>(all.size());
  return true;
}

}  // namespace vz::engine
