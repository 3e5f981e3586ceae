// The window chrome's mode bits and the two bubbles: what each mode does to the window (shown,
// minimised, placed at the top), to the "taskbar" setting and to the restore flag; the player's
// bubble and the lock bubble with their registry options; the lock refused without an unlock
// button, and the hold-mode message either way.
#include <gtest/gtest.h>

#include "core/device/button_block.h"
#include "core/device/button_lock.h"
#include "core/device/shell_notifications.h"
#include "core/device/window_chrome.h"
#include "core/settings/button_table.h"
#include "core/settings/registry_values.h"
#include "core/settings/settings.h"
#include "core/window/main_window_protocol.h"
#include "core/window/main_window_state.h"
#include "core/window/program_state.h"
#include "product_device.h"

namespace zb::testing {
namespace {

class WindowChromeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Program().instance = GetModuleHandleW(nullptr);
    window_ = CreateWindowExW(0, u"STATIC", u"", WS_VISIBLE, 0, 26, 240, 294, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window_, nullptr);
    Program().mainWindow = window_;
    MainWindow() = MainWindowState{};
    settings_ = GetSettings();
    ASSERT_NE(settings_, nullptr);
  }
  void TearDown() override {
    ResetWindowChrome();
    DestroyWindow(window_);
  }
  int Top() const {
    RECT r{};
    GetWindowRect(window_, &r);
    return r.top;
  }
  static DWORD NotificationValue(const CLSID& clsid, const WCHAR* name) {
    WCHAR key[MAX_PATH];
    wsprintfW(key, u"ControlPanel\\Notifications\\{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", clsid.Data1,
              clsid.Data2, clsid.Data3, clsid.Data4[0], clsid.Data4[1], clsid.Data4[2], clsid.Data4[3],
              clsid.Data4[4], clsid.Data4[5], clsid.Data4[6], clsid.Data4[7]);
    RegKey k;
    if (k.Open(HKEY_CURRENT_USER, key, KEY_READ) != ERROR_SUCCESS) return 0xFFFFFFFF;
    DWORD value = 0, type = 0, size = sizeof value;
    if (RegQueryValueExW(k.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS)
      return 0xFFFFFFFF;
    return value;
  }
  static bool BubbleShown(const CLSID& clsid) {
    SHNOTIFICATIONDATA data{};
    data.cbStruct = sizeof data;
    return SUCCEEDED(ShellNotificationGetData(clsid, kBubbleId, &data));
  }

  ProductDevice device_;
  HWND window_ = nullptr;
  CSettings* settings_ = nullptr;
};

TEST_F(WindowChromeTest, ModeBits) {
  struct Case {
    const char* name;
    int mode;
    DWORD taskbarBefore;
    DWORD taskbarAfter;
    BOOL minimisedAfter;
    BOOL restoreFlag;
    bool visibleAfter;
    int topAfter;  // -1: unchanged
  };
  const Case cases[] = {
      {"0x90 minimises and leaves the taskbar setting", 0x90, 1, 1, TRUE, FALSE, false, -1},
      {"0x20 brings it back in front", 0x20, 1, 1, FALSE, FALSE, true, -1},
      {"0x82 (deactivation) shows the taskbar but keeps the setting", 0x82, 1, 1, FALSE, TRUE, true, 0},
      {"0x1000 only marks the owned window for restoring", 0x1000, 0, 0, FALSE, TRUE, true, -1},
      {"2 shows the taskbar and stores it", 2, 1, 0, FALSE, FALSE, true, 0},
      {"4 hides the taskbar, places the window at the top and stores it", 4, 0, 1, FALSE, FALSE, true, 0},
      {"1 with taskbar 1 hides the taskbar", 1, 1, 1, FALSE, FALSE, true, 0},
      {"1 with taskbar 0 shows it", 1, 0, 0, FALSE, FALSE, true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResetWindowChrome();
    MainWindow().restoreOwnedWindow = FALSE;
    ShowWindow(window_, SW_SHOW);
    SetWindowPos(window_, nullptr, 0, 26, 240, 294, SWP_NOZORDER);
    settings_->taskbar = c.taskbarBefore;
    const int before = Top();
    ShowNotificationBubble(window_, c.mode);
    EXPECT_EQ(settings_->taskbar, c.taskbarAfter);
    EXPECT_EQ(IsWindowMinimised(), c.minimisedAfter);
    EXPECT_EQ(MainWindow().restoreOwnedWindow, c.restoreFlag);
    EXPECT_EQ(IsWindowVisible(window_) != FALSE, c.visibleAfter);
    EXPECT_EQ(Top(), c.topAfter < 0 ? before : c.topAfter);
  }
}

TEST_F(WindowChromeTest, MenuBarStepRestoresAMinimisedWindowWithoutShowingIt) {
  ShowNotificationBubble(window_, 0x90);
  ASSERT_TRUE(IsWindowMinimised());
  ShowNotificationBubble(window_, 1);
  EXPECT_FALSE(IsWindowMinimised()) << "mode 0xA0 cleared the flag";
}

TEST_F(WindowChromeTest, ThePlayersBubbleAndItsOptions) {
  struct Case {
    DWORD showIcon;
    bool shown;
  };
  for (const Case c : {Case{1, true}, Case{0, false}}) {
    ShowNotificationBubble(window_, 0x40);
    settings_->showNotificationIcon = c.showIcon;
    ShowNotificationBubble(window_, 0);
    EXPECT_EQ(NotificationValue(kPlayerBubbleClsid, u"Duration"), 0u);
    EXPECT_EQ(NotificationValue(kPlayerBubbleClsid, u"Options"), 8u);
    EXPECT_EQ(BubbleShown(kPlayerBubbleClsid), c.shown) << "showNotificationIcon " << c.showIcon;
  }
  ShowNotificationBubble(window_, 0x40);
  EXPECT_FALSE(BubbleShown(kPlayerBubbleClsid));
}

TEST(LockBubbleHtmlTest, NamesTheUnlockButtonsAndAddsButtonsOnOlderSystems) {
  const std::u16string head =
      u"<html><body><form method=\"POST\" action=><table width=100%><tr><td width=100% align=\"center\">All hardware "
      u"buttons are <b>locked</b>.  <BR><BR>To unlock, press and hold ";
  const std::u16string buttons =
      u"<p align=\"right\"><input type=button name='zb-23' value='Unlock'>   <input type=button name='zb-24' "
      u"value='Dismiss'></p></body></html>";
  struct Case {
    std::u16string other;
    DWORD major;
    std::u16string expected;
  };
  const Case cases[] = {
      {u"", 5, head + u"Action.</td></tr></table><hr size=1>"},
      {u"Button 2", 5, head + u"Action or press Button 2.</td></tr></table><hr size=1>"},
      {u"", 4, head + u"Action.</td></tr></table><hr size=1>" + buttons},
  };
  for (const Case& c : cases) EXPECT_EQ(LockBubbleHtml(u"Action", c.other, c.major), c.expected);
}

void IgnoreButton(int, DWORD, void*) {}

TEST_F(WindowChromeTest, LockingNeedsAnUnlockButtonAndTellsTheWindow) {
  settings_->ApplyButtonCommands(FALSE);
  MSG msg;
  SetButtonLock(1);
  EXPECT_EQ(GetButtonLock(), 0) << "no button unlocks: refused";
  EXPECT_FALSE(PeekMessageW(&msg, window_, WM_ZB_HOLD_CHANGED, WM_ZB_HOLD_CHANGED, PM_REMOVE));

  BindButton(5, 17, nullptr, IgnoreButton, FALSE);
  settings_->showLockNotificationIcon = 1;
  SetButtonLock(1);
  EXPECT_EQ(GetButtonLock(), 1);
  ASSERT_TRUE(PeekMessageW(&msg, window_, WM_ZB_HOLD_CHANGED, WM_ZB_HOLD_CHANGED, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 1u);
  EXPECT_TRUE(BubbleShown(kLockBubbleClsid));
  EXPECT_EQ(NotificationValue(kLockBubbleClsid, u"Options"), 8u);

  SetButtonLock(0);
  EXPECT_EQ(GetButtonLock(), 0);
  ASSERT_TRUE(PeekMessageW(&msg, window_, WM_ZB_HOLD_CHANGED, WM_ZB_HOLD_CHANGED, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 0u);
  EXPECT_FALSE(BubbleShown(kLockBubbleClsid));
  EndButtons();
}

}  // namespace
}  // namespace zb::testing
