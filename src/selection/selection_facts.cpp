#include "src/selection/selection_facts.h"

#include <chrono>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "src/db/record_ops.h"
#include "src/selection/merge_io.h"

namespace vz::selection {
namespace {

std::string LocalDateAndTime(std::filesystem::file_time_type when) {
  const auto system = std::chrono::file_clock::to_sys(when);
  const std::time_t seconds = std::chrono::system_clock::to_time_t(system);
  std::tm local{};
  if (localtime_r(&seconds, &local) == nullptr) return {};
  char text[32];
  const size_t size = std::strftime(text, sizeof text, "%d/%m/%Y %H:%M", &local);
  return std::string(text, size);
}

}  // namespace

std::optional<SelectionFileFacts> ReadSelectionFileFacts(std::string_view query_code) {
  const std::string path = SelectionFilePath(query_code);
  if (path.empty()) return std::nullopt;
  std::error_code error;
  const auto when = std::filesystem::last_write_time(path, error);
  if (error) return std::nullopt;
  SelectionFileFacts facts;
  facts.written = LocalDateAndTime(when);
  SelectionFileReader reader(path);
  std::string code;
  while (reader.Next(code)) ++facts.clients;
  return facts;
}

int64_t ClientRecordCount() {
  db::Hinfogene("CLIENT");
  const int64_t count = db::Hnbenr();
  db::Hferme("CLIENT");
  return count;
}

}  // namespace vz::selection
