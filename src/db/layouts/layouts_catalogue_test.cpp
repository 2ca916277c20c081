// The offsets of the named fields, key slots and long texts against the
// offsets that the file catalogue computes from its field sizes: the two
// were written from the same layouts by different hands.
#include <gtest/gtest.h>

#include <string>

#include "src/db/catalogue.h"
#include "src/db/layouts/layout_probe_test_util.h"
#include "src/db/layouts/rubric_record.h"

namespace vz::db::testing {
namespace {

char TypeDigit(ValueKind kind) {
  switch (kind) {
    case ValueKind::kText:
      return '1';
    case ValueKind::kReal:
      return '4';
    case ValueKind::kInt16:
      return '2';
  }
  return '?';
}

size_t ElementSize(const FieldProbe& p) {
  switch (p.kind) {
    case ValueKind::kText:
      return p.width + 1;
    case ValueKind::kReal:
      return 4;
    case ValueKind::kInt16:
      return 2;
  }
  return 0;
}

void CheckAgainstCatalogue(const FieldProbe& p, const FileDescription& d) {
  SCOPED_TRACE(p.name);
  switch (p.place) {
    case Place::kField: {
      ASSERT_GE(p.field, 1);
      ASSERT_LE(p.field, d.field_count());
      const size_t index = static_cast<size_t>(p.field - 1);
      const size_t field_offset = d.field_offsets[index];
      const size_t field_size = static_cast<size_t>(d.field_sizes[index]);
      EXPECT_EQ(d.types[index], TypeDigit(p.kind));
      EXPECT_EQ(p.offset, field_offset + p.element * ElementSize(p));
      // The value is one whole element of the field (a text run is made of
      // texts of the same width).
      EXPECT_EQ(field_size % ElementSize(p), 0u) << "field size " << field_size;
      EXPECT_LE(p.offset + ElementSize(p), field_offset + field_size);
      break;
    }
    case Place::kKeySlot:
      ASSERT_LT(p.element, d.keys.size());
      EXPECT_EQ(p.offset, d.keys[p.element].slot_offset) << d.keys[p.element].name;
      break;
    case Place::kLongText:
      ASSERT_EQ(d.long_texts.size(), 1u);
      EXPECT_EQ(p.offset, d.long_texts[0].text_offset);
      break;
  }
}

TEST(LayoutsCatalogueTest, CatalogueIsSound) {
  EXPECT_TRUE(CatalogueProblems().empty());
}

TEST(LayoutsCatalogueTest, NamedFieldsSitWhereTheCatalogueDescribesThem) {
  for (const FileProbes& file : AllFileProbes()) {
    SCOPED_TRACE(file.name);
    const FileDescription& d = Describe(file.file);
    EXPECT_EQ(d.name, file.name);
    EXPECT_EQ(d.buffer_size, file.buffer_size);
    for (const FieldProbe& probe : file.probes) CheckAgainstCatalogue(probe, d);
  }
}

TEST(LayoutsCatalogueTest, RubricKeyPlacesMatchTheCatalogue) {
  for (const RubricFileLayout& layout : kRubricFiles) {
    const FileDescription& d = Describe(layout.file);
    SCOPED_TRACE(std::string(d.name));
    ASSERT_GE(d.first_key_field, 1);
    EXPECT_EQ(d.field_offsets[static_cast<size_t>(d.first_key_field - 1)],
              layout.codclef_field_offset);
    ASSERT_EQ(d.keys.size(), layout.key_slot_count);
    EXPECT_EQ(d.keys[0].name, "CODCLEF");
    EXPECT_EQ(d.buffer_size, layout.BufferSize());
    // The common head is the same in every rubric file: three texts, then
    // a real (the first of a run in PREVSOUH).
    EXPECT_EQ(d.types.substr(0, 4), "1114");
    EXPECT_EQ(d.field_sizes[0], 10);
    EXPECT_EQ(d.field_sizes[1], 6);
    EXPECT_EQ(d.field_sizes[2], 4);
  }
}

}  // namespace
}  // namespace vz::db::testing
