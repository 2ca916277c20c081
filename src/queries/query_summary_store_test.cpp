// The query summary over the record engine: stored queries read as the
// selection run reads them, labels from the rubric catalogue, and the
// refusals of the summary agreeing with the run's own expansion.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/os/cp1252.h"
#include "src/queries/query_summary.h"
#include "src/queries/query_summary_test_queries.h"
#include "src/queries/query_test_database.h"
#include "src/selection/expansion.h"

namespace vz::queries {
namespace {

using testing::QueryTestDatabase;

class QuerySummaryStoreTest : public ::testing::Test {
 protected:
  QueryTestDatabase database_{"summary"};
};

TEST_F(QuerySummaryStoreTest, StoredCombinationsGetTheirSummaryAndTheRunAgreesOnRefusals) {
  for (const testing::StoredTestQuery& query : testing::CombinationTestQueries()) {
    for (const QueryLine& line : query.lines) {
      QueryTestDatabase::AddLine(query.code, line.key, line.text);
    }
  }
  for (const testing::CombinationCase& c : testing::CombinationCases()) {
    EXPECT_EQ(os::Utf8(DescribeQuery(c.code)), c.expected) << c.code;
    auto tokens = std::make_unique<selection::TokenList>();
    const bool expanded =
        selection::ExpandQuery(c.code, *tokens) == selection::ExpansionResult::kExpanded;
    EXPECT_EQ(expanded, !c.refused) << c.code;
  }
}

TEST_F(QuerySummaryStoreTest, ElementaryQueryReadsItsCriteriaAndTheirCatalogueLabels) {
  QueryTestDatabase::AddRubric("40000", "Total revenus   ");
  QueryTestDatabase::AddRubric("40001", "Salaires");
  QueryTestDatabase::AddRubric("51000", os::Cp1252("Impôt sur le revenu"));
  QueryTestDatabase::AddLine("01000021", "TITRE*******", "20260309\tRiches\t\t\t\t\t\t\t\t");
  QueryTestDatabase::AddLine("01000021", "RUBRIQUE****", "40001");
  QueryTestDatabase::AddLine("01000021", "40001******1", "0\t50000\t");
  QueryTestDatabase::AddLine("01000021", "40000******2", "40000\t999999999\t");
  QueryTestDatabase::AddLine("01000021", "51000*******", "0\t5000\t");
  QueryTestDatabase::AddLine("01000021", "3300B*******", "1\t999999999\t0\t999999999\t");
  QueryTestDatabase::AddLine("01000021", "AGECLI******", "50\t65\t");
  QueryTestDatabase::AddLine("01000022", "AGECLI******", "18\t\t");  // the next query

  const std::optional<std::vector<QueryLine>> lines = ReadStoredQuery("01000021");
  ASSERT_TRUE(lines.has_value());
  std::vector<std::string> keys;
  for (const QueryLine& line : *lines) keys.push_back(line.key);
  EXPECT_EQ(keys, (std::vector<std::string>{"3300B*******", "40000******2", "40001******1",
                                            "51000*******", "AGECLI******", "TITRE*******"}));

  const RubricLabels labels = ReadRubricLabels(*lines);
  EXPECT_EQ(labels, (RubricLabels{{"40000", "Total revenus"},
                                  {"40001", "Salaires"},
                                  {"51000", os::Cp1252("Impôt sur le revenu")}}));

  EXPECT_EQ(os::Utf8(DescribeQuery("01000021")),
            "Âge de 50 à 65 ans ; revenus, pour l'ensemble du foyer : Total revenus d'au moins "
            "40 000 € ; revenus, pour l'ensemble du foyer : Salaires de 0 à 50 000 € ; impôts : "
            "Impôt sur le revenu de 0 à 5 000 € ; prévoyance : Montant capital invalidité, assuré "
            "1 d'au moins 1 €");
}

TEST_F(QuerySummaryStoreTest, AQueryWithoutRecordSelectsEveryClient) {
  QueryTestDatabase::AddLine("01000021", "TITRE*******", "20260309\tAutre\t\t\t\t\t\t\t\t");
  EXPECT_FALSE(ReadStoredQuery("01000099").has_value());
  EXPECT_EQ(os::Utf8(DescribeQuery("01000099")),
            "Requête 01000099 introuvable : aucun critère, tous les clients");
  EXPECT_EQ(os::Utf8(DescribeQuery("01000021")), "Aucun critère : tous les clients");
}

}  // namespace
}  // namespace vz::queries
