#include "src/queries/query_summary_test_queries.h"

#include "platform/os/cp1252.h"

namespace vz::queries::testing {
namespace {

constexpr int kChainLength = 25;  // one combination more than the run takes

QueryLine Elementary(std::string_view title) {
  return {std::string(kTitleKey), "20260309\t" + os::Cp1252(title) + "\t\t\t\t\t\t\t\t"};
}

QueryLine Combined(std::string_view title, std::string_view first, std::string_view op,
                   std::string_view second) {
  return {std::string(kTitleKey), "20260309\t" + os::Cp1252(title) + "\t\t\t\tC\t" +
                                      std::string(first) + "\t" + std::string(op) + "\t" +
                                      std::string(second) + "\t"};
}

std::string ChainCode(int link) {
  const std::string number = std::to_string(link);
  return "02" + std::string(6 - number.size(), '0') + number;
}

std::vector<StoredTestQuery> MakeQueries() {
  std::vector<StoredTestQuery> queries = {
      {"01000001", {Elementary("Parisiens"), {"CODPOST*****", "75000\t75999\t"}}},
      {"01000002", {Elementary("Gros revenus"), {"40000******2", "100000\t999999999\t"}}},
      {"01000003", {Combined("Parisiens ou riches", "01000001", "OU", "01000002")}},
      {"01000004", {Combined("Suite", "01000003", "ET", "01000005")}},
      {"01000005", {Elementary("Retraités"), {"AGECLI******", "62\t\t"}}},
      {"01000006", {Combined("Trois niveaux", "01000004", "OU", "01000001")}},
      {"01000007", {Combined("Elle-même", "01000007", "OU", "01000001")}},
      {"01000008", {Combined("Boucle A", "01000009", "ET", "01000001")}},
      {"01000009", {Combined("Boucle B", "01000008", "OU", "01000002")}},
      {"01000010", {Combined("Manquante", "01000099", "OU", "01000001")}},
      {"01000011", {Combined("Sans opérande", "", "ET", "01000001")}},
      {"01000012", {Elementary(""), {"AGECLI******", "18\t\t"}}},
      {"01000013", {Combined("Opérateur inconnu", "01000012", "XX", "01000001")}},
      {"01000014", {Combined("Invalide", "0100(001", "OU", "01000001")}},
      {"01000015", {Combined("Deux fois", "01000003", "ET", "01000003")}},
  };
  for (int link = 1; link <= kChainLength; ++link) {
    queries.push_back(
        {ChainCode(link), {Combined("Chaîne", ChainCode(link + 1), "OU", "01000001")}});
  }
  queries.push_back({ChainCode(kChainLength + 1), {Elementary("Fin")}});
  return queries;
}

// The summary of the chain from link `first` to its end.
std::string ChainSummary(int first) {
  const int combinations = kChainLength - first + 1;
  const int written = combinations > 24 ? 24 : combinations;  // the 25th is not expanded
  std::string text(static_cast<size_t>(written - 1), '(');
  text += combinations > 24 ? "(trop de combinaisons)" : "(Fin)";
  text += " OU (Parisiens)";
  for (int i = 1; i < written; ++i) text += ") OU (Parisiens)";
  return text;
}

}  // namespace

const std::vector<StoredTestQuery>& CombinationTestQueries() {
  static const std::vector<StoredTestQuery> queries = MakeQueries();
  return queries;
}

const std::vector<CombinationCase>& CombinationCases() {
  static const std::vector<CombinationCase> cases = {
      {"01000003", "(Parisiens) OU (Gros revenus)", false},
      {"01000006", "(((Parisiens) OU (Gros revenus)) ET (Retraités)) OU (Parisiens)", false},
      {"01000007", "(combinaison circulaire) OU (Parisiens) : la sélection est impossible", true},
      {"01000008",
       "((combinaison circulaire) OU (Gros revenus)) ET (Parisiens) : la sélection est impossible",
       true},
      {"01000010", "(requête 01000099 introuvable : tous les clients) OU (Parisiens)", false},
      {"01000011", "(requête non choisie) ET (Parisiens) : la sélection est impossible", true},
      {"01000013", "(requête 01000012) ET (Parisiens)", false},
      {"01000014", "(requête « 0100(001 » invalide) OU (Parisiens) : la sélection est impossible",
       true},
      {"01000015", "((Parisiens) OU (Gros revenus)) ET ((Parisiens) OU (Gros revenus))", false},
      {ChainCode(1), ChainSummary(1) + " : la sélection est impossible", true},
      {ChainCode(2), ChainSummary(2), false},
  };
  return cases;
}

}  // namespace vz::queries::testing
