// A plain timing program for the record engine: loads 100,000 clients and
// 300,000 rubric records into a temporary folder, then times the read loops
// the selection run uses (search by client code, then read next while the
// record belongs to the client) and a whole-file walk in key order.
//
//   engine_microbench [clients [folder]]
//
// With a folder, the data are kept there and a later run with the same folder
// skips the load (to profile the reads alone).
// Prints one line per measure: operations, seconds, operations per second.
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "platform/engine/le_api.h"

namespace {

using Clock = std::chrono::steady_clock;

void SetText(uint8_t* field, std::size_t size, const std::string& text) {
  std::memset(field, 0, size);
  std::size_t n = std::min(text.size(), size - 1);
  field[0] = static_cast<uint8_t>(n);
  std::memcpy(field + 1, text.data(), n);
}

std::string Text(const uint8_t* field) {
  return std::string(reinterpret_cast<const char*>(field + 1), field[0]);
}

std::string Code(int client) {
  char code[16];
  std::snprintf(code, sizeof code, "01%06d1", client);
  return code;
}

double CpuSeconds() {
  struct rusage usage;
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double g_cpu_start = 0;

// Wall-clock and processor time: on a shared machine the second one is the
// steadier figure.
void Report(const char* what, long operations, Clock::time_point start) {
  double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  double cpu = CpuSeconds() - g_cpu_start;
  std::printf("%-44s %8ld ops %7.3f s %9.0f ops/s | cpu %7.3f s %9.0f ops/s\n", what, operations,
              seconds, operations / seconds, cpu, operations / cpu);
}

Clock::time_point Start() {
  g_cpu_start = CpuSeconds();
  return Clock::now();
}

}  // namespace

int main(int argc, char** argv) {
  int clients = argc > 1 ? std::atoi(argv[1]) : 100000;
  if (clients < 1) clients = 100000;
  char pattern[] = "/tmp/vz_engine_bench_XXXXXX";
  bool keep = argc > 2;
  if (keep) ::mkdir(argv[2], 0755);
  if (!keep && ::mkdtemp(pattern) == nullptr) return 1;
  std::string dir = keep ? argv[2] : pattern;
  struct stat info;
  bool loaded = keep && ::stat((dir + "/REVENUS.vzdb").c_str(), &info) == 0;
  {
    std::ofstream analysis(dir + "/vestra.wdd");
    analysis << "VZANALYSIS 1\n"
                "FILE CLIENT D:\\VESTRA CLIENT\nKEY CODCLI 1:2 2:6 3:1 SLOT 4\n"
                "FILE REVENUS D:\\VESTRA REVENUS\nKEY CODCLEF 1:9 2:5 3:3 SLOT 5\n";
  }
  // CLIENT: prefix, number, person, key slot, then 880 bytes of other fields.
  const int32_t client_sizes[] = {3, 7, 2, 11, 880};
  std::vector<uint8_t> client(903);
  // REVENUS: client, rubric, line, key slot, then 950 bytes of figures.
  const int32_t revenu_sizes[] = {10, 6, 4, 19, 950};
  std::vector<uint8_t> revenu(989);

  int32_t ctx = LE_CreateContexteHF(2);
  LE_HDecritEnregistrement(ctx, "CLIENT", 905, client_sizes, 5, "11144", client.data());
  LE_HDecritEnregistrement(ctx, "REVENUS", 993, revenu_sizes, 5, "11144", revenu.data());
  if (LE_Houvreanalyse(ctx, (dir + "/vestra.wdd").c_str(), "", "", "", "") != 1) return 1;
  LE_Hsubstrep(ctx, "D:\\VESTRA", dir.c_str());

  Clock::time_point start = Start();
  LE_BeginBatch(ctx);
  if (loaded) clients = 0;
  for (int i = 0; i < clients; ++i) {
    std::string code = Code(i);
    SetText(&client[0], 3, code.substr(0, 2));
    SetText(&client[3], 7, code.substr(2, 6));
    SetText(&client[10], 2, code.substr(8, 1));
    std::memset(&client[23], i & 0xFF, 880);
    LE_Hajoute(ctx, "CLIENT", 0);
    for (int line = 1; line <= 3; ++line) {
      SetText(&revenu[0], 10, code);
      SetText(&revenu[10], 6, "40000");
      SetText(&revenu[16], 4, std::string(2, '0').append(std::to_string(line)));
      std::memset(&revenu[39], line, 950);
      LE_Hajoute(ctx, "REVENUS", 0);
    }
  }
  LE_EndBatch(ctx);
  LE_Hferme(ctx, "");
  if (!loaded) Report("load (batch), records added", clients * 4L, start);
  if (loaded) {
    LE_Hinfogene(ctx, "CLIENT");
    clients = LE_Hnbenr(ctx);
  }

  start = Start();
  long operations = 0;
  for (int found = LE_Hlitpremier(ctx, "CLIENT", "CODCLI", 0); found == 1;
       found = LE_Hlitsuivant(ctx, "CLIENT", "CODCLI", 0)) {
    ++operations;
  }
  Report("CLIENT walk in key order (first + next)", operations, start);

  start = Start();
  operations = 0;
  long matched = 0;
  for (int i = 0; i < clients; ++i) {
    std::string code = Code(i);
    LE_Hlitrecherche(ctx, "REVENUS", "CODCLEF", code.c_str(), 0);
    ++operations;
    while (LE_Hendehors(ctx) == 0 && Text(&revenu[0]) == code) {
      ++matched;
      LE_Hlitsuivant(ctx, "REVENUS", "CODCLEF", 0);
      ++operations;
    }
  }
  Report("REVENUS search + read next, clients in order", operations, start);
  if (matched != clients * 3L) std::printf("unexpected match count %ld\n", matched);

  std::vector<int> order(static_cast<std::size_t>(clients));
  for (int i = 0; i < clients; ++i) order[static_cast<std::size_t>(i)] = i;
  std::shuffle(order.begin(), order.end(), std::mt19937(42));
  start = Start();
  operations = 0;
  for (int i : order) {
    std::string code = Code(i);
    LE_Hlitrecherche(ctx, "REVENUS", "CODCLEF", code.c_str(), 0);
    ++operations;
    while (LE_Hendehors(ctx) == 0 && Text(&revenu[0]) == code) {
      LE_Hlitsuivant(ctx, "REVENUS", "CODCLEF", 0);
      ++operations;
    }
  }
  Report("REVENUS search + read next, random clients", operations, start);

  start = Start();
  for (int i = 0; i < clients; ++i) {
    LE_Hlitrecherche(ctx, "CLIENT", "CODCLI", Code(i).c_str(), 0);
  }
  Report("CLIENT search by whole code", clients, start);

  LE_Hferme(ctx, "");
  LE_HftermineCTX(ctx);
  std::error_code ignored;
  if (!keep) std::filesystem::remove_all(dir, ignored);
  return 0;
}
