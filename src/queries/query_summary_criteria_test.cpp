// The summary of an elementary query: every identity key, every rubric
// family and option, open, empty, unreadable and reversed bounds, the order
// of the phrases and the option taken from a rubric's first criterion.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/os/cp1252.h"
#include "src/queries/query_summary.h"

namespace vz::queries {
namespace {

constexpr const char* kTitle = "20260309\tTitre\t\t\t\t\t\t\t\t";

const RubricLabels& Labels() {
  static const RubricLabels labels = {{"40000", "Total revenus"},
                                      {"40001", os::Cp1252("Salaires")},
                                      {"54001", os::Cp1252("Prêts immobiliers")},
                                      {"51000", os::Cp1252("Impôt sur le revenu")},
                                      {"01000", os::Cp1252("Résidence principale")},
                                      {"02001", "Immeubles"},
                                      {"03001", "Terres"},
                                      {"04000", "Total valeurs"},
                                      {"05000", os::Cp1252("Total liquidités")},
                                      {"06000", "Total biens"},
                                      {"07000", "Total contrats"}};
  return labels;
}

// The summary, in UTF-8, of a query made of a title and `lines` (cp1252
// keys, texts written in UTF-8).
std::string Summary(std::vector<QueryLine> lines) {
  for (QueryLine& line : lines) line.text = os::Cp1252(line.text);
  lines.push_back({std::string(kTitleKey), kTitle});
  return os::Utf8(DescribeQueryLines("01000001", lines, Labels(), {}));
}

struct Case {
  const char* key;
  const char* text;
  const char* expected;
};

TEST(QuerySummaryCriteriaTest, EachIdentityCriterionIsSaidAsTheRunTestsIt) {
  const Case cases[] = {
      {"NOMCLI******", "A\tM\t", "Nom de « A » à « M »"},
      {"NOMCLI******", " \tDUPONT\t", "Nom jusqu'à « DUPONT »"},
      {"NOMCLI******", "  MARTIN \t\t", "Nom à partir de « MARTIN »"},
      {"NOMCLI******", "DUPONT  \tDUPONT\t", "Nom « DUPONT »"},
      {"NOMCLI******", "M\tA\t", "Nom de « M » à « A » (bornes inversées : ne retient personne)"},
      {"NUMDOS******", "100\t200\t", "Numéro de dossier de 100 à 200"},
      {"CODPOST*****", "75000\t75999\t", "Code postal de 75000 à 75999"},
      {"CODPOST*****", " \t \t", "Code postal : bornes vides (sans effet)"},
      {"CODPOST*****", "76000\t75000\t",
       "Code postal de 76000 à 75000 (bornes inversées : ne retient personne)"},
      {"VILLE*******", " PARIS \t", "Ville « PARIS »"},
      {"VILLE*******", " \t", "Ville : vide (sans effet)"},
      {"AGECLI******", "50\t65\t", "Âge de 50 à 65 ans"},
      {"AGECLI******", "50\t\t", "Âge d'au moins 50 ans"},
      {"AGECLI******", "\t65\t", "Âge d'au plus 65 ans"},
      {"AGECLI******", "40\t40\t", "Âge de 40 ans"},
      {"AGECLI******", "0\t1\t", "Âge de 0 à 1 an"},
      {"AGECLI******", "65\t50\t", "Âge de 65 à 50 ans (bornes inversées : ne retient personne)"},
      {"AGECLI******", "cinquante\t65\t", "Âge de 0 à 65 ans (« cinquante » lu comme 0)"},
      {"ANNI********", "01/03\t31/03\t", "Anniversaire du 01/03 au 31/03"},
      {"ANNI********", "__/__\t15/06\t", "Anniversaire jusqu'au 15/06"},
      {"ANNI********", "15/06\t__/__\t", "Anniversaire à partir du 15/06"},
      {"ANNI********", "14/07\t14/07\t", "Anniversaire le 14/07"},
      // Month first: no wrap over the new year.
      {"ANNI********", "15/12\t15/01\t",
       "Anniversaire du 15/12 au 15/01 (bornes inversées : ne retient personne)"},
      {"SITFAM******", "Marié\tM\t", "Situation de famille : Marié"},
      {"SITFAM******", "Marié\t \t", "Situation de famille : aucun code (sans effet)"},
      {"REGMAT******", "Communauté\t01\t", "Régime matrimonial : Communauté"},
      {"FAMPRO******", "Cadres\t30\t", "Famille professionnelle : Cadres"},
      {"PROFES******", "Médecin\t3105\t", "Profession : Médecin"},
      {"PROFES******", " \t3105\t", "Profession : code 3105"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Summary({{c.key, c.text}}), c.expected) << c.key << " " << c.text;
  }
}

TEST(QuerySummaryCriteriaTest, EachRubricCriterionIsSaidWithItsOptionAndBounds) {
  const Case cases[] = {
      {"40000******2", "40000\t999999999\t",
       "Revenus, pour l'ensemble du foyer : Total revenus d'au moins 40 000 €"},
      {"40001******1", "0\t30000\t",
       "Revenus, par personne (biens communs pour moitié) : Salaires de 0 à 30 000 €"},
      {"40001******2", "12000\t12000\t",
       "Revenus, pour l'ensemble du foyer : Salaires égal à 12 000 €"},
      {"40001******2", "-3584\t1 234,50\t",
       "Revenus, pour l'ensemble du foyer : Salaires de -3 584 à 1 234,5 €"},
      {"40001******2", "50000\t20000\t",
       "Revenus, pour l'ensemble du foyer : Salaires de 50 000 à 20 000 € (bornes inversées : ne "
       "retient personne)"},
      {"40001******2", "40000\t\t",
       "Revenus, pour l'ensemble du foyer : Salaires de 40 000 à 0 € (bornes inversées : ne "
       "retient personne) (borne vide lue comme 0)"},
      {"40001******2", "1 234 567\t999999999\t",
       "Revenus, pour l'ensemble du foyer : Salaires d'au moins 0 € (« 1 234 567 » lu comme 0)"},
      {"40001******3", "0\t5000\t",
       "Revenus, option « 3 » inconnue (montants comptés pour 0) : Salaires de 0 à 5 000 €"},
      {"40001******", "0\t5000\t",
       "Revenus, sans option (montants comptés pour 0) : Salaires de 0 à 5 000 €"},
      {"40009******1", "0\t5000\t",
       "Revenus, par personne (biens communs pour moitié) : rubrique 40009 de 0 à 5 000 €"},
      {"54001******1", "0\t999999999\t0\t12000\t",
       "Emprunts, par personne (biens communs pour moitié) : Prêts immobiliers, annuités de 0 à "
       "12 000 €"},
      {"54001******2", "100000\t999999999\t0\t12000\t",
       "Emprunts, pour l'ensemble du foyer : Prêts immobiliers, capital restant dû d'au moins "
       "100 000 € et annuités de 0 à 12 000 €"},
      {"54001******2", "0\t999999999\t0\t999999999",
       "Emprunts, pour l'ensemble du foyer : Prêts immobiliers : sans borne (sans effet)"},
      {"51000*******", "0\t5000\t", "Impôts : Impôt sur le revenu de 0 à 5 000 €"},
      {"01000******1", "300000\t999999999\t",
       "Immobilier d'usage, par personne (biens communs pour moitié) : Résidence principale d'au "
       "moins 300 000 €"},
      {"02001******2", "0\t999999999\t4\t999\t",
       "Immobilier de rapport, pour l'ensemble du foyer : Immeubles, rendement de 4 à 999 %"},
      {"03001******1", "10000\t50000\t0\t999\t",
       "Foncier, par personne (biens communs pour moitié) : Terres, montant de 10 000 à 50 000 €"},
      {"04000******2", "50000\t999999999\t",
       "Valeurs mobilières, pour l'ensemble du foyer : Total valeurs d'au moins 50 000 €"},
      {"05000******1", "0\t1000\t",
       "Liquidités, par personne (biens communs pour moitié) : Total liquidités de 0 à 1 000 €"},
      {"06000******2", "1\t2\t", "Biens divers, pour l'ensemble du foyer : Total biens de 1 à 2 €"},
      {"07000******2", "10000\t999999999\t",
       "Assurance vie, pour l'ensemble du foyer : Total contrats d'au moins 10 000 €"},
      {"2000A*******", "20000\t999999999\t", "Retraite : Retraite estimée d'au moins 20 000 €"},
      {"2000B*******", "0\t50\t", "Retraite : Rapport estimé Retraite/Revenus (en %) de 0 à 50 %"},
      {"2000C*******", "10\t999\t", "Retraite : Rapport souhaité - Rapport estimé de 10 à 999 %"},
      {"2000D*******", "0\t10\t", "Retraite : rubrique 2000D (sans effet)"},
      {"3300A*******", "100000\t999999999\t0\t999999999\t",
       "Prévoyance : Montant capital décès, assuré 1 d'au moins 100 000 €"},
      {"3300H*******", "0\t999\t200\t999\t",
       "Prévoyance : Rapport capital décès/revenus, assuré 2 de 200 à 999 %"},
      {"SC00B*******", "0\t500000\t", "Succession : Succession au 2ème décès de 0 à 500 000 €"},
      {"SC00Z*******", "0\t500000\t", "Succession : rubrique SC00Z (sans effet)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Summary({{c.key, c.text}}), c.expected) << c.key << " " << c.text;
  }
}

TEST(QuerySummaryCriteriaTest, IdentityComesFirstThenRubricsInTheOrderTheRunTestsThem) {
  EXPECT_EQ(Summary({{"SC00A*******", "0\t10\t"},
                     {"40000******2", "40000\t999999999\t"},
                     {"RUBRIQUE****", "40000"},
                     {"01000******1", "5\t999999999\t"},
                     {"CODPOST*****", "75000\t75999\t"},
                     {"ZZZ*********", "1\t"},
                     {"AGECLI******", "50\t65\t"}}),
            "Âge de 50 à 65 ans ; code postal de 75000 à 75999 ; revenus, pour l'ensemble du "
            "foyer : Total revenus d'au moins 40 000 € ; immobilier d'usage, par personne (biens "
            "communs pour moitié) : Résidence principale d'au moins 5 € ; succession : "
            "Succession au 1er décès de 0 à 10 € ; critère « ZZZ********* » inconnu (sans effet)");
}

TEST(QuerySummaryCriteriaTest, TheFirstCriterionInKeyOrderGivesTheOptionOfItsRubric) {
  EXPECT_EQ(Summary({{"40001******1", "0\t10\t"}, {"40000******2", "0\t20\t"}}),
            "Revenus, pour l'ensemble du foyer : Total revenus de 0 à 20 € ; revenus, pour "
            "l'ensemble du foyer : Salaires de 0 à 10 €");
}

TEST(QuerySummaryCriteriaTest, NoCriterionMeansEveryClient) {
  EXPECT_EQ(Summary({}), "Aucun critère : tous les clients");
  // Removed lines (empty key) and the rubrics to extract are no criteria.
  EXPECT_EQ(Summary({{"", "50\t65\t"}, {"RUBRIQUE***2", "40000"}}),
            "Aucun critère : tous les clients");
  EXPECT_EQ(os::Utf8(DescribeQueryLines("", {}, {}, {})), "Aucun critère : tous les clients");
}

TEST(QuerySummaryCriteriaTest, AWorkingSetBeingEditedIsSummarisedWithoutItsRemovedLines) {
  QueryWorkingSet working_set;
  working_set.AppendLine("AGECLI******", "50\t65\t");
  working_set.AppendLine("CODPOST*****", "75000\t75999\t");
  working_set.RemoveLine(1);
  EXPECT_EQ(os::Utf8(DescribeQueryLines("", LinesOf(working_set), {}, {})),
            "Code postal de 75000 à 75999");
}

}  // namespace
}  // namespace vz::queries
