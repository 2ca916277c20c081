// One record as one line of JSON: the object whose keys are field numbers
// ("1", "2", ...) and whose values are texts (UTF-8 strings), numbers, or
// arrays for runs. Key slots are never written. docs/data-import.md gives
// the format and every reading rule.
//
// EncodeRecord writes the record's fields in field order; reals get the
// shortest decimal form that reads back to the same 4-byte value, and the
// non-finite ones the strings "NaN", "Infinity", "-Infinity".
//
// DecodeRecord fills a record from one line. It never throws: a line that
// breaks a rule gives false and a message naming the field and why; texts
// that are cut to their field, or hold characters cp1252 cannot hold, are
// kept and reported through `notes`.
// REQUIRES: `record` holds shape.record_size bytes.
#ifndef VZ_TOOLS_DATATOOL_JSON_RECORD_H_
#define VZ_TOOLS_DATATOOL_JSON_RECORD_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tools/datatool/record_shape.h"

namespace vz::datatool {

std::string EncodeRecord(const FileShape& shape, const uint8_t* record);

struct DecodeNotes {
  std::vector<std::string> messages;  // one per cut or replaced text
  int texts_cut = 0;
  int characters_replaced = 0;
};

bool DecodeRecord(const FileShape& shape, std::string_view line, uint8_t* record,
                  std::string* error, DecodeNotes* notes);

// Shortest decimal text of a 4-byte real that reads back to the same value
// (finite values only).
std::string RealText(float value);

}  // namespace vz::datatool

#endif  // VZ_TOOLS_DATATOOL_JSON_RECORD_H_
