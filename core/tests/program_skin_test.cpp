// The player wears its skin on a display: with no skin file anywhere it shows the built-in skin
// (and its temporary copy is gone once the change completed), and a skin package chosen in the
// settings is the one it shows after a restart.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "device_screen.h"
#include "player_process.h"
#include "x_display.h"

namespace zb::testing {
namespace {

namespace fs = std::filesystem;

uint32_t At(const zb::screen::Picture& p, int x, int y) { return p.pixels[static_cast<size_t>(y) * p.width + x]; }

// Whether a 0x00RRGGBB pixel is within 24 of the colour in each channel.
bool Near(uint32_t pixel, uint32_t colour) {
  for (int shift : {0, 8, 16})
    if (std::abs(static_cast<int>((pixel >> shift) & 0xFF) - static_cast<int>((colour >> shift) & 0xFF)) > 24) return false;
  return true;
}

int CountNear(const zb::screen::Picture& p, RECT r, uint32_t colour) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) n += Near(At(p, x, y), colour);
  return n;
}

// The screen once the window shows it drawn: the first picture whose play button is there.
// The screen once the probe shows and two grabs in a row agree: a busy machine can catch the
// display between the first paint and the rest of it.
zb::screen::Picture ShownScreen(uint32_t probe, int x, int y) {
  zb::screen::Picture p, last;
  for (int waited = 0; waited < 20000; waited += 100) {
    p = DeviceScreen();
    if (p.width > x && p.height > y && Near(At(p, x, y), probe) && p.pixels == last.pixels) break;
    last = p;
    RealSleep(100);
  }
  return p;
}

std::vector<std::u16string> TemporarySkins() {
  WCHAR temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  std::vector<std::u16string> found;
  WIN32_FIND_DATAW data{};
  HANDLE h = FindFirstFileW((std::u16string(temp) + u"*.zsz").c_str(), &data);
  if (h == INVALID_HANDLE_VALUE) return found;
  do found.push_back(data.cFileName);
  while (FindNextFileW(h, &data));
  FindClose(h);
  return found;
}

// Closes the player's window on the display, as a window manager would.
void Close(PlayerProcess& player) {
  const std::optional<std::string> shownOn = PresenterWindow();
  ASSERT_TRUE(shownOn) << "no window on the display";
  ASSERT_EQ(RunTool({X_CLOSE_PATH, *shownOn}).status, 0);
  EXPECT_EQ(player.Wait(20000), 0);
}

constexpr uint32_t kAccent = 0x4C9EFF, kSoundBlue = 0x2878DC;

class SkinOnDisplay : public OnXDisplay {
 protected:
  // The test machine has no sound card: the output device writes WAVE files.
  EnvScope audio{"ZONBREL_AUDIO", "wav:" + device.Host("out.wav").string()};
};

TEST_F(SkinOnDisplay, WithoutSkinFilesTheBuiltInSkinIsShownAndItsCopyIsGone) {
  ASSERT_FALSE(server.Display().empty()) << "Xvfb did not start";
  PlayerProcess player({});
  HWND window = WaitForShownWindow();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(PresenterWindow()) << "no window on the display";
  const zb::screen::Picture p = ShownScreen(kAccent, 98, 206);
  ASSERT_EQ(p.width, 240);
  ASSERT_EQ(p.height, 320);
  zb::screen::WritePng(p, "program_skin_builtin.png");  // for a person to look at
  EXPECT_TRUE(Near(At(p, 98, 206), kAccent)) << "the play button's ring";
  EXPECT_TRUE(Near(At(p, 120, 206), 0xFFFFFF)) << "its triangle";
  EXPECT_LT(At(p, 4, 100) & 0xFF, 48u) << "a dark background";
  EXPECT_GT(CountNear(p, RECT{8, 30, 232, 50}, 0xFFFFFF), 40) << "the title's text";
  EXPECT_TRUE(TemporarySkins().empty()) << "the built-in skin's copy is deleted once the change completed";
  Close(player);
}

TEST_F(SkinOnDisplay, APackageChosenInTheSettingsIsShownAfterARestart) {
  ASSERT_FALSE(server.Display().empty()) << "Xvfb did not start";
  {
    PlayerProcess player({});
    HWND window = WaitForShownWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(Near(At(ShownScreen(kAccent, 98, 206), 98, 206), kAccent)) << "the built-in skin first";
    Close(player);
  }
  fs::copy_file(SOUND_SKIN_PACKAGE, device.card() / "blue.zsz");
  WCHAR name[64];
  wsprintfW(name, u"skin.%d.%d", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  const std::u16string chosen = u"\\Storage Card\\blue.zsz";
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, 0, nullptr, &key, nullptr), ERROR_SUCCESS);
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(chosen.c_str()),
                 static_cast<DWORD>((chosen.size() + 1) * sizeof(WCHAR)));
  RegCloseKey(key);

  PlayerProcess player({});
  HWND window = WaitForShownWindow();
  ASSERT_NE(window, nullptr);
  // The package's 16x16 blue background, scaled to the window.
  const zb::screen::Picture p = ShownScreen(kSoundBlue, 4, 300);
  ASSERT_EQ(p.width, 240);
  EXPECT_TRUE(Near(At(p, 4, 300), kSoundBlue));
  EXPECT_TRUE(Near(At(p, 230, 300), kSoundBlue));
  zb::screen::WritePng(p, "program_skin_chosen.png");  // for a person to look at
  EXPECT_EQ(CountNear(p, RECT{0, 160, 240, 320}, kAccent), 0) << "nothing of the built-in skin's transport";
  Close(player);
}

}  // namespace
}  // namespace zb::testing
