// The player program as real processes on a test's device: one copy shows its window and
// answers from outside; a second copy hands its command line over and ends; SIGTERM closes the
// program as the device's close would (settings saved, "Stopping" raised, status 0); a second
// start waits for a copy that is still starting and gives up at 60 s of the test clock.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

#include "core/main_window_protocol.h"
#include "core/settings.h"
#include "device/text.h"
#include "product_device.h"
#include "testing/env_scope.h"
#include "testing/test_clock.h"

namespace zb::testing {
namespace {

void RealSleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

class PlayerProcess {
 public:
  explicit PlayerProcess(std::vector<std::string> args) {
    std::string path = ZONBREL_PATH;
    std::vector<char*> argv{path.data()};
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, path.c_str(), nullptr, nullptr, argv.data(), environ) != 0) pid_ = -1;
  }
  ~PlayerProcess() {
    if (pid_ > 0 && !exited_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  PlayerProcess(const PlayerProcess&) = delete;
  PlayerProcess& operator=(const PlayerProcess&) = delete;

  bool Started() const { return pid_ > 0; }
  void Signal(int signal) { kill(pid_, signal); }
  // The exit status once the process ended within `ms` of real time; -1 while it runs.
  int Wait(int ms) {
    for (int waited = 0; !exited_ && waited <= ms; waited += 10) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        exited_ = true;
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        break;
      }
      RealSleep(10);
    }
    return exited_ ? status_ : -1;
  }

 private:
  pid_t pid_ = -1;
  bool exited_ = false;
  int status_ = -1;
};

// The player's main window once its readiness word says it is shown, within `ms` of real time.
HWND WaitForShownWindow(int ms = 20000) {
  for (int waited = 0; waited <= ms; waited += 20) {
    HWND window = FindWindowW(kMainWindowClass, nullptr);
    if (window && GetWindowLongW(window, GWL_USERDATA) == 1) return window;
    RealSleep(20);
  }
  return nullptr;
}

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

TEST_F(Program, WakeUpWithoutARunningCopyEndsAtOnce) {
  PlayerProcess player({"/WAKEUP"});
  EXPECT_EQ(player.Wait(20000), 0);
  EXPECT_EQ(FindWindowW(kMainWindowClass, nullptr), nullptr);
}

TEST_F(Program, SecondCopyHandsOverAndEnds) {
  PlayerProcess first({});
  HWND window = WaitForShownWindow();
  ASSERT_NE(window, nullptr);
  for (const char* line : {"/SILENT", "/WAKEUP"}) {
    PlayerProcess second({line});
    EXPECT_EQ(second.Wait(20000), 0) << line;
  }
  EXPECT_FALSE(IsWindowVisible(window)) << "/SILENT and /WAKEUP do not show the window";
  PlayerProcess volume({"/VOLUME=40"});
  EXPECT_EQ(volume.Wait(20000), 0);
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
  // Serves this window's messages for `ms` of real time, or until the second copy ends; its
  // exit status or -1.
  int Serve(PlayerProcess& second, int ms) {
    for (int waited = 0; waited <= ms; waited += 5) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
      const int status = second.Wait(0);
      if (status != -1) return status;
      RealSleep(5);
    }
    return -1;
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
  EXPECT_EQ(Serve(second, 300), -1);
  EXPECT_TRUE(HandedOver().empty());
  ASSERT_TRUE(WaitUntilSleeping(idle));
  SetWindowLongW(window, GWL_USERDATA, 1);  // the skin is shown
  AdvanceClock(1000);
  EXPECT_EQ(Serve(second, 20000), 0);
  EXPECT_EQ(HandedOver(), std::vector<std::u16string>{u"\\Music\\a.mp3"});
}

TEST_F(StartingCopy, SecondStartGivesUpSilentlyAfterSixtySeconds) {
  const uint32_t idle = TimedWaiters();
  PlayerProcess second({"\\Music\\a.mp3"});
  ASSERT_TRUE(WaitUntilSleeping(idle));
  AdvanceClock(59000);
  EXPECT_EQ(Serve(second, 300), -1) << "still waiting at 59 s";
  ASSERT_TRUE(WaitUntilSleeping(idle));
  AdvanceClock(2000);
  EXPECT_EQ(Serve(second, 20000), 0);
  EXPECT_TRUE(HandedOver().empty());
}

}  // namespace
}  // namespace zb::testing
