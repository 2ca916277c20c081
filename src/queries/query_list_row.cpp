#include "src/queries/query_list_row.h"

#include <algorithm>

#include "platform/os/cp1252.h"
#include "src/util/thousands.h"

namespace vz::queries {
namespace {

std::string Cell(std::string_view text) {
  std::string cell(text);
  std::replace(cell.begin(), cell.end(), '\t', ' ');
  return cell;
}

}  // namespace

std::string DayMonthYear(std::string_view yyyymmdd) {
  const bool digits =
      yyyymmdd.size() == 8 &&
      std::all_of(yyyymmdd.begin(), yyyymmdd.end(), [](char c) { return c >= '0' && c <= '9'; });
  if (!digits) return std::string(yyyymmdd);
  return std::string(yyyymmdd.substr(6, 2)) + "/" + std::string(yyyymmdd.substr(4, 2)) + "/" +
         std::string(yyyymmdd.substr(0, 4));
}

std::string QueryListRow(const QueryListRowFacts& facts) {
  std::string run = os::Cp1252("jamais lancée");
  std::string clients;
  if (facts.last_selection) {
    run = facts.last_selection->written;
    if (facts.state != "O") run += ", avant modification";
    clients = util::ThousandsText(facts.last_selection->clients);
  }
  return Cell(DayMonthYear(facts.saved_on)) + "\t" + Cell(facts.title) + "\t" + Cell(facts.code) +
         "\t" + Cell(run) + "\t" + clients + "\t" + Cell(facts.summary);
}

std::string SelectionEndMessage(int64_t selected, int64_t clients) {
  return os::Cp1252("Sélection terminée : ") + util::ThousandsText(selected) +
         (selected == 1 ? " client retenu sur " : " clients retenus sur ") +
         util::ThousandsText(clients) + ".";
}

}  // namespace vz::queries
