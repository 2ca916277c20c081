// Test seam of the screen command bridge.
//
// ResetBridgeForTests puts the bridge back into its state at program start:
// module not started, module block zero, empty return code and returned text,
// integer return value 0. It calls no runtime entry point. Only tests use it;
// the program never resets the bridge.
#ifndef VZ_SRC_SCREEN_BRIDGE_FOR_TESTS_H_
#define VZ_SRC_SCREEN_BRIDGE_FOR_TESTS_H_

namespace vz::screen {

void ResetBridgeForTests();

}  // namespace vz::screen

#endif  // VZ_SRC_SCREEN_BRIDGE_FOR_TESTS_H_
