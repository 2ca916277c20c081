#include "platform/engine/pg_test_support.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "platform/engine/pg_connection.h"

namespace vz::engine::testing {
namespace {

bool RunSql(const std::string& conninfo, const std::string& sql) {
  PgConnection conn(PQconnectdb(conninfo.c_str()));
  if (PQstatus(conn.get()) != CONNECTION_OK) {
    ADD_FAILURE() << "test server: " << PQerrorMessage(conn.get());
    return false;
  }
  PgResult(PQexec(conn.get(), "SET client_min_messages = warning"));
  PgResult result(PQexec(conn.get(), sql.c_str()));
  if (!PgSucceeded(result.get())) {
    ADD_FAILURE() << sql << ": " << PgError(result.get(), conn.get());
    return false;
  }
  return true;
}

}  // namespace

std::string TestServerConninfo() {
  const char* file = std::getenv("VZ_TEST_PG");
  if (file == nullptr || file[0] == '\0') return "";
  std::ifstream in(file);
  std::string conninfo;
  std::getline(in, conninfo);
  return conninfo;
}

bool EngineTestsOnServer() {
  const char* store = std::getenv("VZ_TEST_STORE");
  return store != nullptr && std::string(store) == "postgresql";
}

TestSchema::TestSchema() {
  const std::string server = TestServerConninfo();
  if (server.empty()) return;
  static int made = 0;
  name_ = "t" + std::to_string(::getpid()) + "_" + std::to_string(++made);
  if (!RunSql(server, "CREATE SCHEMA " + PgName(name_))) return;
  conninfo_ = server + " application_name=" + name_ + " options='-csearch_path=" + name_ +
              " -cclient_min_messages=warning'";
}

TestSchema::~TestSchema() {
  if (ok()) RunSql(TestServerConninfo(), "DROP SCHEMA " + PgName(name_) + " CASCADE");
}

bool TestSchema::HoldsFile(const std::string& physical) const {
  PgConnection conn(PQconnectdb(conninfo_.c_str()));
  PgParams params;
  params.Bytes(physical);
  PgResult result(PQexecParams(conn.get(), "SELECT 1 FROM vz_files WHERE name = $1", 1, nullptr,
                               params.values(), params.lengths(), params.formats(), 1));
  return PgSucceeded(result.get()) && PQntuples(result.get()) == 1;
}

bool TestSchema::DropSessions() const {
  return RunSql(
      TestServerConninfo(),
      "SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE application_name = '" + name_ +
          "'");
}

bool TestSchema::Exec(const std::string& sql) const {
  return RunSql(conninfo_, sql);
}

}  // namespace vz::engine::testing
