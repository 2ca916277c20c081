#include "tools/datatool/json_record.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

#include "src/db/field_access.h"
#include "tools/datatool/random.h"

namespace vz::datatool {
namespace {

// 1 text 9 | 2 run of 3 texts of 5 | 3 int16 | 4 int16 x 3 | 5 real | 6 real x 2 | 7 key | 8 text 0
FileShape TestShape() {
  std::string error;
  auto shape = MakeShape(
      "T", {{10, '1'}, {18, '1'}, {2, '2'}, {6, '2'}, {4, '4'}, {8, '4'}, {7, '4'}, {1, '1'}}, {7},
      &error);
  FieldShape& run = shape->fields[1];
  run.count = 3;
  run.element = 6;
  run.is_run = true;
  return *shape;
}

struct Decoded {
  bool ok;
  std::string error;
  DecodeNotes notes;
  std::vector<uint8_t> record;
};

Decoded Decode(const FileShape& shape, const std::string& line) {
  Decoded d;
  d.record.assign(shape.record_size, 0xAA);
  d.ok = DecodeRecord(shape, line, d.record.data(), &d.error, &d.notes);
  return d;
}

TEST(JsonRecordTest, EncodesEveryKindAndLeavesKeysOut) {
  const FileShape shape = TestShape();
  std::vector<uint8_t> r(shape.record_size, 0);
  vz::db::SetText(r.data(), 0, 9, "\xC9t\xE9");  // "Été" in cp1252
  vz::db::SetText(r.data(), 10, 5, "a\"b");
  vz::db::SetText(r.data(), 22, 5, "\t");
  vz::db::SetInt16(r.data(), 28, -32768);
  vz::db::SetInt16(r.data(), 32, 7);
  vz::db::SetReal(r.data(), 36, 1234.5f);
  vz::db::SetReal(r.data(), 40, 0.1f);
  vz::db::SetReal(r.data(), 44, -0.0f);
  std::memset(r.data() + 48, 0x55, 7);  // whatever sits in the key slot is not exported
  EXPECT_EQ(EncodeRecord(shape, r.data()),
            "{\"1\":\"\xC3\x89t\xC3\xA9\",\"2\":[\"a\\\"b\",\"\",\"\\t\"],\"3\":-32768,"
            "\"4\":[0,7,0],\"5\":1234.5,\"6\":[0.1,-0.0],\"8\":\"\"}");
}

TEST(JsonRecordTest, RoundTripGivesTheSameBytes) {
  const FileShape shape = TestShape();
  Random rng(42);
  for (int i = 0; i < 2000; ++i) {
    std::vector<uint8_t> r(shape.record_size, 0);
    std::string text;
    for (int k = rng.Between(0, 9); k > 0; --k) text += static_cast<char>(rng.Between(1, 255));
    vz::db::SetText(r.data(), 0, 9, text);
    vz::db::SetText(r.data(), 16, 5, text.substr(0, 5));
    vz::db::SetInt16(r.data(), 28, static_cast<int16_t>(rng.Between(-32768, 32767)));
    for (size_t k = 0; k < 3; ++k) {  // any bit pattern, NaN and infinities included
      uint32_t bits = static_cast<uint32_t>(rng.Next());
      if (k == 2 && std::isnan(std::bit_cast<float>(bits))) bits = 0x7FC00000u;  // quiet NaN
      if (k == 0 && i % 100 == 0) bits = 0x80000000u;                            // minus zero
      std::memcpy(r.data() + 36 + 4 * k, &bits, 4);
    }
    const std::string line = EncodeRecord(shape, r.data());
    Decoded d = Decode(shape, line);
    ASSERT_TRUE(d.ok) << line << ": " << d.error;
    // A NaN comes back as the quiet NaN; every other value bit for bit.
    for (size_t k = 0; k < 3; ++k) {
      float a, b;
      std::memcpy(&a, r.data() + 36 + 4 * k, 4);
      std::memcpy(&b, d.record.data() + 36 + 4 * k, 4);
      if (std::isnan(a)) {
        EXPECT_TRUE(std::isnan(b));
        std::memcpy(r.data() + 36 + 4 * k, &b, 4);
      }
    }
    ASSERT_EQ(d.record, r) << line;
    EXPECT_TRUE(d.notes.messages.empty()) << line;
  }
}

TEST(JsonRecordTest, AbsentFieldsAreEmpty) {
  const FileShape shape = TestShape();
  Decoded d = Decode(shape, "{}");
  ASSERT_TRUE(d.ok) << d.error;
  EXPECT_EQ(d.record, std::vector<uint8_t>(shape.record_size, 0));
  d = Decode(shape, R"({"2":["x"],"6":[1.5]})");
  ASSERT_TRUE(d.ok) << d.error;
  EXPECT_EQ(vz::db::GetText(d.record.data(), 10, 5), "x");
  EXPECT_EQ(vz::db::GetText(d.record.data(), 16, 5), "");
  EXPECT_EQ(vz::db::GetReal(d.record.data(), 40), 1.5f);
  EXPECT_EQ(vz::db::GetReal(d.record.data(), 44), 0.0f);
}

TEST(JsonRecordTest, RejectsLinesThatBreakTheRules) {
  const FileShape shape = TestShape();
  struct Case {
    const char* line;
    const char* message;  // part of the expected message
  };
  const Case cases[] = {
      {"", "not valid JSON"},
      {"{\"1\":\"a\"", "not valid JSON"},
      {"{\"1\":\"a\"} {}", "not valid JSON"},
      {"[1,2]", "expected an object"},
      {"\"text\"", "expected an object"},
      {"null", "expected an object"},
      {"{\"0\":1}", "not a field number"},
      {"{\"9\":1}", "not a field number"},
      {"{\"01\":\"a\"}", "not a field number"},
      {"{\"+1\":\"a\"}", "not a field number"},
      {"{\"name\":\"a\"}", "not a field number"},
      {"{\"99999999999999999999\":1}", "not a field number"},
      {"{\"1\":\"a\",\"1\":\"b\"}", "given twice"},
      {"{\"7\":\"x\"}", "is a key"},
      {"{\"1\":5}", "field 1: expected a text"},
      {"{\"1\":null}", "field 1: expected a text"},
      {"{\"1\":[\"a\"]}", "field 1: expected a single value"},
      {"{\"2\":\"a\"}", "field 2: expected an array"},
      {"{\"2\":[\"a\",\"b\",\"c\",\"d\"]}", "array of 4 values"},
      {"{\"2\":[\"a\",1]}", "field 2 value 2: expected a text"},
      {"{\"3\":\"12\"}", "field 3: expected an integer"},
      {"{\"3\":32768}", "out of range"},
      {"{\"3\":-32769}", "out of range"},
      {"{\"3\":1.5}", "whole number"},
      {"{\"3\":1e30}", "whole number"},
      {"{\"3\":true}", "expected an integer"},
      {"{\"3\":\"NaN\"}", "expected an integer"},
      {"{\"4\":[1,2,70000]}", "field 4 value 3"},
      {"{\"5\":\"abc\"}", "expected a number, got the text"},
      {"{\"5\":\"12.5\"}", "expected a number, got the text"},
      {"{\"5\":1e39}", "number overflow"},
      {"{\"5\":-1e39}", "number overflow"},
      {"{\"5\":{}}", "expected a number"},
      {"{\"6\":[1,[2]]}", "expected a number"},
      {"{\"6\":[[[[[[1]]]]]]}", "nested too deeply"},
      {"{\"1\":\"\xFF\xFE\"}", "not valid JSON"},  // invalid UTF-8
  };
  for (const Case& c : cases) {
    Decoded d = Decode(shape, c.line);
    EXPECT_FALSE(d.ok) << c.line;
    EXPECT_NE(d.error.find(c.message), std::string::npos) << c.line << " -> " << d.error;
  }
}

TEST(JsonRecordTest, HostileNestingIsRejectedWithoutRecursion) {
  const FileShape shape = TestShape();
  const std::string deep = "{\"6\":" + std::string(200000, '[') + std::string(200000, ']') + "}";
  Decoded d = Decode(shape, deep);
  EXPECT_FALSE(d.ok);
  EXPECT_NE(d.error.find("nested"), std::string::npos);
  // Brackets inside texts are only characters.
  d = Decode(shape, "{\"1\":\"[[[[[[[[\"}");
  EXPECT_TRUE(d.ok) << d.error;
}

TEST(JsonRecordTest, LongTextsAreCutAndReported) {
  const FileShape shape = TestShape();
  Decoded d = Decode(shape, R"({"1":"ABCDEFGHIJKLMN","2":["123456","",""],"8":"x"})");
  ASSERT_TRUE(d.ok) << d.error;
  EXPECT_EQ(vz::db::GetText(d.record.data(), 0, 9), "ABCDEFGHI");
  EXPECT_EQ(vz::db::GetText(d.record.data(), 10, 5), "12345");
  EXPECT_EQ(d.record[28], 0);  // text 0 holds nothing
  EXPECT_EQ(d.notes.texts_cut, 3);
  ASSERT_EQ(d.notes.messages.size(), 3u);
  EXPECT_EQ(d.notes.messages[0], "field 1: text of 14 characters cut to 9");
  EXPECT_EQ(d.notes.messages[1], "field 2 value 1: text of 6 characters cut to 5");
}

TEST(JsonRecordTest, CharactersOutsideCp1252AreReplacedAndReported) {
  const FileShape shape = TestShape();
  // A snowman and a CJK character have no cp1252 byte; the euro sign has one.
  Decoded d = Decode(shape, "{\"1\":\"?\xE2\x98\x83\xE4\xB8\xAD\xE2\x82\xAC\"}");
  ASSERT_TRUE(d.ok) << d.error;
  EXPECT_EQ(vz::db::GetText(d.record.data(), 0, 9), "???\x80");
  EXPECT_EQ(d.notes.characters_replaced, 2);
  // An escaped NUL is a character like any other.
  d = Decode(shape, R"({"1":"a\u0000b"})");
  ASSERT_TRUE(d.ok) << d.error;
  EXPECT_EQ(vz::db::GetText(d.record.data(), 0, 9), std::string("a\0b", 3));
}

TEST(JsonRecordTest, NumbersInEveryJsonForm) {
  const FileShape shape = TestShape();
  struct Case {
    const char* value;
    float expected;
  };
  const Case cases[] = {{"0", 0.0f},
                        {"-0.0", -0.0f},
                        {"31250", 31250.0f},
                        {"1e3", 1000.0f},
                        {"0.1", 0.1f},
                        {"16777217", 16777216.0f},
                        {"3.4e38", 3.4e38f},
                        {"\"Infinity\"", std::numeric_limits<float>::infinity()},
                        {"\"-Infinity\"", -std::numeric_limits<float>::infinity()}};
  for (const Case& c : cases) {
    Decoded d = Decode(shape, std::string("{\"5\":") + c.value + "}");
    ASSERT_TRUE(d.ok) << c.value << ": " << d.error;
    const float got = vz::db::GetReal(d.record.data(), 36);
    EXPECT_EQ(std::bit_cast<uint32_t>(got), std::bit_cast<uint32_t>(c.expected)) << c.value;
  }
  Decoded d = Decode(shape, R"({"3":-32768,"4":[32767,2.0,-1]})");
  ASSERT_TRUE(d.ok) << d.error;
  EXPECT_EQ(vz::db::GetInt16(d.record.data(), 28), -32768);
  EXPECT_EQ(vz::db::GetInt16(d.record.data(), 30), 32767);
  EXPECT_EQ(vz::db::GetInt16(d.record.data(), 32), 2);
  EXPECT_EQ(vz::db::GetInt16(d.record.data(), 34), -1);
}

TEST(JsonRecordTest, RealTextIsShortest) {
  EXPECT_EQ(RealText(0.1f), "0.1");
  EXPECT_EQ(RealText(1234.5f), "1234.5");
  EXPECT_EQ(RealText(1e20f), "1e+20");
  EXPECT_EQ(RealText(-0.0f), "-0.0");
  EXPECT_EQ(RealText(0.0f), "0");
}

}  // namespace
}  // namespace vz::datatool
