#include "project/label_households.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <unordered_map>

#include "src/db/household.h"
#include "src/db/layouts/client.h"
#include "src/util/household_addressee.h"

namespace vz::project {
namespace {

using db::FileId;

constexpr std::string_view kClientKey = "CODCLI";
constexpr size_t kClientCodeWidth = 9;

bool SameAddress(const LabelAddress& a, const LabelAddress& b) {
  return a.lines == b.lines && a.postcode == b.postcode && a.city == b.city;
}

// The code of the client's second person, or "" when it has none.
std::string SecondPersonCode(db::RecordSession& data, const std::string& code) {
  if (code.size() != kClientCodeWidth) return {};
  data.Hlitrecherche(FileId::CLIENT, kClientKey, code);
  const db::ClientRecord client{data.Buffer(FileId::CLIENT)};
  if (data.Hendehors() || client.Codcli().substr(0, kClientCodeWidth) != code) return {};
  data.Hlitsuivant(FileId::CLIENT, kClientKey);
  if (data.Hendehors()) return {};
  const std::string next(client.Codcli().substr(0, kClientCodeWidth));
  return db::IsSecondPerson(code, next, client.Name()) ? next : std::string();
}

}  // namespace

std::vector<LabelAddress> OneLabelPerHousehold(db::RecordSession& data,
                                               std::vector<LabelAddress> addresses) {
  std::unordered_map<std::string, size_t> place;
  for (size_t i = 0; i < addresses.size(); ++i) place.emplace(addresses[i].client_code, i);
  std::vector<bool> merged(addresses.size(), false);
  for (size_t i = 0; i < addresses.size(); ++i) {
    if (merged[i]) continue;
    const std::string second_code = SecondPersonCode(data, addresses[i].client_code);
    if (second_code.empty()) continue;
    const auto partner = place.find(second_code);
    if (partner == place.end() || partner->second == i || merged[partner->second]) continue;
    const size_t other = partner->second;
    const LabelAddress& first = addresses[i];
    const LabelAddress& second = addresses[other];
    if (!SameAddress(first, second)) continue;
    std::string line = util::AddressHousehold({first.civility, first.first_name, first.name},
                                              {second.civility, second.first_name, second.name})
                           .Line();
    // The household's label goes where the first of the two was printed.
    addresses[std::min(i, other)].addressee = std::move(line);
    merged[std::max(i, other)] = true;
  }
  std::vector<LabelAddress> kept;
  kept.reserve(addresses.size());
  for (size_t i = 0; i < addresses.size(); ++i) {
    if (!merged[i]) kept.push_back(std::move(addresses[i]));
  }
  return kept;
}

}  // namespace vz::project
