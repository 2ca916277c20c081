// Reads: search positioning, read next, duplicates, out of file, buffers.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/engine/engine_test_support.h"
#include "platform/engine/le_api.h"

namespace vz::engine::testing {
namespace {

class EngineReadTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    // Added out of order on purpose.
    for (const char* code : {"010000051", "010000012", "010000011", "010000031", "020000011"}) {
      ASSERT_TRUE(AddClient(code, std::string("N") + code));
    }
  }

  // Codes read by a search then read next until out of file.
  std::vector<std::string> Walk(const char* value) {
    std::vector<std::string> codes;
    int32_t found = value != nullptr ? LE_Hlitrecherche(ctx_, "CLIENT", "CODCLI", value, 0)
                                     : LE_Hlitpremier(ctx_, "CLIENT", "CODCLI", 0);
    while (found == 1 && LE_Hendehors(ctx_) == 0) {
      codes.push_back(ClientCode(client_));
      found = LE_Hlitsuivant(ctx_, "CLIENT", "CODCLI", 0);
    }
    EXPECT_EQ(LE_Hendehors(ctx_), 1);
    return codes;
  }
};

TEST_F(EngineReadTest, SearchPositionsOnTheFirstKeyGreaterOrEqual) {
  struct Case {
    const char* value;
    const char* first;  // nullptr: out of file
  } cases[] = {
      {"010000031", "010000031"},  // exact
      {"01000001", "010000011"},   // prefix: the first record that begins with it
      {"010000013", "010000031"},  // between keys
      {"010000012", "010000012"},
      {"", "010000011"},  // empty value: the first record
      {"0", "010000011"},
      {"01000005", "010000051"},
      {"02", "020000011"},
      {"020000012", nullptr},  // past the end
      {"9", nullptr},
      {"\xFF", nullptr},  // byte order, not signed chars
  };
  for (const Case& c : cases) {
    client_.Clear();
    int32_t found = LE_Hlitrecherche(ctx_, "CLIENT", "codcli", c.value, 0);
    if (c.first == nullptr) {
      EXPECT_EQ(found, 0) << c.value;
      EXPECT_EQ(LE_Hendehors(ctx_), 1) << c.value;
    } else {
      EXPECT_EQ(found, 1) << c.value;
      EXPECT_EQ(LE_Hendehors(ctx_), 0) << c.value;
      EXPECT_EQ(ClientCode(client_), c.first) << c.value;
    }
  }
}

TEST_F(EngineReadTest, ReadNextWalksKeyOrderToTheEnd) {
  std::vector<std::string> all = {"010000011", "010000012", "010000031", "010000051", "020000011"};
  EXPECT_EQ(Walk(nullptr), all);
  EXPECT_EQ(Walk("010000013"), std::vector<std::string>(all.begin() + 2, all.end()));
  // Read next after the end stays out of file.
  EXPECT_EQ(LE_Hlitsuivant(ctx_, "CLIENT", "CODCLI", 0), 0);
  EXPECT_EQ(LE_Hendehors(ctx_), 1);
}

TEST_F(EngineReadTest, DuplicateKeysKeepInsertionOrder) {
  ASSERT_TRUE(AddClient("010000031", "second"));
  ASSERT_TRUE(AddClient("010000031", "third"));
  ASSERT_EQ(LE_Hlitrecherche(ctx_, "CLIENT", "CODCLI", "010000031", 0), 1);
  std::vector<std::string> names;
  while (LE_Hendehors(ctx_) == 0 && ClientCode(client_) == "010000031") {
    names.push_back(client_.Text(5));
    LE_Hlitsuivant(ctx_, "CLIENT", "CODCLI", 0);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"N010000031", "second", "third"}));
}

TEST_F(EngineReadTest, ReadNextAfterDeletingTheCurrentRecord) {
  ASSERT_TRUE(AddClient("010000031", "dup"));
  ASSERT_EQ(LE_Hlitrecherche(ctx_, "CLIENT", "CODCLI", "010000031", 0), 1);
  ASSERT_EQ(LE_Hsupprime(ctx_, "CLIENT", 0), 1);
  ASSERT_EQ(LE_Hlitsuivant(ctx_, "CLIENT", "CODCLI", 0), 1);
  EXPECT_EQ(client_.Text(5), "dup");  // the equal key added later
  ASSERT_EQ(LE_Hsupprime(ctx_, "CLIENT", 0), 1);
  ASSERT_EQ(LE_Hlitsuivant(ctx_, "CLIENT", "CODCLI", 0), 1);
  EXPECT_EQ(ClientCode(client_), "010000051");
  // Deleting twice or modifying a deleted record is refused.
  ASSERT_EQ(LE_Hsupprime(ctx_, "CLIENT", 0), 1);
  EXPECT_EQ(LE_Hsupprime(ctx_, "CLIENT", 0), 0);
  EXPECT_EQ(LE_Hmodifie(ctx_, "CLIENT", 0), 0);
  EXPECT_EQ(Walk(nullptr), (std::vector<std::string>{"010000011", "010000012", "020000011"}));
}

TEST_F(EngineReadTest, DeletingEveryRecordInALoop) {
  ASSERT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "CODCLI", 0), 1);
  int deleted = 0;
  while (LE_Hendehors(ctx_) == 0) {
    ASSERT_EQ(LE_Hsupprime(ctx_, "CLIENT", 0), 1);
    ++deleted;
    LE_Hlitsuivant(ctx_, "CLIENT", "CODCLI", 0);
  }
  EXPECT_EQ(deleted, 5);
  EXPECT_EQ(Count("CLIENT"), 0);
}

TEST_F(EngineReadTest, ReadNextWithAnotherKeyContinuesInThatKeysOrder) {
  // NOMCLI is the name's first 8 characters: N0100000 for all but one.
  ASSERT_TRUE(AddClient("030000011", "AAAA"));
  ASSERT_TRUE(AddClient("030000021", "ZZZZ"));
  ASSERT_EQ(LE_Hlitrecherche(ctx_, "CLIENT", "CODCLI", "010000031", 0), 1);
  ASSERT_EQ(LE_Hlitsuivant(ctx_, "CLIENT", "NOMCLI", 0), 1);
  // In NOMCLI order the records with key "N0100000" follow by record number:
  // 010000051 (1), 010000012 (2), 010000011 (3), 010000031 (4), then N0200000.
  EXPECT_EQ(ClientCode(client_), "020000011");
  ASSERT_EQ(LE_Hlitsuivant(ctx_, "CLIENT", "NOMCLI", 0), 1);
  EXPECT_EQ(ClientCode(client_), "030000021");
  EXPECT_EQ(LE_Hlitsuivant(ctx_, "CLIENT", "NOMCLI", 0), 0);
  ASSERT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "NOMCLI", 0), 1);
  EXPECT_EQ(client_.Text(5), "AAAA");
  // And back to CODCLI from there.
  ASSERT_EQ(LE_Hlitsuivant(ctx_, "CLIENT", "CODCLI", 0), 1);
  EXPECT_EQ(ClientCode(client_), "030000021");
  ASSERT_EQ(LE_Hlitrecherche(ctx_, "CLIENT", "NOMCLI", "N", 0), 1);
  EXPECT_EQ(ClientCode(client_), "010000051");
  ASSERT_EQ(LE_Hlitsuivant(ctx_, "CLIENT", "CODCLI", 0), 1);
  EXPECT_EQ(ClientCode(client_), "020000011");
}

// A search made while a read loop stands somewhere in the file finds what a
// search from nowhere finds, whether the record is behind the current one,
// the current one, a step or two ahead, far ahead, a duplicate or past the
// end; and read next goes on from the record found.
TEST_F(EngineReadTest, SearchFromAnyPositionFindsWhatAFreshSearchFinds) {
  for (const char* code : {"010000031", "010000061", "010000071", "010000081", "010000091",
                           "010000101", "010000111"}) {
    ASSERT_TRUE(AddClient(code, std::string("M") + code));
  }
  const std::vector<std::string> all = Walk(nullptr);
  ASSERT_EQ(all.size(), 12u);
  const char* values[] = {"",          "0",        "010000011", "01000001",  "010000013",
                          "010000031", "01000003", "010000032", "01000006",  "010000071",
                          "010000091", "01000011", "010000111", "020000011", "020000012",
                          "03",        "\xFF"};
  // The first record at or above the value in key order (byte order).
  auto expected_walk = [&](std::string_view value) {
    std::vector<std::string> rest;
    for (const std::string& code : all) {
      if (code >= value) rest.push_back(code);
    }
    return rest;
  };
  for (size_t start = 0; start <= all.size(); ++start) {
    for (const char* value : values) {
      // Stand on record `start` (or out of file past the last one).
      ASSERT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "CODCLI", 0), 1);
      for (size_t i = 0; i < start; ++i) LE_Hlitsuivant(ctx_, "CLIENT", "CODCLI", 0);
      const std::vector<std::string> rest = Walk(value);
      EXPECT_EQ(rest, expected_walk(value)) << "from " << start << " to \"" << value << "\"";
    }
  }
  // Duplicates: from before them, the search lands on the first one added.
  ASSERT_EQ(LE_Hlitrecherche(ctx_, "CLIENT", "CODCLI", "010000012", 0), 1);
  ASSERT_EQ(LE_Hlitrecherche(ctx_, "CLIENT", "CODCLI", "010000031", 0), 1);
  EXPECT_EQ(client_.Text(5), "N010000031");
  ASSERT_EQ(LE_Hlitsuivant(ctx_, "CLIENT", "CODCLI", 0), 1);
  EXPECT_EQ(client_.Text(5), "M010000031");
}

// A record written between a read and the next search is found by it.
TEST_F(EngineReadTest, SearchAfterAWriteSeesTheNewRecord) {
  ASSERT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "CODCLI", 0), 1);  // 010000011
  ASSERT_TRUE(AddClient("010000013", "new"));
  ASSERT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "CODCLI", 0), 1);
  ASSERT_EQ(LE_Hlitrecherche(ctx_, "CLIENT", "CODCLI", "010000013", 0), 1);
  EXPECT_EQ(client_.Text(5), "new");
}

TEST_F(EngineReadTest, OutOfFileLeavesTheBufferAlone) {
  FillClient(client_, "999999999", "untouched", 7);
  std::vector<uint8_t> before(client_.data(), client_.data() + client_.described_size());
  EXPECT_EQ(LE_Hlitrecherche(ctx_, "CLIENT", "CODCLI", "99", 0), 0);
  EXPECT_EQ(std::vector<uint8_t>(client_.data(), client_.data() + client_.described_size()),
            before);
}

TEST_F(EngineReadTest, ReadsWriteExactlyTheDescribedFieldsWithZeroSlots) {
  FillClient(client_, "000000000", "", 0);
  std::memset(client_.data(), 0x55, client_.described_size());
  ASSERT_EQ(LE_Hlitrecherche(ctx_, "CLIENT", "CODCLI", "010000031", 0), 1);
  EXPECT_EQ(client_.Text(5), "N010000031");
  EXPECT_EQ(client_.Text(4), "");  // slot: all zero bytes
  for (std::size_t i = 0; i < client_.FieldSize(4); ++i) EXPECT_EQ(client_.Field(4)[i], 0);
  // Declared 905 bytes, described 46: nothing past the described fields moves.
  EXPECT_TRUE(client_.GuardIntact());
}

TEST_F(EngineReadTest, StoredRecordsHoldZeroSlots) {
  // The program's slot held 'K' bytes when the records were added; a second,
  // differently initialised buffer reads the same bytes back.
  Record other({3, 7, 2, 11, 21, 2}, "111412");
  int32_t ctx2 = OpenSecondContext(true, &other, nullptr);
  std::memset(other.data(), 0x77, other.described_size());
  ASSERT_EQ(LE_Hlitpremier(ctx2, "CLIENT", "CODCLI", 0), 1);
  for (std::size_t i = 0; i < other.FieldSize(4); ++i) EXPECT_EQ(other.Field(4)[i], 0);
  EXPECT_EQ(other.Text(1) + other.Text(2) + other.Text(3), "010000011");
  LE_HftermineCTX(ctx2);
}

TEST_F(EngineReadTest, UnknownNamesFailQuietly) {
  FillClient(client_, "777777777", "kept");
  struct Case {
    const char* file;
    const char* key;
  } cases[] = {{"CLIENT", "NOKEY"},  {"NOFILE", "CODCLI"}, {"", ""},
               {"CLIENT", ""},       {nullptr, nullptr},   {"CLIENT", nullptr},
               {"REVENUS", "CODCLI"}};
  for (const Case& c : cases) {
    EXPECT_EQ(LE_Hlitpremier(ctx_, c.file, c.key, 0), 0);
    EXPECT_EQ(LE_Hendehors(ctx_), 1);
    EXPECT_EQ(LE_Hlitrecherche(ctx_, c.file, c.key, "01", 0), 0);
    EXPECT_EQ(LE_Hlitsuivant(ctx_, c.file, c.key, 0), 0);
  }
  for (const char* file : {"NOFILE", "", static_cast<const char*>(nullptr)}) {
    EXPECT_EQ(LE_Hajoute(ctx_, file, 0), 0);
    EXPECT_EQ(LE_Hcreation(ctx_, file), 0);
  }
  EXPECT_EQ(LE_Hlitrecherche(ctx_, "CLIENT", "CODCLI", nullptr, 0), 1);  // "" value
  FillClient(client_, "777777777", "kept");
  EXPECT_EQ(LE_Hlitpremier(ctx_, "NOFILE", "CODCLI", 0), 0);
  EXPECT_EQ(client_.Text(5), "kept");
  // Unknown contexts.
  EXPECT_EQ(LE_Hlitpremier(0, "CLIENT", "CODCLI", 0), 0);
  EXPECT_EQ(LE_Hlitpremier(-5, "CLIENT", "CODCLI", 0), 0);
  EXPECT_EQ(LE_Hendehors(123456), 1);
  EXPECT_EQ(LE_Hajoute(123456, "CLIENT", 0), 0);
}

TEST_F(EngineReadTest, FileAndKeyNamesIgnoreCase) {
  ASSERT_EQ(LE_Hlitrecherche(ctx_, "client", "CodCli", "02", 0), 1);
  EXPECT_EQ(ClientCode(client_), "020000011");
  EXPECT_EQ(LE_Hlitsuivant(ctx_, "Client", "codcli", 0), 0);
}

TEST_F(EngineReadTest, CompositeKeysWithLeadingParts) {
  ASSERT_TRUE(AddRevenu("010000011", "40000", "001", 10));
  ASSERT_TRUE(AddRevenu("010000011", "40100", "001", 20));
  ASSERT_TRUE(AddRevenu("010000011", "40000", "002", 30));
  ASSERT_TRUE(AddRevenu("010000012", "40000", "001", 40));
  ASSERT_TRUE(AddRevenu("0100000", "4", "1", 50));  // short fields are padded
  std::vector<int> amounts;
  LE_Hlitrecherche(ctx_, "REVENUS", "CODCLEF", "010000011", 0);
  while (LE_Hendehors(ctx_) == 0 && revenus_.Text(1) == "010000011") {
    amounts.push_back(revenus_.Int16(4));
    LE_Hlitsuivant(ctx_, "REVENUS", "CODCLEF", 0);
  }
  EXPECT_EQ(amounts, (std::vector<int>{10, 30, 20}));
  ASSERT_EQ(LE_Hlitrecherche(ctx_, "REVENUS", "CODCLEF", "0100000  4    1  ", 0), 1);
  EXPECT_EQ(revenus_.Int16(4), 50);
  ASSERT_EQ(LE_Hlitrecherche(ctx_, "REVENUS", "CODCLEF", "01000001140000002", 0), 1);
  EXPECT_EQ(revenus_.Int16(4), 30);
}

TEST_F(EngineReadTest, NoPadKeysAndEngineOnlyKeys) {
  struct Row {
    const char* a;
    const char* b;
    const char* c;
  } rows[] = {{"X", "BBBBBBBBBBBB", "C"}, {"X", "B", "CC"}, {"XY", "", "A"}};
  for (const Row& r : rows) {
    charsoc_.Clear();
    charsoc_.SetText(1, r.a);
    charsoc_.SetText(2, r.b);
    charsoc_.SetText(3, r.c);
    ASSERT_EQ(LE_Hajoute(ctx_, "CHARSOC", 0), 1);
  }
  // Keys: "XBBBBBBBBBC", "XBCC", "XYA": byte order of the unpadded texts.
  std::vector<std::string> order;
  LE_Hlitpremier(ctx_, "CHARSOC", "CLE", 0);
  while (LE_Hendehors(ctx_) == 0) {
    order.push_back(charsoc_.Text(1) + "|" + charsoc_.Text(2) + "|" + charsoc_.Text(3));
    LE_Hlitsuivant(ctx_, "CHARSOC", "CLE", 0);
  }
  EXPECT_EQ(order, (std::vector<std::string>{"X|BBBBBBBBBBBB|C", "X|B|CC", "XY||A"}));
  ASSERT_EQ(LE_Hlitrecherche(ctx_, "CHARSOC", "CLE", "XBC", 0), 1);
  EXPECT_EQ(charsoc_.Text(3), "CC");

  for (const char* postcode : {"75010", "13001", "69002"}) {
    selectes_.SetText(1, std::string("C") + postcode);
    selectes_.SetText(2, postcode);
    ASSERT_EQ(LE_Hajoute(ctx_, "SELECTES", 0), 1);
  }
  LE_Hlitpremier(ctx_, "SELECTES", "CODPTT", 0);
  std::string codes;
  while (LE_Hendehors(ctx_) == 0) {
    codes += selectes_.Text(2) + ",";
    LE_Hlitsuivant(ctx_, "SELECTES", "CODPTT", 0);
  }
  EXPECT_EQ(codes, "13001,69002,75010,");
}

TEST_F(EngineReadTest, MissingFileReadsOutOfFileAndCreatesNothing) {
  EXPECT_EQ(LE_Hlitpremier(ctx_, "SELECTES", "CODPTT", 0), 0);
  EXPECT_EQ(LE_Hendehors(ctx_), 1);
  EXPECT_EQ(Count("SELECTES"), 0);
  EXPECT_FALSE(Stored("SELECTES"));
  EXPECT_TRUE(Stored("CLIENT"));
}

}  // namespace
}  // namespace vz::engine::testing
