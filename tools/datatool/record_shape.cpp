#include "tools/datatool/record_shape.h"

#include <algorithm>

namespace vz::datatool {
namespace {

struct TextRun {
  const char* file;
  int field;
  int count;
};

// Text fields that the record layouts describe as runs of texts.
constexpr TextRun kTextRuns[] = {
    {"ADRESSES", 4, 3},  // three address lines of 70 characters
    {"REQUETES", 6, 5},  // the long text in five pieces of 51 characters
    {"INTERFA", 5, 5},   // likewise
};

// A text field that no layout names: one text when it fits a length byte,
// otherwise the fewest equal texts that each do.
size_t DefaultTextCount(size_t size) {
  if (size <= 256) return 1;
  for (size_t k = 2; k <= size; ++k) {
    if (size % k == 0 && size / k <= 256 && size / k >= 1) return k;
  }
  return 1;
}

}  // namespace

int KnownTextRun(std::string_view file, int field) {
  for (const TextRun& run : kTextRuns) {
    if (file == run.file && field == run.field) return run.count;
  }
  return 0;
}

std::optional<FileShape> MakeShape(std::string_view name,
                                   const std::vector<FieldDescription>& fields,
                                   const std::vector<int>& key_fields, std::string* error) {
  FileShape shape;
  shape.name = std::string(name);
  size_t offset = 0;
  for (size_t i = 0; i < fields.size(); ++i) {
    const int number = static_cast<int>(i) + 1;
    const FieldDescription& d = fields[i];
    auto fail = [&](const std::string& why) -> std::optional<FileShape> {
      if (error) *error = shape.name + " field " + std::to_string(number) + ": " + why;
      return std::nullopt;
    };
    if (d.size <= 0) return fail("size " + std::to_string(d.size));
    FieldShape f;
    f.offset = offset;
    f.size = static_cast<size_t>(d.size);
    const bool is_key = std::find(key_fields.begin(), key_fields.end(), number) != key_fields.end();
    if (is_key) {
      if (d.type != '4') return fail("key slot is not of type 4");
      f.kind = FieldKind::kKey;
      f.element = f.size;
    } else if (d.type == '1') {
      f.kind = FieldKind::kText;
      const int known = KnownTextRun(name, number);
      f.count = known > 0 ? static_cast<size_t>(known) : DefaultTextCount(f.size);
      if (f.size % f.count != 0) return fail("text run does not divide the size");
      f.element = f.size / f.count;
      f.is_run = known > 0 || f.count > 1;
    } else if (d.type == '2') {
      if (f.size % 2 != 0) return fail("int16 run of odd size");
      f.kind = FieldKind::kInt16;
      f.element = 2;
      f.count = f.size / 2;
      f.is_run = f.count > 1;
    } else if (d.type == '4') {
      if (f.size % 4 != 0) return fail("real run of a size not a multiple of 4");
      f.kind = FieldKind::kReal;
      f.element = 4;
      f.count = f.size / 4;
      f.is_run = f.count > 1;
    } else {
      return fail(std::string("unknown type digit '") + d.type + "'");
    }
    offset += f.size;
    shape.fields.push_back(f);
  }
  shape.record_size = offset;
  return shape;
}

}  // namespace vz::datatool
