#include "platform/os/keyboard.h"

#include <utility>

namespace vz::os {
namespace {

std::function<bool()>& Source() {
  static std::function<bool()> source;
  return source;
}

}  // namespace

bool EscapeKeyDown() {
  const std::function<bool()>& source = Source();
  return source ? source() : false;
}

void SetEscapeKeyStateSource(std::function<bool()> source) {
  Source() = std::move(source);
}

}  // namespace vz::os
