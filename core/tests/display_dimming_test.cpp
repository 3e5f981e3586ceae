// Display dimming, the keypad light and the backlight timeouts against the test clock, the
// device's display and keypad power, and the registry: the display goes off on the first idle
// check more than timeout + 5 s after the last activity, never on mains when that is not allowed,
// comes back at the next tap; long timeouts are written on play and put back on pause, and a
// run that died with them in force is repaired at the next start.
#include <gtest/gtest.h>

#include <pm.h>

#include "core/device/display_control.h"
#include "core/settings/registry_values.h"
#include "core/settings/settings.h"
#include "core/transport/transport_neighbours.h"
#include "core/window/main_window_protocol.h"
#include "core/window/main_window_state.h"
#include "core/window/program_state.h"
#include "product_device.h"
#include "recording_target.h"
#include "testing/test_clock.h"
#include "testing/test_power.h"

namespace zb::testing {
namespace {

constexpr DWORD kOn = 1, kOff = 4;

class DisplayDimmingTest : public ::testing::Test {
 protected:
  explicit DisplayDimmingTest(const char* power = "[power]\nac line = 0\n") : device_(power) {}
  void SetUp() override {
    ResetPower();
    TakeOverClock(100000);
    window_ = CreateWindowExW(0, u"STATIC", u"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    Program().mainWindow = window_;
    MainWindow().active = TRUE;
    settings_ = GetSettings();
    ASSERT_NE(settings_, nullptr);
    settings_->dimmingTimeout = 10;
    DetectPlatform();
    ASSERT_EQ(settings_->dimmingCapable, 1u) << "a Pocket PC can dim";
    ASSERT_EQ(settings_->enableDimming, 1u) << "switched on the first time a capable device is seen";
    StartDisplayControl(window_);
    target_.playing = TRUE;
  }
  void TearDown() override {
    EndDisplayControl();
    ReleaseClock();
    DestroyWindow(window_);
  }

  ProductDevice device_;
  RecordingTarget target_;
  CSettings* settings_ = nullptr;
  HWND window_ = nullptr;
};

TEST_F(DisplayDimmingTest, TheDisplayGoesOffAfterTheTimeoutAndComesBackAtTheNextTap) {
  AdvanceClock(15000);
  IdleDimCheck();
  EXPECT_EQ(DisplayPower(), kOn) << "15 s is not more than timeout + 5 s";
  AdvanceClock(1);
  IdleDimCheck();
  EXPECT_EQ(DisplayPower(), kOff);
  EXPECT_TRUE(IsDisplayOff());

  settings_->redrawOnUndim = 1;
  EXPECT_EQ(WakeDisplay(TRUE), FALSE) << "marking activity switches nothing";
  EXPECT_EQ(DisplayPower(), kOff);
  EXPECT_EQ(WakeDisplay(FALSE), TRUE) << "the tap is swallowed";
  EXPECT_EQ(DisplayPower(), kOn);
  MSG msg;
  EXPECT_TRUE(PeekMessageW(&msg, window_, WM_ZB_REPAINT_ALL, WM_ZB_REPAINT_ALL, PM_REMOVE));
  EXPECT_EQ(WakeDisplay(FALSE), FALSE) << "already on";

  // Activity restarts the count.
  AdvanceClock(10000);
  WakeDisplay(TRUE);
  AdvanceClock(10000);
  IdleDimCheck();
  EXPECT_EQ(DisplayPower(), kOn);
}

TEST_F(DisplayDimmingTest, OnlyWhilePlaybackRunsUnpausedAndTheWindowIsActive) {
  struct Case {
    const char* name;
    BOOL playing;
    int paused;
    DWORD dimWhilePaused;
    BOOL active;
    DWORD dimInBackground;
    DWORD expected;
  };
  const Case cases[] = {
      {"playing", TRUE, 0, 0, TRUE, 0, kOff},
      {"nothing plays", FALSE, 0, 0, TRUE, 0, kOn},
      {"paused", TRUE, 1, 0, TRUE, 0, kOn},
      {"paused, dimming while paused allowed", TRUE, 1, 1, TRUE, 0, kOff},
      {"in the background", TRUE, 0, 0, FALSE, 0, kOn},
      {"in the background, allowed there", TRUE, 0, 0, FALSE, 1, kOff},
  };
  for (const Case& c : cases) {
    WakeDisplay(FALSE);
    target_.playing = c.playing;
    target_.paused = c.paused;
    settings_->dimWhilePaused = c.dimWhilePaused;
    settings_->dimInBackground = c.dimInBackground;
    MainWindow().active = c.active;
    AdvanceClock(16000);
    IdleDimCheck();
    EXPECT_EQ(DisplayPower(), c.expected) << c.name;
  }
}

class DisplayOnMainsTest : public DisplayDimmingTest {
 protected:
  DisplayOnMainsTest() : DisplayDimmingTest("[power]\nac line = 1\n") {}
};

TEST_F(DisplayOnMainsTest, OnMainsTheIdleCheckNeverDimsUnlessAllowed) {
  for (int i = 0; i < 3; ++i) {
    AdvanceClock(60000);
    IdleDimCheck();
    EXPECT_EQ(DisplayPower(), kOn) << "round " << i;
  }
  settings_->allowDimOnAC = 1;
  AdvanceClock(16000);
  IdleDimCheck();
  EXPECT_EQ(DisplayPower(), kOff);
}

TEST_F(DisplayOnMainsTest, TheIdleCheckSwitchesBackOnWhenItFindsTheDisplayOffOnMains) {
  // Off by the idle check while on battery, then the charger is plugged in.
  device_.WriteProfile("[program]\nhost = /nonexistent/zonbrel-test-program\n[power]\nac line = 0\n");
  AdvanceClock(16000);
  IdleDimCheck();
  ASSERT_EQ(DisplayPower(), kOff);
  device_.WriteProfile("[program]\nhost = /nonexistent/zonbrel-test-program\n[power]\nac line = 1\n");
  AdvanceClock(16000);
  IdleDimCheck();
  EXPECT_EQ(DisplayPower(), kOn);

  // Switched off by a command, it stays off on mains.
  ForceDisplayOff();
  ASSERT_EQ(DisplayPower(), kOff);
  AdvanceClock(16000);
  IdleDimCheck();
  EXPECT_EQ(DisplayPower(), kOff);
}

TEST_F(DisplayDimmingTest, KeypadLightAndTheRealDisplayState) {
  KeypadDimCheck();
  EXPECT_EQ(DevicePower(u"KYL0:"), D4);
  BOOL on = TRUE;
  ASSERT_EQ(IsKeypadLightOn(&on), S_OK);
  EXPECT_FALSE(on);
  WakeDisplay(FALSE);
  EXPECT_EQ(DevicePower(u"KYL0:"), D0);

  // The display was switched off behind the player's back, then on again.
  SetDisplayPower(kOff);
  SyncDisplayState();
  EXPECT_TRUE(IsDisplayOff());
  SetDisplayPower(kOn);
  SyncDisplayState();
  EXPECT_FALSE(IsDisplayOff());

  // Without the driver's escapes the display cannot be switched and the query says so.
  SetDisplayEscapes(false);
  ForceDisplayOff();
  EXPECT_EQ(DisplayPower(), kOn);
  EXPECT_EQ(WakeDisplay(FALSE), FALSE);
  EXPECT_TRUE(DidSwitchOnFail());
}

// ---- Backlight timeouts ----

DWORD ReadValue(const WCHAR* key, const WCHAR* name) {
  RegKey k;
  if (k.Open(HKEY_CURRENT_USER, key, KEY_READ) != ERROR_SUCCESS) return 0xFFFFFFFF;
  DWORD value = 0, type = 0, size = sizeof value;
  if (RegQueryValueExW(k.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS)
    return 0xFFFFFFFF;
  return value;
}

void WriteValue(const WCHAR* key, const WCHAR* name, DWORD value) {
  RegKey k;
  ASSERT_EQ(k.Create(HKEY_CURRENT_USER, key), ERROR_SUCCESS);
  RegSetValueExW(k.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

constexpr WCHAR kPower[] = u"ControlPanel\\Power";
constexpr WCHAR kBacklight[] = u"ControlPanel\\Backlight";
constexpr DWORD kMissing = 0xFFFFFFFF;

class BacklightTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteValue(kPower, u"Display", 60);
    WriteValue(kBacklight, u"BatteryTimeout", 30);
    WriteValue(kBacklight, u"ACTimeout", 120);
    ASSERT_NE(GetSettings(), nullptr);
    GetSettings()->videoScreenPowerOn = 1;
    changed_ = CreateEventW(nullptr, FALSE, FALSE, u"BackLightChangeEvent");
  }
  void TearDown() override { CloseHandle(changed_); }
  bool Signalled() { return WaitForSingleObject(changed_, 0) == WAIT_OBJECT_0; }

  struct Values {
    DWORD display, battery, ac, oldDisplay, oldBattery, oldAc;
    bool operator==(const Values&) const = default;
  };
  static Values Read() {
    return {ReadValue(kPower, u"Display"),           ReadValue(kBacklight, u"BatteryTimeout"),
            ReadValue(kBacklight, u"ACTimeout"),      ReadValue(kPower, u"ZBOldDisplay"),
            ReadValue(kBacklight, u"ZBOldBatteryTimeout"), ReadValue(kBacklight, u"ZBOldACTimeout")};
  }

  ProductDevice device_;
  HANDLE changed_ = nullptr;
};

TEST_F(BacklightTest, LongTimeoutsWhilePlayingAndTheUsersOnesAfterwards) {
  HoldBacklightForPlayback(true);
  EXPECT_EQ(Read(), (Values{18000, 18000000, 18000000, 60, 30, 120}));
  EXPECT_TRUE(Signalled());
  EXPECT_TRUE(IsBacklightHeld());
  EXPECT_EQ(SetBacklightTimeouts(TRUE), FALSE) << "already in force";
  EXPECT_FALSE(Signalled());

  HoldBacklightForPlayback(false);  // pause
  EXPECT_EQ(Read(), (Values{60, 30, 120, kMissing, kMissing, kMissing}));
  EXPECT_TRUE(Signalled());
  EXPECT_EQ(SetBacklightTimeouts(FALSE), FALSE) << "nothing to put back";
}

TEST_F(BacklightTest, WithoutVideoScreenPowerOnTheTimeoutsAreLeftAlone) {
  GetSettings()->videoScreenPowerOn = 0;
  EXPECT_EQ(SetBacklightTimeouts(TRUE), TRUE);
  EXPECT_EQ(Read(), (Values{60, 30, 120, kMissing, kMissing, kMissing}));
  EXPECT_EQ(SetBacklightTimeouts(FALSE), TRUE);
  EXPECT_EQ(Read(), (Values{60, 30, 120, kMissing, kMissing, kMissing}));
}

TEST_F(BacklightTest, TimeoutsLeftByARunThatDiedAreRestoredAtTheNextStart) {
  // What a run that died while a video played leaves behind.
  WriteValue(kPower, u"Display", 18000);
  WriteValue(kPower, u"ZBOldDisplay", 60);
  WriteValue(kBacklight, u"BatteryTimeout", 18000000);
  WriteValue(kBacklight, u"ZBOldBatteryTimeout", 30);
  WriteValue(kBacklight, u"ACTimeout", 18000000);
  WriteValue(kBacklight, u"ZBOldACTimeout", 120);
  StartDisplayControl(nullptr);
  EXPECT_EQ(Read(), (Values{60, 30, 120, kMissing, kMissing, kMissing}));
  EXPECT_TRUE(Signalled());

  // A clean start has nothing to repair.
  EXPECT_EQ(RestoreLeftBacklightTimeouts(), FALSE);
  EXPECT_FALSE(Signalled());
}

}  // namespace
}  // namespace zb::testing
