#include "project/rubric_choice.h"

#include <map>
#include <set>

#include "platform/os/cp1252.h"
#include "project/project_code.h"
#include "project/query_windows_text.h"
#include "src/db/layouts/code_label.h"
#include "src/db/layouts/requetes.h"

namespace vz::project {
namespace {

using db::FileId;

constexpr size_t kQueryCodeLength = 8;
constexpr size_t kRubricCodeLength = 5;
constexpr size_t kOptionPosition = 11;  // the 12th character of the criteria key
constexpr char kRubricKeyStart[] = "RUBRIQUE";
constexpr char kTitleKey[] = "TITRE*******";
constexpr char kTicked[] = "X";
constexpr char kDefaultOption[] = "2";

struct Family {
  const char* prefix;
  const char* label;  // UTF-8
  bool has_option;
};

// The families in the order the extraction writes their columns.
constexpr Family kFamilies[] = {
    {"00", "Identité", false},
    {"40", "Revenus", true},
    {"54", "Emprunts", true},
    {"51", "Impôts", false},
    {"01", "Immobilier d'usage", true},
    {"02", "Immobilier de rapport", true},
    {"03", "Foncier", true},
    {"04", "Valeurs mobilières", true},
    {"05", "Liquidités", true},
    {"06", "Biens divers", true},
    {"07", "Assurance vie", true},
    {"20", "Retraite", false},
    {"33", "Prévoyance", false},
    {"SC", "Succession", false},
};

// The identity columns of the extraction, with their labels (UTF-8).
constexpr const char* kIdentityColumns[][2] = {
    {"0000A", "Nom"},
    {"0000B", "Prénom"},
    {"0000C", "Adresse (lignes 1 et 2)"},
    {"0000D", "Code postal"},
    {"0000E", "Ville"},
    {"0000F", "Téléphone 1"},
    {"0000G", "Téléphone 2"},
    {"0000H", "Âge"},
    {"0000I", "Date de naissance (AAAAMMJJ)"},
    {"0000J", "Situation de famille"},
    {"0000K", "Régime matrimonial"},
    {"0000L", "Profession"},
    {"0000M", "Civilité"},
};

struct Columns {
  int tick, family, label, code, option;
};

Columns ColumnsOf(const runtime::Field& table) {
  return {ColumnOf(table, "COCHE"), ColumnOf(table, "FAMILLE"), ColumnOf(table, "LIBELLE"),
          ColumnOf(table, "CODE"), ColumnOf(table, "OPT")};
}

bool IsTicked(std::string_view cell) {
  const std::string mark = TrimBoth(cell);
  return mark == "X" || mark == "x" || mark == "1" || mark == "O" || mark == "o";
}

void AddRow(runtime::Field& table, const Columns& columns, const Family& family,
            std::string_view label, std::string_view code) {
  table.rows.emplace_back(table.columns.size());
  const size_t row = table.rows.size() - 1;
  SetCell(table, row, columns.family, os::Cp1252(family.label));
  SetCell(table, row, columns.label, TrimBoth(label));
  SetCell(table, row, columns.code, code);
  SetCell(table, row, columns.option, family.has_option ? kDefaultOption : "");
}

// `text` is cp1252 (literals go through os::Cp1252, typed codes are cp1252).
void ShowError(runtime::CodeContext& context, const std::string& text) {
  context.Front().ShowMessage(runtime::MessageKind::kError, text);
}

std::string BadCodeMessage() {
  return os::Cp1252("Le code de la requête doit compter 8 caractères.");
}

std::string QueryCodeOf(const runtime::Window& window) {
  const runtime::Field* field = window.FindField("LECODREQ");
  return field ? TrimBoth(field->value) : std::string();
}

bool QueryExists(db::RecordSession& data, std::string_view code) {
  db::QueryLineRecord line{data.Buffer(FileId::REQUETES)};
  data.Hlitrecherche(FileId::REQUETES, "CODREQ", std::string(code) + kTitleKey);
  return !data.Hendehors() && std::string(line.Prefix()) + std::string(line.Number()) == code &&
         line.CriteriaKey() == kTitleKey;
}

bool SameQuery(const db::QueryLineRecord& line, std::string_view code) {
  return std::string(line.Prefix()) + std::string(line.Number()) == code;
}

bool IsRubricLine(const db::QueryLineRecord& line) {
  return line.CriteriaKey().substr(0, 8) == kRubricKeyStart;
}

RubricLine LineOf(const db::QueryLineRecord& line) {
  const std::string_view key = line.CriteriaKey();
  return {std::string(line.LineText().substr(0, kRubricCodeLength)),
          key.size() > kOptionPosition ? key[kOptionPosition] : '\0'};
}

}  // namespace

std::string RubricLineKey(char option) {
  return std::string(kRubricKeyStart) + "***" + option;
}

bool FamilyHasOption(std::string_view family) {
  for (const Family& f : kFamilies) {
    if (family == f.prefix) return f.has_option;
  }
  return false;
}

std::vector<RubricLine> ReadRubricLines(db::RecordSession& data, std::string_view query_code) {
  std::vector<RubricLine> lines;
  if (query_code.size() != kQueryCodeLength) return lines;
  db::QueryLineRecord line{data.Buffer(FileId::REQUETES)};
  for (data.Hlitrecherche(FileId::REQUETES, "CODREQ", query_code);
       !data.Hendehors() && SameQuery(line, query_code);
       data.Hlitsuivant(FileId::REQUETES, "CODREQ")) {
    if (IsRubricLine(line)) lines.push_back(LineOf(line));
  }
  return lines;
}

bool WriteRubricLines(db::RecordSession& data, std::string_view query_code,
                      const std::vector<std::string>& shown,
                      const std::vector<RubricLine>& wanted) {
  if (query_code.size() != kQueryCodeLength) return false;
  const std::set<std::string> offered(shown.begin(), shown.end());
  std::map<std::string, char> wanted_options;
  for (const RubricLine& w : wanted) wanted_options.emplace(w.code, w.option);
  std::set<std::string> kept;
  bool written = true;

  // Remove the lines that are no longer wanted, and second lines of a rubric.
  db::QueryLineRecord line{data.Buffer(FileId::REQUETES)};
  for (data.Hlitrecherche(FileId::REQUETES, "CODREQ", query_code);
       !data.Hendehors() && SameQuery(line, query_code);
       data.Hlitsuivant(FileId::REQUETES, "CODREQ")) {
    if (!IsRubricLine(line)) continue;
    const RubricLine stored = LineOf(line);
    if (!offered.count(stored.code)) continue;  // not ours to judge
    auto it = wanted_options.find(stored.code);
    if (it != wanted_options.end() && it->second == stored.option && !kept.count(stored.code)) {
      kept.insert(stored.code);
      continue;
    }
    written = data.Hsupprime(FileId::REQUETES) && written;
  }

  // Add the wanted lines that are missing.
  for (const auto& [code, option] : wanted_options) {
    if (kept.count(code)) continue;
    data.ClearBuffer(FileId::REQUETES);
    db::QueryLineRecord added{data.Buffer(FileId::REQUETES)};
    added.SetPrefix(query_code.substr(0, 2));
    added.SetNumber(query_code.substr(2));
    added.SetCriteriaKey(RubricLineKey(option));
    added.SetLineText(code);
    added.SetState(" ");
    added.SetMarker("E");
    written = data.Hajoute(FileId::REQUETES) && written;
  }
  return written;
}

void FillRubricChoice(runtime::CodeContext& context, runtime::Window& window) {
  runtime::Field* table = window.FindField("TABLE1");
  if (!table) return;
  const Columns columns = ColumnsOf(*table);
  table->rows.clear();
  table->selected = 0;
  for (const auto& identity : kIdentityColumns) {
    AddRow(*table, columns, kFamilies[0], os::Cp1252(identity[1]), identity[0]);
  }
  db::RecordSession& data = ProjectDataOf(context);
  db::RubricCatalogueRecord record{data.Buffer(FileId::RUBRIQUE)};
  for (const Family& family : kFamilies) {
    if (std::string_view(family.prefix) == kFamilies[0].prefix) continue;
    for (data.Hlitrecherche(FileId::RUBRIQUE, "CODRUBR", family.prefix);
         !data.Hendehors() && record.Prefix() == family.prefix;
         data.Hlitsuivant(FileId::RUBRIQUE, "CODRUBR")) {
      AddRow(*table, columns, family, record.Label(),
             std::string(record.Prefix()) + std::string(record.Number()));
    }
  }
  if (!table->rows.empty()) table->selected = 1;
}

void LoadRubricChoice(runtime::CodeContext& context, runtime::Window& window) {
  runtime::Field* table = window.FindField("TABLE1");
  if (!table) return;
  const Columns columns = ColumnsOf(*table);
  for (size_t row = 0; row < table->rows.size(); ++row) {
    const std::string code = CellOf(*table, row, columns.code);
    SetCell(*table, row, columns.tick, "");
    SetCell(*table, row, columns.option, FamilyHasOption(code.substr(0, 2)) ? kDefaultOption : "");
  }
  const std::string query = QueryCodeOf(window);
  if (query.size() != kQueryCodeLength) {
    ShowError(context, BadCodeMessage());
    return;
  }
  for (const RubricLine& line : ReadRubricLines(ProjectDataOf(context), query)) {
    for (size_t row = 0; row < table->rows.size(); ++row) {
      if (CellOf(*table, row, columns.code) != line.code) continue;
      SetCell(*table, row, columns.tick, kTicked);
      if (FamilyHasOption(line.code.substr(0, 2)) && (line.option == '1' || line.option == '2')) {
        SetCell(*table, row, columns.option, std::string(1, line.option));
      }
    }
  }
}

void SaveRubricChoice(runtime::CodeContext& context, runtime::Window& window) {
  runtime::Field* table = window.FindField("TABLE1");
  if (!table) return;
  const std::string query = QueryCodeOf(window);
  if (query.size() != kQueryCodeLength) {
    ShowError(context, BadCodeMessage());
    return;
  }
  db::RecordSession& data = ProjectDataOf(context);
  if (!QueryExists(data, query)) {
    ShowError(context, os::Cp1252("La requête ") + query +
                           os::Cp1252(" n'existe pas : aucune rubrique enregistrée."));
    return;
  }
  const Columns columns = ColumnsOf(*table);
  std::vector<std::string> shown;
  std::vector<RubricLine> wanted;
  for (size_t row = 0; row < table->rows.size(); ++row) {
    const std::string code = CellOf(*table, row, columns.code);
    if (code.size() != kRubricCodeLength) continue;
    shown.push_back(code);
    if (!IsTicked(CellOf(*table, row, columns.tick))) continue;
    char option = '*';
    if (FamilyHasOption(code.substr(0, 2))) {
      const std::string typed = TrimBoth(CellOf(*table, row, columns.option));
      if (typed != "1" && typed != "2") {
        ShowError(context, "Rubrique " + code +
                               " : l'option doit valoir 1 (par personne) ou 2 (pour le foyer).");
        return;
      }
      option = typed[0];
    }
    wanted.push_back({code, option});
  }
  if (!WriteRubricLines(data, query, shown, wanted)) {
    ShowError(context, os::Cp1252("L'enregistrement des rubriques de la requête ") + query +
                           os::Cp1252(" a échoué."));
  }
}

void RegisterRubricChoice(runtime::CodeRegistry& registry) {
  registry.AddWindowCode("Rubrique", "Rubrique", "OUVERTURE", FillRubricChoice);
  registry.AddWindowCode("Rubrique", "B_REQUETE", "CLIC", LoadRubricChoice);
  registry.AddWindowCode("Rubrique", "B_VALIDER", "CLIC", SaveRubricChoice);
}

}  // namespace vz::project
