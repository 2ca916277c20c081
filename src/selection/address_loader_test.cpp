// The address loader: the household's address "001" first, else the CLIENT
// record, every line and the city fitted to 60 characters.
#include "src/selection/address_loader.h"

#include <gtest/gtest.h>

#include <string>

#include "src/selection/rubric_loaders_test_fixture.h"

namespace vz::selection {
namespace {

std::string Fitted(std::string_view text) {
  std::string out(text.substr(0, kAddressTextWidth));
  out.resize(kAddressTextWidth, ' ');
  return out;
}

class AddressLoaderTest : public SelectionDataTest {
 protected:
  void AddClients() {
    for (std::string_view code : {"010000011", "010000021", "010000031"}) {
      AddClient(code, "CLIENT", [](db::ClientRecord& c) {
        c.SetAddressLine1("1 rue du Client");
        c.SetAddressLine2("Bâtiment B");
        c.SetPostcode("69001");
        c.SetCity("LYON");
      });
    }
  }
};

TEST_F(AddressLoaderTest, TheHouseholdAddressComesFirst) {
  AddClients();
  AddAddress("01000001", std::string(80, 'L'), "75001", "PARIS");
  ReadClient("010000011");
  tables_->address.lines[2].assign("left over");
  LoadAddress("010000011", tables_->address);
  EXPECT_EQ(tables_->address.lines[0].view(), std::string(60, 'L'));  // 70 stored, cut to 60
  EXPECT_EQ(tables_->address.lines[1].view(), Fitted(""));
  EXPECT_EQ(tables_->address.lines[2].view(), Fitted(""));
  EXPECT_EQ(tables_->address.postcode.view(), "75001");
  EXPECT_EQ(tables_->address.city.view(), Fitted("PARIS"));
}

TEST_F(AddressLoaderTest, WithoutItTheClientRecordGivesTheAddress) {
  AddClients();
  // The next household's address must not be taken for this one.
  AddAddress("01000003", "3 place Bellecour", "69002", "LYON");
  ReadClient("010000021");
  LoadAddress("010000021", tables_->address);
  EXPECT_EQ(tables_->address.lines[0].view(), Fitted("1 rue du Client"));
  EXPECT_EQ(tables_->address.lines[1].view(), Fitted("Bâtiment B"));
  EXPECT_EQ(tables_->address.lines[2].view(), Fitted(""));
  EXPECT_EQ(tables_->address.postcode.view(), "69001");
  EXPECT_EQ(tables_->address.city.view(), Fitted("LYON"));
}

TEST_F(AddressLoaderTest, ShortOrEmptyClientCodesFallBackToTheClientRecord) {
  AddClients();
  AddAddress("01000001", "ADRESSE", "75001", "PARIS");
  ReadClient("010000031");
  for (std::string_view code : {"", "01", "0100000"}) {
    LoadAddress(code, tables_->address);
    EXPECT_EQ(tables_->address.city.view(), Fitted("LYON")) << code;
  }
}

}  // namespace
}  // namespace vz::selection
