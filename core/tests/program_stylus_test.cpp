// The player on a display driven as a user drives it: taps on the built-in skin's play/pause
// button, its next button and its track slider do what they say, and the title and time shown
// follow the playing item. The screens are kept as PNG files beside the test for a person to see.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "device_screen.h"
#include "player_process.h"
#include "x_display.h"

namespace zb::testing {
namespace {

namespace fs = std::filesystem;

// Whether any pixel inside r differs between the two screens.
bool Differs(const zb::screen::Picture& a, const zb::screen::Picture& b, RECT r) {
  if (a.width != b.width || a.height != b.height || a.width < r.right || a.height < r.bottom) return true;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (a.pixels[static_cast<size_t>(y) * a.width + x] != b.pixels[static_cast<size_t>(y) * b.width + x]) return true;
  return false;
}

// Where the built-in 240x320 skin puts its parts.
constexpr RECT kTitle{8, 30, 232, 50}, kTime{36, 94, 189, 124};
constexpr POINT kPlayPause{120, 206}, kNext{180, 206};

class Stylus : public OnXDisplay {
 protected:
  LRESULT Ask(WORD query) { return SendMessageW(window, 1428, query, 3); }

  // A tap where the device's screen has (x, y), in the presenter's scale.
  void Tap(POINT at) {
    const int scale = Scale();
    ASSERT_GT(scale, 0);
    EXPECT_EQ(RunTool({"xdotool", "mousemove", "--window", shownOn, std::to_string(at.x * scale + scale / 2),
                       std::to_string(at.y * scale + scale / 2), "click", "1"})
                  .status,
              0);
  }
  int Scale() {
    const std::string out = RunTool({"xdotool", "getwindowgeometry", shownOn}).out;
    const size_t at = out.find("Geometry: ");
    return at == std::string::npos ? 0 : std::stoi(out.substr(at + 10)) / 240;
  }
  // The screen, once it has been the same for two grabs in a row, kept as `name`.png.
  zb::screen::Picture Settled(const std::string& name) {
    zb::screen::Picture p, last;
    for (int waited = 0; waited < 5000; waited += 100) {
      p = DeviceScreen();
      if (!p.pixels.empty() && p.pixels == last.pixels) break;
      last = p;
      RealSleep(100);
    }
    RunTool({ZBDEV_PATH, "screenshot", (shots / (name + ".png")).string()});
    return p;
  }

  fs::path shots = fs::path(SCREENSHOT_FOLDER) / "stylus";
  bool made = (fs::create_directories(fs::path(SCREENSHOT_FOLDER) / "stylus"), true);
  EnvScope audio{"ZONBREL_AUDIO", "null"};
  HWND window = nullptr;
  std::string shownOn;
};

TEST_F(Stylus, TapsOnPlayNextAndTheTrackSliderDriveThePlayerAndTheScreenFollows) {
  ASSERT_FALSE(server.Display().empty()) << "Xvfb did not start";
  CreateDirectoryW(u"\\Music", nullptr);
  ASSERT_TRUE(MakeMp3(device.Host("Music/first.mp3"), 20));
  fs::copy_file(device.Host("Music/first.mp3"), device.Host("Music/second.mp3"));
  KeepClosableWhilePlaying();
  PlayerProcess player({"\\Music\\first.mp3"});
  window = WaitForShownWindow();
  ASSERT_NE(window, nullptr);
  PlayerProcess enqueue({"/ENQUEUE", "\\Music\\second.mp3"});
  EXPECT_EQ(enqueue.Wait(20000), 0);
  ASSERT_EQ(AskUntil(window, 125, 2), 2);
  const std::optional<std::string> presenter = PresenterWindow();
  ASSERT_TRUE(presenter) << "no window on the display";
  shownOn = *presenter;
  ASSERT_EQ(AskUntil(window, 121, 1), 1) << "playing";

  // The time moves on while it plays.
  ReadUntil([this] { return Ask(105); }, [](LRESULT v) { return v >= 1500; });
  const zb::screen::Picture playing = Settled("1-playing-first");
  RealSleep(1500);
  const zb::screen::Picture later = Settled("2-a-moment-later");
  EXPECT_TRUE(Differs(playing, later, kTime)) << "the time shown follows the playing item";

  Tap(kPlayPause);
  EXPECT_EQ(AskUntil(window, 122, 1), 1) << "the tap on play/pause paused it";
  Settled("3-paused");
  Tap(kPlayPause);
  EXPECT_EQ(AskUntil(window, 122, 0), 0) << "and a second one plays on";

  Tap(kNext);
  EXPECT_EQ(AskUntil(window, 123, 1), 1) << "the tap on next went to the second item";
  EXPECT_EQ(AskUntil(window, 121, 1), 1) << "and plays it";
  ReadUntil([this] { return Ask(105); }, [](LRESULT v) { return v >= 500; });
  const zb::screen::Picture second = Settled("4-playing-second");
  EXPECT_TRUE(Differs(playing, second, kTitle)) << "the title shown follows the playing item";

  // Three quarters along the slider's track: the item jumps there.
  Tap(POINT{16 + 208 * 3 / 4, 158});
  const LRESULT length = Ask(104);
  ASSERT_GT(length, 15000);
  const LRESULT position = ReadUntil([this] { return Ask(105); }, [length](LRESULT v) { return v >= length * 6 / 10; });
  EXPECT_GE(position, length * 6 / 10) << "the tap on the track slider moved the position";
  EXPECT_EQ(Ask(123), 1) << "still the second item";
  Settled("5-after-the-slider");
  EXPECT_EQ(player.Stop(), 0);
}

}  // namespace
}  // namespace zb::testing
