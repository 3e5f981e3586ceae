// The soft-key menu bar and tap-and-hold: keys from a menu-bar resource and from a menu, taps
// that send commands or pop a key's menu up above the bar, the bar's messages, the Back key
// handed to the owner, and the hold that becomes the context-menu gesture.
#include "shell_support.h"

#include "gwes/menu_popup.h"
#include "gwes/tests/dialog_support.h"
#include "resources/ids.h"

namespace {

using namespace stest;

using MenuBarTest = ShellTest;

struct Key {
  int command;
  std::u16string text;
  bool dropDown;
};

std::vector<Key> Keys(HWND bar) {
  std::vector<Key> keys;
  const int count = static_cast<int>(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    TBBUTTON b{};
    SendMessageW(bar, TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&b));
    char16_t text[64] = {};
    TBBUTTONINFOW info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_TEXT;
    info.pszText = text;
    info.cchText = 64;
    SendMessageW(bar, TB_GETBUTTONINFOW, static_cast<WPARAM>(b.idCommand), reinterpret_cast<LPARAM>(&info));
    keys.push_back({b.idCommand, text, (b.fsStyle & TBSTYLE_DROPDOWN) != 0});
  }
  return keys;
}

HWND MakeBar(HWND owner, UINT id, DWORD flags = 0) {
  SHMENUBARINFO info{};
  info.cbSize = sizeof info;
  info.hwndParent = owner;
  info.dwFlags = flags;
  info.nToolBarId = id;
  info.hInstRes = GetModuleHandleW(nullptr);
  if (!SHCreateMenuBar(&info)) return nullptr;
  wtest::Pump();
  return info.hwndMB;
}

POINT KeyPoint(HWND bar, int command) {
  RECT r{};
  SendMessageW(bar, TB_GETRECT, static_cast<WPARAM>(command), reinterpret_cast<LPARAM>(&r));
  MapWindowPoints(bar, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return Middle(r);
}

TEST_F(MenuBarTest, KeysFromAMenuBarResourceSendCommandsAndOpenTheirMenu) {
  HWND bar = MakeBar(sink_, IDR_OKMENU_BAR);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(SHFindMenuBar(sink_), bar);
  const std::vector<Key> keys = Keys(bar);
  ASSERT_EQ(keys.size(), 2u);
  EXPECT_EQ(keys[0].command, IDOK);
  EXPECT_EQ(keys[0].text, u"OK");
  EXPECT_FALSE(keys[0].dropDown);
  EXPECT_EQ(keys[1].command, IDM_SORT);
  EXPECT_EQ(keys[1].text, u"Menu");
  EXPECT_TRUE(keys[1].dropDown);
  RECT r;
  GetWindowRect(bar, &r);
  EXPECT_EQ(r.bottom, 320);
  EXPECT_EQ(r.top, 294);
  GetWindowRect(sink_, &r);
  EXPECT_EQ(r.bottom, 294) << "the owner ends where the bar begins";
  HMENU sub = reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, IDM_SORT));
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(GetMenuItemID(sub, 1), static_cast<UINT>(IDM_DELETE));
  EXPECT_EQ(GetSubMenu(reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETMENU, 0, 0)), 0), sub);

  TapScreen(KeyPoint(bar, IDOK));
  ASSERT_EQ(Only(WM_COMMAND).size(), 1u);
  EXPECT_EQ(LOWORD(Only(WM_COMMAND)[0].wParam), IDOK);
  // The menu key pops its menu up above the bar; the choice reaches the owner.
  Log().clear();
  zb::wm::ClearShownPopupMenus();
  zb::wm::ScriptPopupMenu(IDM_DELETE);
  TapScreen(KeyPoint(bar, IDM_SORT));
  const auto shown = zb::wm::ShownPopupMenus();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].texts, (std::vector<std::u16string>{u"Sort", u"Delete"}));
  EXPECT_EQ(shown[0].at.y, 294) << "above the bar";
  EXPECT_TRUE(shown[0].flags & TPM_BOTTOMALIGN);
  EXPECT_TRUE(shown[0].flags & TPM_RIGHTALIGN) << "the right key's menu keeps to the right edge";
  ASSERT_EQ(Only(WM_COMMAND).size(), 1u);
  EXPECT_EQ(LOWORD(Only(WM_COMMAND)[0].wParam), IDM_DELETE);
  DestroyWindow(bar);
  EXPECT_EQ(SHFindMenuBar(sink_), nullptr);
}

TEST_F(MenuBarTest, KeysFromAPlainMenuAndTheKeysProgramsChange) {
  HWND bar = MakeBar(sink_, IDR_PLAIN_MENU);
  ASSERT_NE(bar, nullptr);
  const std::vector<Key> keys = Keys(bar);
  ASSERT_EQ(keys.size(), 2u);
  EXPECT_EQ(keys[0].command, IDM_DONE);
  EXPECT_EQ(keys[0].text, u"Done");
  EXPECT_EQ(keys[1].text, u"Tools") << "without its ampersand";
  EXPECT_TRUE(keys[1].dropDown);
  // A program renames a key and gives it another command, as the kits do.
  TBBUTTONINFOW info{};
  info.cbSize = sizeof info;
  info.dwMask = TBIF_TEXT | TBIF_COMMAND;
  info.idCommand = IDCANCEL;
  info.pszText = const_cast<LPWSTR>(u"Cancel");
  EXPECT_TRUE(SendMessageW(bar, TB_SETBUTTONINFOW, IDM_DONE, reinterpret_cast<LPARAM>(&info)));
  TapScreen(KeyPoint(bar, IDCANCEL));
  ASSERT_EQ(Only(WM_COMMAND).size(), 1u);
  EXPECT_EQ(LOWORD(Only(WM_COMMAND)[0].wParam), IDCANCEL);
  // A greyed key takes no tap.
  SendMessageW(bar, TB_ENABLEBUTTON, IDCANCEL, FALSE);
  Log().clear();
  TapScreen(KeyPoint(bar, IDCANCEL));
  EXPECT_TRUE(Only(WM_COMMAND).empty());
  DestroyWindow(bar);
  EXPECT_EQ(MakeBar(sink_, 999), nullptr) << "no resource by that id";
}

TEST_F(MenuBarTest, EmptyBarAndHiddenBar) {
  HWND empty = MakeBar(sink_, 0, SHCMBF_EMPTYBAR);
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(SendMessageW(empty, TB_BUTTONCOUNT, 0, 0), 0);
  EXPECT_TRUE(IsWindowVisible(empty));
  DestroyWindow(empty);
  HWND hidden = MakeBar(sink_, IDR_OKMENU_BAR, SHCMBF_HIDDEN);
  ASSERT_NE(hidden, nullptr);
  EXPECT_FALSE(IsWindowVisible(hidden));
  DestroyWindow(hidden);
  SHMENUBARINFO bad{};
  bad.cbSize = 4;
  EXPECT_FALSE(SHCreateMenuBar(&bad));
}

TEST_F(MenuBarTest, OverriddenBackKeyReachesTheOwnerAsAHotKey) {
  HWND bar = MakeBar(sink_, IDR_OKMENU_BAR);
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(SendMessageW(bar, SHCMBM_OVERRIDEKEY, VK_TBACK,
                           MAKELPARAM(SHMBOF_NODEFAULT | SHMBOF_NOTIFY, SHMBOF_NODEFAULT | SHMBOF_NOTIFY)));
  dtest::Key(VK_ESCAPE);
  ASSERT_TRUE(PumpUntil([] { return Only(WM_HOTKEY).size() >= 2; }));
  const auto keys = Only(WM_HOTKEY);
  EXPECT_EQ(HIWORD(keys[0].lParam), VK_TBACK);
  EXPECT_FALSE(LOWORD(keys[0].lParam) & MOD_KEYUP);
  EXPECT_TRUE(LOWORD(keys[1].lParam) & MOD_KEYUP) << "the release as well";
  DestroyWindow(bar);
  // With the bar gone the key is an ordinary key again.
  Log().clear();
  dtest::Key(VK_ESCAPE);
  wtest::Pump();
  EXPECT_TRUE(Only(WM_HOTKEY).empty());
}

// A list that asks the shell about a hold at every press, as the name lists do.
WNDPROC gListProc = nullptr;
DWORD gGesture = 0xFFFF;

LRESULT CALLBACK HoldingList(HWND hwnd, UINT m, WPARAM w, LPARAM l) {
  const LRESULT r = CallWindowProcW(gListProc, hwnd, m, w, l);
  if (m == WM_LBUTTONDOWN) {
    SHRGINFO info{sizeof info, hwnd, {static_cast<SHORT>(LOWORD(l)), static_cast<SHORT>(HIWORD(l))}, SHRG_NOTIFYPARENT};
    gGesture = SHRecognizeGesture(&info);
  }
  return r;
}

TEST_F(MenuBarTest, HoldBecomesTheContextMenuGestureAndAReleaseDoesNot) {
  HWND list = CreateWindowExW(0, u"LISTBOX", u"", WS_CHILD | WS_VISIBLE | LBS_NOTIFY, 10, 40, 200, 100, sink_,
                              reinterpret_cast<HMENU>(1023), nullptr, nullptr);
  SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u"Rock"));
  gListProc = reinterpret_cast<WNDPROC>(SetWindowLongW(list, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(HoldingList)));
  RECT r;
  GetWindowRect(list, &r);
  const POINT at{r.left + 20, r.top + 5};
  // Pressed and released before the shell looks: no gesture, and the list still gets its release.
  gGesture = 0xFFFF;
  Stylus(zb::input::Kind::StylusDown, at);
  Stylus(zb::input::Kind::StylusUp, at);
  wtest::Pump();
  EXPECT_EQ(gGesture, 0u);
  EXPECT_EQ(GetCapture(), nullptr) << "the release reached the list";
  EXPECT_TRUE(Only(WM_NOTIFY).empty());
  // Held: the gesture, told to the parent with the screen point.
  gGesture = 0xFFFF;
  Stylus(zb::input::Kind::StylusDown, at);
  ASSERT_TRUE(PumpUntil([] { return gGesture != 0xFFFF; }));
  EXPECT_EQ(gGesture, static_cast<DWORD>(GN_CONTEXTMENU));
  ASSERT_EQ(Only(WM_NOTIFY).size(), 1u);
  EXPECT_EQ(Only(WM_NOTIFY)[0].code, static_cast<UINT>(GN_CONTEXTMENU));
  EXPECT_EQ(Only(WM_NOTIFY)[0].from, list);
  EXPECT_EQ(Only(WM_NOTIFY)[0].at.x, at.x);
  EXPECT_EQ(Only(WM_NOTIFY)[0].at.y, at.y);
  Stylus(zb::input::Kind::StylusUp, at);
  wtest::Pump();
  SHRGINFO bad{4, list, {0, 0}, 0};
  EXPECT_EQ(SHRecognizeGesture(&bad), 0u);
}

}  // namespace
