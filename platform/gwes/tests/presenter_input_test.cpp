// What the presenter makes of the host: when it shows a window at all, how much it enlarges the
// screen, which host keys are which device buttons, and the stylus the mouse becomes.
#include <SDL.h>
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "gwes/presenter.h"
#include "gwes/presenter_input.h"

namespace zb::presenter {
namespace {

using input::Event;
using input::Kind;

TEST(PresenterDisplay, ADisplayIsWantedWhenAskedForOrWhenOneIsThere) {
  const struct {
    const char* zonbrel;
    const char* display;
    const char* wayland;
    bool wanted;
  } cases[] = {
      {nullptr, nullptr, nullptr, false}, {nullptr, ":0", nullptr, true},  {nullptr, nullptr, "wayland-0", true},
      {nullptr, "", "", false},           {"sdl", nullptr, nullptr, true}, {"none", ":0", "wayland-0", false},
      {"", ":1", nullptr, true},          {"other", nullptr, nullptr, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.zonbrel ? c.zonbrel : "(unset)") + " " + (c.display ? c.display : "(unset)"));
    EXPECT_EQ(DisplayWanted(c.zonbrel, c.display, c.wayland), c.wanted);
  }
}

TEST(PresenterDisplay, TheWindowEnlargesTheScreenByAWholeFactorWithinAComfortableSize) {
  const struct {
    int width, height, scale;
  } cases[] = {{240, 320, 2}, {320, 240, 2}, {240, 240, 3}, {480, 640, 1}, {640, 480, 1},
               {800, 600, 1}, {4096, 4096, 1}, {100, 50, 7}, {0, 0, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    EXPECT_EQ(ScaleFor(c.width, c.height), c.scale);
  }
}

TEST(PresenterKeys, HostKeysBecomeTheDevicesButtons) {
  const struct {
    SDL_Keycode key;
    uint32_t vk;
  } cases[] = {
      {SDLK_UP, 0x26},     {SDLK_DOWN, 0x28},     {SDLK_LEFT, 0x25},     {SDLK_RIGHT, 0x27},
      {SDLK_RETURN, 0x0D}, {SDLK_KP_ENTER, 0x0D}, {SDLK_ESCAPE, 0x1B},   {SDLK_F1, 0xC1},
      {SDLK_F2, 0xC2},     {SDLK_F3, 0xC3},       {SDLK_F4, 0xC4},       {SDLK_1, 0xC1},
      {SDLK_2, 0xC2},      {SDLK_3, 0xC3},        {SDLK_4, 0xC4},        {SDLK_5, 0},
      {SDLK_F5, 0},        {SDLK_a, 0},           {SDLK_SPACE, 0},       {SDLK_BACKSPACE, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(SDL_GetKeyName(c.key));
    EXPECT_EQ(ButtonFor(c.key), c.vk);
    auto down = KeyEvent(c.key, true), up = KeyEvent(c.key, false);
    ASSERT_EQ(down.has_value(), c.vk != 0);
    ASSERT_EQ(up.has_value(), c.vk != 0);
    if (!down) continue;
    EXPECT_EQ(down->kind, Kind::KeyDown);
    EXPECT_EQ(up->kind, Kind::KeyUp);
    EXPECT_EQ(down->vk, c.vk);
    EXPECT_EQ(up->vk, c.vk);
  }
}

enum class Op { Press, Motion, Release, Cancel };

struct Step {
  Op op;
  int x, y;                      // window coordinates
  std::optional<Kind> kind = {};  // the stylus event expected, if any
  int deviceX = 0, deviceY = 0;
};

void Play(const std::vector<Step>& steps) {
  Stylus stylus(240, 320, 2);
  for (size_t i = 0; i < steps.size(); ++i) {
    const Step& s = steps[i];
    SCOPED_TRACE("step " + std::to_string(i));
    std::optional<Event> e;
    switch (s.op) {
      case Op::Press: e = stylus.Press(s.x, s.y); break;
      case Op::Motion: e = stylus.Motion(s.x, s.y); break;
      case Op::Release: e = stylus.Release(s.x, s.y); break;
      case Op::Cancel: e = stylus.Cancel(); break;
    }
    ASSERT_EQ(e.has_value(), s.kind.has_value());
    if (!e) continue;
    EXPECT_EQ(e->kind, *s.kind);
    EXPECT_EQ(e->x, s.deviceX);
    EXPECT_EQ(e->y, s.deviceY);
  }
}

TEST(PresenterStylus, AClickIsADownAndAnUpAtDeviceCoordinates) {
  Play({{Op::Press, 101, 61, Kind::StylusDown, 50, 30}, {Op::Release, 101, 61, Kind::StylusUp, 50, 30}});
  Play({{Op::Press, 0, 0, Kind::StylusDown, 0, 0}, {Op::Release, 479, 639, Kind::StylusUp, 239, 319}});
}

TEST(PresenterStylus, ADragMovesOnlyWhenTheDevicePointChanges) {
  Play({{Op::Press, 20, 20, Kind::StylusDown, 10, 10},
        {Op::Motion, 21, 21},  // the same device pixel
        {Op::Motion, 22, 20, Kind::StylusMove, 11, 10},
        {Op::Motion, 60, 100, Kind::StylusMove, 30, 50},
        {Op::Release, 60, 100, Kind::StylusUp, 30, 50}});
}

TEST(PresenterStylus, TheMouseWithoutItsButtonIsNoStylus) {
  Play({{Op::Motion, 50, 50}, {Op::Release, 50, 50}, {Op::Cancel, 0, 0},
        {Op::Press, 50, 50, Kind::StylusDown, 25, 25},
        {Op::Press, 70, 70},  // already down
        {Op::Release, 70, 70, Kind::StylusUp, 35, 35},
        {Op::Motion, 90, 90}});
}

TEST(PresenterStylus, ADragOutOfTheWindowStaysOnTheScreensEdge) {
  Play({{Op::Press, 10, 10, Kind::StylusDown, 5, 5},
        {Op::Motion, -30, 900, Kind::StylusMove, 0, 319},
        {Op::Motion, -1, 900},  // still the corner
        {Op::Release, 1000, -5, Kind::StylusUp, 239, 0}});
}

TEST(PresenterStylus, LosingTheWindowLiftsTheStylusWhereItWas) {
  Play({{Op::Press, 2, 2, Kind::StylusDown, 1, 1},
        {Op::Motion, 40, 8, Kind::StylusMove, 20, 4},
        {Op::Cancel, 0, 0, Kind::StylusUp, 20, 4},
        {Op::Release, 40, 8},  // the release that follows is no second up
        {Op::Cancel, 0, 0}});
}

}  // namespace
}  // namespace zb::presenter
