// The player program as real processes on a test's device: one copy shows its window and
// answers from outside; a second copy hands its command line over and ends; SIGTERM or SIGINT
// is the program's own Exit, even while it plays (settings saved, "Stopping" raised, status 0);
// a second start waits for a copy that is still starting and gives up at 60 s of the test clock.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

#include "core/window/main_window_protocol.h"
#include "core/settings/settings.h"
#include "device/text.h"
#include "player_process.h"
#include "product_device.h"
#include "testing/env_scope.h"
#include "testing/test_clock.h"

namespace zb::testing {
namespace {

namespace fs = std::filesystem;

class Program : public ::testing::Test {
 protected:
  ProductDevice device;
  EnvScope display{"ZONBREL_DISPLAY", "none"};
  EnvScope audio{"ZONBREL_AUDIO", "null"};
};

TEST_F(Program, ShowsItsWindowWithItsWordsAndAnswersTheControlMessage) {
  PlayerProcess player({});
  ASSERT_TRUE(player.Started());
  HWND window = WaitForShownWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(GetWindowLongW(window, 0), 12);
  EXPECT_EQ(GetWindowLongW(window, 4), 0);
  EXPECT_EQ(GetWindowLongW(window, 8), -1) << "nothing is open";
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(SendMessageW(window, 1428, 100, 3), 351);
  // A string command's buffer from this process means nothing there: refused, not written.
  WCHAR buffer[16];
  std::fill(std::begin(buffer), std::end(buffer), u'#');
  EXPECT_EQ(SendMessageW(window, 1428, 8523, reinterpret_cast<LPARAM>(buffer)), 0);
  EXPECT_EQ(std::u16string(buffer, 16), std::u16string(16, u'#'));
  player.Signal(SIGTERM);
  EXPECT_EQ(player.Wait(20000), 0);
}

TEST_F(Program, SigtermSavesTheSettingsRaisesStoppingAndExitsZero) {
  PlayerProcess player({});
  HWND window = WaitForShownWindow();
  ASSERT_NE(window, nullptr);
  // A client event of "Stopping" through WM_COPYDATA 232, as a Today item would register it.
  const std::u16string name = u"Zonbrel/Instance/Stopping";
  COPYDATASTRUCT record{232, static_cast<DWORD>((name.size() + 1) * 2), const_cast<char16_t*>(name.c_str())};
  const LRESULT number = SendMessageW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record));
  ASSERT_GE(number, 2);
  HANDLE stopping = CreateEventW(nullptr, FALSE, FALSE, (name + FromUtf8(std::to_string(number))).c_str());
  HKEY key = nullptr;
  RegDeleteKeyW(HKEY_CURRENT_USER, kSettingsKey);
  player.Signal(SIGTERM);
  EXPECT_EQ(player.Wait(20000), 0);
  EXPECT_EQ(WaitForSingleObject(stopping, 0), WAIT_OBJECT_0) << "\"Stopping\" was raised";
  CloseHandle(stopping);
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key), ERROR_SUCCESS) << "settings saved";
  if (key) RegCloseKey(key);
}

TEST_F(Program, OneSignalEndsItEvenWhilePlayingAndItsSettingsAreSaved) {
  fs::create_directories(device.Host("Music"));
  ASSERT_TRUE(MakeMp3(device.Host("Music/long.mp3"), 60));
  for (int signal : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(signal);
    PlayerProcess player({"\\Music\\long.mp3"});
    HWND window = WaitForShownWindow();
    ASSERT_NE(window, nullptr);
    // Playing, with "noCloseWhilePlaying" on as by default: the user's close would not end it.
    ASSERT_EQ(AskUntil(window, 121, 1), 1) << "playing";
    RegDeleteKeyW(HKEY_CURRENT_USER, kSettingsKey);
    player.Signal(signal);
    EXPECT_EQ(player.Wait(10000), 0) << "ended within seconds, not at the end of the song";
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key), ERROR_SUCCESS) << "settings saved";
    if (key) RegCloseKey(key);
  }
}

TEST_F(Program, StartedSilentItStaysOutOfSight) {
  PlayerProcess player({"/SILENT"});
  HWND window = WaitForShownWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(IsWindowVisible(window));
  player.Signal(SIGTERM);
  EXPECT_EQ(player.Wait(20000), 0);
}

TEST_F(Program, WakeUpWithoutARunningCopyEndsAtOnce) {
  PlayerProcess player({"/WAKEUP"});
  EXPECT_EQ(player.Wait(20000), 0);
  EXPECT_EQ(FindWindowW(kMainWindowClass, nullptr), nullptr);
}

// A window of the test's process in front, as another program's would be.
class FrontWindow {
 public:
  FrontWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.lpszClassName = kClass;
    RegisterClassW(&windowClass);
    window_ = CreateWindowExW(0, kClass, u"", WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(window_);
  }
  ~FrontWindow() {
    DestroyWindow(window_);
    UnregisterClassW(kClass, nullptr);
  }
  HWND Handle() const { return window_; }

 private:
  static constexpr WCHAR kClass[] = u"ZonbrelTestFront";
  HWND window_ = nullptr;
};

TEST_F(Program, SecondCopyHandsOverAndEnds) {
  PlayerProcess first({});
  HWND window = WaitForShownWindow();
  ASSERT_NE(window, nullptr);
  FrontWindow front;
  ASSERT_EQ(GetForegroundWindow(), front.Handle());
  for (const char* line : {"/SILENT", "/WAKEUP", "/wakeup"}) {
    PlayerProcess second({line});
    EXPECT_EQ(second.Serve(20000), 0) << line;
    EXPECT_EQ(GetForegroundWindow(), front.Handle()) << line << " does not bring the player forward";
  }
  EXPECT_FALSE(IsWindowVisible(window)) << "/SILENT hid it, /WAKEUP did not show it";
  PlayerProcess volume({"/VOLUME=40"});
  EXPECT_EQ(volume.Serve(20000), 0);
  EXPECT_EQ(GetForegroundWindow(), window) << "any other line brings it forward";
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(FindWindowW(kMainWindowClass, nullptr), window) << "still the one copy";
  first.Signal(SIGTERM);
  EXPECT_EQ(first.Wait(20000), 0);
}

// A first copy made by the test: the instance event and a main window at readiness 0 whose
// WM_COPYDATA this thread records.
std::vector<std::u16string>& HandedOver() {
  static std::vector<std::u16string> lines;
  return lines;
}

LRESULT CALLBACK StartingCopyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (data->dwData == 0) HandedOver().emplace_back(static_cast<const char16_t*>(data->lpData));
    return 1;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

class StartingCopy : public Program {
 protected:
  void SetUp() override {
    HandedOver().clear();
    instance = CreateEventW(nullptr, TRUE, TRUE, u"Zonbrel/Instance");
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = StartingCopyProc;
    windowClass.cbWndExtra = 12;
    windowClass.lpszClassName = kMainWindowClass;
    RegisterClassW(&windowClass);
    window = CreateWindowExW(0, kMainWindowClass, kMainWindowClass, 0, 0, 0, 240, 320, nullptr, nullptr, nullptr,
                             nullptr);
    SetWindowLongW(window, GWL_USERDATA, 0);
    TakeOverClock(5'000'000);
  }
  void TearDown() override {
    ReleaseClock();
    DestroyWindow(window);
    UnregisterClassW(kMainWindowClass, nullptr);
    CloseHandle(instance);
  }
  // Whether the second copy sleeps on the test clock (one timed waiter more than `idle`).
  bool WaitUntilSleeping(uint32_t idle) {
    for (int waited = 0; waited < 20000; waited += 5) {
      if (TimedWaiters() > idle) return true;
      RealSleep(5);
    }
    return false;
  }

  HANDLE instance = nullptr;
  HWND window = nullptr;
};

TEST_F(StartingCopy, SecondStartWaitsForReadinessAndThenSendsItsFile) {
  const uint32_t idle = TimedWaiters();
  PlayerProcess second({"\\Music\\a.mp3"});
  ASSERT_TRUE(WaitUntilSleeping(idle));
  AdvanceClock(5000);  // still starting: it looks again and sleeps
  EXPECT_EQ(second.Serve(300), -1);
  EXPECT_TRUE(HandedOver().empty());
  ASSERT_TRUE(WaitUntilSleeping(idle));
  SetWindowLongW(window, GWL_USERDATA, 1);  // the skin is shown
  AdvanceClock(1000);
  EXPECT_EQ(second.Serve(20000), 0);
  EXPECT_EQ(HandedOver(), std::vector<std::u16string>{u"\\Music\\a.mp3"});
}

TEST_F(StartingCopy, SecondStartGivesUpSilentlyAfterSixtySeconds) {
  const uint32_t idle = TimedWaiters();
  PlayerProcess second({"\\Music\\a.mp3"});
  ASSERT_TRUE(WaitUntilSleeping(idle));
  AdvanceClock(59000);
  EXPECT_EQ(second.Serve(300), -1) << "still waiting at 59 s";
  ASSERT_TRUE(WaitUntilSleeping(idle));
  AdvanceClock(2000);
  EXPECT_EQ(second.Serve(20000), 0);
  EXPECT_TRUE(HandedOver().empty());
}

}  // namespace
}  // namespace zb::testing
