// The named fields of REQUETES, SELECTES and INTERFA, and the faults that
// their places alone do not show: the person rule, the long line text, piece
// indexes and the cut name and city.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "src/db/layouts/interfa.h"
#include "src/db/layouts/layout_probe_test_util.h"
#include "src/db/layouts/requetes.h"
#include "src/db/layouts/selectes.h"

namespace vz::db::testing {

std::vector<FileProbes> QueryFileProbes() {
  using Q = QueryLineRecord;
  using S = SelectedRecord;
  using I = InterfaceRecord;
  FileProbes requetes = {FileId::REQUETES,
                         {
                             Field<Q>("1 prefix", 1, &Q::Prefix, &Q::SetPrefix),
                             Field<Q>("2 number", 2, &Q::Number, &Q::SetNumber),
                             Field<Q>("3 criteria key", 3, &Q::CriteriaKey, &Q::SetCriteriaKey),
                             Field<Q>("7 state", 7, &Q::State, &Q::SetState),
                             Field<Q>("8 marker", 8, &Q::Marker, &Q::SetMarker),
                             KeySlot<Q>("key CODREQ", 0, &Q::Codreq, &Q::SetCodreq),
                             KeySlot<Q>("key codreq1", 1, &Q::Codreq1, &Q::SetCodreq1),
                             LongText<Q>("line text", &Q::LineText, &Q::SetLineText),
                         }};
  FileProbes interfa = {FileId::INTERFA,
                        {
                            Field<I>("1 first field", 1, &I::Field1, &I::SetField1),
                            Field<I>("2 keyword", 2, &I::Keyword, &I::SetKeyword),
                            KeySlot<I>("first key", 0, &I::FirstKey, &I::SetFirstKey),
                            KeySlot<I>("key MOTCLEF", 1, &I::Motclef, &I::SetMotclef),
                            LongText<I>("line text", &I::LineText, &I::SetLineText),
                        }};
  // The five pieces in which the engine stores the line text.
  for (size_t piece = 0; piece < 5; ++piece) {
    const std::string n = " piece " + std::to_string(piece + 1);
    requetes.probes.push_back(Element<Q>("6" + n, 6, piece, 5, &Q::Piece, &Q::SetPiece));
    interfa.probes.push_back(Element<I>("5" + n, 5, piece, 5, &I::Piece, &I::SetPiece));
  }
  return {
      requetes,
      {FileId::SELECTES,
       {
           Field<S>("1 client code", 1, &S::ClientCode, &S::SetClientCode),
           Field<S>("2 name", 2, &S::Name, &S::SetName),
           Field<S>("3 postcode", 3, &S::Postcode, &S::SetPostcode),
           Field<S>("4 city", 4, &S::City, &S::SetCity),
           Field<S>("5 sequence", 5, &S::Sequence, &S::SetSequence),
           Field<S>("6 marker", 6, &S::Marker, &S::SetMarker),
           Field<S>("7 last field", 7, &S::LastField, &S::SetLastField),
       }},
      interfa,
  };
}

namespace {

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
  buffer[Describe(FileId::REQUETES).field_offsets[2]] = 0xFF;
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
