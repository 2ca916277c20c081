#include "src/db/file_name_cache.h"

#include <cstring>

#include "src/db/buffer_sync.h"

namespace vz::db {

std::optional<FileId> FileNameCache::Find(std::string_view written) {
  if (written.size() > kMaxCached) return FindFileByWrittenName(written);
  uint32_t hash = 2166136261u;
  for (char c : written) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  Entry& entry = entries_[(hash ^ static_cast<uint32_t>(written.size())) % kEntries];
  if (!entry.used || entry.size != written.size() ||
      (!written.empty() && std::memcmp(entry.text, written.data(), written.size()) != 0)) {
    std::optional<FileId> file = FindFileByWrittenName(written);
    if (!written.empty()) std::memcpy(entry.text, written.data(), written.size());
    entry.size = static_cast<uint8_t>(written.size());
    entry.used = true;
    entry.file = file ? static_cast<int16_t>(*file) : int16_t{-1};
  }
  if (entry.file < 0) return std::nullopt;
  return static_cast<FileId>(entry.file);
}

}  // namespace vz::db
