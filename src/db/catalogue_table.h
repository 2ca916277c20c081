// The catalogue as written: one row per file, in declaration order. Only
// catalogue.cpp reads these rows; everyone else uses catalogue.h.
//
// Field sizes are a blank-separated list in record order; "size*count" stands
// for count consecutive fields of that size. Keys are "NAME=field:width+..."
// separated by "; ", in slot order. Long texts name their fields in the order
// of the program's texts. Engine-only keys have no slot in the buffer.
#ifndef VZ_SRC_DB_CATALOGUE_TABLE_H_
#define VZ_SRC_DB_CATALOGUE_TABLE_H_

#include <cstdint>
#include <span>
#include <string>

#include "src/db/catalogue.h"

namespace vz::db::internal {

using Rule = SyncRule;

struct CatalogueRow {
  const char* name;
  int32_t record_size;
  int32_t field_count;
  const char* types;
  int32_t buffer_size;  // 0: the table gives none
  Rule rule;
  const char* sizes;
  int first_key_field;  // 0: no composite key field
  const char* keys;
  const char* long_texts;
  const char* engine_only_keys;
};

std::span<const CatalogueRow> CatalogueRows();

// Builds one file's description from its row; false (with the reason) for a
// row that does not hold together, which then describes no fields.
bool BuildFileDescription(const CatalogueRow& row, FileId id, FileDescription& file,
                          std::string& problem);

}  // namespace vz::db::internal

#endif  // VZ_SRC_DB_CATALOGUE_TABLE_H_
