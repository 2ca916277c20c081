#include "src/selection/address_loader.h"

#include <algorithm>
#include <string_view>

#include "src/db/file_id.h"
#include "src/db/layouts/adresses.h"
#include "src/db/layouts/client.h"
#include "src/db/record_buffers.h"
#include "src/db/record_ops.h"
#include "src/selection/rubric_loaders_internal.h"

namespace vz::selection {
namespace {

// Cut or pad with spaces to exactly kAddressTextWidth characters.
template <size_t N>
void AssignFitted(FixedText<N>& target, std::string_view text) {
  static_assert(N >= kAddressTextWidth);
  char fitted[kAddressTextWidth];
  const size_t kept = text.size() < kAddressTextWidth ? text.size() : kAddressTextWidth;
  std::copy_n(text.data(), kept, fitted);
  std::fill(fitted + kept, fitted + kAddressTextWidth, ' ');
  target.assign({fitted, kAddressTextWidth});
}

}  // namespace

void LoadAddress(std::string_view client_code, AddressBlock& address) {
  internal::KeyValue key;
  key.Append(internal::HouseholdOf(client_code)).Append("001");
  const db::AddressRecord record(db::RecordBuffer(db::FileId::ADRESSES));
  db::Hlitrecherche("ADRESSES", "CODADR", key.view());
  const std::string_view found_key = record.Codadr();
  if (!db::Hendehors() && client_code.size() >= 8 &&
      found_key.substr(0, key.view().size()) == key.view()) {
    for (size_t line = 0; line < 3; ++line) AssignFitted(address.lines[line], record.Line(line));
    address.postcode.assign(record.Postcode());
    AssignFitted(address.city, record.City());
    return;
  }
  const db::ClientRecord client = db::CurrentClient();
  AssignFitted(address.lines[0], client.AddressLine1());
  AssignFitted(address.lines[1], client.AddressLine2());
  AssignFitted(address.lines[2], "");
  address.postcode.assign(client.Postcode());
  AssignFitted(address.city, client.City());
}

}  // namespace vz::selection
