// Selection benchmark on the shared database server: case (a) of the selection
// benchmark (one income criterion) on a generated installation kept in SQLite,
// then on a throwaway PostgreSQL cluster of its own (scripts/pg-cluster.sh)
// after the installation's files are copied there as `vzdata copy` copies
// them; the two selection files must be the same bytes. Then `--advisers`
// programs (4 by default) run the same selection at once on the server, each
// on its own copy of the query (its own selection file), each in its own
// process: clients per second for each and in total.
//
//   selection_pg_bench [--clients N] [--seed S] [--keep] [--advisers K]
//
// The throwaway cluster runs with shared_buffers large enough for the
// installation's files (kServerSettings, printed), as a firm's server is set
// (docs/shared-database.md); VZ_PG_SERVER_OPTIONS, when set, replaces it.
//
// Target: the server at least half the SQLite speed. Exit status 1 when a
// step fails or the selection files differ; a missed target is reported, not
// a failure (the figures depend on the machine's load).
#include <dirent.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "bench/bench_program.h"
#include "bench/bench_support.h"
#include "platform/engine/pg_connection.h"
#include "platform/os/profile_file.h"
#include "src/db/record_ops.h"
#include "src/screen/bridge.h"
#include "src/selection/selection_run.h"
#include "tools/datatool/installation.h"
#include "tools/datatool/store_transfer.h"

namespace {

namespace fs = std::filesystem;
using Clock = vz::bench::Clock;
using vz::bench::Seconds;

constexpr char kIncomeQuery[] = "01000001";
constexpr double kLeastShareOfSqlite = 0.5;
// The server's settings for the run: its buffers hold the installation's
// files (244 MB on the server for 100,000 clients), as on a firm's server.
constexpr char kServerSettings[] = "-c shared_buffers=1GB";

// The adviser's copy of the income query: "010000" + two digits from 41.
std::string AdviserQuery(int adviser) {
  return "010000" + std::to_string(41 + adviser);
}

void AddAdviserQueries(int advisers) {
  for (int i = 0; i < advisers; ++i) {
    const std::string code = AdviserQuery(i);
    vz::bench::AddQueryLine(code, "TITRE*******", " ", "20261208\tConseiller\t\t\t\t\t\t\t\t");
    vz::bench::AddQueryLine(code, "40000******2", " ", "30000\t999999999\t");
  }
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

struct Timed {
  bool done = false;
  int64_t clients = 0;
  double seconds = 0;
  double program_cpu = 0;  // seconds of processor time of this process
  double server_cpu = 0;   // of the server's sessions, when a server is given
};

double ProgramCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Processor time of each of the server's processes (the children of the
// postmaster `postmaster`, read from /proc) by process id: the work the
// server does for the program, whatever else the machine runs meanwhile.
std::map<long, double> ServerCpuSeconds(long postmaster) {
  std::map<long, double> times;
  if (postmaster <= 0) return times;
  DIR* proc = opendir("/proc");
  if (proc == nullptr) return times;
  while (const dirent* item = readdir(proc)) {
    std::ifstream in(std::string("/proc/") + item->d_name + "/stat");
    std::string line;
    if (!std::getline(in, line)) continue;
    const std::size_t close = line.rfind(')');
    if (close == std::string::npos) continue;
    std::istringstream fields(line.substr(close + 2));
    std::string state;
    long ppid = 0;
    fields >> state >> ppid;
    if (ppid != postmaster) continue;
    std::string skip;
    for (int i = 0; i < 9; ++i) fields >> skip;  // pgrp .. cmajflt
    long utime = 0;
    long stime = 0;
    fields >> utime >> stime;
    times[std::atol(item->d_name)] =
        static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
  }
  closedir(proc);
  return times;
}

// The server's processor time between two readings, counting the processes
// alive at the second (a session closed meanwhile did none of the work).
double ServerCpuBetween(const std::map<long, double>& before, const std::map<long, double>& after) {
  double total = 0;
  for (const auto& [pid, seconds] : after) {
    const auto earlier = before.find(pid);
    total += seconds - (earlier != before.end() ? earlier->second : 0);
  }
  return total;
}

// Runs the selection of `code` over the open database.
Timed TimeSelection(const std::string& code, long postmaster = 0) {
  vz::db::Hinfogene("CLIENT");
  Timed t;
  t.clients = vz::db::Hnbenr();
  const double program_cpu = ProgramCpuSeconds();
  const std::map<long, double> server_cpu = ServerCpuSeconds(postmaster);
  const auto start = Clock::now();
  t.done = vz::selection::RunSelection(code);
  t.seconds = Seconds(start);
  t.program_cpu = ProgramCpuSeconds() - program_cpu;
  t.server_cpu = ServerCpuBetween(server_cpu, ServerCpuSeconds(postmaster));
  return t;
}

// Processor time per client, in microseconds.
double CpuPerClient(double seconds, const Timed& t) {
  return t.clients > 0 ? seconds * 1e6 / static_cast<double>(t.clients) : 0;
}

// The throwaway cluster of the run, stopped and removed when the object goes.
class Cluster {
 public:
  explicit Cluster(std::string state) : state_(std::move(state)) {}
  ~Cluster() { Stop(); }
  void Stop() {
    if (!stopped_) Script("stop");
    stopped_ = true;
  }
  bool Start() {
    if (!Script("start")) return false;
    std::ifstream in(state_ + "/conninfo");
    std::getline(in, conninfo_);
    return !conninfo_.empty();
  }
  const std::string& conninfo() const { return conninfo_; }
  // The server's main process, from its pid file; 0 when unknown.
  long postmaster() const {
    std::string folder;
    std::getline(std::ifstream(state_ + "/folder"), folder);
    long pid = 0;
    std::ifstream(folder + "/data/postmaster.pid") >> pid;
    return pid;
  }

 private:
  bool Script(const char* command) {
    // From "/": the server's user may not enter the current folder.
    const std::string line = "cd / && bash " VZ_SOURCE_DIR "/scripts/pg-cluster.sh " +
                             std::string(command) + " " + state_;
    return std::system(line.c_str()) == 0;
  }
  std::string state_;
  std::string conninfo_;
  bool stopped_ = false;
};

// The server's count of index walks and rows read per table since it
// started (each walk is one read-ahead slice or one search), printed to show
// what a run costs in round trips. `vz_files` names the tables.
void PrintServerReads(const std::string& conninfo) {
  vz::engine::PgConnection conn(PQconnectdb(conninfo.c_str()));
  vz::engine::PgResult result(
      PQexec(conn.get(),
             "SELECT convert_from(f.name, 'LATIN1'), s.idx_scan, s.idx_tup_fetch, s.n_tup_ins "
             "FROM pg_stat_user_tables s JOIN vz_files f ON s.relname = 'vz_r' || f.file_no "
             "WHERE s.idx_scan > 0 ORDER BY s.idx_scan DESC LIMIT 8"));
  if (!vz::engine::PgSucceeded(result.get())) return;
  for (int row = 0; row < PQntuples(result.get()); ++row) {
    std::printf("selection_pg_bench:   %-10s %8s index walks, %9s rows read, %8s added\n",
                PQgetvalue(result.get(), row, 0), PQgetvalue(result.get(), row, 1),
                PQgetvalue(result.get(), row, 2), PQgetvalue(result.get(), row, 3));
  }
}

// The size of the server's database in MB (its tables and indexes), to
// compare with its shared_buffers; -1 when unknown.
long DatabaseMegabytes(const std::string& conninfo) {
  vz::engine::PgConnection conn(PQconnectdb(conninfo.c_str()));
  vz::engine::PgResult result(
      PQexec(conn.get(), "SELECT pg_database_size(current_database()) / 1048576"));
  if (!vz::engine::PgSucceeded(result.get()) || PQntuples(result.get()) != 1) return -1;
  return std::atol(PQgetvalue(result.get(), 0, 0));
}

// One adviser's program (a process of its own): the selection of `code` on
// the installation's store; "<clients> <seconds> <done>" into `result`.
int RunAdviser(const std::string& code, const std::string& folder, const std::string& result) {
  vz::datatool::Installation installation;
  std::string error;
  if (!vz::datatool::LocateInstallation(folder + "/installation", &installation, &error) ||
      !vz::datatool::UseInstallationStore(installation, &error)) {
    std::cerr << "selection_pg_bench: adviser " << code << ": " << error << "\n";
    return 1;
  }
  setenv("VZ_SCENARIO", (folder + "/empty.scenario").c_str(), 1);
  fs::current_path(installation.program_directory);
  if (!vz::bench::StartScreenModule()) return 1;
  vz::bench::OpenProgramDatabase(installation);
  const Timed t = TimeSelection(code);
  vz::bench::CloseProgramDatabase();
  vz::screen::TerminateModule();
  std::ofstream(result) << t.clients << " " << t.seconds << " " << (t.done ? 1 : 0) << "\n";
  return t.done ? 0 : 1;
}

// Starts `advisers` programs at once and reports each one's speed and the
// total. False when one fails.
bool RunAdvisersAtOnce(int advisers, const std::string& folder) {
  std::vector<pid_t> children;
  const auto start = Clock::now();
  for (int i = 0; i < advisers; ++i) {
    const std::string code = AdviserQuery(i);
    const std::string result = folder + "/adviser-" + code + ".txt";
    const pid_t pid = fork();
    if (pid == 0) {
      execl("/proc/self/exe", "selection_pg_bench", "--adviser", code.c_str(), folder.c_str(),
            result.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    if (pid > 0) children.push_back(pid);
  }
  bool ok = static_cast<int>(children.size()) == advisers;
  for (pid_t pid : children) {
    int status = 0;
    waitpid(pid, &status, 0);
    ok = ok && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }
  const double wall = Seconds(start);
  int64_t total = 0;
  for (int i = 0; i < advisers; ++i) {
    const std::string code = AdviserQuery(i);
    std::ifstream in(folder + "/adviser-" + code + ".txt");
    int64_t clients = 0;
    double seconds = 0;
    int done = 0;
    if (!(in >> clients >> seconds >> done) || done != 1 || seconds <= 0) {
      std::fprintf(stderr, "selection_pg_bench: adviser %s did not finish\n", code.c_str());
      ok = false;
      continue;
    }
    total += clients;
    std::printf("selection_pg_bench: adviser %d (%s): %lld clients in %.2f s, %.0f clients/s\n",
                i + 1, code.c_str(), static_cast<long long>(clients), seconds,
                static_cast<double>(clients) / seconds);
  }
  std::printf(
      "selection_pg_bench: %d advisers at once: %lld clients in %.2f s, %.0f clients/s "
      "in total\n",
      advisers, static_cast<long long>(total), wall, static_cast<double>(total) / wall);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);  // each figure as soon as it is known
  if (argc == 5 && std::string(argv[1]) == "--adviser")
    return RunAdviser(argv[2], argv[3], argv[4]);
  vz::bench::CommonOptions options = vz::bench::OptionsWith(100000, "--advisers", 4);
  if (!vz::bench::ReadCommandLine(
          argc, argv, &options,
          "usage: selection_pg_bench [--clients N] [--seed S] [--keep] [--advisers K]")) {
    return 2;
  }
  const int advisers = static_cast<int>(options.own_value);
  vz::bench::BenchInstallation generated;
  vz::datatool::Installation installation;
  if (!vz::bench::PrepareBenchRun("selection_pg_bench", "vz_selection_pg_bench", true,
                                  "# the selection run asks nothing", &options, &generated,
                                  &installation)) {
    return 1;
  }
  const fs::path selection_file = fs::path(installation.data_directory) / "01000001.EXT";

  // (a) on SQLite.
  vz::bench::OpenProgramDatabase(installation);
  AddAdviserQueries(advisers);
  const Timed lite = TimeSelection(kIncomeQuery);
  vz::bench::CloseProgramDatabase();
  const std::string lite_file = ReadFile(selection_file);
  std::printf(
      "selection_pg_bench: (a) SQLite: %lld clients in %.2f s, %.0f clients/s "
      "(processor: %.1f us per client)\n",
      static_cast<long long>(lite.clients), lite.seconds,
      static_cast<double>(lite.clients) / lite.seconds, CpuPerClient(lite.program_cpu, lite));

  // The same installation on a server of its own.
  setenv("VZ_PG_SERVER_OPTIONS", kServerSettings, 0);
  std::printf("selection_pg_bench: server settings: %s\n", getenv("VZ_PG_SERVER_OPTIONS"));
  Cluster cluster(generated.folder + "/pg");
  std::string error;
  bool ok = lite.done && cluster.Start();
  if (!ok) std::fprintf(stderr, "selection_pg_bench: the throwaway cluster does not start\n");
  if (ok) {
    ok = vz::os::WriteProfileString(installation.parameter_file, "COMPOSANTS", "CONNEXIONBASE",
                                    cluster.conninfo());
    const auto copy_start = Clock::now();
    std::ostringstream copied;
    ok = ok && vz::datatool::CopyInstallation(installation, vz::datatool::CopyDirection::kToServer,
                                              copied, &error);
    ok = ok && vz::os::WriteProfileString(installation.parameter_file, "COMPOSANTS", "BASEDONNEES",
                                          "POSTGRESQL");
    ok = ok && vz::datatool::UseInstallationStore(installation, &error);
    if (!ok)
      std::fprintf(stderr, "selection_pg_bench: copy to the server: %s\n", error.c_str());
    else
      std::printf("selection_pg_bench: installation copied to the server in %.1f s (%ld MB)\n",
                  Seconds(copy_start), DatabaseMegabytes(cluster.conninfo()));
  }
  if (ok) {
    fs::remove(selection_file);
    vz::bench::OpenProgramDatabase(installation);
    const Timed pg = TimeSelection(kIncomeQuery, cluster.postmaster());
    vz::bench::CloseProgramDatabase();
    const double share = lite.seconds / pg.seconds;
    std::printf(
        "selection_pg_bench: (a) PostgreSQL: %lld clients in %.2f s, %.0f clients/s, "
        "%.2f x the SQLite speed (target at least %.1f: %s)\n",
        static_cast<long long>(pg.clients), pg.seconds,
        static_cast<double>(pg.clients) / pg.seconds, share, kLeastShareOfSqlite,
        share >= kLeastShareOfSqlite ? "met" : "MISSED");
    std::printf(
        "selection_pg_bench:   processor per client: program %.1f us, server %.1f us "
        "(%.2f x SQLite's in all)\n",
        CpuPerClient(pg.program_cpu, pg), CpuPerClient(pg.server_cpu, pg),
        lite.program_cpu > 0 ? (pg.program_cpu + pg.server_cpu) / lite.program_cpu : 0.0);
    PrintServerReads(cluster.conninfo());
    if (!pg.done || ReadFile(selection_file) != lite_file) {
      std::fprintf(stderr, "selection_pg_bench: the server's selection file differs\n");
      ok = false;
    }
    ok = RunAdvisersAtOnce(advisers, generated.folder) && ok;
  }
  cluster.Stop();  // before its folder goes
  vz::screen::TerminateModule();
  vz::bench::KeepOrRemove("selection_pg_bench", generated, options.keep, generated.root);
  return ok ? 0 : 1;
}
