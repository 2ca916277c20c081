#include "platform/engine/call_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <string>

namespace vz::engine {
namespace {

int g_log_fd = -1;
bool g_setting_read = false;
std::string* g_log_path = nullptr;  // never freed: the log outlives static destruction

void EnsureSettingRead() {
  if (!g_setting_read) ReadLogSetting();
}

void OpenLogAsSet() {
  const char* path = std::getenv("VZ_ENGINE_LOG");
  std::string wanted = (path != nullptr) ? path : "";
  if (g_log_path == nullptr) g_log_path = new std::string();
  if (wanted == *g_log_path && (g_log_fd >= 0 || wanted.empty())) return;
  if (g_log_fd >= 0) {
    ::close(g_log_fd);
    g_log_fd = -1;
  }
  *g_log_path = wanted;
  if (wanted.empty()) return;
  g_log_fd = ::open(wanted.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
}

}  // namespace

void ReadLogSetting() {
  g_setting_read = true;
  OpenLogAsSet();
}

bool LogEnabled() {
  EnsureSettingRead();
  return g_log_fd >= 0;
}

LogLine::LogLine(std::string_view function) {
  Append(function);
}

void LogLine::Append(std::string_view text) {
  // Keep one byte for the newline.
  std::size_t room = sizeof line_ - 1 - length_;
  std::size_t n = text.size() < room ? text.size() : room;
  for (std::size_t i = 0; i < n; ++i) line_[length_ + i] = text[i];
  length_ += n;
}

void LogLine::AppendQuoted(std::string_view text) {
  static const char kHex[] = "0123456789ABCDEF";
  Append("\"");
  for (char c : text) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F || c == '"') {
      char escaped[4] = {'\\', 'x', kHex[u >> 4], kHex[u & 15]};
      Append(std::string_view(escaped, 4));
    } else {
      Append(std::string_view(&c, 1));
    }
  }
  Append("\"");
}

LogLine& LogLine::Name(const char* name) {
  Append(" ");
  std::string_view text = name != nullptr ? name : "";
  bool bare = !text.empty();
  for (char c : text) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u <= 0x20 || u == 0x7F || c == '"') bare = false;
  }
  if (bare) {
    Append(text);
  } else {
    AppendQuoted(text);
  }
  return *this;
}

LogLine& LogLine::Text(const char* text) {
  return Text(std::string_view(text ? text : ""));
}

LogLine& LogLine::Text(std::string_view text) {
  Append(" ");
  AppendQuoted(text);
  return *this;
}

LogLine& LogLine::Int(int64_t value) {
  char digits[24];
  auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value);
  Append(" ");
  Append(std::string_view(digits, ec == std::errc() ? static_cast<std::size_t>(end - digits) : 0));
  return *this;
}

LogLine& LogLine::Word(std::string_view word) {
  Append(" ");
  Append(word);
  return *this;
}

void LogLine::Write() {
  if (g_log_fd < 0) return;
  line_[length_++] = '\n';
  const char* p = line_;
  std::size_t left = length_;
  // One write() for the line; a short write (disk full, signal) is completed
  // rather than dropped.
  while (left > 0) {
    ssize_t n = ::write(g_log_fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    p += n;
    left -= static_cast<std::size_t>(n);
  }
}

void LogFileError(std::string_view file, std::string_view path, std::string_view reason) {
  if (!LogEnabled()) return;
  LogLine line("LE_ERROR");
  std::string name(file);
  line.Name(name.c_str()).Text(path).Word(reason).Write();
}

}  // namespace vz::engine
