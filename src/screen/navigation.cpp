// The navigation code, kept for the whole process.
#include "src/screen/navigation.h"

namespace vz::screen {
namespace {

std::string& Storage() {
  static std::string code;
  return code;
}

}  // namespace

const std::string& NavigationCode() {
  return Storage();
}

void SetNavigationCode(std::string_view code) {
  Storage() = std::string(code.substr(0, kNavigationCodeLength));
}

}  // namespace vz::screen
