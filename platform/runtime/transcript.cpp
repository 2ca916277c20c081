#include "platform/runtime/transcript.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/os/cp1252.h"

namespace vz::runtime {

Transcript::Transcript(const std::string& path) {
  if (path.empty()) return;
  fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd_ < 0) {
    std::fprintf(stderr, "transcript %s cannot be opened: %s\n", path.c_str(),
                 std::strerror(errno));
  }
}

Transcript::~Transcript() {
  if (fd_ >= 0) ::close(fd_);
}

std::string Transcript::Escape(std::string_view cp1252) {
  std::string escaped;
  escaped.reserve(cp1252.size());
  for (char ch : cp1252) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '\t':
        escaped += "\\t";
        break;
      case '\r':
        escaped += "\\r";
        break;
      case '\n':
        escaped += "\\n";
        break;
      case '\\':
        escaped += "\\\\";
        break;
      default:
        if (c < 0x20 || c == 0x7F) {
          char hex[8];
          std::snprintf(hex, sizeof hex, "\\x%02X", c);
          escaped += hex;
        } else {
          escaped += ch;
        }
    }
  }
  return os::Utf8(escaped);
}

void Transcript::Command(std::string_view command, int32_t value, std::string_view text,
                         std::string_view return_code) {
  if (fd_ < 0) return;
  WriteLine("wd " + Escape(command) + " -> int=" + std::to_string(value) + " text=\"" +
            Escape(text) + "\" code=\"" + Escape(return_code) + "\"");
}

void Transcript::Problem(std::string_view message) {
  if (fd_ >= 0) WriteLine("wd ! " + Escape(message));
}

void Transcript::Event(std::string_view message) {
  if (fd_ >= 0) WriteLine("wd . " + Escape(message));
}

void Transcript::WriteLine(std::string line) {
  line += '\n';
  const char* data = line.data();
  size_t left = line.size();
  while (left > 0) {
    const ssize_t written = ::write(fd_, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return;  // a full disk must not stop the program; the lines are lost
    }
    data += written;
    left -= static_cast<size_t>(written);
  }
}

}  // namespace vz::runtime
