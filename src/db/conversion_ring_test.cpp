#include "src/db/conversion_ring.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace vz::db {
namespace {

using namespace std::string_literals;

TEST(ConversionRingTest, WhatTheEngineSeesForEachLength) {
  struct Case {
    std::string text;
    std::string seen;
  };
  const Case cases[] = {
      {"", ""},
      {"CLIENT", "CLIENT"},
      {std::string(253, 'a'), std::string(253, 'a')},
      {std::string(254, 'b'), std::string(254, 'b')},
      {std::string(255, 'c'), std::string(254, 'c')},  // the NUL did not fit
      {std::string(256, 'd'), std::string(254, 'd')},
      {std::string(100000, 'e'), std::string(254, 'e')},
      {"AB\0CD"s, "AB"},  // an embedded NUL ends the engine's text
      {"\xE9t\xE9", "\xE9t\xE9"},
  };
  ConversionRing ring;
  for (const Case& c : cases) {
    const char* converted = ring.Convert(c.text);
    EXPECT_EQ(std::string(converted), c.seen) << c.text.size();
    // The slot is a length-prefixed text that includes the NUL.
    size_t length = static_cast<unsigned char>(converted[-1]);
    EXPECT_EQ(length, std::min<size_t>(c.text.size() + 1, 255)) << c.text.size();
  }
}

TEST(ConversionRingTest, ElevenConversionsStayValid) {
  ConversionRing ring;
  std::vector<const char*> converted;
  std::vector<std::string> texts;
  for (int i = 0; i < 11; ++i) {
    texts.push_back("text number " + std::to_string(i));
    converted.push_back(ring.Convert(texts.back()));
  }
  for (int i = 0; i < 11; ++i)
    EXPECT_STREQ(converted[static_cast<size_t>(i)], texts[static_cast<size_t>(i)].c_str());
  // The twelfth reuses the first slot.
  const char* twelfth = ring.Convert("twelfth");
  EXPECT_EQ(twelfth, converted[0]);
  EXPECT_STREQ(converted[0], "twelfth");
  EXPECT_STREQ(converted[1], "text number 1");
  EXPECT_EQ(ring.next_slot(), 1u);
}

TEST(ConversionRingTest, LongTextDoesNotLeakIntoTheNextSlot) {
  ConversionRing ring;
  const char* first = ring.Convert(std::string(300, 'x'));
  const char* second = ring.Convert("next");
  EXPECT_EQ(std::strlen(first), 254u);
  EXPECT_STREQ(second, "next");
}

TEST(ConversionRingTest, ProcessWideRingAdvances) {
  size_t before = EngineTexts().next_slot();
  ToEngine("a");
  ToEngine("b");
  EXPECT_EQ(EngineTexts().next_slot(), (before + 2) % ConversionRing::kSlots);
}

}  // namespace
}  // namespace vz::db
