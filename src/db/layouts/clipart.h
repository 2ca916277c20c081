// Named fields of CLIPART, the client's estate figures: one record per
// client, found by the engine key "CODCLI" on its 9-character client code.
// The program keeps no key for it; its buffer is exactly its 79 described
// fields (1180 bytes, less than the 1189 declared) and the CLIENT buffer
// follows it directly, so nothing here may write past kBufferSize.
//
// EstateRecord is a view on a record buffer; it owns nothing.
// Failure: a damaged length byte reads back clamped; an estate index other
// than 0 or 1 reads as 0 and is ignored on writing.
// REQUIRES: `data` points to a buffer of at least kBufferSize bytes.
#ifndef VZ_SRC_DB_LAYOUTS_CLIPART_H_
#define VZ_SRC_DB_LAYOUTS_CLIPART_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "src/db/file_id.h"
#include "src/db/layouts/layout_fields.h"

namespace vz::db {

struct EstateRecord {
  static constexpr FileId kFile = FileId::CLIPART;
  static constexpr size_t kBufferSize = layout::kBufferSize<kFile>;

  uint8_t* data;

  // Field 1: the 9-character client code.
  std::string_view ClientCode() const { return layout::Text<kFile, 1>(data); }
  void SetClientCode(std::string_view v) { layout::SetText<kFile, 1>(data, v); }

  // Field 12: estate on the first death (index 0, column "SC00A") and on the
  // second death (index 1, column "SC00B").
  float EstateOnDeath(size_t index) const { return layout::RealAt<kFile, 12>(data, index); }
  void SetEstateOnDeath(size_t index, float v) { layout::SetRealAt<kFile, 12>(data, index, v); }
};

// The view on the process-wide CLIPART record buffer.
EstateRecord CurrentEstate();

}  // namespace vz::db

#endif  // VZ_SRC_DB_LAYOUTS_CLIPART_H_
