// The notation of the catalogue's rows (catalogue_rows.h) and the one reader
// of their field size lists, shared by the catalogue built at run time
// (catalogue.cpp) and the field places computed at compile time
// (field_places.h). Everyone else uses catalogue.h or field_places.h.
//
// Field sizes are a blank-separated list in record order; "size*count" stands
// for count consecutive fields of that size. Keys are "NAME=field:width+..."
// separated by "; ", in slot order. Long texts name their fields in the order
// of the program's texts. Engine-only keys have no slot in the buffer.
//
// Failure: a size list that is not well formed stops the reader, which then
// says so (failed()); it never reads past the text.
#ifndef VZ_SRC_DB_CATALOGUE_TABLE_H_
#define VZ_SRC_DB_CATALOGUE_TABLE_H_

#include <cstdint>
#include <string>
#include <string_view>

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

// Reads a field size list one field at a time: "3 7 2*4 16" gives 3, 7, 2,
// 2, 2, 2 and 16. Usable at compile time.
class SizeListReader {
 public:
  constexpr explicit SizeListReader(std::string_view text) : text_(text) {}

  // The size of the next field; false at the end of the list and where the
  // list is not well formed (then failed() is true).
  constexpr bool Next(int& size) {
    if (repeats_left_ > 0) {
      --repeats_left_;
      size = size_;
      return true;
    }
    SkipBlanks();
    if (failed_ || text_.empty()) return false;
    int count = 1;
    if (!ReadPositive(size_)) return Fail();
    if (!text_.empty() && text_.front() == '*') {
      text_.remove_prefix(1);
      if (!ReadPositive(count)) return Fail();
    }
    if (!text_.empty() && text_.front() != ' ') return Fail();
    repeats_left_ = count - 1;
    size = size_;
    return true;
  }

  constexpr bool failed() const { return failed_; }

 private:
  constexpr void SkipBlanks() {
    while (!text_.empty() && text_.front() == ' ') text_.remove_prefix(1);
  }

  // A decimal number above 0 and below 10^8 at the front of the text.
  constexpr bool ReadPositive(int& value) {
    value = 0;
    size_t digits = 0;
    while (digits < text_.size() && text_[digits] >= '0' && text_[digits] <= '9') {
      if (digits == 8) return false;
      value = value * 10 + (text_[digits] - '0');
      ++digits;
    }
    text_.remove_prefix(digits);
    return value > 0;
  }

  constexpr bool Fail() {
    failed_ = true;
    repeats_left_ = 0;
    return false;
  }

  std::string_view text_;
  int size_ = 0;
  int repeats_left_ = 0;
  bool failed_ = false;
};

// Builds one file's description from its row; false (with the reason) for a
// row that does not hold together, which then describes no fields.
bool BuildFileDescription(const CatalogueRow& row, FileId id, FileDescription& file,
                          std::string& problem);

}  // namespace vz::db::internal

#endif  // VZ_SRC_DB_CATALOGUE_TABLE_H_
