#include "platform/engine/sqlite_handles.h"

#include <gtest/gtest.h>

#include <string>

namespace vz::engine {
namespace {

class SqliteHandlesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
    db_.reset(db);
  }
  Connection db_;
};

// Plain names reach the SQL text as they are (the schema text stored in the
// files stays what it always was); every other name is quoted so that it
// names exactly itself, whatever it holds.
TEST_F(SqliteHandlesTest, NamesArePlainOrQuotedSoThatTheyNameThemselves) {
  struct Case {
    const char* name;
    const char* sql;
  } cases[] = {
      {"k1", "k1"},
      {"records_k12", "records_k12"},
      {"_x", "_x"},
      {"1k", "\"1k\""},                              // a digit first
      {"", "\"\""},                                  // nothing
      {"select", "\"select\""},                      // a keyword
      {"Order", "\"Order\""},                        // in any case
      {"k 1", "\"k 1\""},                            // a blank
      {"k\"1", "\"k\"\"1\""},                        // a quote, doubled
      {"k1; DROP TABLE t", "\"k1; DROP TABLE t\""},  // a semicolon and more SQL
      {"k1\" BLOB, x", "\"k1\"\" BLOB, x\""},
      {"k'1", "\"k'1\""},
      {"k-1", "\"k-1\""},
      {"clé", "\"clé\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(SqlName(c.name), c.sql);
    // SQLite reads the text back as the very name, as one column.
    ASSERT_EQ(sqlite3_exec(db_.get(), "DROP TABLE IF EXISTS t", nullptr, nullptr, nullptr),
              SQLITE_OK);
    const std::string create = "CREATE TABLE t(" + SqlName(c.name) + " BLOB)";
    ASSERT_EQ(sqlite3_exec(db_.get(), create.c_str(), nullptr, nullptr, nullptr), SQLITE_OK)
        << sqlite3_errmsg(db_.get());
    Statement columns = Prepare(db_.get(), "SELECT name FROM pragma_table_info('t')");
    ASSERT_NE(columns, nullptr);
    ASSERT_EQ(sqlite3_step(columns.get()), SQLITE_ROW);
    EXPECT_EQ(ColumnBytes(columns.get(), 0), c.name);
    EXPECT_EQ(sqlite3_step(columns.get()), SQLITE_DONE);
  }
}

// A statement goes with its owner, on every way out of the scope.
TEST_F(SqliteHandlesTest, StatementsAreFinalizedWhenTheirOwnerGoes) {
  auto first_row_or_nothing = [&](bool leave_early) {
    Statement statement = Prepare(db_.get(), "SELECT 1 UNION ALL SELECT 2");
    if (statement == nullptr || sqlite3_step(statement.get()) != SQLITE_ROW) return -1;
    if (leave_early) return 0;  // left in the middle of its rows
    return sqlite3_column_int(statement.get(), 0);
  };
  EXPECT_EQ(first_row_or_nothing(true), 0);
  EXPECT_EQ(first_row_or_nothing(false), 1);
  EXPECT_EQ(sqlite3_next_stmt(db_.get(), nullptr), nullptr);
  EXPECT_EQ(Prepare(db_.get(), "SELECT FROM"), nullptr);  // refused: nothing to own
  EXPECT_EQ(sqlite3_next_stmt(db_.get(), nullptr), nullptr);
  // A connection closed while a statement is still owned elsewhere waits for it.
  Statement survivor = Prepare(db_.get(), "SELECT 1");
  ASSERT_NE(survivor, nullptr);
  db_.reset();
  EXPECT_EQ(sqlite3_step(survivor.get()), SQLITE_ROW);
}

TEST_F(SqliteHandlesTest, ColumnBytesAreNeverANullPointer) {
  Statement statement = Prepare(db_.get(), "SELECT NULL, x'', x'00FF', 'text'");
  ASSERT_NE(statement, nullptr);
  ASSERT_EQ(sqlite3_step(statement.get()), SQLITE_ROW);
  EXPECT_NE(ColumnBytes(statement.get(), 0).data(), nullptr);
  EXPECT_EQ(ColumnBytes(statement.get(), 0).size(), 0u);
  EXPECT_NE(ColumnBytes(statement.get(), 1).data(), nullptr);
  EXPECT_EQ(ColumnBytes(statement.get(), 2), std::string_view("\x00\xFF", 2));
  EXPECT_EQ(ColumnBytes(statement.get(), 3), "text");
}

}  // namespace
}  // namespace vz::engine
