#include "bench/sql_baseline.h"

#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>

#include "bench/bench_support.h"
#include "src/db/catalogue.h"
#include "src/db/layouts/adresses.h"
#include "src/db/layouts/client.h"
#include "src/db/layouts/rubric_record.h"
#include "src/db/record_ops.h"

namespace vz::bench {
namespace {

constexpr size_t kHousehold = 8;

// The rubric files the benchmarks ask about, each loaded into the table of
// its name in lower case.
constexpr std::string_view kRubricFiles[] = {"REVENUS",  "IMPOTS",   "IMMOBUSA", "VALMOBIL",
                                             "LIQUIDIT", "AUTREVAL", "PRIMEUNI"};

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return lower;
}

std::string Message(sqlite3* db, std::string_view doing) {
  return std::string(doing) + ": " + (db != nullptr ? sqlite3_errmsg(db) : "no database");
}

// A prepared statement, finalized when it goes out of scope.
class Statement {
 public:
  Statement(sqlite3* db, std::string_view sql) {
    sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &statement_, nullptr);
  }
  ~Statement() { sqlite3_finalize(statement_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  sqlite3_stmt* get() const { return statement_; }

  void Text(int column, std::string_view text) {
    sqlite3_bind_text(statement_, column, text.data(), static_cast<int>(text.size()),
                      SQLITE_TRANSIENT);
  }
  // Runs an insert once and makes the statement ready for the next row.
  bool Insert() {
    const int rc = sqlite3_step(statement_);
    sqlite3_reset(statement_);
    return rc == SQLITE_DONE;
  }

 private:
  sqlite3_stmt* statement_ = nullptr;
};

}  // namespace

SqlBaseline::~SqlBaseline() {
  sqlite3_close(db_);
}

bool SqlBaseline::Execute(const char* sql, std::string* error) {
  char* message = nullptr;
  if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) == SQLITE_OK) return true;
  *error = std::string(sql) + ": " + (message != nullptr ? message : "error");
  sqlite3_free(message);
  return false;
}

bool SqlBaseline::Create(const std::string& path, std::string* error) {
  std::error_code ec;
  std::filesystem::remove(path, ec);
  if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK) {
    *error = Message(db_, "cannot open " + path);
    return false;
  }
  // A copy made for one run: no journal, no waiting for the disk.
  if (!Execute("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;", error)) return false;
  if (!Execute("CREATE TABLE clients(code TEXT PRIMARY KEY, household TEXT NOT NULL, "
               "person TEXT NOT NULL, name TEXT, postcode TEXT, city TEXT, birth TEXT);"
               "CREATE TABLE addresses(household TEXT NOT NULL, number TEXT NOT NULL, "
               "postcode TEXT, city TEXT, PRIMARY KEY(household, number));",
               error)) {
    return false;
  }
  for (std::string_view file : kRubricFiles) {
    const std::string table = Lower(file);
    const std::string sql = "CREATE TABLE " + table +
                            "(household TEXT NOT NULL, person TEXT NOT NULL, line TEXT NOT NULL, "
                            "amount REAL NOT NULL);";
    if (!Execute(sql.c_str(), error)) return false;
  }
  return true;
}

bool SqlBaseline::Build(const std::string& path, std::string* error) {
  if (!Create(path, error)) return false;
  if (!Execute("BEGIN", error) || !LoadClients(error) || !LoadAddresses(error)) return false;
  for (std::string_view file : kRubricFiles) {
    if (!LoadRubricFile(file, error)) return false;
  }
  if (!Execute("COMMIT", error)) return false;
  for (std::string_view file : kRubricFiles) {
    const std::string table = Lower(file);
    const std::string sql =
        "CREATE INDEX " + table + "_household ON " + table + "(household); ANALYZE " + table + ";";
    if (!Execute(sql.c_str(), error)) return false;
  }
  return Execute("ANALYZE clients; ANALYZE addresses;", error);
}

bool SqlBaseline::LoadClients(std::string* error) {
  Statement insert(db_, "INSERT INTO clients VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7)");
  if (insert.get() == nullptr) {
    *error = Message(db_, "cannot prepare the clients' insert");
    return false;
  }
  for (db::Hlitpremier("CLIENT", "CODCLI"); !db::Hendehors(); db::Hlitsuivant("CLIENT", "CODCLI")) {
    const db::ClientRecord client = db::CurrentClient();
    const std::string_view code = client.Codcli().substr(0, kHousehold + 1);
    insert.Text(1, code);
    insert.Text(2, code.substr(0, kHousehold));
    insert.Text(3, code.substr(code.size() < kHousehold ? code.size() : kHousehold));
    insert.Text(4, client.Name());
    insert.Text(5, client.Postcode());
    insert.Text(6, client.City());
    insert.Text(7, client.BirthDate());
    if (!insert.Insert()) {
      *error = Message(db_, "client " + std::string(code) + " not stored");
      return false;
    }
    ++records_;
  }
  return true;
}

bool SqlBaseline::LoadAddresses(std::string* error) {
  Statement insert(db_, "INSERT OR REPLACE INTO addresses VALUES(?1, ?2, ?3, ?4)");
  if (insert.get() == nullptr) {
    *error = Message(db_, "cannot prepare the addresses' insert");
    return false;
  }
  for (db::Hlitpremier("ADRESSES", "CODADR"); !db::Hendehors();
       db::Hlitsuivant("ADRESSES", "CODADR")) {
    const db::AddressRecord address = db::CurrentAddress();
    const std::string_view key = address.Codadr();
    if (key.size() < kHousehold) continue;
    insert.Text(1, key.substr(0, kHousehold));
    insert.Text(2, key.substr(kHousehold, 3));
    insert.Text(3, address.Postcode());
    insert.Text(4, address.City());
    if (!insert.Insert()) {
      *error = Message(db_, "address " + std::string(key) + " not stored");
      return false;
    }
    ++records_;
  }
  return true;
}

bool SqlBaseline::LoadRubricFile(std::string_view file, std::string* error) {
  const std::optional<db::FileId> id = db::FindFileByName(file);
  if (!id) {
    *error = "no file " + std::string(file) + " in the catalogue";
    return false;
  }
  Statement insert(db_, "INSERT INTO " + Lower(file) + " VALUES(?1, ?2, ?3, ?4)");
  if (insert.get() == nullptr) {
    *error = Message(db_, "cannot prepare the insert into " + Lower(file));
    return false;
  }
  for (db::Hlitpremier(file, "CODCLEF"); !db::Hendehors(); db::Hlitsuivant(file, "CODCLEF")) {
    const std::optional<db::RubricRecord> record = db::CurrentRubricRecord(*id);
    if (!record) {
      *error = std::string(file) + " is not a rubric file";
      return false;
    }
    insert.Text(1, record->HouseholdCode());
    const char owner = record->OwnerDigit();
    insert.Text(2, std::string_view(&owner, owner != '\0' ? 1 : 0));
    insert.Text(3, record->RubricCode());
    sqlite3_bind_double(insert.get(), 4, static_cast<double>(record->Amount()));
    if (!insert.Insert()) {
      *error = Message(db_, std::string(file) + " record not stored");
      return false;
    }
    ++records_;
  }
  return true;
}

bool SqlBaseline::Query(std::string_view sql, SqlRows* rows, std::string* error) {
  rows->clear();
  Statement statement(db_, sql);
  if (statement.get() == nullptr) {
    *error = Message(db_, "cannot prepare the question");
    return false;
  }
  const int columns = sqlite3_column_count(statement.get());
  int rc;
  while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) {
    std::vector<std::string>& row = rows->emplace_back();
    row.reserve(static_cast<size_t>(columns));
    for (int c = 0; c < columns; ++c) {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement.get(), c));
      row.emplace_back(text != nullptr ? std::string(text, static_cast<size_t>(sqlite3_column_bytes(
                                                               statement.get(), c)))
                                       : std::string());
    }
  }
  if (rc != SQLITE_DONE) {
    *error = Message(db_, "the question did not run to its end");
    return false;
  }
  return true;
}

bool TimeQuery(SqlBaseline& baseline, const std::string& sql, TimedAnswer* answer,
               std::string* error) {
  const auto start = Clock::now();
  const double processor_start = CpuSeconds();
  const bool done = baseline.Query(sql, &answer->rows, error);
  answer->seconds = Seconds(start);
  answer->processor_seconds = CpuSeconds() - processor_start;
  return done;
}

bool BuildBaselineIn(const char* program, const std::string& folder, SqlBaseline* baseline) {
  const auto start = Clock::now();
  std::string error;
  if (!baseline->Build(folder + "/baseline.sqlite", &error)) {
    std::fprintf(stderr, "%s: %s\n", program, error.c_str());
    return false;
  }
  std::printf("%s: SQL baseline: %lld records loaded in %.1f s\n", program,
              static_cast<long long>(baseline->records()), Seconds(start));
  return true;
}

void PrintRatio(const char* program, const char* label, const TimedAnswer& sql, double seconds,
                double processor_seconds) {
  std::printf("%s: %s: SQL %.3f s (processor %.3f s), program / SQL %.2f (processor %.2f)\n",
              program, label, sql.seconds, sql.processor_seconds, seconds / sql.seconds,
              processor_seconds / sql.processor_seconds);
}

std::vector<std::string> FirstColumn(const SqlRows& rows) {
  std::vector<std::string> first;
  first.reserve(rows.size());
  for (const std::vector<std::string>& row : rows) first.push_back(row.empty() ? "" : row[0]);
  return first;
}

std::vector<std::string> ReadSelectionFile(const std::string& path) {
  std::vector<std::string> codes;
  std::ifstream in(path, std::ios::binary);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    codes.push_back(line);
  }
  return codes;
}

std::string CompareCodes(const std::vector<std::string>& program,
                         const std::vector<std::string>& sql) {
  for (size_t i = 0; i < program.size() && i < sql.size(); ++i) {
    if (program[i] != sql[i]) {
      return "line " + std::to_string(i + 1) + ": the program has " + program[i] + ", SQL has " +
             sql[i];
    }
  }
  if (program.size() != sql.size()) {
    return "the program has " + std::to_string(program.size()) + " codes, SQL has " +
           std::to_string(sql.size());
  }
  return "";
}

}  // namespace vz::bench
