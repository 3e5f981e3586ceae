// The system notification thread against the platform's power and device notifications: a
// new headset posts 1362 after the configured delay plus 100 ms (on the test clock), the same
// name again posts nothing; a resume into the plain on state posts 1357, an unattended one
// does not; going unattended while playing brings the player forward; a storm of wake-ups ends
// the thread; and a device without device notifications still gets its power notifications.
#include <gtest/gtest.h>

#include <pm.h>

#include <chrono>
#include <thread>
#include <vector>

#include "core/device/notification_thread.h"
#include "core/settings/registry_values.h"
#include "core/window/main_window_protocol.h"
#include "core/window/program_state.h"
#include "product_device.h"
#include "testing/test_clock.h"
#include "testing/test_power.h"
#include "unattended_mode.h"

namespace zb::testing {
namespace {

using namespace std::chrono_literals;

class NotificationThreadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetPower();
    window_ = CreateWindowExW(0, u"STATIC", u"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window_, nullptr);
    Program().mainWindow = window_;
  }
  void TearDown() override {
    Stop();
    ReleaseClock();
    DestroyWindow(window_);
    Program() = ProgramState{};
  }

  void Start(int powerQueues = 1, int deviceQueues = 1) {
    stop_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, NotificationThread, stop_, 0, nullptr);
    ASSERT_NE(thread_, nullptr);
    for (int i = 0; i < 2000 && (PowerSubscribers(false) < powerQueues || PowerSubscribers(true) < deviceQueues); ++i)
      std::this_thread::sleep_for(1ms);
    ASSERT_EQ(PowerSubscribers(false), powerQueues);
    ASSERT_EQ(PowerSubscribers(true), deviceQueues);
  }
  void Stop() {
    if (!thread_) return;
    EventModify(stop_, EVENT_SET);
    ReleaseClock();
    EXPECT_EQ(WaitForSingleObject(thread_, 5000), WAIT_OBJECT_0);
    CloseHandle(thread_);
    CloseHandle(stop_);
    thread_ = stop_ = nullptr;
    EXPECT_EQ(PowerSubscribers(false) + PowerSubscribers(true), 0) << "the thread gives its requests back";
  }
  // The posts of `message` that arrive within `wait` of host time.
  int Posts(UINT message, std::chrono::milliseconds wait, LPARAM* lParam = nullptr) {
    int count = 0;
    const auto end = std::chrono::steady_clock::now() + wait;
    do {
      MSG msg;
      while (PeekMessageW(&msg, window_, message, message, PM_REMOVE)) {
        ++count;
        if (lParam) *lParam = msg.lParam;
      }
      if (count) return count;
      std::this_thread::sleep_for(2ms);
    } while (std::chrono::steady_clock::now() < end);
    return count;
  }
  static void SetDelay(DWORD ms) {
    RegKey key;
    ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Microsoft\\MediaPlayer\\Preferences"), ERROR_SUCCESS);
    RegSetValueExW(key.get(), u"AudioDeviceChangeDelay", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&ms), sizeof ms);
  }
  static void WaitForTimedWaiter() {
    for (int i = 0; i < 2000 && TimedWaiters() == 0; ++i) std::this_thread::sleep_for(1ms);
    ASSERT_GT(TimedWaiters(), 0u);
  }

  ProductDevice device_;
  HWND window_ = nullptr;
  HANDLE stop_ = nullptr;
  HANDLE thread_ = nullptr;
};

TEST_F(NotificationThreadTest, AudioDeviceChangeDelayIsReadFromThePlayerPreferences) {
  EXPECT_EQ(GetAudioDeviceChangeDelay(), 0u);
  SetDelay(750);
  EXPECT_EQ(GetAudioDeviceChangeDelay(), 750u);
}

TEST_F(NotificationThreadTest, ANewHeadsetPostsAfterTheDelayAndTheSameNamePostsNothing) {
  SetDelay(300);
  TakeOverClock(1000);
  Start();
  ASSERT_EQ(AnnounceDevice(kAudioDeviceClass, u"Headset A", true), 1);
  EXPECT_EQ(Posts(WM_ZB_OUTPUT_CHANGED, 150ms), 0) << "the first device seen is only remembered";

  ASSERT_EQ(AnnounceDevice(kAudioDeviceClass, u"Headset B", true), 1);
  WaitForTimedWaiter();
  AdvanceClock(399);
  EXPECT_EQ(Posts(WM_ZB_OUTPUT_CHANGED, 100ms), 0) << "not before delay + 100 ms";
  AdvanceClock(1);
  EXPECT_EQ(Posts(WM_ZB_OUTPUT_CHANGED, 3000ms), 1);

  // The same name in other case, a removal and another class change nothing.
  AnnounceDevice(kAudioDeviceClass, u"HEADSET b", true);
  AnnounceDevice(kAudioDeviceClass, u"Headset C", false);
  const GUID other{1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
  EXPECT_EQ(AnnounceDevice(other, u"Headset D", true), 0);
  EXPECT_EQ(Posts(WM_ZB_OUTPUT_CHANGED, 200ms), 0);
  EXPECT_EQ(TimedWaiters(), 0u);
}

TEST_F(NotificationThreadTest, AResumeIntoThePlainOnStatePostsTheSuspendMessage) {
  Start();
  SetPowerState(u"unattended", POWER_STATE_UNATTENDED);
  ASSERT_EQ(BroadcastPower(PBT_RESUME, 0, u"unattended"), 1);
  EXPECT_EQ(Posts(WM_ZB_SUSPEND, 200ms), 0) << "an unattended resume";
  SetPowerState(u"on", POWER_STATE_ON);
  ASSERT_EQ(BroadcastPower(PBT_RESUME, 0, u"on"), 1);
  LPARAM lParam = -1;
  EXPECT_EQ(Posts(WM_ZB_SUSPEND, 3000ms, &lParam), 1);
  EXPECT_EQ(lParam, 0);
  // A state name longer than the queue's 44-byte records arrives cut, and still counts.
  ASSERT_EQ(BroadcastPower(PBT_RESUME, 0, u"a rather long name of a power state"), 1);
  EXPECT_EQ(Posts(WM_ZB_SUSPEND, 3000ms), 1);
}

TEST_F(NotificationThreadTest, GoingUnattendedWhilePlayingBringsThePlayerForward) {
  Start();
  ASSERT_EQ(BroadcastPower(PBT_TRANSITION, POWER_STATE_UNATTENDED, u"unattended"), 1);
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(RequestedPowerFlags(), 0u) << "nothing plays";

  UnattendedModeHook(4, nullptr, 0, nullptr, 0);  // play
  ASSERT_TRUE(InUnattendedMode());
  ASSERT_EQ(BroadcastPower(PBT_TRANSITION, POWER_STATE_UNATTENDED, u"unattended"), 1);
  for (int i = 0; i < 3000 && RequestedPowerFlags() == 0; ++i) std::this_thread::sleep_for(1ms);
  EXPECT_EQ(RequestedPowerFlags(), static_cast<DWORD>(POWER_STATE_IDLE));
  for (int i = 0; i < 3000 && !IsWindowVisible(window_); ++i) std::this_thread::sleep_for(1ms);
  EXPECT_TRUE(IsWindowVisible(window_));
  UnattendedModeHook(3, nullptr, 0, nullptr, 0);  // stop
}

TEST_F(NotificationThreadTest, AFailedDeviceRequestStillListensToPower) {
  FailDeviceNotifications(true);
  Start(1, 0);
  ASSERT_EQ(BroadcastPower(PBT_RESUME, 0, u"on"), 1);
  EXPECT_EQ(Posts(WM_ZB_SUSPEND, 3000ms), 1);
}

TEST_F(NotificationThreadTest, MoreThanAHundredWakeUpsWithinASecondEndTheThread) {
  TakeOverClock(5000);  // the clock stands still: every wake-up falls in the same second
  Start();
  int sent = 0;
  for (; sent < 1000 && WaitForSingleObject(thread_, 0) != WAIT_OBJECT_0; ++sent) {
    BroadcastPower(PBT_TRANSITION, POWER_STATE_ON, u"on");
    std::this_thread::sleep_for(1ms);  // the thread takes each record on a wake-up of its own
  }
  EXPECT_EQ(WaitForSingleObject(thread_, 0), WAIT_OBJECT_0) << "the thread ended by itself";
  EXPECT_GT(sent, 100);
  EXPECT_EQ(PowerSubscribers(false) + PowerSubscribers(true), 0);
}

TEST_F(NotificationThreadTest, WakeUpsSpreadOverSecondsKeepTheThread) {
  TakeOverClock(5000);
  Start();
  for (int second = 0; second < 3; ++second) {
    for (int i = 0; i < 60; ++i) {
      BroadcastPower(PBT_TRANSITION, POWER_STATE_ON, u"on");
      std::this_thread::sleep_for(1ms);
    }
    AdvanceClock(1000);
  }
  EXPECT_EQ(WaitForSingleObject(thread_, 0), WAIT_TIMEOUT);
}

}  // namespace
}  // namespace zb::testing
