// The device's screen as last drawn, read from another process as zbdev screenshot reads it.
#pragma once
#include <string>

#include "device/device.h"
#include "gwes/screen_picture.h"
#include "gwes/shared_screen.h"

namespace zb::testing {

inline zb::screen::Picture DeviceScreen() {
  std::string why;
  auto shared = zb::screen::SharedScreen::Open(zb::device::StateFolder(), why);
  auto pixels = shared ? shared->Pixels() : nullptr;
  return pixels ? zb::screen::PictureOf(*pixels) : zb::screen::Picture{};
}

}  // namespace zb::testing
