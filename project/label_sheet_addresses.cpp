#include "project/label_sheet_addresses.h"

#include <string>
#include <string_view>

#include "src/db/layouts/adresses.h"
#include "src/db/layouts/client.h"
#include "src/db/layouts/selectes.h"

namespace vz::project {
namespace {

using db::FileId;

constexpr std::string_view kPostcodeKey = "CODPTT";
constexpr std::string_view kClientKey = "CODCLI";
constexpr std::string_view kAddressKey = "CODADR";
constexpr std::string_view kMailingAddress = "001";
constexpr size_t kClientCodeWidth = 9;
constexpr size_t kHouseholdWidth = 8;

std::string Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

// Reads the client; false when the file has no record with this very code.
bool ReadClient(db::RecordSession& data, const std::string& code, LabelAddress& address) {
  if (code.size() != kClientCodeWidth) return false;
  data.Hlitrecherche(FileId::CLIENT, kClientKey, code);
  const db::ClientRecord client{data.Buffer(FileId::CLIENT)};
  if (data.Hendehors() || Trimmed(client.Codcli()) != code) return false;
  address.civility = CivilityWords(client.CivilityTitle(), client.CivilityCode());
  address.first_name = Trimmed(client.IdentityTextB());
  address.name = Trimmed(client.Name());
  address.lines = {Trimmed(client.AddressLine1()), Trimmed(client.AddressLine2()), ""};
  address.postcode = Trimmed(client.Postcode());
  address.city = Trimmed(client.City());
  return true;
}

// Replaces the CLIENT record's address by the household's address "001".
void ReadMailingAddress(db::RecordSession& data, const std::string& code, LabelAddress& address) {
  const std::string key = code.substr(0, kHouseholdWidth) + std::string(kMailingAddress);
  data.Hlitrecherche(FileId::ADRESSES, kAddressKey, key);
  const db::AddressRecord record{data.Buffer(FileId::ADRESSES)};
  if (data.Hendehors() || record.Codadr().substr(0, key.size()) != key) return;
  for (size_t line = 0; line < address.lines.size(); ++line) {
    address.lines[line] = Trimmed(record.Line(line));
  }
  address.postcode = Trimmed(record.Postcode());
  address.city = Trimmed(record.City());
}

}  // namespace

std::vector<LabelAddress> ReadLabelAddresses(db::RecordSession& data) {
  std::vector<LabelAddress> extracted;
  const db::SelectedRecord selected{data.Buffer(FileId::SELECTES)};
  for (data.Hlitpremier(FileId::SELECTES, kPostcodeKey); !data.Hendehors();
       data.Hlitsuivant(FileId::SELECTES, kPostcodeKey)) {
    LabelAddress address;
    address.client_code = Trimmed(selected.ClientCode());
    address.name = Trimmed(selected.Name());
    address.postcode = Trimmed(selected.Postcode());
    address.city = Trimmed(selected.City());
    extracted.push_back(std::move(address));
  }
  // The whole walk comes first: reading CLIENT and ADRESSES below does not
  // disturb it.
  for (LabelAddress& address : extracted) {
    LabelAddress full;
    full.client_code = address.client_code;
    if (ReadClient(data, address.client_code, full)) address = std::move(full);
    if (address.client_code.size() == kClientCodeWidth) {
      ReadMailingAddress(data, address.client_code, address);
    }
  }
  return extracted;
}

}  // namespace vz::project
