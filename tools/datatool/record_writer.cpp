#include "tools/datatool/record_writer.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "src/db/field_access.h"

namespace vz::datatool {

RecordWriter::RecordWriter(vz::db::FileId file, const FileShape& shape)
    : file_(file), shape_(&shape), bytes_(shape.record_size, 0) {}

void RecordWriter::Clear() {
  std::fill(bytes_.begin(), bytes_.end(), uint8_t{0});
}

uint8_t* RecordWriter::At(int field, size_t element, FieldKind kind) {
  if (field < 1 || field > static_cast<int>(shape_->fields.size())) {
    throw std::logic_error(shape_->name + ": no field " + std::to_string(field));
  }
  const FieldShape& f = shape_->fields[static_cast<size_t>(field - 1)];
  if (f.kind != kind || element >= f.count) {
    throw std::logic_error(shape_->name + " field " + std::to_string(field) +
                           ": wrong kind or element " + std::to_string(element));
  }
  return bytes_.data() + f.offset + element * f.element;
}

void RecordWriter::Text(int field, std::string_view cp1252, size_t element) {
  uint8_t* p = At(field, element, FieldKind::kText);
  const FieldShape& f = shape_->fields[static_cast<size_t>(field - 1)];
  vz::db::SetText(p, 0, f.Width(), cp1252);
}

void RecordWriter::Int(int field, int16_t value, size_t element) {
  vz::db::SetInt16(At(field, element, FieldKind::kInt16), 0, value);
}

void RecordWriter::Real(int field, float value, size_t element) {
  vz::db::SetReal(At(field, element, FieldKind::kReal), 0, value);
}

}  // namespace vz::datatool
