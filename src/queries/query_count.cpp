#include "src/queries/query_count.h"

#include "platform/os/cp1252.h"
#include "src/queries/definition_draft.h"
#include "src/screen/bridge.h"
#include "src/util/thousands.h"

namespace vz::queries {

std::string CountMessage(int64_t clients) {
  if (clients == 1) return os::Cp1252("1 client correspond à ces critères.");
  return util::ThousandsText(clients) + os::Cp1252(" clients correspondent à ces critères.");
}

void CountEditedQuery(const QueryWorkingSet& lines, const QueryCounter& counter) {
  if (!counter) {
    screen::SendCommand(os::Cp1252("Erreur,Le comptage n'est pas disponible ici."));
    return;
  }
  const std::optional<int64_t> clients = counter(LinesAsSaved(lines));
  if (clients) screen::SendCommand("info," + CountMessage(*clients));
}

}  // namespace vz::queries
