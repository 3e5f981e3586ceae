// The one entry through which input reaches windows: the SDL presenter, tests and zbdev all
// hand stylus and key events here, and the window room routes each to the window that should
// have it, in whichever process of the device owns that window.
#pragma once
#include <cstdint>

namespace zb::input {

enum class Kind : uint32_t { StylusDown, StylusMove, StylusUp, KeyDown, KeyUp };

struct Event {
  Kind kind;
  int32_t x = 0, y = 0;  // screen coordinates of the device (stylus events)
  uint32_t vk = 0;       // virtual-key code (key events)
};

// Callable from any thread of any process on the device. False when nothing could take it.
bool Deliver(const Event& event);

}  // namespace zb::input
