#include "src/db/compact_files.h"

#include "src/db/catalogue.h"

namespace vz::db {

bool CarriesRecordsInFirstKeyIndex(std::string_view file) {
  return FindFileByName(file) != FileId::SELECTES;
}

}  // namespace vz::db
