// Field tables of CLIENT, ADRESSES and CLIPART, as the layouts give them,
// checked against the named accessors.
#include "src/db/layouts/client.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "src/db/layouts/adresses.h"
#include "src/db/layouts/clipart.h"
#include "src/db/layouts/layout_probe_test_util.h"
#include "src/db/record_buffers.h"

namespace vz::db::testing {

std::vector<FileProbes> ClientFileProbes() {
  using C = ClientRecord;
  using A = AddressRecord;
  using E = EstateRecord;
  return {
      {FileId::CLIENT,
       "CLIENT",
       951,
       {
           Text<C>("1 prefix", 1, 0, 2, &C::Prefix, &C::SetPrefix),
           Text<C>("2 file number", 2, 3, 6, &C::FileNumber, &C::SetFileNumber),
           Text<C>("3 person digit", 3, 10, 1, &C::PersonDigit, &C::SetPersonDigit),
           Text<C>("4 name", 4, 12, 20, &C::Name, &C::SetName),
           Text<C>("6 identity 0000B", 6, 54, 20, &C::IdentityTextB, &C::SetIdentityTextB),
           Text<C>("7 address line 1", 7, 75, 30, &C::AddressLine1, &C::SetAddressLine1),
           Text<C>("8 address line 2", 8, 106, 30, &C::AddressLine2, &C::SetAddressLine2),
           Text<C>("9 postcode", 9, 137, 5, &C::Postcode, &C::SetPostcode),
           Text<C>("10 city", 10, 143, 30, &C::City, &C::SetCity),
           Text<C>("11 identity 0000F", 11, 174, 15, &C::IdentityTextF, &C::SetIdentityTextF),
           Text<C>("12 identity 0000G", 12, 190, 15, &C::IdentityTextG, &C::SetIdentityTextG),
           Text<C>("13 family situation", 13, 206, 1, &C::FamilySituation, &C::SetFamilySituation),
           Text<C>("14 civility code", 14, 208, 1, &C::CivilityCode, &C::SetCivilityCode),
           Text<C>("15 birth date", 15, 210, 8, &C::BirthDate, &C::SetBirthDate),
           Text<C>("18 profession code", 18, 230, 5, &C::ProfessionCode, &C::SetProfessionCode),
           Text<C>("23 regime code", 23, 253, 5, &C::RegimeCode, &C::SetRegimeCode),
           Text<C>("38 file number typed", 38, 333, 16, &C::DossierNumber, &C::SetDossierNumber),
           Text<C>("67 civility title", 67, 748, 20, &C::CivilityTitle, &C::SetCivilityTitle),
           Text<C>("82 text of 14", 82, 850, 14, &C::Field82, &C::SetField82),
           Text<C>("84 stamp", 84, 867, 17, &C::UpdateStamp, &C::SetUpdateStamp),
           KeySlot<C>("key CODCLI", 0, 886, &C::Codcli, &C::SetCodcli),
       }},
      {FileId::ADRESSES,
       "ADRESSES",
       498,
       {
           Text<A>("1 prefix", 1, 0, 2, &A::Prefix, &A::SetPrefix),
           Text<A>("2 file number", 2, 3, 6, &A::FileNumber, &A::SetFileNumber),
           Text<A>("3 address number", 3, 10, 3, &A::AddressNumber, &A::SetAddressNumber),
           TextAt<A>("4 line 1", 4, 0, 14, 70, &A::Line, &A::SetLine),
           TextAt<A>("4 line 2", 4, 1, 85, 70, &A::Line, &A::SetLine),
           TextAt<A>("4 line 3", 4, 2, 156, 70, &A::Line, &A::SetLine),
           Text<A>("5 postcode", 5, 227, 5, &A::Postcode, &A::SetPostcode),
           Text<A>("6 city", 6, 233, 70, &A::City, &A::SetCity),
           KeySlot<A>("key CODADR", 0, 433, &A::Codadr, &A::SetCodadr),
       }},
      {FileId::CLIPART,
       "CLIPART",
       1180,
       {
           Text<E>("1 client code", 1, 0, 9, &E::ClientCode, &E::SetClientCode),
           RealAt<E>("12 estate, first death", 12, 0, 249, &E::EstateOnDeath, &E::SetEstateOnDeath),
           RealAt<E>("12 estate, second death", 12, 1, 253, &E::EstateOnDeath,
                     &E::SetEstateOnDeath),
       }},
  };
}

namespace {

TEST(ClientLayoutsTest, EveryNamedFieldSitsAtItsOffset) {
  for (const FileProbes& file : ClientFileProbes()) {
    SCOPED_TRACE(file.name);
    for (const FieldProbe& probe : file.probes) CheckProbe(probe, file.buffer_size);
  }
}

TEST(ClientLayoutsTest, BufferSizesMatchTheProgramBuffers) {
  EXPECT_EQ(ClientRecord::kBufferSize, 951u);
  EXPECT_EQ(AddressRecord::kBufferSize, 498u);
  EXPECT_EQ(EstateRecord::kBufferSize, 1180u);
  EXPECT_EQ(RecordBufferSize(FileId::CLIENT), ClientRecord::kBufferSize);
  EXPECT_EQ(RecordBufferSize(FileId::ADRESSES), AddressRecord::kBufferSize);
  EXPECT_EQ(RecordBufferSize(FileId::CLIPART), EstateRecord::kBufferSize);
}

TEST(ClientLayoutsTest, CurrentViewsUseTheProcessWideBuffers) {
  EXPECT_EQ(CurrentClient().data, RecordBuffer(FileId::CLIENT));
  EXPECT_EQ(CurrentAddress().data, RecordBuffer(FileId::ADRESSES));
  EXPECT_EQ(CurrentEstate().data, RecordBuffer(FileId::CLIPART));
}

// The CLIENT buffer follows the CLIPART buffer directly: filling every
// estate field must leave the client record as it was.
TEST(ClientLayoutsTest, EstateWritesNeverReachTheClientBuffer) {
  std::vector<uint8_t> both(EstateRecord::kBufferSize + ClientRecord::kBufferSize, 0);
  ClientRecord client{both.data() + EstateRecord::kBufferSize};
  client.SetName("DUPONT");
  EstateRecord estate{both.data()};
  estate.SetClientCode("0100012301-overlong");
  estate.SetEstateOnDeath(0, 1.0f);
  estate.SetEstateOnDeath(1, 2.0f);
  estate.SetEstateOnDeath(2, 3.0f);
  EXPECT_EQ(client.Name(), "DUPONT");
  EXPECT_EQ(client.data[0], 0);
}

TEST(ClientLayoutsTest, RunIndexOutsideTheRunIsHarmless) {
  for (size_t bad : {size_t{3}, size_t{4}, std::numeric_limits<size_t>::max()}) {
    std::vector<uint8_t> buffer(AddressRecord::kBufferSize, 0x5A);
    const std::vector<uint8_t> before = buffer;
    AddressRecord address{buffer.data()};
    address.SetLine(bad, "ligne hors limite");
    EXPECT_EQ(buffer, before) << "index " << bad;
    EXPECT_TRUE(address.Line(bad).empty()) << "index " << bad;
  }
  for (size_t bad : {size_t{2}, std::numeric_limits<size_t>::max()}) {
    std::vector<uint8_t> buffer(EstateRecord::kBufferSize, 0x5A);
    const std::vector<uint8_t> before = buffer;
    EstateRecord estate{buffer.data()};
    estate.SetEstateOnDeath(bad, 99.0f);
    EXPECT_EQ(buffer, before) << "index " << bad;
    EXPECT_EQ(estate.EstateOnDeath(bad), 0.0f) << "index " << bad;
  }
}

}  // namespace
}  // namespace vz::db::testing
