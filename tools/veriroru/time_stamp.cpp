#include "tools/veriroru/time_stamp.h"

#include <cstdio>

namespace vz::veriroru {

std::tm LocalNow() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local;
}

std::string FolderStamp(const std::tm& when) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d%02d%02d-%02d%02d%02d", when.tm_year + 1900,
                when.tm_mon + 1, when.tm_mday, when.tm_hour, when.tm_min, when.tm_sec);
  return text;
}

std::string ReadableStamp(const std::tm& when) {
  char text[48];
  std::snprintf(text, sizeof text, "%02d/%02d/%04d à %02d:%02d:%02d", when.tm_mday, when.tm_mon + 1,
                when.tm_year + 1900, when.tm_hour, when.tm_min, when.tm_sec);
  return text;
}

std::string ReadableFolderStamp(const std::string& stamp) {
  if (stamp.size() < 15 || stamp[8] != '-') return stamp;
  for (std::size_t i = 0; i < 15; ++i) {
    if (i != 8 && (stamp[i] < '0' || stamp[i] > '9')) return stamp;
  }
  std::string text = stamp.substr(6, 2) + "/" + stamp.substr(4, 2) + "/" + stamp.substr(0, 4) +
                     " à " + stamp.substr(9, 2) + ":" + stamp.substr(11, 2) + ":" +
                     stamp.substr(13, 2);
  if (stamp.size() > 15) text += " (" + stamp.substr(16) + ")";
  return text;
}

}  // namespace vz::veriroru
