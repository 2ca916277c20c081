// A small cache from file names as callers write them ("requetes",
// "CLIENT") to catalogue files, so that the read loops do not normalise the
// same name millions of times. Keyed by the written text itself, never by
// its address. Fixed size, no allocation; single-threaded.
#ifndef VZ_SRC_DB_FILE_NAME_CACHE_H_
#define VZ_SRC_DB_FILE_NAME_CACHE_H_

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "src/db/file_id.h"

namespace vz::db {

class FileNameCache {
 public:
  // The catalogue file that `written` names once normalised, if any.
  std::optional<FileId> Find(std::string_view written);

 private:
  static constexpr size_t kEntries = 64;
  static constexpr size_t kMaxCached = 23;  // longer names are not cached
  struct Entry {
    char text[kMaxCached];
    uint8_t size = 0;
    bool used = false;
    int16_t file = -1;  // -1: not a catalogue file
  };
  std::array<Entry, kEntries> entries_{};
};

}  // namespace vz::db

#endif  // VZ_SRC_DB_FILE_NAME_CACHE_H_
