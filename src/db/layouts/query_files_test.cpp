// Field tables of REQUETES, SELECTES and INTERFA, as the layouts give them,
// checked against the named accessors.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "src/db/layouts/interfa.h"
#include "src/db/layouts/layout_probe_test_util.h"
#include "src/db/layouts/requetes.h"
#include "src/db/layouts/selectes.h"
#include "src/db/record_buffers.h"

namespace vz::db::testing {

std::vector<FileProbes> QueryFileProbes() {
  using Q = QueryLineRecord;
  using S = SelectedRecord;
  using I = InterfaceRecord;
  return {
      {FileId::REQUETES,
       "REQUETES",
       688,
       {
           Text<Q>("1 prefix", 1, 0, 2, &Q::Prefix, &Q::SetPrefix),
           Text<Q>("2 number", 2, 3, 6, &Q::Number, &Q::SetNumber),
           Text<Q>("3 criteria key", 3, 10, 12, &Q::CriteriaKey, &Q::SetCriteriaKey),
           TextAt<Q>("6 piece 1", 6, 0, 35, 51, &Q::Piece, &Q::SetPiece),
           TextAt<Q>("6 piece 2", 6, 1, 87, 51, &Q::Piece, &Q::SetPiece),
           TextAt<Q>("6 piece 3", 6, 2, 139, 51, &Q::Piece, &Q::SetPiece),
           TextAt<Q>("6 piece 4", 6, 3, 191, 51, &Q::Piece, &Q::SetPiece),
           TextAt<Q>("6 piece 5", 6, 4, 243, 51, &Q::Piece, &Q::SetPiece),
           Text<Q>("7 state", 7, 295, 1, &Q::State, &Q::SetState),
           Text<Q>("8 marker", 8, 297, 1, &Q::Marker, &Q::SetMarker),
           KeySlot<Q>("key CODREQ", 0, 302, &Q::Codreq, &Q::SetCodreq),
           KeySlot<Q>("key codreq1", 1, 367, &Q::Codreq1, &Q::SetCodreq1),
           LongText<Q>("line text", 432, &Q::LineText, &Q::SetLineText),
       }},
      {FileId::SELECTES,
       "SELECTES",
       40,
       {
           Text<S>("1 client code", 1, 0, 9, &S::ClientCode, &S::SetClientCode),
           Text<S>("2 name", 2, 10, 8, &S::Name, &S::SetName),
           Text<S>("3 postcode", 3, 19, 5, &S::Postcode, &S::SetPostcode),
           Text<S>("4 city", 4, 25, 8, &S::City, &S::SetCity),
           Int16<S>("5 sequence", 5, 34, &S::Sequence, &S::SetSequence),
           Text<S>("6 marker", 6, 36, 1, &S::Marker, &S::SetMarker),
           Int16<S>("7 last field", 7, 38, &S::LastField, &S::SetLastField),
       }},
      {FileId::INTERFA,
       "INTERFA",
       703,
       {
           Text<I>("1 first field", 1, 0, 14, &I::Field1, &I::SetField1),
           Text<I>("2 keyword", 2, 15, 12, &I::Keyword, &I::SetKeyword),
           TextAt<I>("5 piece 1", 5, 0, 40, 51, &I::Piece, &I::SetPiece),
           TextAt<I>("5 piece 2", 5, 1, 92, 51, &I::Piece, &I::SetPiece),
           TextAt<I>("5 piece 3", 5, 2, 144, 51, &I::Piece, &I::SetPiece),
           TextAt<I>("5 piece 4", 5, 3, 196, 51, &I::Piece, &I::SetPiece),
           TextAt<I>("5 piece 5", 5, 4, 248, 51, &I::Piece, &I::SetPiece),
           KeySlot<I>("first key", 0, 317, &I::FirstKey, &I::SetFirstKey),
           KeySlot<I>("key MOTCLEF", 1, 382, &I::Motclef, &I::SetMotclef),
           LongText<I>("line text", 447, &I::LineText, &I::SetLineText),
       }},
  };
}

namespace {

TEST(QueryLayoutsTest, EveryNamedFieldSitsAtItsOffset) {
  for (const FileProbes& file : QueryFileProbes()) {
    SCOPED_TRACE(file.name);
    for (const FieldProbe& probe : file.probes) CheckProbe(probe, file.buffer_size);
  }
}

TEST(QueryLayoutsTest, BufferSizesMatchTheProgramBuffers) {
  EXPECT_EQ(QueryLineRecord::kBufferSize, 688u);
  EXPECT_EQ(SelectedRecord::kBufferSize, 40u);
  EXPECT_EQ(InterfaceRecord::kBufferSize, 703u);
  EXPECT_EQ(RecordBufferSize(FileId::REQUETES), QueryLineRecord::kBufferSize);
  EXPECT_EQ(RecordBufferSize(FileId::SELECTES), SelectedRecord::kBufferSize);
  EXPECT_EQ(RecordBufferSize(FileId::INTERFA), InterfaceRecord::kBufferSize);
}

TEST(QueryLayoutsTest, CurrentViewsUseTheProcessWideBuffers) {
  EXPECT_EQ(CurrentQueryLine().data, RecordBuffer(FileId::REQUETES));
  EXPECT_EQ(CurrentSelected().data, RecordBuffer(FileId::SELECTES));
  EXPECT_EQ(CurrentInterface().data, RecordBuffer(FileId::INTERFA));
}

// The 12th character of the criteria key chooses whose records a rubric
// loader takes; a short or empty key has none.
TEST(QueryLayoutsTest, PersonRuleIsTheTwelfthCharacterOfTheCriteriaKey) {
  struct Case {
    std::string key;
    char rule;
  };
  const Case cases[] = {
      {"40000******1", '1'},
      {"40000******2", '2'},
      {"TITRE*******", '*'},
      {"40000******", '\0'},
      {"", '\0'},
      {"40000******2EXTRA", '2'},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> buffer(QueryLineRecord::kBufferSize, 0);
    QueryLineRecord line{buffer.data()};
    line.SetCriteriaKey(c.key);
    EXPECT_EQ(line.PersonRule(), c.rule) << c.key;
  }
  // A damaged length byte cannot make the rule read past the field.
  std::vector<uint8_t> buffer(QueryLineRecord::kBufferSize, '9');
  buffer[QueryLineRecord::kCriteriaKeyOffset] = 0xFF;
  EXPECT_EQ(QueryLineRecord{buffer.data()}.PersonRule(), '9');
}

// The long text holds 255 characters, the most a length byte can count, and
// ends exactly at the end of the buffer.
TEST(QueryLayoutsTest, LineTextHoldsTwoHundredFiftyFiveCharacters) {
  for (size_t buffer_size : {QueryLineRecord::kBufferSize, InterfaceRecord::kBufferSize}) {
    std::vector<uint8_t> buffer(buffer_size, 0);
    const std::string text(255, '\t');
    if (buffer_size == QueryLineRecord::kBufferSize) {
      QueryLineRecord line{buffer.data()};
      line.SetLineText(text + "overflow");
      EXPECT_EQ(line.LineText(), text);
    } else {
      InterfaceRecord line{buffer.data()};
      line.SetLineText(text + "overflow");
      EXPECT_EQ(line.LineText(), text);
    }
    EXPECT_EQ(buffer[buffer_size - 256], 255);
    EXPECT_EQ(buffer.back(), '\t');
  }
}

TEST(QueryLayoutsTest, PieceIndexOutsideTheFiveIsHarmless) {
  for (size_t bad : {size_t{5}, size_t{6}, std::numeric_limits<size_t>::max()}) {
    std::vector<uint8_t> buffer(QueryLineRecord::kBufferSize, 0x5A);
    const std::vector<uint8_t> before = buffer;
    QueryLineRecord line{buffer.data()};
    line.SetPiece(bad, "morceau");
    EXPECT_EQ(buffer, before) << "index " << bad;
    EXPECT_TRUE(line.Piece(bad).empty());
    InterfaceRecord record{buffer.data()};
    record.SetPiece(bad, "morceau");
    EXPECT_EQ(buffer, before) << "index " << bad;
    EXPECT_TRUE(record.Piece(bad).empty());
  }
}

// The extraction keeps the first 8 characters of the name and of the city.
TEST(QueryLayoutsTest, SelectedRecordKeepsEightCharactersOfNameAndCity) {
  std::vector<uint8_t> buffer(SelectedRecord::kBufferSize + 8, 0x5A);
  SelectedRecord selected{buffer.data()};
  selected.SetName("DE LA FONTAINE");
  selected.SetCity("SAINT-\xC9TIENNE");  // cp1252
  selected.SetPostcode("420000");
  EXPECT_EQ(selected.Name(), "DE LA FO");
  EXPECT_EQ(selected.City(), "SAINT-\xC9T");
  EXPECT_EQ(selected.Postcode(), "42000");
  for (size_t i = SelectedRecord::kBufferSize; i < buffer.size(); ++i) EXPECT_EQ(buffer[i], 0x5A);
}

}  // namespace
}  // namespace vz::db::testing
