// The shell's calls for device dialogs: the ordinals programs bind, SHInitDialog's sizes and its
// OK button (on the navigation bar, where a tap sends IDOK), the navigation bar making way for a
// full-screen window, the input panel and the windows that follow it, and the Back key reaching
// an edit as a backspace.
#include "shell_support.h"

#include <windows.h>

#include "aygshell/shell_state.h"
#include "gwes/tests/dialog_support.h"

namespace {

using namespace stest;

using DialogShellTest = ShellTest;

struct OrdinalCase {
  WORD ordinal;
  const char16_t* name;
};

const OrdinalCase kOrdinals[] = {
    {4, u"SHSipInfo"},          {9, u"SHInitExtraControls"},    {10, u"SHCloseApps"},
    {21, u"SHDoneButton"},      {34, u"SHCreateMenuBar"},       {40, u"SHRecognizeGesture"},
    {56, u"SHInitDialog"},      {65, u"SHFullScreen"},          {69, u"SHSipPreference"},
    {83, u"SHHandleWMSettingChange"}, {84, u"SHHandleWMActivate"}, {97, u"SHSendBackToFocusWindow"},
    {155, u"SHNotificationAdd"}, {156, u"SHNotificationUpdate"}, {157, u"SHNotificationRemove"},
    {173, u"SHNotificationGetData"}, {2006, u"SHIdleTimerReset"},
};

TEST_F(DialogShellTest, OrdinalsFindTheCallsOfTheirNames) {
  HMODULE shell = LoadLibraryW(u"aygshell.dll");
  ASSERT_NE(shell, nullptr) << GetLastError();
  for (const OrdinalCase& c : kOrdinals) {
    SCOPED_TRACE(c.ordinal);
    FARPROC byNumber = GetProcAddressW(shell, MAKEINTRESOURCEW(c.ordinal));
    FARPROC byName = GetProcAddressW(shell, c.name);
    ASSERT_NE(byNumber, nullptr);
    EXPECT_EQ(byNumber, byName);
  }
  for (const char16_t* name : {u"RegistryNotifyWindow", u"RegistryCloseNotification", u"RegistryGetDWORD",
                               u"SHChangeNotifyRegister", u"SHChangeNotifyFree", u"SHGetUIMetrics", u"SHSetNavBarText",
                               u"SHGetShortcutTarget", u"SHGetSpecialFolderPath", u"Shell_NotifyIcon"}) {
    EXPECT_NE(GetProcAddressW(shell, name), nullptr) << zb::ToUtf8(name);
  }
  FreeLibrary(shell);
}

struct SizeCase {
  const char* what;
  DWORD flags;
  bool sipUp;
  RECT expected;  // from the work area (top 26) of the 240 x 320 screen
};

const SizeCase kSizes[] = {
    {"full screen leaves the menu bar its room", SHIDIF_SIZEDLGFULLSCREEN, false, {0, 26, 240, 294}},
    {"full screen takes no notice of the input panel", SHIDIF_SIZEDLGFULLSCREEN, true, {0, 26, 240, 294}},
    {"sized to the free area", SHIDIF_SIZEDLG, false, {0, 26, 240, 294}},
    {"sized above the input panel", SHIDIF_SIZEDLG, true, {0, 26, 240, 214}},
    {"no menu bar: the whole work area", SHIDIF_FULLSCREENNOMENUBAR, false, {0, 26, 240, 320}},
    {"no size flag: where the template put it", SHIDIF_DONEBUTTON, false, {10, 40, 110, 90}},
};

TEST_F(DialogShellTest, InitDialogSizesTopLevelDialogsAndLeavesPagesAlone) {
  for (const SizeCase& c : kSizes) {
    SCOPED_TRACE(c.what);
    SHSipPreference(nullptr, c.sipUp ? SIP_UP : SIP_DOWN);
    HWND dialog = CreateWindowExW(0, wtest::kTraced, u"Dialog", WS_POPUP, 10, 40, 100, 50, nullptr, nullptr, nullptr, nullptr);
    SHINITDLGINFO info{SHIDIM_FLAGS, dialog, c.flags};
    ASSERT_TRUE(SHInitDialog(&info));
    RECT r;
    GetWindowRect(dialog, &r);
    EXPECT_EQ(r.left, c.expected.left);
    EXPECT_EQ(r.top, c.expected.top);
    EXPECT_EQ(r.right, c.expected.right);
    EXPECT_EQ(r.bottom, c.expected.bottom);
    DestroyWindow(dialog);
  }
  SHSipPreference(nullptr, SIP_DOWN);
  HWND page = CreateWindowExW(0, wtest::kTraced, u"", WS_CHILD, 5, 6, 50, 60, sink_, nullptr, nullptr, nullptr);
  SHINITDLGINFO info{SHIDIM_FLAGS, page, SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_DONEBUTTON};
  ASSERT_TRUE(SHInitDialog(&info));
  RECT r;
  GetWindowRect(page, &r);
  EXPECT_EQ(r.right - r.left, 50) << "a page keeps its size";
  EXPECT_TRUE(GetWindowLongW(sink_, GWL_EXSTYLE) & WS_EX_CAPTIONOKBTN) << "the OK button is the top window's";
  SHINITDLGINFO bad{0, page, 0};
  EXPECT_FALSE(SHInitDialog(&bad));
  EXPECT_FALSE(SHInitDialog(nullptr));
}

HWND NavigationBar() { return FindWindowW(u"HHTaskBar", nullptr); }

TEST_F(DialogShellTest, NavigationBarShowsTheFrontWindowAndItsOkButton) {
  SetWindowTextW(sink_, u"Settings");
  SHDoneButton(sink_, SHDB_SHOW);
  wtest::Pump();
  HWND bar = NavigationBar();
  ASSERT_NE(bar, nullptr);
  RECT r;
  GetWindowRect(bar, &r);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.bottom, 26) << "the bar is the part of the screen above the work area";
  const RECT ok = zb::wm::TitleOkBox(RECT{0, 0, r.right, r.bottom});
  TapScreen(Middle(ok));
  ASSERT_TRUE(PumpUntil([] { return !Only(WM_COMMAND).empty(); }));
  EXPECT_EQ(LOWORD(Only(WM_COMMAND)[0].wParam), IDOK);
  EXPECT_EQ(GetForegroundWindow(), sink_) << "tapping the bar does not take the front";
  // A window that asks for the whole screen has it while it is in front.
  SHFullScreen(sink_, SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON);
  wtest::Pump();
  EXPECT_FALSE(IsWindowVisible(bar));
  SHFullScreen(sink_, SHFS_SHOWTASKBAR);
  wtest::Pump();
  EXPECT_TRUE(IsWindowVisible(bar));
  EXPECT_TRUE(SHSetNavBarText(sink_, u"Now Playing"));
  EXPECT_EQ(dtest::TextOf(sink_), u"Now Playing");
}

TEST_F(DialogShellTest, InputPanelStateMovesTheWindowsThatFollowIt) {
  SIPINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(SHSipInfo(SPI_GETSIPINFO, 0, &info, 0));
  EXPECT_FALSE(info.fdwFlags & SIPF_ON);
  EXPECT_EQ(info.rcVisibleDesktop.bottom, 294) << "above the menu bar";
  EXPECT_EQ(info.rcSipRect.bottom, 294);
  EXPECT_EQ(info.rcSipRect.top, 214);
  info.fdwFlags |= SIPF_ON;
  ASSERT_TRUE(SHSipInfo(SPI_SETSIPINFO, 0, &info, 0));
  ASSERT_TRUE(PumpUntil([] { return !Only(WM_SETTINGCHANGE).empty(); }));
  EXPECT_EQ(Only(WM_SETTINGCHANGE)[0].wParam, static_cast<WPARAM>(SPI_SETSIPINFO));
  SIPINFO now{};
  now.cbSize = sizeof now;
  SHSipInfo(SPI_GETSIPINFO, 0, &now, 0);
  EXPECT_TRUE(now.fdwFlags & SIPF_ON);
  EXPECT_EQ(now.rcVisibleDesktop.bottom, 214);
  // The window in front follows the panel.
  SHACTIVATEINFO activate{};
  activate.cbSize = sizeof activate;
  activate.fActive = 1;
  ASSERT_TRUE(SHHandleWMSettingChange(sink_, SPI_SETSIPINFO, 0, &activate));
  RECT r;
  GetWindowRect(sink_, &r);
  EXPECT_EQ(r.bottom, 214);
  // Leaving the window remembers the panel; coming back restores it.
  ASSERT_TRUE(SHHandleWMActivate(sink_, WA_INACTIVE, 0, &activate, 0));
  EXPECT_TRUE(activate.fSipUp);
  SHSipPreference(sink_, SIP_DOWN);
  ASSERT_TRUE(SHHandleWMActivate(sink_, WA_ACTIVE, 0, &activate, 0));
  SHSipInfo(SPI_GETSIPINFO, 0, &now, 0);
  EXPECT_TRUE(now.fdwFlags & SIPF_ON);
  SHSipPreference(sink_, SIP_DOWN);
  SIPINFO small{};
  small.cbSize = 8;
  EXPECT_FALSE(SHSipInfo(SPI_GETSIPINFO, 0, &small, 0));
}

TEST_F(DialogShellTest, BackKeyReachesTheFocusedEditAsABackspace) {
  HWND edit = CreateWindowExW(0, u"EDIT", u"abc", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, sink_, nullptr, nullptr, nullptr);
  SetFocus(edit);
  SendMessageW(edit, EM_SETSEL, 3, 3);
  EXPECT_TRUE(SHSendBackToFocusWindow(WM_HOTKEY, 0, MAKELPARAM(0, VK_TBACK)));
  EXPECT_TRUE(SHSendBackToFocusWindow(WM_HOTKEY, 0, MAKELPARAM(MOD_KEYUP, VK_TBACK)));
  wtest::Pump();
  EXPECT_EQ(dtest::TextOf(edit), u"ab");
  EXPECT_FALSE(SHSendBackToFocusWindow(WM_KEYDOWN, VK_BACK, 0));
}

TEST_F(DialogShellTest, IdleTimerResetSignalsTheActivityEvent) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"System\\GWE", 0, nullptr, 0, 0, nullptr, &key, nullptr), ERROR_SUCCESS);
  const std::u16string name = u"TestActivity";
  RegSetValueExW(key, u"ActivityEvent", 0, REG_SZ, reinterpret_cast<const BYTE*>(name.c_str()),
                 static_cast<DWORD>((name.size() + 1) * 2));
  RegCloseKey(key);
  HANDLE event = CreateEventW(nullptr, TRUE, FALSE, name.c_str());
  EXPECT_EQ(WaitForSingleObject(event, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  SHIdleTimerReset();
  EXPECT_EQ(WaitForSingleObject(event, 0), static_cast<DWORD>(WAIT_OBJECT_0));
  CloseHandle(event);
  EXPECT_EQ(SHCloseApps(1 << 20), S_OK);
}

}  // namespace
