// The player on a display, as tools/run starts it on a desktop: under a private X server the
// program shows the device's screen in a window, plays the file named on its command line (into
// the WAVE-file device: the test machine has no sound card), and closing that window as a window
// manager would ends the program with exit status 0 and its settings saved.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "player_process.h"
#include "x_display.h"

namespace zb::testing {
namespace {

namespace fs = std::filesystem;

class OnDisplay : public OnXDisplay {
 protected:
  fs::path recording = device.Host("out.wav");
  EnvScope audio{"ZONBREL_AUDIO", "wav:" + recording.string()};
};

TEST_F(OnDisplay, ThePlayerShowsItsWindowPlaysAndClosingTheWindowEndsItWithItsSettingsSaved) {
  ASSERT_FALSE(server.Display().empty()) << "Xvfb did not start";
  CreateDirectoryW(u"\\Music", nullptr);
  ASSERT_TRUE(MakeMp3(device.Host("Music/a.mp3"), 3));
  PlayerProcess player({"\\Music\\a.mp3"});
  HWND window = WaitForShownWindow();
  ASSERT_NE(window, nullptr);
  const std::optional<std::string> shownOn = PresenterWindow();
  ASSERT_TRUE(shownOn) << "no window on the display";
  EXPECT_EQ(AskUntil(window, 121, 1), 1) << "playing";
  EXPECT_EQ(AskUntil(window, 121, 0), 0) << "played to its end";
  const std::vector<fs::path> written = Recordings(recording);
  ASSERT_EQ(written.size(), 1u);
  EXPECT_GE(WaveData(written.front()).size(), 44100u * 4 * 29 / 10) << "the file's three seconds";

  RegDeleteKeyW(HKEY_CURRENT_USER, kSettingsKey);
  ASSERT_EQ(RunTool({X_CLOSE_PATH, *shownOn}).status, 0);
  EXPECT_EQ(player.Wait(20000), 0);
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key), ERROR_SUCCESS) << "settings saved";
  if (key) RegCloseKey(key);
}

}  // namespace
}  // namespace zb::testing
