#include "tests/support/killed_child.h"

#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/engine/faulty_storage.h"
#include "platform/engine/process_storage.h"

namespace vz::testing {

ChildRun RunInChildKilledAt(int64_t kill_at, const std::function<int()>& work) {
  ChildRun run;
  int report[2];
  if (::pipe(report) != 0) return run;
  const pid_t child = ::fork();
  if (child < 0) {
    ::close(report[0]);
    ::close(report[1]);
    return run;
  }
  if (child == 0) {
    ::close(report[0]);
    engine::testing::FaultyStorage faulty(engine::DefaultStorage());
    engine::UseStorage(&faulty);
    faulty.Arm(engine::testing::FaultPlan{engine::FileFault::kNone, "", 1, false, kill_at});
    const int code = work();
    const int64_t operations = faulty.operations();
    const ssize_t ignored = ::write(report[1], &operations, sizeof operations);
    (void)ignored;
    ::_exit(code);
  }
  ::close(report[1]);
  int64_t operations = 0;
  if (::read(report[0], &operations, sizeof operations) == sizeof operations) {
    run.operations = operations;
  }
  ::close(report[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  run.killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
  if (WIFEXITED(status)) run.exit_code = WEXITSTATUS(status);
  return run;
}

int64_t KillPoint(int64_t operations, int index, int count) {
  if (count < 2) return 1;
  return 1 + (operations - 1) * index / (count - 1);
}

std::string IntegrityOf(const std::string& path) {
  sqlite3* db = nullptr;
  std::string result;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    result = "cannot open";
  } else {
    sqlite3_stmt* check = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr);
    while (check != nullptr && sqlite3_step(check) == SQLITE_ROW) {
      result += reinterpret_cast<const char*>(sqlite3_column_text(check, 0));
    }
    sqlite3_finalize(check);
  }
  sqlite3_close(db);
  return result;
}

}  // namespace vz::testing
