// The host-to-device key table and the stylus state, for the presenter.
#include "gwes/presenter_input.h"

#include <SDL.h>
#include <windows.h>

#include <algorithm>

namespace zb::presenter {
namespace {

constexpr uint32_t kBackKey = VK_ESCAPE;  // what the device's Back button sends

struct Button {
  int32_t host;
  uint32_t vk;
};

constexpr Button kButtons[] = {
    {SDLK_LEFT, VK_LEFT},     {SDLK_UP, VK_UP},             {SDLK_RIGHT, VK_RIGHT},  {SDLK_DOWN, VK_DOWN},
    {SDLK_RETURN, VK_RETURN}, {SDLK_KP_ENTER, VK_RETURN},   {SDLK_ESCAPE, kBackKey},
    {SDLK_F1, VK_APP1},       {SDLK_F2, VK_APP2},           {SDLK_F3, VK_APP3},      {SDLK_F4, VK_APP4},
    {SDLK_1, VK_APP1},        {SDLK_2, VK_APP2},            {SDLK_3, VK_APP3},       {SDLK_4, VK_APP4},
};

constexpr int kLongestSide = 720;

}  // namespace

int ScaleFor(int width, int height) {
  const int longer = std::max(width, height);
  return longer <= 0 ? 1 : std::max(1, kLongestSide / longer);
}

uint32_t ButtonFor(int32_t hostKey) {
  for (const Button& b : kButtons) {
    if (b.host == hostKey) return b.vk;
  }
  return 0;
}

std::optional<input::Event> KeyEvent(int32_t hostKey, bool down) {
  const uint32_t vk = ButtonFor(hostKey);
  if (!vk) return std::nullopt;
  input::Event e{down ? input::Kind::KeyDown : input::Kind::KeyUp};
  e.vk = vk;
  return e;
}

input::Event Stylus::At(input::Kind kind, int windowX, int windowY) {
  const int scale = std::max(scale_, 1);
  // Floor division, so the window's left and top edges map to 0 even a pixel outside them.
  auto device = [scale](int v, int size) {
    const int d = v >= 0 ? v / scale : -((-v + scale - 1) / scale);
    return std::clamp(d, 0, std::max(size - 1, 0));
  };
  x_ = device(windowX, width_);
  y_ = device(windowY, height_);
  input::Event e{kind};
  e.x = x_;
  e.y = y_;
  return e;
}

std::optional<input::Event> Stylus::Press(int windowX, int windowY) {
  if (down_) return std::nullopt;
  down_ = true;
  return At(input::Kind::StylusDown, windowX, windowY);
}

std::optional<input::Event> Stylus::Motion(int windowX, int windowY) {
  if (!down_) return std::nullopt;
  const int32_t oldX = x_, oldY = y_;
  input::Event e = At(input::Kind::StylusMove, windowX, windowY);
  if (e.x == oldX && e.y == oldY) return std::nullopt;
  return e;
}

std::optional<input::Event> Stylus::Release(int windowX, int windowY) {
  if (!down_) return std::nullopt;
  down_ = false;
  return At(input::Kind::StylusUp, windowX, windowY);
}

std::optional<input::Event> Stylus::Cancel() {
  if (!down_) return std::nullopt;
  down_ = false;
  input::Event e{input::Kind::StylusUp};
  e.x = x_;
  e.y = y_;
  return e;
}

}  // namespace zb::presenter
