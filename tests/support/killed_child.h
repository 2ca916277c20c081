// Test support for crash-consistency tests: a piece of work run in a forked
// child process under the fault-injecting storage
// (platform/engine/faulty_storage.h), which sends the child SIGKILL at a
// counted engine operation, and SQLite's integrity check of a data file
// afterwards.
//
// The child runs `work` (its return value is the child's exit code), then
// closes every file and reports how many engine operations it counted through
// a pipe; the parent waits for it. Nothing of the child's memory comes back:
// the test reads what the child left on disk.
// Failure: a fork that fails is reported as a run that was not killed and
// counted nothing.
#ifndef VZ_TESTS_SUPPORT_KILLED_CHILD_H_
#define VZ_TESTS_SUPPORT_KILLED_CHILD_H_

#include <cstdint>
#include <functional>
#include <string>

namespace vz::testing {

struct ChildRun {
  bool killed = false;     // ended by SIGKILL
  int exit_code = -1;      // when it exited
  int64_t operations = 0;  // engine operations counted (when it was not killed)
};

// Runs `work` in a child killed at engine operation `kill_at` (0: never).
ChildRun RunInChildKilledAt(int64_t kill_at, const std::function<int()>& work);

// The `count` operations at which a run of `operations` operations is
// killed: spread evenly from the first to the last.
int64_t KillPoint(int64_t operations, int index, int count);

// "ok" when SQLite finds the database at `path` sound, otherwise what it
// found ("cannot open" when it cannot be opened).
std::string IntegrityOf(const std::string& path);

}  // namespace vz::testing

#endif  // VZ_TESTS_SUPPORT_KILLED_CHILD_H_
