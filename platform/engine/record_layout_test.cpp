#include "platform/engine/record_layout.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vz::engine {
namespace {

// Fields: 1 text(5) 2 text(4) 3 key slot(6, type 4) 4 int16 5 text(1).
const int32_t kSizes[] = {5, 4, 6, 2, 1};
const char kTypes[] = "11421";

struct Fixture {
  uint8_t buffer[18 + 4];
  RecordDescription description;
  Fixture() {
    std::memset(buffer, 0xEE, sizeof buffer);
    std::string why;
    EXPECT_TRUE(RecordDescription::Make("file", 40, kSizes, 5, kTypes, buffer, &description, &why))
        << why;
  }
  void SetText(int field, const char* text, uint8_t length) {
    const FieldSpan& span = description.fields[static_cast<std::size_t>(field - 1)];
    std::memset(buffer + span.offset, 0, span.size);
    buffer[span.offset] = length;
    std::memcpy(buffer + span.offset + 1, text, std::min(std::strlen(text), span.size - 1));
  }
};

FileEntry Entry(std::vector<KeyRule> keys) {
  FileEntry entry;
  entry.name = "FILE";
  entry.keys = std::move(keys);
  return entry;
}

TEST(RecordLayoutTest, DescriptionOffsets) {
  Fixture f;
  EXPECT_EQ(f.description.file, "FILE");
  EXPECT_EQ(f.description.described_size, 18u);
  EXPECT_EQ(f.description.declared_size, 40);
  EXPECT_EQ(f.description.fields[2].offset, 9u);
  EXPECT_EQ(f.description.fields[2].type, '4');
}

TEST(RecordLayoutTest, DescriptionRefusesUnusableArguments) {
  uint8_t buffer[64];
  const int32_t bad_size[] = {5, 0};
  const int32_t negative[] = {5, -3};
  const int32_t huge[] = {1 << 20, 1 << 20};
  struct Case {
    const char* file;
    const int32_t* sizes;
    int32_t count;
    const char* types;
    void* buffer;
  } cases[] = {
      {nullptr, kSizes, 5, kTypes, buffer}, {"", kSizes, 5, kTypes, buffer},
      {"F", kSizes, 0, kTypes, buffer},     {"F", kSizes, -1, kTypes, buffer},
      {"F", kSizes, 5, "114", buffer},      {"F", kSizes, 5, "11x21", buffer},
      {"F", kSizes, 5, kTypes, nullptr},    {"F", nullptr, 5, kTypes, buffer},
      {"F", bad_size, 2, "11", buffer},     {"F", negative, 2, "11", buffer},
      {"F", huge, 2, "11", buffer},
  };
  for (const Case& c : cases) {
    RecordDescription d;
    std::string why;
    EXPECT_FALSE(
        RecordDescription::Make(c.file, 10, c.sizes, c.count, c.types, c.buffer, &d, &why));
    EXPECT_FALSE(why.empty());
  }
}

TEST(RecordLayoutTest, KeyTexts) {
  struct Case {
    std::vector<KeyComponent> components;
    bool no_pad;
    const char* first;  // field 1 characters
    uint8_t first_length;
    const char* expected;
  } cases[] = {
      {{{1, 4}, {2, 3}}, false, "ABCD", 4, "ABCDxy "},  // exact, then padded
      {{{1, 2}, {2, 3}}, false, "ABCD", 4, "ABxy "},    // cut
      {{{1, 6}}, false, "AB", 2, "AB    "},             // padded past the capacity
      {{{1, 0}, {2, 0}}, false, "AB", 2, "AB  xy "},    // width 0: the whole field
      {{{1, 0}, {2, 0}}, true, "AB", 2, "ABxy"},        // NOPAD never pads
      {{{1, 3}, {2, 1}}, true, "ABCD", 4, "ABCx"},      // NOPAD still cuts
      {{{1, 4}}, false, "ABCD", 200, "ABCD"},           // hostile length byte is clamped
      {{{1, 3}}, false, "", 0, "   "},                  // empty field
      {{{2, 2}, {1, 1}}, false, "Q", 1, "xyQ"},         // components in the rule's order
  };
  for (const Case& c : cases) {
    Fixture f;
    f.SetText(1, c.first, c.first_length);
    f.SetText(2, "xy", 2);
    KeyRule rule;
    rule.name = "K";
    rule.components = c.components;
    rule.no_pad = c.no_pad;
    RecordLayout layout;
    std::string why;
    ASSERT_TRUE(RecordLayout::Bind(f.description, Entry({rule}), &layout, &why)) << why;
    std::string key;
    layout.BuildKey(0, f.buffer, &key);
    EXPECT_EQ(key, c.expected);
  }
}

TEST(RecordLayoutTest, BindRefusesRulesThatDoNotFit) {
  struct Case {
    std::vector<KeyComponent> components;
    int slot;
    const char* reason;
  } cases[] = {
      {{{6, 2}}, 0, "not described"},     // past the last field
      {{{3, 2}}, 0, "not a text field"},  // the slot is no text
      {{{4, 2}}, 0, "not a text field"},  // an integer
      {{{1, 2}}, 7, "not described"},     // slot past the last field
      {{{1, 2}}, 2, "not a key field"},   // slot on a text field: it would wipe data
  };
  for (const Case& c : cases) {
    Fixture f;
    KeyRule rule;
    rule.name = "K";
    rule.components = c.components;
    rule.slot_field = c.slot;
    RecordLayout layout;
    std::string why;
    EXPECT_FALSE(RecordLayout::Bind(f.description, Entry({rule}), &layout, &why));
    EXPECT_NE(why.find(c.reason), std::string::npos) << why;
  }
  // A slot that another key uses as a component.
  Fixture f;
  KeyRule a{"A", {{1, 2}}, 3, false};
  KeyRule b{"B", {{3, 2}}, 0, false};
  RecordLayout layout;
  std::string why;
  EXPECT_FALSE(RecordLayout::Bind(f.description, Entry({a, b}), &layout, &why));
}

TEST(RecordLayoutTest, SlotBytesAreZeroOnTheWayInAndOut) {
  Fixture f;
  KeyRule rule{"K", {{1, 4}}, 3, false};
  RecordLayout layout;
  std::string why;
  ASSERT_TRUE(RecordLayout::Bind(f.description, Entry({rule}), &layout, &why)) << why;
  f.SetText(1, "ABCD", 4);
  std::memset(f.buffer + 9, 'K', 6);  // the program's key slot
  std::string stored;
  layout.TakeRecord(f.buffer, &stored);
  ASSERT_EQ(stored.size(), 18u);
  EXPECT_EQ(stored.substr(9, 6), std::string(6, '\0'));
  EXPECT_EQ(stored.substr(0, 5), std::string("\x04"
                                             "ABCD"));

  // A stored record with bytes in the slot (another writer) reads back zeroed;
  // nothing past the described bytes is written.
  std::string foreign(18, 'Z');
  std::memset(f.buffer, 0, 18);
  layout.GiveRecord(reinterpret_cast<const uint8_t*>(foreign.data()), foreign.size(), f.buffer);
  EXPECT_EQ(f.buffer[8], 'Z');
  for (int i = 9; i < 15; ++i) EXPECT_EQ(f.buffer[i], 0);
  EXPECT_EQ(f.buffer[17], 'Z');
  for (int i = 18; i < 22; ++i) EXPECT_EQ(f.buffer[i], 0xEE);
}

TEST(RecordLayoutTest, ShortOrLongStoredRecords) {
  Fixture f;
  RecordLayout layout;
  std::string why;
  ASSERT_TRUE(RecordLayout::Bind(f.description, Entry({}), &layout, &why));
  std::string shorter(5, 'S');
  layout.GiveRecord(reinterpret_cast<const uint8_t*>(shorter.data()), shorter.size(), f.buffer);
  EXPECT_EQ(f.buffer[4], 'S');
  for (int i = 5; i < 18; ++i) EXPECT_EQ(f.buffer[i], 0) << i;
  std::string longer(100, 'L');
  layout.GiveRecord(reinterpret_cast<const uint8_t*>(longer.data()), longer.size(), f.buffer);
  EXPECT_EQ(f.buffer[17], 'L');
  EXPECT_EQ(f.buffer[18], 0xEE);
  layout.GiveRecord(nullptr, 0, f.buffer);
  EXPECT_EQ(f.buffer[0], 0);
}

}  // namespace
}  // namespace vz::engine
