// The identity column producer (identity_columns.h).
#include "src/outputs/identity_columns.h"

#include <algorithm>
#include <string>

#include "src/db/layouts/code_label.h"
#include "src/db/record_ops.h"
#include "src/util/dates.h"
#include "src/util/number_text.h"

namespace vz::outputs {
namespace {

constexpr size_t kCivilityWidth = 12;

// The family situations, cp1252 ("\xE9" is e acute), as other programs of
// the suite read them back: every text is 11 characters.
struct SituationWords {
  char code;
  std::string_view for_men;  // civility "1"
  std::string_view otherwise;
};
constexpr std::array<SituationWords, 8> kSituations = {{
    {'M', "Mari\xE9      ",
     "Mari\xE9"
     "e     "},
    {'P', "Pacs\xE9      ",
     "Pacs\xE9"
     "e     "},
    {'C', "C\xE9libataire", "C\xE9libataire"},
    {'V', "Veuf       ", "Veuve      "},
    {'D', "Divorc\xE9    ",
     "Divorc\xE9"
     "e   "},
    {'S',
     "S\xE9par\xE9"
     "e    ",
     "S\xE9par\xE9"
     "e    "},
    {'U', "Union libre", "Union libre"},
    {'N', "Concubinage", "Concubinage"},
}};

bool IsBlankText(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\0'; });
}

// The label of the code-label record whose key is `code`, found by `key`;
// empty when there is none.
template <typename Record>
std::string_view LabelOf(std::string_view file, std::string_view key, std::string_view code,
                         Record (*current)()) {
  db::Hlitrecherche(file, key, code);
  if (db::Hendehors()) return {};
  const Record record = current();
  // A search lands on the first key not below the code: only the very code
  // names the label.
  if (record.Key() != code || code.empty()) return {};
  return record.Label();
}

}  // namespace

std::string_view FamilySituationText(std::string_view situation, std::string_view civility) {
  if (situation.size() != 1) return {};
  for (const SituationWords& words : kSituations) {
    if (words.code == situation[0]) return civility == "1" ? words.for_men : words.otherwise;
  }
  return {};
}

std::string_view CivilityText(std::string_view title, std::string_view civility,
                              std::array<char, 32>& out) {
  if (civility == "3") return "Mademoiselle";
  if (!IsBlankText(title)) {
    std::fill(out.begin(), out.begin() + kCivilityWidth, ' ');
    std::copy_n(title.begin(), std::min(title.size(), kCivilityWidth), out.begin());
    return {out.data(), kCivilityWidth};
  }
  if (civility == "1") return "Monsieur    ";
  if (civility == "2") return "Madame      ";
  return {};
}

void ProduceIdentityColumns(const ExtractionRubricList& list, const db::ClientRecord& client,
                            const selection::AddressBlock& address, ColumnTables& columns) {
  std::array<char, 32> scratch{};
  for (const ExtractionRubric& entry : list) {
    const std::string_view code = entry.Code();
    if (code.size() != kRubricCodeWidth || code.substr(0, 4) != "0000") continue;
    switch (code[4]) {
      case 'A':
        columns.Append(code, client.Name());
        break;
      case 'B':
        columns.Append(code, client.IdentityTextB());
        break;
      case 'C':
        columns.Append(code, address.lines[0].view());
        columns.Append(code, address.lines[1].view());
        break;
      case 'D':
        columns.Append(code, address.postcode.view());
        break;
      case 'E':
        columns.Append(code, address.city.view());
        break;
      case 'F':
        columns.Append(code, client.IdentityTextF());
        break;
      case 'G':
        columns.Append(code, client.IdentityTextG());
        break;
      case 'H': {
        const int age = util::YearsBetweenDates(client.BirthDate(), "00000000", 0);
        const std::string text = util::NumberToText(age, -3, 0);
        columns.Append(code, text);
        break;
      }
      case 'I':
        columns.Append(code, client.BirthDate());
        break;
      case 'J':
        columns.Append(code, FamilySituationText(client.FamilySituation(), client.CivilityCode()));
        break;
      case 'K':
        columns.Append(code, LabelOf("ANNEXE", "CODRUBR", client.RegimeCode(), db::CurrentAnnex));
        break;
      case 'L':
        columns.Append(
            code, LabelOf("PROFES", "CODPROF", client.ProfessionCode(), db::CurrentProfession));
        break;
      case 'M':
        columns.Append(code, CivilityText(client.CivilityTitle(), client.CivilityCode(), scratch));
        break;
      default:
        break;
    }
  }
}

}  // namespace vz::outputs
