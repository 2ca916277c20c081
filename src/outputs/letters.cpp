#include "src/outputs/letters.h"

namespace vz::outputs {

void ProduceLetters() {}

}  // namespace vz::outputs
