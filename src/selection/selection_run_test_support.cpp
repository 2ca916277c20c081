#include "src/selection/selection_run_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
#include <thread>

#include "src/db/layouts/client.h"
#include "src/db/layouts/requetes.h"
#include "src/screen/bridge_for_tests.h"
#include "src/selection/expansion.h"
#include "src/selection/selection_run.h"
#include "tests/support/recording_runtime.h"
#include "tests/support/test_records.h"

namespace vz::selection {

namespace fs = std::filesystem;

namespace {

// The program's settings while a database is open: its data directory, and TAB
// as list separator.
const vz::testing::InstallationOptions kOptions =
    vz::testing::InstallationOptions().WithDataDirectory().WithListSeparator('\t');

void ResetScreen() {
  testing::RecordingRuntime::Get().Reset();
  screen::ResetBridgeForTests();
}

// Thrown from the command hook to end a run that went past its step limit.
struct RunawayRun {
  std::string message;
};

// Counts the progress steps of each pass over the client file: a pass
// begins when the progress window shows the number of records (NBTOTAL);
// each step runs the counter's window code.
class StepLimit {
 public:
  void Count(const std::string& command) {
    constexpr std::string_view kTotal = "AFFICHE,NBTOTAL=";
    if (command.rfind(kTotal, 0) == 0) {
      records_ = std::max(1LL, std::atoll(command.c_str() + kTotal.size()));
      steps_ = 0;
    } else if (command == "EXECUTE,NbTraite.entree" &&
               ++steps_ > SelectionTestDatabase::kStepsPerRecord * records_) {
      throw RunawayRun{"the selection run took more than " + std::to_string(steps_ - 1) +
                       " progress steps in one pass over a client file of " +
                       std::to_string(records_) +
                       " records: it no longer moves on through the file and was stopped"};
    }
  }

 private:
  long long records_ = 1;
  long long steps_ = 0;
};

// Ends the test program when a run stalls: a run that sends no screen
// command at all for kStallSeconds loops where it takes no progress step
// (while it looks for its place in the client file, say), which the step
// limit cannot see and which no other thread can stop.
class StallWatch {
 public:
  explicit StallWatch(std::string_view query_code)
      : query_code_(query_code), thread_([this] { Watch(); }) {}
  ~StallWatch() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      done_ = true;
    }
    finished_.notify_one();
    thread_.join();
  }

  void Commanded() { commands_.fetch_add(1, std::memory_order_relaxed); }

 private:
  void Watch() {
    using Clock = std::chrono::steady_clock;
    std::unique_lock<std::mutex> lock(mutex_);
    long long seen = commands_.load(std::memory_order_relaxed);
    Clock::time_point since = Clock::now();
    while (!finished_.wait_for(lock, std::chrono::seconds(1), [this] { return done_; })) {
      const long long now = commands_.load(std::memory_order_relaxed);
      if (now != seen) {
        seen = now;
        since = Clock::now();
      } else if (Clock::now() - since >=
                 std::chrono::seconds(SelectionTestDatabase::kStallSeconds)) {
        std::fprintf(stderr,
                     "FATAL: the selection run of %s sent no screen command for %d s: it loops "
                     "without taking a progress step; the test program is stopped\n",
                     query_code_.c_str(), SelectionTestDatabase::kStallSeconds);
        std::fflush(stderr);
        std::_Exit(1);
      }
    }
  }

  const std::string query_code_;
  std::atomic<long long> commands_{0};
  std::mutex mutex_;
  std::condition_variable finished_;
  bool done_ = false;
  std::thread thread_;  // last: starts once the rest is in place
};

}  // namespace

SelectionTestDatabase::SelectionTestDatabase() : installation_("sel", kOptions) {
  ResetScreen();
}

SelectionTestDatabase::SelectionTestDatabase(const fs::path& analysis_file,
                                             const fs::path& data_directory)
    : installation_(analysis_file, data_directory, kOptions) {
  ResetScreen();
}

void SelectionTestDatabase::AddQueryLine(std::string_view code, std::string_view criteria_key,
                                         std::string_view text) {
  vz::testing::AddQueryLine(code, criteria_key, text);
}

void SelectionTestDatabase::AddElementaryQuery(std::string_view code) {
  AddQueryLine(code, kTitleKey, "20261207\tTitre\t\t\t\t\t\t\t\t");
}

void SelectionTestDatabase::AddCombinedQuery(std::string_view code, std::string_view first,
                                             std::string_view op, std::string_view second) {
  AddQueryLine(code, kTitleKey,
               "20261207\tCombinaison\t\t\t\tC\t" + std::string(first) + "\t" + std::string(op) +
                   "\t" + std::string(second) + "\t");
}

std::string SelectionTestDatabase::TitleState(std::string_view code) {
  if (!ReadTitleRecord(code)) return std::string();
  return std::string(db::CurrentQueryLine().State());
}

bool SelectionTestDatabase::RunWithinStepLimit(std::string_view query_code) {
  testing::RecordingRuntime& runtime = testing::RecordingRuntime::Get();
  const std::function<void(const std::string&)> test_hook = runtime.command_hook();
  StepLimit limit;
  StallWatch watch(query_code);
  runtime.SetCommandHook([&](const std::string& command) {
    watch.Commanded();
    limit.Count(command);
    if (test_hook) test_hook(command);
  });
  bool result = false;
  try {
    result = RunSelection(query_code);
  } catch (const RunawayRun& runaway) {
    ADD_FAILURE() << runaway.message;
  }
  runtime.SetCommandHook(test_hook);
  return result;
}

void SelectionTestDatabase::AddClient(std::string_view code, std::string_view name,
                                      std::string_view postcode) {
  vz::testing::AddClient(code, name,
                         [&](db::ClientRecord& client) { client.SetPostcode(postcode); });
}

void SelectionTestDatabase::WriteSelectionFile(std::string_view code,
                                               std::string_view bytes) const {
  std::ofstream out(data_directory() / (std::string(code) + ".EXT"), std::ios::binary);
  out << bytes;
}

std::string SelectionTestDatabase::ReadSelectionFile(std::string_view code) const {
  std::ifstream in(data_directory() / (std::string(code) + ".EXT"), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool SelectionTestDatabase::SelectionFileExists(std::string_view code) const {
  return fs::exists(data_directory() / (std::string(code) + ".EXT"));
}

std::vector<std::string> SelectionTestDatabase::SelectionLines(std::string_view code) const {
  const std::string bytes = ReadSelectionFile(code);
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    const size_t end = bytes.find("\r\n", start);
    EXPECT_NE(end, std::string::npos) << "line without CR LF in " << code;
    if (end == std::string::npos) break;
    lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

std::string CrLfLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

}  // namespace vz::selection
