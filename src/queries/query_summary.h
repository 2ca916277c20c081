// A saved query in plain words: a French summary of its criteria, or of the
// combination of queries it stands for, read from its REQUETES lines exactly
// as the selection run reads them (src/selection: criteria_loading.h,
// identity_test.h, rubric_tests.h, expansion.h). Meant for showing beside a
// query in a list; nothing here changes a record or talks to the screen.
//
// Elementary query: one phrase per criterion, joined by " ; ", the first
// letter in upper case: "Âge de 50 à 65 ans ; code postal de 75000 à 75999 ;
// revenus, pour l'ensemble du foyer : Total revenus de 40 000 à 80 000 €".
// Identity criteria come first, in criteria key order, then the rubric
// criteria, rubric by rubric in the order the run tests them, then keys the
// run does not know ("sans effet"). No criterion at all gives "Aucun critère :
// tous les clients" (every client the run does not always skip, see
// selection_run.h). What the phrases say, as the run decides it:
//  - identity bounds are inclusive and a blank bound leaves its side open
//    ("d'au moins", "d'au plus", "à partir de", "jusqu'à"); names,
//    file numbers and postcodes compare as texts;
//  - rubric bounds are numbers, a bound that does not read as a number
//    (empty, "1 234 567", "abc") counts as 0 and the phrase says so; only
//    "0" with "999999999" (amounts) or "0" with "999" (rates) is no bound at
//    all; an amount upper bound of 999 999 999 or more is said "d'au moins",
//    amounts being taken as never that high; equal bounds are "égal à";
//    a code of the retirement or estate rubric that the run does not test
//    is "(sans effet)";
//  - a lower bound above the upper one is said as stored, followed by
//    "(bornes inversées : ne retient personne)": the run keeps nobody;
//  - the calculation option of a rubric is the twelfth character of its
//    first criterion in key order ("1" per person, joint holdings for half;
//    "2" the whole household), and it applies to every criterion of the
//    rubric; for the rubrics that have an option, any other character makes
//    every amount count as 0.
// Amounts are written with thousands separated by a space and " €", rates
// with " %", decimals with ",".
//
// Combined query: "(titre A) OU (titre B)" or "(titre A) ET (titre B)", an
// operand that is itself combined shown as its own combination in
// parentheses, to any depth. An operand without records is "(requête X
// introuvable : tous les clients)", as the run selects every client for it.
// Where the run refuses the selection the place says why and the summary
// ends with " : la sélection est impossible": an operand that encloses
// itself ("(combinaison circulaire)", not followed further), an operand that
// is empty or not a plain query code, more combinations than the run's token
// list holds ("(trop de combinaisons)"; this also bounds the depth).
//
// Texts in and out are cp1252. Criteria texts are split at TAB, the
// separator the stored format and the run use. Nothing throws; bad records
// give a phrase that says what the run makes of them.
#ifndef VZ_SRC_QUERIES_QUERY_SUMMARY_H_
#define VZ_SRC_QUERIES_QUERY_SUMMARY_H_

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "src/queries/query_records.h"

namespace vz::queries {

// Catalogue labels by rubric code (CODRUBR, 5 characters), cp1252. The fixed
// rows of the retirement, provident and estate screens have their own labels
// and need no entry; a code without label is shown as "rubrique CODE".
using RubricLabels = std::map<std::string, std::string, std::less<>>;

// The lines of the query `code` (8 characters), in criteria key order, or
// nullopt when the query has no record.
using QueryLookup = std::function<std::optional<std::vector<QueryLine>>(std::string_view code)>;

// Combined queries one summary (and one selection run) can expand, counted
// with repeats, depth first, left to right.
inline constexpr int kMostCombinedQueries = 24;

// The summary of the query `query_code` whose lines are `lines` (a working
// set's lines or the stored ones, in any order; empty keys, the title and
// the rubric lines to extract are not criteria). `labels` names the rubric
// codes of the criteria; `lookup` gives the lines of the operands of a
// combined query and is not called for an elementary one. `query_code` may
// be empty for a query not saved yet; a combination naming it is then found
// circular one level later.
std::string DescribeQueryLines(std::string_view query_code, const std::vector<QueryLine>& lines,
                               const RubricLabels& labels, const QueryLookup& lookup);

// The lines 1 to LineCount() of a working set, removed lines included (the
// summary skips them), for DescribeQueryLines.
std::vector<QueryLine> LinesOf(const QueryWorkingSet& working_set);

// The stored lines of `query_code` (cut to 8 characters) as the selection run
// loads them: every record of the query but its rubric lines, in key order;
// nullopt when there is none.
// Moves the REQUETES buffer and position.
// REQUIRES: the database context exists and REQUETES is described.
std::optional<std::vector<QueryLine>> ReadStoredQuery(std::string_view query_code);

// The RUBRIQUE labels (trailing blanks removed) of the rubric codes named by
// the criteria keys of `lines`; codes missing from the catalogue get none.
// Moves the RUBRIQUE buffer and position.
// REQUIRES: the database context exists and RUBRIQUE is described.
RubricLabels ReadRubricLabels(const std::vector<QueryLine>& lines);

// The summary of the stored query `query_code` (cut to 8 characters), its
// operands read from REQUETES and its labels from RUBRIQUE. A code without
// record gives "Requête CODE introuvable : aucun critère, tous les clients".
// Moves the REQUETES and RUBRIQUE buffers and positions.
// REQUIRES: the database context exists and every file is described.
std::string DescribeQuery(std::string_view query_code);

}  // namespace vz::queries

#endif  // VZ_SRC_QUERIES_QUERY_SUMMARY_H_
