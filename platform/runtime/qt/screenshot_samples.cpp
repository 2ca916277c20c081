#include "platform/runtime/qt/screenshot_samples.h"

#include <array>
#include <optional>

#include "platform/os/cp1252.h"
#include "platform/runtime/field_values.h"
#include "platform/runtime/text_encoding.h"

namespace vz::runtime {
namespace {

struct SampleValue {
  std::string_view window;
  std::string_view field;
  std::string_view utf8;
};

// Values written field by field through the model's own addressing.
constexpr SampleValue kValues[] = {
    {"PARETI", "MHAUTE", "4,43"},
    {"PARETI", "MGAUCHE", "0"},
    {"PARETI", "ESPV", "0"},
    {"PARETI", "ESPH", "0"},
    {"PARETI", "HAUTEUR", "36"},
    {"PARETI", "LARGEUR", "70"},
    {"EX_attente", "INTITULE", "Sélection des personnes"},
    {"EX_attente", "NOM", "MARTIN Claire"},
    {"EX_attente", "NbTraite", "1250"},
    {"EX_attente", "NBTOTAL", "4800"},
    {"EX_attente", "JAUGE", "|||||||||||||"},
    {"EX_attente", "POURCENT", "26 %"},
    {"PARETI", "NBETIH", "3"},
    {"PARETI", "NBETIV", "8"},
    {"PARETI", "L_APERCU",
     "24 étiquettes par feuille A4 (3 x 8) de 70 x 36 mm ; reste 0 mm à droite et 4,43 mm en bas."},
    {"LSTSEL", "L_RESUME",
     "Âge de 50 à 65 ans ; code postal de 69000 à 69999 ; revenus du foyer d'au moins 40 000 €"},
    {"SEL01", "TITRE", "Retraités de la région lyonnaise"},
    {"SEL01", "EXPLIC,1", "Invitation à la réunion sur la retraite"},
    {"SEL01", "EXPLIC,2", "de mars, à Lyon"},
    {"SEL01A", "CP1DEB", "69000"},
    {"SEL01A", "CP1FIN", "69999"},
    {"SEL01A", "AGE1DEB", "50"},
    {"SEL01A", "AGE1FIN", "65"},
    {"COMBINE", "TITRE", "Retraités lyonnais ou bailleurs"},
    {"COMBINE", "titre1", "Retraités de la région lyonnaise"},
    {"COMBINE", "titre2", "Propriétaires bailleurs"},
    {"RESULTAT", "REQUETE", "01000042"},
    {"RESULTAT", "NBRETENUS", "6 clients retenus"},
    {"RESULTAT", "MHAUTE", "4,5"},
    {"RESULTAT", "MGAUCHE", "0"},
    {"RESULTAT", "ESPV", "0"},
    {"RESULTAT", "ESPH", "0"},
    {"RESULTAT", "HAUTEUR", "36"},
    {"RESULTAT", "LARGEUR", "70"},
    {"RESULTAT", "NBETIH", "3"},
    {"RESULTAT", "NBETIV", "8"},
    {"RESULTAT", "PREMIERE", "1"},
};

struct SampleRows {
  std::string_view window;
  std::string_view table;         // a table, or a list
  std::string_view utf8_rows[8];  // cells separated by TAB
};

// Columns the window code adds to a table (the result list's extracted
// rubrics), before the sample rows.
struct SampleColumn {
  std::string_view window;
  std::string_view table;
  std::string_view name;
  std::string_view utf8_title;
  int width;
};

constexpr SampleColumn kColumns[] = {
    {"RESULTAT", "CLIENTS", "X5", "Revenus du foyer", 130},
    {"RESULTAT", "CLIENTS", "X6", "Date de naissance", 130},
    {"RESULTAT", "CLIENTS", "X7", "Assurance vie", 120},
};

constexpr SampleRows kRows[] = {
    {"PARETI",
     "PRODUIT",
     {"Zweckform 3490\t3 x 8 de 70 x 36 mm", "Zweckform 3475\t3 x 8 de 70,0511 x 36,026 mm",
      "Avery L7160\t3 x 7 de 63,994 x 38,1 mm", "Avery L7163\t2 x 7 de 99,0953 x 38,1 mm"}},
    {"LSTSEL",
     "REQUETES",
     {"15/01/2025\tRetraités de la région lyonnaise\t01000001\t08/12/2026 09:42\t1 284\t"
      "Âge de 50 à 65 ans ; code postal de 69000 à 69999",
      "03/02/2025\tPropriétaires bailleurs\t01000002\t08/12/2026 09:45\t312\t"
      "Immobilier de rapport d'au moins 150 000 €",
      "17/03/2025\tJeunes actifs\t01000003\tjamais lancée\t\tÂge de 25 à 35 ans",
      "02/04/2025\tAssurance vie supérieure à 100 000\t01000004\tavant modification\t57\t"
      "Assurance vie d'au moins 100 000 €",
      "20/06/2025\tRetraités lyonnais ou bailleurs\t01000005\t08/12/2026 10:03\t1 530\t"
      "(Retraités de la région lyonnaise) OU (Propriétaires bailleurs)"}},
    {"SEL01A",
     "SITFAM",
     {"(tous)", "Célibataire", "Marié(e)", "Pacsé(e)", "Divorcé(e)", "Veuf, veuve", "Concubin(e)"}},
    {"SEL01A",
     "REGMAT",
     {"(tous)", "Communauté réduite aux acquêts", "Séparation de biens", "Communauté universelle"}},
    {"SEL01A", "FAMPRO1", {"(tous)", "Salariés", "Professions libérales", "Retraités"}},
    {"SEL01A",
     "PROFES1",
     {"(tous)", "Cadre", "Employé", "Médecin", "Avocat", "Artisan", "Agriculteur", "Enseignant"}},
    {"COMBINE",
     "TABLE1",
     {"01000001\tRetraités de la région lyonnaise", "01000002\tPropriétaires bailleurs",
      "01000003\tJeunes actifs", "01000004\tAssurance vie supérieure à 100 000"}},
    {"COMBINE",
     "TABLE2",
     {"01000002\tPropriétaires bailleurs", "01000001\tRetraités de la région lyonnaise",
      "01000003\tJeunes actifs", "01000004\tAssurance vie supérieure à 100 000"}},
    {"AGENDA",
     "TABLE_RDV",
     {"11/01/2027\t09:30\t010004521\tMARTIN Claire\tBilan patrimonial annuel",
      "11/01/2027\t14:00\t010001873\tDUBOIS Jean-François\tDéclaration de revenus",
      "12/01/2027\t10:15\t010007240\tLEFÈVRE Hélène\tAssurance vie : arbitrage",
      "13/01/2027\t16:30\t010000318\tGARNIER Paul\tSignature du prêt immobilier",
      "14/01/2027\t11:00\t010005102\tMOREAU Sophie\tPréparation de la retraite",
      "15/01/2027\t09:00\t010002977\tROUSSEAU Marc\tSuccession : premier rendez-vous"}},
    {"RESULTAT", "Nom_Lettre", {"BILAN.HTM", "INVITATION.RTF", "RELANCE.TXT", "VOEUX.FODT"}},
    {"RESULTAT",
     "CLIENTS",
     {"010000318\tGARNIER\tPaul\t33000\tBordeaux\t48 200\t12/04/1958\t125 000",
      "010001873\tDUBOIS\tJean-François\t75011\tParis\t62 750\t03/11/1961\t",
      "010002977\tROUSSEAU\tMarc\t13008\tMarseille\t41 000\t27/06/1955\t310 500",
      "010004521\tMARTIN\tClaire\t69003\tLyon\t55 300\t15/01/1960\t88 000",
      "010005102\tMOREAU\tSophie\t44000\tNantes\t40 100\t09/09/1963\t",
      "010007240\tLEFÈVRE\tHélène\t01000\tBourg-en-Bresse\t73 900\t30/03/1957\t205 000"}},
};

std::string Cp(std::string_view utf8) {
  return os::Cp1252Exactly(utf8).value_or(std::string(utf8));
}

bool Contains(std::string_view text, std::string_view word) {
  return FoldName(text).find(FoldName(word)) != std::string::npos;
}

void FillGeneric(Field& field) {
  switch (field.kind) {
    case FieldKind::kTable:
      if (!field.rows.empty()) return;
      for (int r = 0; r < 5; ++r) {
        std::vector<std::string> cells;
        for (const Column& column : field.columns) cells.push_back(SampleCell(column.title, r));
        field.rows.push_back(std::move(cells));
      }
      field.selected = 1;
      return;
    case FieldKind::kList:
      if (!field.entries.empty()) return;
      for (int r = 0; r < 5; ++r) field.entries.push_back(SampleCell(field.label, r));
      field.selected = 1;
      return;
    case FieldKind::kOptions:
      if (field.value.empty() && !field.choices.empty()) field.value = "1";
      return;
    default:
      return;
  }
}

}  // namespace

std::string SampleCell(std::string_view column_title, int row) {
  static constexpr std::array<std::string_view, 5> kNames = {
      "MARTIN Claire", "DUBOIS Jean-François", "LEFÈVRE Hélène", "GARNIER Paul", "MOREAU Sophie"};
  static constexpr std::array<std::string_view, 5> kCities = {"Lyon", "Bordeaux", "Nantes", "Lille",
                                                              "Aix-en-Provence"};
  static constexpr std::array<std::string_view, 5> kAmounts = {"12 500,00", "3 200,00",
                                                               "148 000,00", "950,00", "27 430,50"};
  const size_t i = static_cast<size_t>(row < 0 ? -row : row) % 5;
  if (Contains(column_title, "date")) return "1" + std::to_string(i + 1) + "/01/2027";
  if (Contains(column_title, "heure")) return "0" + std::to_string(i + 8) + ":30";
  if (Contains(column_title, "rendement") || Contains(column_title, "taux")) {
    return Contains(column_title, "maximum") ? "999" : std::to_string(i + 2) + ",5";
  }
  if (Contains(column_title, "nom")) return Cp(kNames[i]);
  if (Contains(column_title, "ville")) return Cp(kCities[i]);
  if (Contains(column_title, "extraire")) return i % 2 ? "" : "X";
  if (Contains(column_title, "option")) return i % 3 ? "1" : "2";
  if (Contains(column_title, "famille")) {
    static constexpr std::array<std::string_view, 5> kFamilies = {
        "Revenus", "Revenus", "Revenus", "Valeurs mobilières", "Assurance vie"};
    return Cp(kFamilies[i]);
  }
  if (Contains(column_title, "titre")) {
    static constexpr std::array<std::string_view, 5> kQueries = {
        "Retraités de la région lyonnaise", "Propriétaires bailleurs", "Jeunes actifs",
        "Assurance vie supérieure à 100 000", "Anniversaires de janvier"};
    return Cp(kQueries[i]);
  }
  if (Contains(column_title, "code") || Contains(column_title, "client")) {
    return "01000" + std::to_string(1000 + 731 * i);
  }
  if (Contains(column_title, "minimum")) return i % 2 ? "0" : Cp(kAmounts[i]);
  if (Contains(column_title, "maximum")) return "999999999";
  if (Contains(column_title, "montant") || Contains(column_title, "somme")) {
    return Cp(kAmounts[i]);
  }
  if (Contains(column_title, "rubrique")) {
    static constexpr std::array<std::string_view, 5> kRubrics = {
        "Revenus fonciers", "Salaires et traitements", "Pensions et retraites",
        "Revenus de capitaux mobiliers", "Bénéfices non commerciaux"};
    return Cp(kRubrics[i]);
  }
  if (Contains(column_title, "requ")) return Cp("Requête n°") + std::to_string(i + 1);
  return Cp(column_title) + " " + std::to_string(i + 1);
}

void FillTypicalState(Window& window) {
  for (const SampleValue& sample : kValues) {
    if (WindowKey(window.name) == WindowKey(sample.window)) {
      WriteFieldValue(window, sample.field, Cp(sample.utf8));
    }
  }
  for (const SampleColumn& sample : kColumns) {
    if (WindowKey(window.name) != WindowKey(sample.window)) continue;
    Field* table = window.FindField(sample.table);
    if (!table || table->kind != FieldKind::kTable || table->ColumnIndex(sample.name) >= 0)
      continue;
    table->columns.push_back(
        {std::string(sample.name), Cp(sample.utf8_title), sample.width, false});
  }
  for (const SampleRows& sample : kRows) {
    if (WindowKey(window.name) != WindowKey(sample.window)) continue;
    Field* table = window.FindField(sample.table);
    if (!table) continue;
    if (table->kind == FieldKind::kList) {
      for (std::string_view entry : sample.utf8_rows) {
        if (!entry.empty()) table->entries.push_back(Cp(entry));
      }
    } else if (table->kind == FieldKind::kTable) {
      for (std::string_view row : sample.utf8_rows) {
        if (!row.empty()) AddTableRow(*table, Cp(row));
      }
    }
    if (table->ItemCount() > 0) table->selected = 1;
  }
  for (Field& field : window.fields) FillGeneric(field);
}

}  // namespace vz::runtime
