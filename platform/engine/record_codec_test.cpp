#include "platform/engine/record_codec.h"

#include <gtest/gtest.h>

#include <string>

namespace vz::engine {
namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out.push_back(static_cast<char>(v));
  return out;
}

std::string Compact(const std::string& bytes) {
  std::string stored;
  CompactRecord(bytes, &stored);
  return stored;
}

// A rubric record as the files hold them: a household code, a few amounts
// and long runs of zeros.
std::string RubricLike() {
  std::string record(1200, '\0');
  record.replace(0, 11,
                 "\x0A"
                 "0100001231");
  record[200] = '\x40';
  record[201] = '\x9C';
  record[640] = '\x01';
  record.replace(900, 8, "        ");
  return record;
}

struct RoundTrip {
  const char* name;
  std::string bytes;
  std::size_t most_stored;  // the compact form is at most this long
};

TEST(RecordCodec, GivesBackEveryRecordByteForByte) {
  std::string every_byte;
  for (int b = 0; b < 256; ++b) every_byte.push_back(static_cast<char>(b));
  std::string no_zeros;
  for (int i = 0; i < 300; ++i) no_zeros.push_back(static_cast<char>(1 + i % 250));
  std::string both_ends(500, '\0');
  both_ends.replace(100, 3, "abc");
  std::string repeats = std::string(40, ' ') + "x" + std::string(40, '\xFF') + "y";
  std::string short_runs = Bytes({0, 0, 5, 0, 0, 6, 7, 7, 7, 8, 0, 9});
  const RoundTrip cases[] = {
      {"empty", "", 2},
      {"one zero", std::string(1, '\0'), 2},
      {"all zeros", std::string(4000, '\0'), 3},
      {"no zeros", no_zeros, 300 + 5},
      {"every byte value", every_byte, 256 + 5},
      {"trailing zeros", "DUPONT" + std::string(900, '\0'), 2 + 1 + 7},
      {"zero runs at both ends", both_ends, 12},
      {"repeated bytes and blanks", repeats, 14},
      {"runs too short for a token", short_runs, 12 + 3},
      {"rubric record", RubricLike(), 40},
      {"largest record", std::string(kMostRecordBytes - 1, '\0') + "z", 12},
      {"largest record, no runs", std::string(kMostRecordBytes / 2, 'a') + every_byte, 300},
  };
  for (const RoundTrip& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string stored = Compact(c.bytes);
    EXPECT_LE(stored.size(), c.most_stored);
    EXPECT_EQ(static_cast<unsigned char>(stored[0]), kCompactVersion);
    std::string back = "left over";
    ASSERT_EQ(ExpandRecord(stored, &back), CompactFault::kNone);
    EXPECT_EQ(back, c.bytes);
  }
}

TEST(RecordCodec, LiteralRecordsGrowByTheirHeaderOnly) {
  std::string text;
  for (int i = 0; i < 100000; ++i) text.push_back(static_cast<char>('a' + i % 26));
  EXPECT_LE(Compact(text).size(), text.size() + 1 + 3 + 3);
}

struct Damaged {
  const char* name;
  std::string stored;
  CompactFault fault;
};

TEST(RecordCodec, RefusesDamagedInput) {
  const std::string sound = Compact("ab" + std::string(10, '\0') + "cd" + std::string(6, 'e'));
  ASSERT_EQ(sound.size(), 11U);  // 01 14 | 08 'a' 'b' | 29 | 08 'c' 'd' | 1A 'e'
  const Damaged cases[] = {
      {"empty", "", CompactFault::kUnknownVersion},
      {"plain record",
       "\x0A"
       "0100001231",
       CompactFault::kUnknownVersion},
      {"version 2", "\x02" + sound.substr(1), CompactFault::kUnknownVersion},
      {"no length", Bytes({1}), CompactFault::kBadLength},
      {"length cut off", Bytes({1, 0x80}), CompactFault::kBadLength},
      {"length too long a varint", Bytes({1, 0x80, 0x80, 0x80, 0x80, 0x80, 0}),
       CompactFault::kBadLength},
      {"length beyond the largest record", Bytes({1, 0x81, 0x80, 0x40}), CompactFault::kBadLength},
      {"length shorter than the runs", Bytes({1, 19}) + sound.substr(2), CompactFault::kBadLength},
      {"zero run beyond the length", Bytes({1, 4, (5 << 2) | 1}), CompactFault::kBadLength},
      {"literal cut off", sound.substr(0, 3), CompactFault::kTruncatedRun},
      {"repeat without its byte", sound.substr(0, 10), CompactFault::kTruncatedRun},
      {"token cut off", Bytes({1, 50, 0x80}), CompactFault::kTruncatedRun},
      {"unknown kind", Bytes({1, 4, (1 << 2) | 3}), CompactFault::kBadRun},
      {"empty run", Bytes({1, 4, 1}), CompactFault::kBadRun},
  };
  for (const Damaged& c : cases) {
    SCOPED_TRACE(c.name);
    std::string out;
    EXPECT_EQ(ExpandRecord(c.stored, &out), c.fault);
    EXPECT_STRNE(CompactFaultReason(c.fault), "sound");
  }
  std::string out;
  EXPECT_EQ(ExpandRecord(sound, &out), CompactFault::kNone);
}

// Every cut of a sound compact record is refused or gives a record of the
// stated length: never bytes out of bounds (AddressSanitizer watches).
TEST(RecordCodec, EveryCutOfARecordIsSafe) {
  const std::string stored = Compact(RubricLike());
  for (std::size_t size = 0; size < stored.size(); ++size) {
    std::string out;
    const CompactFault fault = ExpandRecord(std::string_view(stored).substr(0, size), &out);
    if (fault == CompactFault::kNone) {
      EXPECT_EQ(out.size(), RubricLike().size()) << size;
    }
  }
}

}  // namespace
}  // namespace vz::engine
