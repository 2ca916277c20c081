#include "src/db/field_places.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "src/db/catalogue.h"
#include "src/db/catalogue_table.h"

namespace vz::db {
namespace {

// The places the record views use, computed at compile time, are the places
// of the catalogue built at run time: every field, key slot, long text and
// buffer size of every file.
TEST(FieldPlacesTest, AgreeWithTheCatalogueForEveryFile) {
  for (const FileDescription& file : Catalogue()) {
    SCOPED_TRACE(std::string(file.name));
    for (int f = 1; f <= file.field_count(); ++f) {
      const size_t index = static_cast<size_t>(f - 1);
      const places::FieldPlace place = places::Field(file.id, f);
      EXPECT_EQ(place.offset, file.field_offsets[index]) << "field " << f;
      EXPECT_EQ(place.size, static_cast<size_t>(file.field_sizes[index])) << "field " << f;
      EXPECT_EQ(place.type, file.types[index]) << "field " << f;
    }
    EXPECT_EQ(places::Field(file.id, 0).size, 0u);
    EXPECT_EQ(places::Field(file.id, file.field_count() + 1).size, 0u);
    EXPECT_EQ(places::DescribedSize(file.id), file.described_size);
    EXPECT_EQ(places::BufferSize(file.id), file.buffer_size);
    ASSERT_EQ(places::KeySlotCount(file.id), file.keys.size());
    for (size_t k = 0; k < file.keys.size(); ++k) {
      EXPECT_EQ(places::KeySlot(file.id, k), file.keys[k].slot_offset) << file.keys[k].name;
    }
    ASSERT_EQ(places::LongTextCount(file.id), file.long_texts.size());
    for (size_t t = 0; t < file.long_texts.size(); ++t) {
      EXPECT_EQ(places::LongText(file.id, t), file.long_texts[t].text_offset) << "text " << t;
    }
  }
}

// The one reader of the size lists, shared by both: repeats, blanks, and
// lists that stop it.
TEST(FieldPlacesTest, SizeListReader) {
  struct Case {
    const char* list;
    std::vector<int> sizes;  // read before the end or the fault
    bool fails;
  };
  const Case cases[] = {
      {"3 7 2*4 16", {3, 7, 2, 2, 2, 2, 16}, false},
      {"  5  6 ", {5, 6}, false},
      {"", {}, false},
      {"12*1", {12}, false},
      {"4 x", {4}, true},
      {"4 *2", {4}, true},
      {"4*", {}, true},
      {"4*2x", {}, true},
      {"0 4", {}, true},
      {"4 -4", {4}, true},
      {"123456789", {}, true},
      {"4,5", {}, true},
  };
  for (const Case& c : cases) {
    internal::SizeListReader reader(c.list);
    std::vector<int> sizes;
    int size = 0;
    while (reader.Next(size)) sizes.push_back(size);
    EXPECT_EQ(sizes, c.sizes) << c.list;
    EXPECT_EQ(reader.failed(), c.fails) << c.list;
    EXPECT_FALSE(reader.Next(size)) << c.list << ": a stopped reader stays stopped";
  }
}

}  // namespace
}  // namespace vz::db
