// The retirement and provident loaders: fixed line codes, figures computed
// from several files (retirement) or read from one record (provident).
//
// Retirement, for the client's own person (key K = the client code):
//   income    = the REVENUS records K+"40001000" .. K+"40999999" whose line
//               number (characters 3 to 5 of the line code) is 1 or 14 to 17
//               and whose status (field 7) is not "V": amount + field 6, the
//               latter counted as 0 when the profession family F (first two
//               characters of the CLIENT profession code) is 1, 2 or 6 to 99;
//   pensions  = RETRAITE amounts K+"20001000" .. K+"20999999" + RETRPERS
//               field 11 of K+"22001000" .. K+"22999999"            ("2000A");
//   rate R    = pensions / income * 100, 0 without income            ("2000B");
//   desired D = the amount of the last RETRSOUH record "21001" of
//               K+"21001000" .. K+"21001999"; R when D is 0, below R or
//               within 1 of R                                         ("2000E");
//   gap       = D - R                                                ("2000C");
//   pensions at the desired rate = pensions * D / R, 0 when R is 0   ("2000D").
// Without a CLIENT record for K every figure stays 0.
//
// Provident: the PREVSOUH record K+"33000001"; table 6 entries 1-7 := its
// first ratios (field 6), 8-14 := its second ratios (field 4); table 3
// entries 1-7 := its first amounts (field 8), 8-14 := its second amounts
// (field 7). Without that record every figure stays 0.
#include <array>
#include <cstdlib>
#include <string_view>

#include "src/db/file_id.h"
#include "src/db/layouts/client.h"
#include "src/db/layouts/rubric_files.h"
#include "src/db/layouts/rubric_record.h"
#include "src/db/record_buffers.h"
#include "src/db/record_ops.h"
#include "src/selection/rubric_loaders_internal.h"
#include "src/util/number_text.h"

namespace vz::selection::internal {
namespace {

using db::FileId;

constexpr int kRetirementTable = 7;
constexpr std::array<std::string_view, 5> kRetirementCodes = {"2000A", "2000B", "2000C", "2000D",
                                                              "2000E"};
constexpr std::array<std::string_view, 14> kProvidentCodes = {
    "3300A", "3300B", "3300C", "3300D", "3300E", "3300F", "3300G",
    "3300H", "3300I", "3300J", "3300K", "3300L", "3300M", "3300N"};
constexpr int kProvidentCovers = 7;

template <size_t N>
void SetCodes(CodeTable& codes, const std::array<std::string_view, N>& fixed) {
  codes.Clear();
  for (size_t i = 0; i < N; ++i) codes.Set(static_cast<int>(i) + 1, fixed[i]);
  codes.set_count(static_cast<int>(N));
}

// Calls `use(record)` for every record of `file` whose key lies from
// client + low to client + high, in key order.
template <typename Use>
void ForKeyRange(FileId file, std::string_view file_name, std::string_view client,
                 std::string_view low, std::string_view high, Use use) {
  KeyValue lower;
  lower.Append(client).Append(low);
  KeyValue upper;
  upper.Append(client).Append(high);
  const std::optional<db::RubricRecord> record = db::RubricRecordIn(file, db::RecordBuffer(file));
  if (!record) return;
  db::Hlitrecherche(file_name, "CODCLEF", lower.view());
  while (!db::Hendehors()) {
    const std::string_view key = record->Codclef();
    if (key.substr(0, upper.view().size()) > upper.view() || key < lower.view()) break;
    use(*record);
    db::Hlitsuivant(file_name, "CODCLEF");
  }
}

bool CountsAsRetirementIncome(std::string_view line_code) {
  const int number = util::TextToInt(line_code.substr(line_code.size() < 2 ? line_code.size() : 2));
  return number == 1 || (number >= 14 && number <= 17);
}

bool SupplementCounts(int profession_family) {
  return !(profession_family == 1 || profession_family == 2 ||
           (profession_family >= 6 && profession_family <= 99));
}

}  // namespace

void LoadRetirement(std::string_view client_code, WorkTables& tables) {
  SetCodes(tables.codes, kRetirementCodes);
  tables.amounts.Clear(kRetirementTable);

  const std::string_view client = client_code.substr(0, 9);
  const db::ClientRecord person(db::RecordBuffer(FileId::CLIENT));
  db::Hlitrecherche("CLIENT", "CODCLI", client);
  if (db::Hendehors() || client.empty() || person.Codcli() != client) return;
  const std::string_view profession = person.ProfessionCode();
  const int family =
      util::TextToInt(profession.substr(0, profession.size() < 2 ? profession.size() : 2));
  const bool supplement_counts = SupplementCounts(family);

  double income = 0.0;
  ForKeyRange(FileId::REVENUS, "REVENUS", client, "40001000", "40999999",
              [&](const db::RubricRecord& record) {
                const db::IncomeRecord line(record.data);
                if (!CountsAsRetirementIncome(line.RubricCode()) || line.Status() == "V") return;
                income += static_cast<double>(line.Amount());
                if (supplement_counts) income += static_cast<double>(line.Supplement());
              });

  double pensions = 0.0;
  ForKeyRange(
      FileId::RETRAITE, "RETRAITE", client, "20001000", "20999999",
      [&](const db::RubricRecord& record) { pensions += static_cast<double>(record.Amount()); });
  ForKeyRange(FileId::RETRPERS, "RETRPERS", client, "22001000", "22999999",
              [&](const db::RubricRecord& record) {
                pensions += static_cast<double>(db::PersonalPensionRecord(record.data).Pension());
              });

  double desired = 0.0;
  ForKeyRange(FileId::RETRSOUH, "RETRSOUH", client, "21001000", "21001999",
              [&](const db::RubricRecord& record) {
                if (record.RubricCode() == "21001") desired = static_cast<double>(record.Amount());
              });

  const double rate = income != 0.0 ? pensions / income * 100.0 : 0.0;
  if (desired == 0.0 || desired < rate || std::abs(desired - rate) < 1.0) desired = rate;

  AmountTables& amounts = tables.amounts;
  amounts.Set(kRetirementTable, 1, pensions);
  amounts.Set(kRetirementTable, 2, rate);
  amounts.Set(kRetirementTable, 3, desired - rate);
  amounts.Set(kRetirementTable, 4, rate != 0.0 ? pensions * desired / rate : 0.0);
  amounts.Set(kRetirementTable, 5, desired);
}

void LoadProvident(std::string_view client_code, WorkTables& tables) {
  SetCodes(tables.codes, kProvidentCodes);
  tables.amounts.Clear(3);
  tables.amounts.Clear(6);

  const std::string_view client = client_code.substr(0, 9);
  KeyValue key;
  key.Append(client).Append("33000001");
  const db::ProvidentRecord record(db::RecordBuffer(FileId::PREVSOUH));
  db::Hlitrecherche("PREVSOUH", "CODCLEF", key.view());
  if (db::Hendehors() || client.empty() || record.ClientCode() != client ||
      record.RubricCode() != "33000" || record.KeyPart() != "001") {
    return;
  }
  for (int cover = 0; cover < kProvidentCovers; ++cover) {
    const size_t index = static_cast<size_t>(cover);
    tables.amounts.Set(6, cover + 1, static_cast<double>(record.FirstRatio(index)));
    tables.amounts.Set(6, cover + 8, static_cast<double>(record.SecondRatio(index)));
    tables.amounts.Set(3, cover + 1, static_cast<double>(record.FirstAmount(index)));
    tables.amounts.Set(3, cover + 8, static_cast<double>(record.SecondAmount(index)));
  }
}

}  // namespace vz::selection::internal
