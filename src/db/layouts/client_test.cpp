// The named fields of CLIENT, ADRESSES and CLIPART, and the faults that
// their places alone do not show.
#include "src/db/layouts/client.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "src/db/layouts/adresses.h"
#include "src/db/layouts/clipart.h"
#include "src/db/layouts/layout_probe_test_util.h"

namespace vz::db::testing {

std::vector<FileProbes> ClientFileProbes() {
  using C = ClientRecord;
  using A = AddressRecord;
  using E = EstateRecord;
  return {
      {FileId::CLIENT,
       {
           Field<C>("1 prefix", 1, &C::Prefix, &C::SetPrefix),
           Field<C>("2 file number", 2, &C::FileNumber, &C::SetFileNumber),
           Field<C>("3 person digit", 3, &C::PersonDigit, &C::SetPersonDigit),
           Field<C>("4 name", 4, &C::Name, &C::SetName),
           Field<C>("6 identity 0000B", 6, &C::IdentityTextB, &C::SetIdentityTextB),
           Field<C>("7 address line 1", 7, &C::AddressLine1, &C::SetAddressLine1),
           Field<C>("8 address line 2", 8, &C::AddressLine2, &C::SetAddressLine2),
           Field<C>("9 postcode", 9, &C::Postcode, &C::SetPostcode),
           Field<C>("10 city", 10, &C::City, &C::SetCity),
           Field<C>("11 identity 0000F", 11, &C::IdentityTextF, &C::SetIdentityTextF),
           Field<C>("12 identity 0000G", 12, &C::IdentityTextG, &C::SetIdentityTextG),
           Field<C>("13 family situation", 13, &C::FamilySituation, &C::SetFamilySituation),
           Field<C>("14 civility code", 14, &C::CivilityCode, &C::SetCivilityCode),
           Field<C>("15 birth date", 15, &C::BirthDate, &C::SetBirthDate),
           Field<C>("18 profession code", 18, &C::ProfessionCode, &C::SetProfessionCode),
           Field<C>("23 regime code", 23, &C::RegimeCode, &C::SetRegimeCode),
           Field<C>("38 file number typed", 38, &C::DossierNumber, &C::SetDossierNumber),
           Field<C>("67 civility title", 67, &C::CivilityTitle, &C::SetCivilityTitle),
           Field<C>("82 text of 14", 82, &C::Field82, &C::SetField82),
           Field<C>("84 stamp", 84, &C::UpdateStamp, &C::SetUpdateStamp),
           KeySlot<C>("key CODCLI", 0, &C::Codcli, &C::SetCodcli),
       }},
      {FileId::ADRESSES,
       {
           Field<A>("1 prefix", 1, &A::Prefix, &A::SetPrefix),
           Field<A>("2 file number", 2, &A::FileNumber, &A::SetFileNumber),
           Field<A>("3 address number", 3, &A::AddressNumber, &A::SetAddressNumber),
           Element<A>("4 line 1", 4, 0, 3, &A::Line, &A::SetLine),
           Element<A>("4 line 2", 4, 1, 3, &A::Line, &A::SetLine),
           Element<A>("4 line 3", 4, 2, 3, &A::Line, &A::SetLine),
           Field<A>("5 postcode", 5, &A::Postcode, &A::SetPostcode),
           Field<A>("6 city", 6, &A::City, &A::SetCity),
           KeySlot<A>("key CODADR", 0, &A::Codadr, &A::SetCodadr),
       }},
      {FileId::CLIPART,
       {
           Field<E>("1 client code", 1, &E::ClientCode, &E::SetClientCode),
           Element<E>("12 estate, first death", 12, 0, 2, &E::EstateOnDeath, &E::SetEstateOnDeath),
           Element<E>("12 estate, second death", 12, 1, 2, &E::EstateOnDeath, &E::SetEstateOnDeath),
       }},
  };
}

namespace {

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
