// Test support for the query summary: a table of stored queries that combine
// one another (nested three deep, circular directly and through another
// query, naming a missing, an empty or an invalid operand, a chain one
// combination longer than the selection run takes), and the summary each
// one must get. Shared by the tests over plain lines and over the record
// engine, so that both read the same table. Static data.
#ifndef VZ_SRC_QUERIES_QUERY_SUMMARY_TEST_QUERIES_H_
#define VZ_SRC_QUERIES_QUERY_SUMMARY_TEST_QUERIES_H_

#include <span>
#include <string>
#include <vector>

#include "src/queries/query_records.h"

namespace vz::queries::testing {

struct StoredTestQuery {
  std::string code;              // 8 characters
  std::vector<QueryLine> lines;  // cp1252
};

struct CombinationCase {
  std::string code;
  std::string expected;  // UTF-8
  bool refused;          // the selection run refuses to expand it
};

// Every query of the table.
const std::vector<StoredTestQuery>& CombinationTestQueries();

// The expected summaries of the combined queries of the table.
const std::vector<CombinationCase>& CombinationCases();

}  // namespace vz::queries::testing

#endif  // VZ_SRC_QUERIES_QUERY_SUMMARY_TEST_QUERIES_H_
