#include "bench/sql_questions.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string_view>
#include <vector>

namespace vz::bench {
namespace {

constexpr size_t kAmounts = 8;
constexpr size_t kCityWidth = 60;  // the address block keeps 60 characters of a city

// Clients whose name begins with "(" or "*" are never selected.
constexpr std::string_view kNotSkipped = "substr(c.name, 1, 1) NOT IN ('(', '*')";

// Every client with the household's mailing address "001" beside it.
constexpr std::string_view kClientsWithAddress =
    " FROM clients c LEFT JOIN addresses a ON a.household = c.household AND a.number = '001' ";

constexpr std::string_view kPostcode = "trim(coalesce(a.postcode, c.postcode))";

// The day count of a YYYYMMDD text: 365 days a year, months of fixed length,
// leap days ignored; a date reading as 0 is today.
std::string DayCount(const std::string& date) {
  const std::string text = "(CASE WHEN CAST(" + date +
                           " AS INTEGER) = 0 THEN strftime('%Y%m%d', 'now', 'localtime') ELSE " +
                           date + " END)";
  return "abs(CAST(substr(" + text +
         ", 1, 4) AS INTEGER) * 365 + (CASE max(1, min(12, CAST(substr(" + text +
         ", 5, 2) AS INTEGER))) WHEN 1 THEN 0 WHEN 2 THEN 31 WHEN 3 THEN 59 WHEN 4 THEN 90 "
         "WHEN 5 THEN 120 WHEN 6 THEN 151 WHEN 7 THEN 181 WHEN 8 THEN 212 WHEN 9 THEN 243 "
         "WHEN 10 THEN 273 WHEN 11 THEN 304 ELSE 334 END) + CAST(substr(" +
         text + ", 7, 2) AS INTEGER))";
}

// Whole 365-day spans from the birth date to today.
std::string Age() {
  return "((" + DayCount("strftime('%Y%m%d', 'now', 'localtime')") + " - " + DayCount("c.birth") +
         ") / 365)";
}

// The sum of a rubric table's amounts over the client's household.
std::string HouseholdTotal(std::string_view table, std::string_view also = "") {
  return "(SELECT total(r.amount) FROM " + std::string(table) +
         " r WHERE r.household = c.household" + std::string(also) + ")";
}

// The codes of the clients (not skipped) that meet `condition`.
std::string Codes(const std::string& condition) {
  return "SELECT c.code" + std::string(kClientsWithAddress) + "WHERE " + std::string(kNotSkipped) +
         " AND " + condition;
}

std::string IncomeQuery() {  // 01000001
  return Codes(HouseholdTotal("revenus") + " BETWEEN 30000 AND 999999999");
}

std::string CashQuery() {  // 01000007
  return Codes(HouseholdTotal("liquidit") + " BETWEEN 50000 AND 999999999");
}

std::string Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return "";
  const size_t last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

// Splits a merge line into its TAB-ended values.
std::vector<std::string_view> Values(std::string_view line) {
  std::vector<std::string_view> values;
  for (size_t tab; (tab = line.find('\t')) != std::string_view::npos; line.remove_prefix(tab + 1)) {
    values.push_back(line.substr(0, tab));
  }
  return values;
}

double Amount(std::string_view text) {
  const std::string trimmed = Trimmed(text);
  return trimmed.empty() ? 0.0 : std::strtod(trimmed.c_str(), nullptr);
}

}  // namespace

std::string SelectionQuestion(char which) {
  switch (which) {
    case 'a':
      return IncomeQuery() + " ORDER BY c.code";
    case 'b':
      return Codes("trim(c.name) >= 'B' AND trim(c.name) <= 'M' AND " + std::string(kPostcode) +
                   " BETWEEN '10000' AND '89999' AND " + Age() + " BETWEEN 30 AND 70") +
             " ORDER BY c.code";
    case 'c':
      return IncomeQuery() + " UNION " + CashQuery() + " UNION SELECT code FROM (" +
             Codes(Age() + " BETWEEN 60 AND 75") + " INTERSECT " +
             Codes(std::string(kPostcode) + " BETWEEN '75000' AND '75999'") + ") ORDER BY 1";
    default:
      return "";
  }
}

std::string ExtractionQuestion(int64_t clients) {
  std::string sql = "SELECT c.code, c.name, coalesce(a.city, c.city), " +
                    HouseholdTotal("revenus") + ", " +
                    HouseholdTotal("revenus", " AND r.line = '40001'") + ", " +
                    HouseholdTotal("impots", " AND r.person >= c.person");
  for (const char* table : {"immobusa", "valmobil", "liquidit", "autreval", "primeuni"}) {
    sql += ", " + HouseholdTotal(table);
  }
  return sql + " FROM (SELECT * FROM clients ORDER BY code LIMIT " + std::to_string(clients) +
         ") c LEFT JOIN addresses a ON a.household = c.household AND a.number = '001' "
         "ORDER BY c.code";
}

std::string CompareMergeFile(const std::string& path, const SqlRows& rows) {
  std::ifstream in(path, std::ios::binary);
  std::string line;
  if (!std::getline(in, line)) return "the merge file " + path + " cannot be read";
  size_t number = 0;
  for (; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string where = "client " + std::to_string(number + 1) + ": ";
    if (number >= rows.size()) return where + "the merge file has more lines than SQL has rows";
    const std::vector<std::string>& row = rows[number];
    const std::vector<std::string_view> values = Values(line);
    if (values.size() != 2 + kAmounts || row.size() != 3 + kAmounts) {
      return where + "the merge line has " + std::to_string(values.size()) + " values";
    }
    if (Trimmed(values[0]) != Trimmed(row[1])) {
      return where + "name " + std::string(values[0]) + " against " + row[1];
    }
    if (Trimmed(values[1]) != Trimmed(std::string_view(row[2]).substr(0, kCityWidth))) {
      return where + "city " + std::string(values[1]) + " against " + row[2];
    }
    for (size_t k = 0; k < kAmounts; ++k) {
      const double sql = Amount(row[3 + k]);
      if (std::fabs(Amount(values[2 + k]) - sql) > 0.5 + 1e-6) {
        return where + "amount " + std::to_string(k + 1) + " is " + std::string(values[2 + k]) +
               ", SQL has " + row[3 + k];
      }
    }
  }
  if (number != rows.size()) {
    return "the merge file has " + std::to_string(number) + " clients, SQL has " +
           std::to_string(rows.size());
  }
  return "";
}

}  // namespace vz::bench
