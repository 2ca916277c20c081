#include "platform/os/ascii_case.h"
#include "src/db/catalogue.h"
#include "tools/datatool/record_shape.h"

namespace vz::datatool {
namespace {

struct Built {
  std::vector<FileShape> shapes;
  std::string error;
};

Built Build() {
  Built built;
  for (const vz::db::FileDescription& d : vz::db::Catalogue()) {
    std::vector<FieldDescription> fields;
    for (int i = 0; i < d.field_count(); ++i) {
      fields.push_back({d.field_sizes[i], d.types[static_cast<size_t>(i)]});
    }
    std::vector<int> keys;
    for (const vz::db::KeyDescription& k : d.keys) {
      if (k.slot_field > 0) keys.push_back(k.slot_field);
    }
    std::string error;
    std::optional<FileShape> shape = MakeShape(d.name, fields, keys, &error);
    if (!shape) {
      built.shapes.clear();
      built.error = error;
      return built;
    }
    for (const vz::db::LongText& t : d.long_texts) {
      FieldShape& f = shape->fields[static_cast<size_t>(t.field - 1)];
      if (f.kind == FieldKind::kText && f.size % vz::db::kLongTextPieces == 0) {
        f.count = vz::db::kLongTextPieces;
        f.element = f.size / f.count;
        f.is_run = true;
      }
    }
    built.shapes.push_back(std::move(*shape));
  }
  return built;
}

const Built& Shapes() {
  static const Built built = Build();
  return built;
}

}  // namespace

const std::vector<FileShape>& CatalogueShapes(std::string* error) {
  if (error) *error = Shapes().error;
  return Shapes().shapes;
}

const FileShape* FindShape(std::string_view name) {
  const std::string upper = vz::os::AsciiUpper(name);
  for (const FileShape& shape : Shapes().shapes) {
    if (shape.name == upper) return &shape;
  }
  return nullptr;
}

}  // namespace vz::datatool
