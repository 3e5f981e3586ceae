// What the presenter makes of the host's mouse and keys: stylus events at device coordinates
// and the device's hardware buttons. Kept apart from SDL's event loop so that it reads (and is
// tested) as tables and traces.
#pragma once
#include <cstdint>
#include <optional>

#include "gwes/input.h"

namespace zb::presenter {

// The integer factor the window enlarges the screen by: the largest that keeps the window's
// longer side within 720 host pixels, and at least 1 (2 for 240x320, 1 for 480x640).
int ScaleFor(int width, int height);

// The device's key for a host key (an SDL keycode), or 0 when the device has no such button:
//   arrows -> VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN     Enter, keypad Enter -> VK_RETURN
//   F1..F4 and 1..4 -> VK_APP1..VK_APP4             Escape -> the back key (VK_ESCAPE)
uint32_t ButtonFor(int32_t hostKey);

// The key event for a host key going down or up; none for keys the device does not have.
std::optional<input::Event> KeyEvent(int32_t hostKey, bool down);

// The stylus follows the left mouse button in the window: pressed, dragged, lifted. Points are
// divided by the scale and kept on the screen, so a drag that leaves the window stays at the edge.
class Stylus {
 public:
  Stylus(int width, int height, int scale) : width_(width), height_(height), scale_(scale) {}

  std::optional<input::Event> Press(int windowX, int windowY);
  // Only while pressed, and only when the device point moves.
  std::optional<input::Event> Motion(int windowX, int windowY);
  std::optional<input::Event> Release(int windowX, int windowY);
  // The window lost the mouse with the stylus down: lift it where it last was, so no window
  // keeps waiting for a release that never comes.
  std::optional<input::Event> Cancel();

 private:
  input::Event At(input::Kind kind, int windowX, int windowY);

  int width_, height_, scale_;
  bool down_ = false;
  int32_t x_ = 0, y_ = 0;
};

}  // namespace zb::presenter
