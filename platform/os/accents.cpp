#include "platform/os/accents.h"

namespace vz::os {

std::string FoldAccents(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = FoldListedAccent(c);
  return out;
}

std::string UpperWithoutAccents(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = AsciiUpper(FoldListedAccent(c));
  return out;
}

}  // namespace vz::os
