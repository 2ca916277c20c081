// The state of the Escape key, as the program polls it while it waits for a
// child program. There is no keyboard here of our own: a front end that has
// one (the desktop front end, a scenario player) installs its source; until
// then, and after an empty source is installed, the key is never down.
// Single-threaded use: install the source before polling.
#ifndef VZ_PLATFORM_OS_KEYBOARD_H_
#define VZ_PLATFORM_OS_KEYBOARD_H_

#include <functional>

namespace vz::os {

bool EscapeKeyDown();

// Replaces the source of the key state; an empty function restores the
// default (never down).
void SetEscapeKeyStateSource(std::function<bool()> source);

}  // namespace vz::os

#endif  // VZ_PLATFORM_OS_KEYBOARD_H_
