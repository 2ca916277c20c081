// Builds one record of a catalogued file field by field, by field number, in
// a buffer of the described size owned by the writer, and the sink that
// receives finished records (the engine, or a test's memory).
//
// Setting a field that the file does not have, or with the wrong kind, is a
// programming fault of the caller: it throws std::logic_error naming the
// file and field, which the generator's tests catch.
#ifndef VZ_TOOLS_DATATOOL_RECORD_WRITER_H_
#define VZ_TOOLS_DATATOOL_RECORD_WRITER_H_

#include <cstdint>
#include <string_view>
#include <vector>

#include "src/db/file_id.h"
#include "tools/datatool/record_shape.h"

namespace vz::datatool {

class RecordWriter {
 public:
  RecordWriter(vz::db::FileId file, const FileShape& shape);

  void Clear();  // every byte zero: empty texts, zero numbers
  // `cp1252` is cut to the field's width. `element` picks a text of a run.
  void Text(int field, std::string_view cp1252, size_t element = 0);
  void Int(int field, int16_t value, size_t element = 0);
  void Real(int field, float value, size_t element = 0);

  vz::db::FileId file() const { return file_; }
  const FileShape& shape() const { return *shape_; }
  const uint8_t* data() const { return bytes_.data(); }

 private:
  uint8_t* At(int field, size_t element, FieldKind kind);

  vz::db::FileId file_;
  const FileShape* shape_;
  std::vector<uint8_t> bytes_;
};

// Receives finished records. Add returns false when the record could not be
// stored; the generator then stops.
class RecordSink {
 public:
  virtual ~RecordSink() = default;
  virtual bool Add(vz::db::FileId file, const uint8_t* record) = 0;
  // Called between households from time to time: a chance to commit. False
  // when what was handed over could not be kept; the generator then stops.
  virtual bool Checkpoint() { return true; }
};

}  // namespace vz::datatool

#endif  // VZ_TOOLS_DATATOOL_RECORD_WRITER_H_
