// Other processes and damaged files: locks, kills, garbage.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/engine/engine_test_support.h"
#include "platform/engine/le_api.h"

namespace vz::engine::testing {
namespace {

// The SQLite files themselves: other connections, kills, damaged bytes (the
// server's locks are in pg_storage_test.cpp).
class EngineProcessTest : public EngineTest {
 protected:
  void SetUp() override {
    if (EngineTestsOnServer()) GTEST_SKIP() << "SQLite files only";
    EngineTest::SetUp();
  }

  // No connection may cross a fork: every test closes all files first.
  pid_t Fork() {
    LE_Hferme(ctx_, "");
    std::fflush(nullptr);
    return ::fork();
  }

  static void Send(int fd) {
    char c = 'x';
    if (::write(fd, &c, 1) != 1) _exit(3);
  }
  static bool Receive(int fd) {
    char c;
    return ::read(fd, &c, 1) == 1;
  }

  std::string log_path() { return temp_ / "engine.log"; }
  bool LogMentions(const std::string& text) {
    return ReadFile(log_path()).find(text) != std::string::npos;
  }
};

TEST_F(EngineProcessTest, AWriteLockHeldElsewhereIsTriedThenGivenUp) {
  ScopedEngineLog log(log_path());
  ASSERT_TRUE(AddClient("010000011", "A"));
  int to_child[2], to_parent[2];
  ASSERT_EQ(::pipe(to_child), 0);
  ASSERT_EQ(::pipe(to_parent), 0);
  std::string path = DataPath("CLIENT.vzdb");
  pid_t pid = Fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) _exit(1);
    if (sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) _exit(2);
    Send(to_parent[1]);
    Receive(to_child[0]);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    _exit(0);
  }
  ASSERT_TRUE(Receive(to_parent[0]));
  LE_Hsetnbessais(ctx_, 3);
  EXPECT_FALSE(AddClient("010000021", "B"));
  EXPECT_TRUE(LogMentions("LE_ERROR CLIENT"));
  EXPECT_TRUE(LogMentions("file locked"));
  // Reads go on while the other process holds its lock.
  ASSERT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "CODCLI", 0), 1);
  EXPECT_EQ(Count("CLIENT"), 1);
  Send(to_child[1]);
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_TRUE(AddClient("010000021", "B"));
  EXPECT_EQ(Count("CLIENT"), 2);
  for (int fd : {to_child[0], to_child[1], to_parent[0], to_parent[1]}) ::close(fd);
}

TEST_F(EngineProcessTest, AKillDuringWritesLeavesAConsistentPrefix) {
  ASSERT_TRUE(AddClient("000000000", "first"));
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  pid_t pid = Fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    for (int i = 1; i < 1000000; ++i) {
      char code[16];
      std::snprintf(code, sizeof code, "%09d", i);
      if (!AddClient(code, "loop")) _exit(1);
      if (i == 200) Send(ready[1]);
    }
    _exit(0);
  }
  ASSERT_TRUE(Receive(ready[0]));
  ::usleep(50 * 1000);
  ASSERT_EQ(::kill(pid, SIGKILL), 0);
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFSIGNALED(status));
  ::close(ready[0]);
  ::close(ready[1]);

  // Every record from 0 to the last one written is there, in order, once.
  int32_t count = Count("CLIENT");
  ASSERT_GT(count, 200);
  int expected = 0;
  for (int32_t found = LE_Hlitpremier(ctx_, "CLIENT", "CODCLI", 0); found == 1;
       found = LE_Hlitsuivant(ctx_, "CLIENT", "CODCLI", 0)) {
    char code[16];
    std::snprintf(code, sizeof code, "%09d", expected++);
    ASSERT_EQ(ClientCode(client_), code);
  }
  EXPECT_EQ(expected, count);
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(DataPath("CLIENT.vzdb").c_str(), &db), SQLITE_OK);
  sqlite3_stmt* check = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr), SQLITE_OK);
  ASSERT_EQ(sqlite3_step(check), SQLITE_ROW);
  EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)), "ok");
  sqlite3_finalize(check);
  sqlite3_close(db);
  EXPECT_TRUE(AddClient("999999999", "after"));
  EXPECT_EQ(Count("CLIENT"), count + 1);
}

TEST_F(EngineProcessTest, AnotherProgramWritingByTheStorageRulesIsSeenWithinTheReadWindow) {
  ASSERT_TRUE(AddClient("010000011", "A"));
  ASSERT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "CODCLI", 0), 1);  // a read transaction is open
  // Another program adds a record as docs/storage.md says: the described
  // bytes with a zero slot, and the key columns computed by the same rules.
  Record other({3, 7, 2, 11, 21, 2}, "111412");
  FillClient(other, "010000021", "from outside", 5);
  std::memset(other.Field(4), 0, other.FieldSize(4));
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(DataPath("CLIENT.vzdb").c_str(), &db), SQLITE_OK);
  sqlite3_busy_timeout(db, 2000);
  sqlite3_stmt* insert = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(db, "INSERT INTO records(data, k1, k2) VALUES(?1, ?2, ?3)", -1,
                               &insert, nullptr),
            SQLITE_OK);
  sqlite3_bind_blob(insert, 1, other.data(), static_cast<int>(other.described_size()),
                    SQLITE_STATIC);
  sqlite3_bind_blob(insert, 2, "010000021", 9, SQLITE_STATIC);
  sqlite3_bind_blob(insert, 3, "from out", 8, SQLITE_STATIC);
  EXPECT_EQ(sqlite3_step(insert), SQLITE_DONE);
  sqlite3_finalize(insert);
  sqlite3_close(db);
  ::usleep(60 * 1000);  // longer than the read window
  EXPECT_EQ(Count("CLIENT"), 2);
  ASSERT_EQ(LE_Hlitsuivant(ctx_, "CLIENT", "CODCLI", 0), 1);
  EXPECT_EQ(client_.Text(5), "from outside");
  EXPECT_EQ(client_.Int16(6), 5);
  ASSERT_EQ(LE_Hlitrecherche(ctx_, "CLIENT", "NOMCLI", "from", 0), 1);
  EXPECT_EQ(ClientCode(client_), "010000021");
}

std::string Garbage(std::size_t size, uint32_t seed) {
  std::string bytes(size, '\0');
  for (char& c : bytes) {
    seed = seed * 1103515245u + 12345u;
    c = static_cast<char>(seed >> 16);
  }
  return bytes;
}

TEST_F(EngineProcessTest, DamagedFilesFailClearlyAndNeverCrash) {
  for (int i = 0; i < 300; ++i) {
    char code[16];
    std::snprintf(code, sizeof code, "01%06d1", i);
    ASSERT_TRUE(AddClient(code, std::string(20, 'n')));
  }
  LE_Hferme(ctx_, "");
  std::string path = DataPath("CLIENT.vzdb");
  const std::string good = ReadFile(path);
  ASSERT_GT(good.size(), 8192u);
  struct Case {
    const char* what;
    std::string bytes;
    bool must_fail;  // reads out of file, writes not done
  } cases[] = {
      {"all garbage", Garbage(good.size(), 1), true},
      {"garbage header", Garbage(100, 2) + good.substr(100), true},
      {"garbage schema page", good.substr(0, 100) + Garbage(3996, 3) + good.substr(4096), true},
      {"garbage data pages", good.substr(0, 8192) + Garbage(good.size() - 8192, 4), false},
      {"cut in half", good.substr(0, good.size() / 2), false},
      {"text file", std::string("VZANALYSIS 1\nthis is not a database\n"), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::remove((path + "-wal").c_str());
    std::remove((path + "-shm").c_str());
    WriteFile(path, c.bytes);
    std::remove(log_path().c_str());
    {
      ScopedEngineLog log(log_path());
      client_.Clear();
      int32_t found = LE_Hlitpremier(ctx_, "CLIENT", "CODCLI", 0);
      for (int i = 0; found == 1 && i < 1000; ++i) {
        found = LE_Hlitsuivant(ctx_, "CLIENT", "CODCLI", 0);
      }
      LE_Hlitrecherche(ctx_, "CLIENT", "CODCLI", "0100015", 0);
      bool added = AddClient("090000001", "new");
      int32_t count = Count("CLIENT");
      if (c.must_fail) {
        EXPECT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "CODCLI", 0), 0);
        EXPECT_EQ(LE_Hendehors(ctx_), 1);
        EXPECT_FALSE(added);
        EXPECT_EQ(count, 0);
        EXPECT_EQ(LE_Hcreation(ctx_, "CLIENT"), 0);  // a damaged file is not wiped
        EXPECT_TRUE(LogMentions("LE_ERROR CLIENT \"" + path + "\""));
      }
      LE_Hferme(ctx_, "");
    }
    if (c.must_fail) {
      EXPECT_EQ(ReadFile(path), c.bytes);  // left as found for repair
    }
  }
  // Restored from a backup, the file works again.
  std::remove((path + "-wal").c_str());
  std::remove((path + "-shm").c_str());
  WriteFile(path, good);
  EXPECT_EQ(Count("CLIENT"), 300);
  ASSERT_EQ(LE_Hlitrecherche(ctx_, "CLIENT", "CODCLI", "010001501", 0), 1);
  EXPECT_EQ(ClientCode(client_), "010001501");
}

// A file that could not be opened stays refused until that file is closed:
// LE_Hferme(file) lets the next use try it again, so that a file restored
// meanwhile is used, while a file still damaged fails again (and is not taken
// for an empty one). Closing another file changes nothing.
TEST_F(EngineProcessTest, AFailedFileIsTriedAgainOnceThatFileIsClosed) {
  ASSERT_TRUE(AddClient("010000011", "A"));
  ASSERT_TRUE(AddClient("010000021", "B"));
  ASSERT_TRUE(AddRevenu("010000011", "40000", "001", 1));
  LE_Hferme(ctx_, "");
  const std::string path = DataPath("CLIENT.vzdb");
  const std::string good = ReadFile(path);
  const std::string damaged = "VZANALYSIS 1\nthis is not a database\n";
  auto replace = [&](const std::string& bytes) {
    std::remove((path + "-wal").c_str());
    std::remove((path + "-shm").c_str());
    WriteFile(path, bytes);
  };
  auto cannot_open_lines = [&] {
    int lines = 0;
    for (const std::string& line : ReadLines(log_path())) {
      if (line.find("LE_ERROR CLIENT") == 0 && line.find("cannot be opened") != std::string::npos) {
        ++lines;
      }
    }
    return lines;
  };
  struct Case {
    const char* what;
    bool repaired;  // the good file is back before the close
  } cases[] = {{"restored", true}, {"still damaged", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::remove(log_path().c_str());
    ScopedEngineLog log(log_path());
    replace(damaged);
    EXPECT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "CODCLI", 0), 0);
    EXPECT_EQ(cannot_open_lines(), 1);
    // Restored while the store still holds it as failed: still refused.
    replace(good);
    EXPECT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "CODCLI", 0), 0);
    EXPECT_EQ(Count("CLIENT"), 0);
    ASSERT_EQ(LE_Hlitpremier(ctx_, "REVENUS", "CODCLEF", 0), 1);
    EXPECT_EQ(LE_Hferme(ctx_, "REVENUS"), 1);
    EXPECT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "CODCLI", 0), 0);
    EXPECT_EQ(cannot_open_lines(), 1);  // not tried again so far
    if (!c.repaired) replace(damaged);
    EXPECT_EQ(LE_Hferme(ctx_, "client"), 1);
    if (c.repaired) {
      ASSERT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "CODCLI", 0), 1);
      EXPECT_EQ(ClientCode(client_), "010000011");
      EXPECT_EQ(Count("CLIENT"), 2);
      EXPECT_EQ(cannot_open_lines(), 1);
    } else {
      EXPECT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "CODCLI", 0), 0);
      EXPECT_EQ(cannot_open_lines(), 2);  // tried again, and failed again
      EXPECT_EQ(Count("CLIENT"), 0);
      EXPECT_FALSE(AddClient("010000031", "C"));
      EXPECT_EQ(ReadFile(path), damaged);  // neither read as empty nor written
    }
    LE_Hferme(ctx_, "");
  }
}

TEST_F(EngineProcessTest, AnEmptyOrForeignDatabaseFile) {
  std::string path = DataPath("CLIENT.vzdb");
  WriteFile(path, "");  // an empty file is an empty database: no records yet
  EXPECT_EQ(LE_Hlitpremier(ctx_, "CLIENT", "CODCLI", 0), 0);
  EXPECT_EQ(Count("CLIENT"), 0);
  EXPECT_TRUE(AddClient("010000011", "A"));
  EXPECT_EQ(Count("CLIENT"), 1);
  LE_Hferme(ctx_, "");
  // Another program's database that has a records table but not ours.
  std::string other = DataPath("REVENUS.vzdb");
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(other.c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db,
                         "CREATE TABLE records(recno INTEGER PRIMARY KEY, data BLOB NOT NULL);"
                         "INSERT INTO records(data) VALUES(x'0A303130303030303131')",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);
  ASSERT_EQ(LE_Hlitpremier(ctx_, "REVENUS", "CODCLEF", 0), 1);  // keys rebuilt
  EXPECT_EQ(revenus_.Text(1), "010000011");
  // A directory where a data file should be.
  ASSERT_EQ(::mkdir(DataPath("SELECTES.vzdb").c_str(), 0755), 0);
  EXPECT_EQ(LE_Hlitpremier(ctx_, "SELECTES", "CODPTT", 0), 0);
  EXPECT_EQ(LE_Hajoute(ctx_, "SELECTES", 0), 0);
}

}  // namespace
}  // namespace vz::engine::testing
