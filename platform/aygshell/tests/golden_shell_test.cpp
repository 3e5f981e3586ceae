// The shell's look, drawn headless and compared with the golden renderings kept in tests/golden:
// a settings sheet as the player shows it (the navigation bar with its title and "ok", a page of
// controls, the tabs, the soft-key bar), and the player's notification bubble with its links.
#include "shell_support.h"

#include <functional>

#include "aygshell/shell_state.h"
#include "gwes/tests/dialog_support.h"
#include "gwes/tests/golden_support.h"
#include "resources/ids.h"

namespace {

using namespace stest;

constexpr UINT kStep = WM_APP + 0x301;

std::vector<std::function<void(HWND)>>& Steps() {
  static std::vector<std::function<void(HWND)>> steps;
  return steps;
}
WNDPROC gSheetProc = nullptr;

LRESULT CALLBACK StepProc(HWND sheet, UINT m, WPARAM w, LPARAM l) {
  if (m != kStep) return CallWindowProcW(gSheetProc, sheet, m, w, l);
  if (w < Steps().size()) {
    Steps()[w](sheet);
    PostMessageW(sheet, kStep, w + 1, 0);
  }
  return 0;
}

int CALLBACK SheetCallback(HWND sheet, UINT m, LPARAM l) {
  switch (m) {
    case PSCB_INITIALIZED: {
      SHMENUBARINFO bar{};
      bar.cbSize = sizeof bar;
      bar.hwndParent = sheet;
      bar.nToolBarId = IDR_OKMENU_BAR;
      bar.hInstRes = GetModuleHandleW(nullptr);
      SHCreateMenuBar(&bar);
      gSheetProc = reinterpret_cast<WNDPROC>(SetWindowLongW(sheet, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(StepProc)));
      PostMessageW(sheet, kStep, 0, 0);
      return 0;
    }
    case PSCB_GETVERSION: return 0x20C;
    case PSCB_GETTITLE: {
      const std::u16string title = u"Zonbrel Settings";
      std::copy(title.begin(), title.end(), reinterpret_cast<char16_t*>(l));
      return 0;
    }
    default: return 0;
  }
}

INT_PTR CALLBACK GeneralPage(HWND page, UINT m, WPARAM, LPARAM) {
  if (m == WM_INITDIALOG) {
    CheckDlgButton(page, 1001, BST_CHECKED);
    HWND combo = GetDlgItem(page, 1004);
    for (const char16_t* s : {u"Off", u"2 seconds", u"5 seconds"}) SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    SendMessageW(combo, CB_SETCURSEL, 1, 0);
    HWND size = GetDlgItem(page, 1006);
    SendMessageW(size, TBM_SETRANGE, TRUE, MAKELPARAM(8, 16));
    SendMessageW(size, TBM_SETPOS, TRUE, 11);
    return TRUE;
  }
  return FALSE;
}

using GoldenShellTest = ShellTest;

TEST_F(GoldenShellTest, SettingsSheetWithNavigationAndSoftKeys) {
  SHInitExtraControls();  // the shell starts: the navigation bar is there
  INITCOMMONCONTROLSEX init{sizeof init, ICC_BAR_CLASSES | ICC_TAB_CLASSES};
  InitCommonControlsEx(&init);
  wtest::Pump();
  dtest::Template general = dtest::Template::Dialog(WS_POPUP | WS_CAPTION, 0, 0, 120, 140, u"General", 7);
  general.Item(BS_GROUPBOX, 2, 2, 116, 42, 1000, dtest::kButton, u"While playing");
  general.Item(BS_AUTOCHECKBOX | WS_TABSTOP, 8, 12, 104, 10, 1001, dtest::kButton, u"Keep the screen on");
  general.Item(BS_AUTOCHECKBOX | WS_TABSTOP, 8, 26, 104, 10, 1002, dtest::kButton, u"Pause during calls");
  general.Item(SS_LEFT, 4, 52, 50, 8, 1003, dtest::kStatic, u"Crossfade:");
  general.Item(CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 56, 50, 60, 50, 1004, dtest::kComboBox, u"");
  general.Item(SS_LEFT, 4, 70, 80, 8, 1005, dtest::kStatic, u"Playlist text size:");
  general.Item(TBS_AUTOTICKS | WS_TABSTOP, 2, 80, 116, 20, 1006, 0, u"", TRACKBAR_CLASSW);
  dtest::Template library = dtest::Template::Dialog(WS_POPUP, 0, 0, 120, 140, u"Library", 0);
  PROPSHEETPAGEW pages[2]{};
  for (PROPSHEETPAGEW& p : pages) {
    p.dwSize = sizeof p;
    p.dwFlags = PSP_DLGINDIRECT;
    p.pfnDlgProc = GeneralPage;
  }
  pages[0].pResource = general.get();
  pages[1].pResource = library.get();
  pages[1].pfnDlgProc = [](HWND, UINT m, WPARAM, LPARAM) -> INT_PTR { return m == WM_INITDIALOG; };
  HPROPSHEETPAGE handles[2] = {CreatePropertySheetPageW(&pages[0]), CreatePropertySheetPageW(&pages[1])};
  Steps() = {
      [](HWND) {
        zb::shell::RefreshNavigationBar();
        wtest::Pump();  // the steps come before any painting otherwise
      },
      [](HWND) {
        EXPECT_TRUE(golden::ScreenMatches(std::filesystem::path(GOLDEN_DIR) / "settings_sheet.png",
                                          std::filesystem::path(GOLDEN_SEEN_DIR) / "settings_sheet.png"));
      },
      [](HWND sheet) { PropSheet_PressButton(sheet, PSBTN_OK); },
  };
  PROPSHEETHEADERW header{};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_USECALLBACK | PSH_NOAPPLYNOW | PSH_MAXIMIZE;
  header.hwndParent = sink_;
  header.pszCaption = u"Options";
  header.nPages = 2;
  header.phpage = handles;
  header.pfnCallback = SheetCallback;
  EXPECT_EQ(PropertySheetW(&header), 1);
}

constexpr CLSID kBubbleClass = {0x4A12308B, 0x1064, 0x4A40, {0xAF, 0xA2, 0xCD, 0x03, 0x51, 0xD5, 0xDE, 0x04}};

TEST_F(GoldenShellTest, NotificationBubbleOverThePlayer) {
  SHInitExtraControls();
  SetWindowTextW(sink_, u"Zonbrel");
  HDC dc = GetDC(sink_);
  RECT client;
  GetClientRect(sink_, &client);
  HBRUSH skin = CreateSolidBrush(RGB(30, 30, 40));
  FillRect(dc, &client, skin);
  DeleteObject(skin);
  ReleaseDC(sink_, dc);
  SHNOTIFICATIONDATA d{};
  d.cbStruct = sizeof d;
  d.dwID = 1023;
  d.npPriority = SHNP_INFORM;
  d.csDuration = 0x40000000;
  d.clsid = kBubbleClass;
  d.hwndSink = sink_;
  d.pszTitle = u"Zonbrel";
  d.pszHTML =
      u"<table width=\"100%\"><tr><td width=40% align=right><nobr><a href=\"zb-10\">Now Playing</a>:</nobr></td>"
      u"<td width=100%><b>Night Drive</b></td></tr></table><hr size=1>"
      u"<html><body><form method=\"POST\" action=><table width=100%><tr><td width=20% align=\"center\">|&lt;&lt;<BR>"
      u"<a href=\"zb-14\">Back</a></td><td width=20% align=\"center\">&gt;<BR><a href=\"zb-11\">Play</a></td>"
      u"<td width=20% align=\"center\">||<BR><a href=\"zb-12\">Pause</a></td><td width=20% align=\"center\">[]<BR>"
      u"<a href=\"zb-13\">Stop</a></td><td width=20% align=\"center\">&gt;&gt;|<BR><a href=\"zb-15\">Next</a></td>"
      u"</tr></table>";
  d.rgskn[0].pszTitle = u"Hide";
  d.rgskn[0].skc.grfFlags = NOTIF_SOFTKEY_FLAGS_HIDE;
  d.rgskn[1].pszTitle = u"Exit Player";
  d.rgskn[1].skc.wpCmd = 10;
  ASSERT_EQ(SHNotificationAdd(&d), S_OK);
  zb::shell::RefreshNavigationBar();
  wtest::Pump();
  EXPECT_TRUE(golden::ScreenMatches(std::filesystem::path(GOLDEN_DIR) / "notification_bubble.png",
                                    std::filesystem::path(GOLDEN_SEEN_DIR) / "notification_bubble.png"));
  SHNotificationRemove(&kBubbleClass, 1023);
}

}  // namespace
