#include "tools/datatool/record_shape.h"

#include <gtest/gtest.h>

#include "src/db/catalogue.h"

namespace vz::datatool {
namespace {

TEST(MakeShapeTest, KindsOffsetsAndRuns) {
  std::string error;
  auto shape =
      MakeShape("T", {{10, '1'}, {2, '2'}, {8, '2'}, {4, '4'}, {12, '4'}, {19, '4'}}, {6}, &error);
  ASSERT_TRUE(shape) << error;
  struct Row {
    FieldKind kind;
    size_t offset, size, count, element;
    bool run;
  };
  const Row rows[] = {
      {FieldKind::kText, 0, 10, 1, 10, false}, {FieldKind::kInt16, 10, 2, 1, 2, false},
      {FieldKind::kInt16, 12, 8, 4, 2, true},  {FieldKind::kReal, 20, 4, 1, 4, false},
      {FieldKind::kReal, 24, 12, 3, 4, true},  {FieldKind::kKey, 36, 19, 1, 19, false},
  };
  ASSERT_EQ(shape->fields.size(), std::size(rows));
  for (size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(i + 1);
    const FieldShape& f = shape->fields[i];
    EXPECT_EQ(f.kind, rows[i].kind);
    EXPECT_EQ(f.offset, rows[i].offset);
    EXPECT_EQ(f.size, rows[i].size);
    EXPECT_EQ(f.count, rows[i].count);
    EXPECT_EQ(f.element, rows[i].element);
    EXPECT_EQ(f.is_run, rows[i].run);
  }
  EXPECT_EQ(shape->record_size, 55u);
}

TEST(MakeShapeTest, RejectsDescriptionsThatDoNotFit) {
  struct Case {
    const char* what;
    std::vector<FieldDescription> fields;
    std::vector<int> keys;
  };
  const Case cases[] = {
      {"size 0", {{0, '1'}}, {}},        {"negative size", {{-4, '4'}}, {}},
      {"odd int16 run", {{3, '2'}}, {}}, {"real run of 6 bytes", {{6, '4'}}, {}},
      {"unknown digit", {{4, '3'}}, {}}, {"key slot of type 1", {{4, '1'}}, {1}},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(MakeShape("T", c.fields, c.keys, &error)) << c.what;
    EXPECT_NE(error.find("T field 1"), std::string::npos) << c.what << ": " << error;
  }
}

TEST(MakeShapeTest, LongTextsWithoutLayoutAreCutIntoTextsThatFitALengthByte) {
  std::string error;
  auto shape = MakeShape("T", {{256, '1'}, {260, '1'}, {600, '1'}}, {}, &error);
  ASSERT_TRUE(shape) << error;
  EXPECT_EQ(shape->fields[0].count, 1u);  // 255 characters fit one length byte
  EXPECT_EQ(shape->fields[1].count, 2u);
  EXPECT_EQ(shape->fields[1].element, 130u);
  EXPECT_EQ(shape->fields[2].count, 3u);
  for (const FieldShape& f : shape->fields) EXPECT_LE(f.element, 256u);
}

TEST(CatalogueShapesTest, EveryFileIsShapedAsTheEngineStoresIt) {
  std::string error;
  const std::vector<FileShape>& shapes = CatalogueShapes(&error);
  ASSERT_EQ(shapes.size(), vz::db::Catalogue().size()) << error;
  for (const vz::db::FileDescription& d : vz::db::Catalogue()) {
    const FileShape& s = shapes[static_cast<size_t>(d.id)];
    SCOPED_TRACE(s.name);
    EXPECT_EQ(s.name, d.name);
    EXPECT_EQ(s.record_size, d.described_size);
    for (const vz::db::KeyDescription& k : d.keys) {
      if (k.slot_field > 0) {
        EXPECT_EQ(s.fields[static_cast<size_t>(k.slot_field - 1)].kind, FieldKind::kKey);
      }
    }
    for (const FieldShape& f : s.fields) {
      if (f.kind == FieldKind::kText) {
        EXPECT_LE(f.element, 256u);
      }
    }
  }
}

TEST(CatalogueShapesTest, LaidOutRunsOfTexts) {
  struct Row {
    const char* file;
    int field;
    size_t count, width;
  };
  const Row rows[] = {{"ADRESSES", 4, 3, 70},
                      {"REQUETES", 6, 5, 51},
                      {"INTERFA", 5, 5, 51},
                      {"CLIENT", 4, 1, 20},
                      {"REVENUS", 32, 1, 0}};
  for (const Row& r : rows) {
    const FileShape* shape = FindShape(r.file);
    ASSERT_NE(shape, nullptr) << r.file;
    const FieldShape& f = shape->fields[static_cast<size_t>(r.field - 1)];
    EXPECT_EQ(f.kind, FieldKind::kText) << r.file;
    EXPECT_EQ(f.count, r.count) << r.file << " " << r.field;
    EXPECT_EQ(f.Width(), r.width) << r.file << " " << r.field;
  }
  EXPECT_NE(FindShape("requetes"), nullptr);
  EXPECT_EQ(FindShape("NOSUCH"), nullptr);
  EXPECT_EQ(FindShape(""), nullptr);
}

}  // namespace
}  // namespace vz::datatool
