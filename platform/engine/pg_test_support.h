// The tests' PostgreSQL server: the throwaway cluster that
// scripts/pg-cluster.sh starts for ctest (fixture vz_pg_cluster), and a schema
// of its own for each test so that tests running at once never meet.
//
// ctest gives the tests that need the server the variable VZ_TEST_PG, the
// file holding the cluster's connection string; a test run without it skips
// the server's cases. VZ_TEST_STORE=postgresql runs the engine's own tests
// (EngineTest) with the process's store on the server.
#ifndef VZ_PLATFORM_ENGINE_PG_TEST_SUPPORT_H_
#define VZ_PLATFORM_ENGINE_PG_TEST_SUPPORT_H_

#include <string>

namespace vz::engine::testing {

// The cluster's connection string; "" when the tests have no server.
std::string TestServerConninfo();

// True when the engine's tests run on the server (VZ_TEST_STORE=postgresql).
bool EngineTestsOnServer();

// A new, empty schema on the test server, dropped with everything in it when
// the object goes.
class TestSchema {
 public:
  TestSchema();
  ~TestSchema();
  TestSchema(const TestSchema&) = delete;
  TestSchema& operator=(const TestSchema&) = delete;

  bool ok() const { return !conninfo_.empty(); }
  // The server's connection string with the schema first in search_path and
  // the schema's name as application name.
  const std::string& conninfo() const { return conninfo_; }
  const std::string& name() const { return name_; }
  // Runs `sql` on the server in the schema; false (and a test failure) when
  // it fails.
  bool Exec(const std::string& sql) const;
  // True when the store's catalogue in the schema lists the physical file
  // `physical`.
  bool HoldsFile(const std::string& physical) const;
  // Ends, on the server's side, every session opened with conninfo(), as a
  // restart of the server would.
  bool DropSessions() const;

 private:
  std::string name_;
  std::string conninfo_;
};

}  // namespace vz::engine::testing

#endif  // VZ_PLATFORM_ENGINE_PG_TEST_SUPPORT_H_
