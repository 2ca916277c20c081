// The questions of the benchmarks in SQL, over the tables of sql_baseline.h,
// each giving what the program's run gives for the same query, and the
// check of an extraction's merge file against the SQL answer.
//
// Selection questions: the codes of the selected clients in code order, for
//   (a) query 01000001 of the demo installation: the household's income
//       total (every REVENUS record of the household) from 30,000 to
//       999,999,999;
//   (b) the bench's query 01000020: name from "B" to "M", postcode of the
//       mailing address from 10000 to 89999, age from 30 to 70;
//   (c) the bench's query 01000023: (01000001 OU 01000007) OU (01000003 ET
//       01000004), i.e. (a), or the household's cash total from 50,000, or
//       an age from 60 to 75 with a postcode from 75000 to 75999.
// As in the run, a client whose name begins with "(" or "*" is never
// selected, the mailing address is the household's ADRESSES record "001"
// when it has one and the client record's otherwise, and an age is the
// number of whole 365-day spans between the birth date and today counted
// with months of fixed length (the program's day count).
//
// Extraction question: for the first `clients` clients in code order, the
// code, name, city and the eight figures of the extraction bench's case (a):
// income total, income line 40001, taxes (the client's own and later owner
// digits, as the taxes loader reads them), owner-occupied real estate,
// securities, cash, other assets and life insurance totals of the household.
//
// Nothing here owns anything; the texts are built on each call.
#ifndef VZ_BENCH_SQL_QUESTIONS_H_
#define VZ_BENCH_SQL_QUESTIONS_H_

#include <cstdint>
#include <string>

#include "bench/sql_baseline.h"

namespace vz::bench {

// The SQL of selection case `which` ('a', 'b' or 'c'); empty for another.
std::string SelectionQuestion(char which);

// The SQL of the extraction of the first `clients` clients (see above):
// code, name, city, then the eight amounts, one row per client in code order.
std::string ExtractionQuestion(int64_t clients);

// Compares the merge file at `path` (a header line, then one line per client
// of TAB-ended values: name, city and eight amounts) with the extraction
// question's answer, line by line: names and cities trimmed of blanks, each
// amount within half a unit of the SQL sum (the merge file rounds to whole
// numbers, blank for 0). "" when they agree, else the first difference.
std::string CompareMergeFile(const std::string& path, const SqlRows& rows);

}  // namespace vz::bench

#endif  // VZ_BENCH_SQL_QUESTIONS_H_
