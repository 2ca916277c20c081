// The normalized SQL baseline of the benchmarks: the client data of an
// installation copied into a SQLite file of the benchmark's temporary folder,
// one table per kind of record, so that the questions the program answers
// can be asked in SQL beside it and their answers compared.
//
// The tables: clients(code, household, person, name, postcode, city, birth)
// in code order, addresses(household, number, postcode, city), and one table
// per rubric file the benchmarks ask about (revenus, impots, immobusa,
// valmobil, liquidit, autreval, primeuni), each (household, person, line,
// amount) with an index on household. Texts keep the bytes of the records
// (cp1252), so that SQL compares them byte by byte as the program does;
// amounts are the records' 32-bit reals widened to 64 bits.
//
// SqlBaseline owns its connection and closes it when destroyed; the file
// stays in the folder it was made in (the benchmark removes the folder).
// Failures come back as false with a message, never an exception.
// REQUIRES for Build: the program's database context is open on the
//                     installation (bench_program.h, OpenProgramDatabase).
#ifndef VZ_BENCH_SQL_BASELINE_H_
#define VZ_BENCH_SQL_BASELINE_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace vz::bench {

// The rows of a query's answer, each column as text (NULL as empty).
using SqlRows = std::vector<std::vector<std::string>>;

class SqlBaseline {
 public:
  SqlBaseline() = default;
  ~SqlBaseline();
  SqlBaseline(const SqlBaseline&) = delete;
  SqlBaseline& operator=(const SqlBaseline&) = delete;

  // Creates the SQLite file `path` (replacing one) with the empty tables.
  // False, with `error` set, when it cannot be made.
  bool Create(const std::string& path, std::string* error);

  // Create, then reads CLIENT, ADRESSES
  // and the rubric files through the record operations in key order and
  // loads them into the tables above, then makes the indexes. False, with
  // `error` set, when the file cannot be made or a row not stored.
  bool Build(const std::string& path, std::string* error);

  // The number of records copied by Build.
  int64_t records() const { return records_; }

  // Runs `sql` (a question, or any other statement) and gives every row of
  // its answer. False, with `error` set,
  // when the statement does not prepare or does not run to its end.
  bool Query(std::string_view sql, SqlRows* rows, std::string* error);

 private:
  bool Execute(const char* sql, std::string* error);
  bool LoadClients(std::string* error);
  bool LoadAddresses(std::string* error);
  bool LoadRubricFile(std::string_view file, std::string* error);

  sqlite3* db_ = nullptr;
  int64_t records_ = 0;
};

// An answer with the time it took, wall and processor.
struct TimedAnswer {
  SqlRows rows;
  double seconds = 0;
  double processor_seconds = 0;
};

// Runs `sql` on `baseline` and times it. False, with `error` set, as Query.
bool TimeQuery(SqlBaseline& baseline, const std::string& sql, TimedAnswer* answer,
               std::string* error);

// Builds the baseline in `folder`/baseline.sqlite and prints
// "<program>: SQL baseline: <N> records loaded in <s> s". False, after
// printing "<program>: <error>", when it cannot be built.
bool BuildBaselineIn(const char* program, const std::string& folder, SqlBaseline* baseline);

// Prints "<program>: <label>: SQL <s> s (processor <p> s), program / SQL
// <ratio> (processor <ratio>)".
void PrintRatio(const char* program, const char* label, const TimedAnswer& sql, double seconds,
                double processor_seconds);

// The first column of every row (the client codes of a selection question).
std::vector<std::string> FirstColumn(const SqlRows& rows);

// The client codes of a selection file, one per line, CR LF removed; empty
// when the file cannot be read.
std::vector<std::string> ReadSelectionFile(const std::string& path);

// "" when `program` and `sql` hold the same codes in the same order, else a
// description of the first difference (for the benchmark's failure line).
std::string CompareCodes(const std::vector<std::string>& program,
                         const std::vector<std::string>& sql);

}  // namespace vz::bench

#endif  // VZ_BENCH_SQL_BASELINE_H_
