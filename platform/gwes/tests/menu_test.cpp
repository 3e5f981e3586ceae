// Menus: building and changing them with the platform's answers (previous states, -1 for a
// missing item, searches by command that reach into submenus), menu resources, and popups:
// scripted answers that respect greying, WM_INITMENUPOPUP before the popup is read, and the
// real popup taking taps and keys.
#include "control_support.h"
#include "gwes/menu_popup.h"
#include "resources/ids.h"

namespace {

using namespace ctest;

std::u16string TextOf(HMENU menu, UINT item, UINT flags) {
  char16_t text[64] = {};
  GetMenuStringW(menu, item, text, 64, flags);
  return text;
}

class MenuTest : public ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    zb::wm::ClearPopupMenuScript();
    zb::wm::ClearShownPopupMenus();
  }
  void TearDown() override {
    zb::wm::ClearPopupMenuScript();
    zb::wm::ClearShownPopupMenus();
    ControlTest::TearDown();
  }
};

TEST_F(MenuTest, ItemsAreFoundByPositionOrByCommandThroughSubmenus) {
  HMENU popup = CreatePopupMenu();
  HMENU sub = CreatePopupMenu();
  ASSERT_TRUE(AppendMenuW(sub, MF_STRING, 11, u"Shuffle"));
  ASSERT_TRUE(AppendMenuW(popup, MF_STRING, 1, u"Open"));
  ASSERT_TRUE(AppendMenuW(popup, MF_SEPARATOR, 0, nullptr));
  ASSERT_TRUE(AppendMenuW(popup, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), u"Play"));
  ASSERT_TRUE(InsertMenuW(popup, 0, MF_BYPOSITION | MF_STRING | MF_GRAYED, 2, u"New"));
  ASSERT_TRUE(InsertMenuW(popup, 1, MF_BYCOMMAND | MF_STRING, 3, u"Before Open"));
  EXPECT_EQ(GetMenuItemCount(popup), 5);
  const UINT ids[] = {2, 3, 1, 0, 0xFFFFFFFF};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(GetMenuItemID(popup, i), ids[i]) << i;
  EXPECT_EQ(GetSubMenu(popup, 4), sub);
  EXPECT_EQ(GetSubMenu(popup, 0), nullptr);
  EXPECT_EQ(TextOf(popup, 1, MF_BYPOSITION), u"Before Open");
  EXPECT_EQ(TextOf(popup, 11, MF_BYCOMMAND), u"Shuffle") << "by command, inside the submenu";
  // Checks and greying answer the previous state, -1 for an item that is not there.
  EXPECT_EQ(CheckMenuItem(popup, 11, MF_BYCOMMAND | MF_CHECKED), static_cast<DWORD>(MF_UNCHECKED));
  EXPECT_EQ(CheckMenuItem(popup, 11, MF_BYCOMMAND | MF_UNCHECKED), static_cast<DWORD>(MF_CHECKED));
  EXPECT_EQ(CheckMenuItem(popup, 99, MF_BYCOMMAND | MF_CHECKED), 0xFFFFFFFF);
  EXPECT_EQ(EnableMenuItem(popup, 0, MF_BYPOSITION | MF_ENABLED), MF_GRAYED);
  EXPECT_EQ(EnableMenuItem(popup, 1, MF_BYCOMMAND | MF_GRAYED), MF_ENABLED);
  EXPECT_EQ(EnableMenuItem(popup, 98, MF_BYCOMMAND | MF_GRAYED), -1);
  EXPECT_EQ(GetMenuState(popup, 1, MF_BYCOMMAND) & MF_GRAYED, static_cast<UINT>(MF_GRAYED));
  EXPECT_EQ(GetMenuState(popup, 4, MF_BYPOSITION), static_cast<UINT>(MAKELONG(MF_POPUP, 1)));
  EXPECT_EQ(GetMenuState(popup, 3, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
  EXPECT_TRUE(ModifyMenuW(popup, 3, MF_BYCOMMAND | MF_STRING, 4, u"Renamed"));
  EXPECT_EQ(TextOf(popup, 4, MF_BYCOMMAND), u"Renamed");
  EXPECT_TRUE(RemoveMenu(popup, 4, MF_BYPOSITION));
  EXPECT_TRUE(IsMenu(sub)) << "removing leaves the submenu";
  EXPECT_TRUE(AppendMenuW(popup, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), u"Play"));
  EXPECT_TRUE(DestroyMenu(popup));
  EXPECT_FALSE(IsMenu(sub)) << "destroying takes the submenus";
  EXPECT_EQ(GetMenuItemCount(popup), -1);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_MENU_HANDLE));
}

TEST_F(MenuTest, ItemInfoReadsAndWritesEachField) {
  HMENU popup = CreatePopupMenu();
  MENUITEMINFOW in{sizeof in, MIIM_ID | MIIM_STRING | MIIM_STATE | MIIM_DATA, 0, MFS_CHECKED, 7, nullptr,
                   nullptr, nullptr, 0x1234, const_cast<LPWSTR>(u"Equalizer"), 0};
  ASSERT_TRUE(InsertMenuItemW(popup, 0, TRUE, &in));
  char16_t text[4];
  MENUITEMINFOW out{sizeof out, MIIM_ID | MIIM_STRING | MIIM_STATE | MIIM_DATA, 0, 0, 0, nullptr, nullptr, nullptr, 0, text, 4};
  ASSERT_TRUE(GetMenuItemInfoW(popup, 7, FALSE, &out));
  EXPECT_EQ(out.wID, 7u);
  EXPECT_EQ(out.fState, static_cast<UINT>(MFS_CHECKED));
  EXPECT_EQ(out.dwItemData, 0x1234u);
  EXPECT_EQ(std::u16string(text), u"Equ") << "cut to the buffer";
  EXPECT_EQ(out.cch, 3u);
  out.dwTypeData = nullptr;
  ASSERT_TRUE(GetMenuItemInfoW(popup, 0, TRUE, &out));
  EXPECT_EQ(out.cch, 9u) << "without a buffer, the length";
  MENUITEMINFOW grey{sizeof grey, MIIM_STATE, 0, MFS_GRAYED, 0, nullptr, nullptr, nullptr, 0, nullptr, 0};
  ASSERT_TRUE(SetMenuItemInfoW(popup, 7, FALSE, &grey));
  EXPECT_EQ(GetMenuState(popup, 7, MF_BYCOMMAND) & MF_GRAYED, static_cast<UINT>(MF_GRAYED));
  EXPECT_FALSE(GetMenuItemInfoW(popup, 8, FALSE, &out));
  DestroyMenu(popup);
}

TEST_F(MenuTest, MenuResourceBuildsTheSameTree) {
  HMENU bar = LoadMenuW(nullptr, MAKEINTRESOURCEW(IDM_POPUP));
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(GetMenuItemCount(bar), 1);
  HMENU popup = GetSubMenu(bar, 0);
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(TextOf(bar, 0, MF_BYPOSITION), u"Menu");
  ASSERT_EQ(GetMenuItemCount(popup), 5);
  EXPECT_EQ(TextOf(popup, IDM_OPEN, MF_BYCOMMAND), u"&Open...");
  EXPECT_EQ(GetMenuState(popup, IDM_SAVE, MF_BYCOMMAND) & MF_GRAYED, static_cast<UINT>(MF_GRAYED));
  EXPECT_EQ(GetMenuState(popup, 2, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
  EXPECT_EQ(GetMenuState(popup, IDM_SHUFFLE, MF_BYCOMMAND) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
  EXPECT_EQ(GetMenuItemID(popup, 4), static_cast<UINT>(IDM_EXIT));
  DestroyMenu(bar);
}

TEST_F(MenuTest, ScriptedPopupAnswersAfterTheOwnerPreparesIt) {
  HMENU bar = LoadMenuW(nullptr, MAKEINTRESOURCEW(IDM_POPUP));
  HMENU popup = GetSubMenu(bar, 0);
  // The owner checks "Exit" when the popup is about to show, as the player does with its menus.
  WNDCLASSW wc{};
  wc.lpszClassName = u"MenuOwner";
  wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == WM_INITMENUPOPUP) CheckMenuItem(reinterpret_cast<HMENU>(w), IDM_EXIT, MF_BYCOMMAND | MF_CHECKED);
    if (m == WM_COMMAND) Notes().push_back({m, LOWORD(w), HIWORD(w), 0});
    return DefWindowProcW(h, m, w, l);
  };
  RegisterClassW(&wc);
  HWND owner = CreateWindowExW(0, u"MenuOwner", u"", WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr, nullptr, nullptr);
  struct Case {
    UINT scripted;
    UINT flags;
    BOOL answer;     // what TrackPopupMenuEx returns
    int commands;    // WM_COMMAND messages the owner gets
  };
  const Case cases[] = {
      {IDM_OPEN, TPM_RETURNCMD, IDM_OPEN, 0},
      {IDM_SAVE, TPM_RETURNCMD, 0, 0},      // greyed: cannot be chosen
      {IDM_SHUFFLE, TPM_RETURNCMD, IDM_SHUFFLE, 0},  // inside the submenu
      {0, TPM_RETURNCMD, 0, 0},             // dismissed
      {IDM_EXIT, 0, TRUE, 1},               // chosen without TPM_RETURNCMD: a WM_COMMAND
  };
  for (const Case& c : cases) {
    Notes().clear();
    zb::wm::ScriptPopupMenu(c.scripted);
    EXPECT_EQ(TrackPopupMenuEx(popup, c.flags | TPM_BOTTOMALIGN, 100, 200, owner, nullptr), c.answer) << c.scripted;
    wtest::Pump();
    EXPECT_EQ(static_cast<int>(Notes().size()), c.commands);
  }
  const auto shown = zb::wm::ShownPopupMenus();
  ASSERT_EQ(shown.size(), std::size(cases));
  EXPECT_EQ(shown[0].texts, (std::vector<std::u16string>{u"&Open...", u"Save", u"", u"Play", u"Exit"}));
  EXPECT_EQ(shown[0].states[4] & MF_CHECKED, static_cast<UINT>(MF_CHECKED)) << "read after WM_INITMENUPOPUP";
  EXPECT_EQ(shown[0].ids[3], 0xFFFFFFFF);
  EXPECT_EQ(shown[1].answer, 0u);
  EXPECT_EQ(shown[4].at.y, 200);
  DestroyWindow(owner);
  DestroyMenu(bar);
}

// The popup's own loop runs on this thread; what the test does while it shows is done by the
// owner, when the loop hands it a message posted before the popup opened.
struct Driver {
  static std::vector<std::function<void()>>& Steps() {
    static std::vector<std::function<void()>> steps;
    return steps;
  }
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_APP && w < Steps().size()) {
      Steps()[w]();
      if (w + 1 < Steps().size()) PostMessageW(h, WM_APP, w + 1, 0);
      return 0;
    }
    return DefWindowProcW(h, m, w, l);
  }
};

void TapItem(int index) {
  POINT p;
  ASSERT_TRUE(zb::wm::PopupMenuItemPoint(zb::wm::ShowingPopupMenu(), index, &p));
  zb::input::Deliver({zb::input::Kind::StylusDown, p.x, p.y});
  zb::input::Deliver({zb::input::Kind::StylusUp, p.x, p.y});
}

TEST_F(MenuTest, ShownPopupTakesTapsAndKeys) {
  HMENU bar = LoadMenuW(nullptr, MAKEINTRESOURCEW(IDM_POPUP));
  HMENU popup = GetSubMenu(bar, 0);
  WNDCLASSW wc{};
  wc.lpszClassName = u"MenuDriver";
  wc.lpfnWndProc = Driver::Proc;
  RegisterClassW(&wc);
  HWND owner = CreateWindowExW(0, u"MenuDriver", u"", WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr, nullptr, nullptr);
  wtest::Pump();
  auto run = [&](std::vector<std::function<void()>> steps) {
    Driver::Steps() = std::move(steps);
    PostMessageW(owner, WM_APP, 0, 0);
    return TrackPopupMenuEx(popup, TPM_RETURNCMD, 20, 40, owner, nullptr);
  };
  EXPECT_EQ(run({[] {
              EXPECT_NE(zb::wm::ShowingPopupMenu(), nullptr);
              TapItem(4);
            }}),
            IDM_EXIT);
  EXPECT_EQ(run({[] { TapItem(1); }, [] { TapItem(0); }}), IDM_OPEN) << "a tap on a greyed item chooses nothing";
  // The submenu opens beside its item; a tap inside it chooses.
  EXPECT_EQ(run({[] { TapItem(3); },
                 [] {
                   HWND sub = zb::wm::ShowingPopupMenu();
                   RECT r;
                   GetWindowRect(sub, &r);
                   EXPECT_GT(r.left, 20) << "beside the first popup";
                   TapItem(1);
                 }}),
            IDM_REPEAT);
  EXPECT_EQ(run({[] {
              zb::input::Deliver({zb::input::Kind::StylusDown, 230, 310});
              zb::input::Deliver({zb::input::Kind::StylusUp, 230, 310});
            }}),
            0)
      << "a tap elsewhere dismisses";
  EXPECT_EQ(run({[] {
              for (UINT vk : {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}) dtest::Key(vk);  // the separator is passed over
            }}),
            IDM_EXIT);
  EXPECT_EQ(run({[] { dtest::Key(VK_ESCAPE); }}), 0);
  EXPECT_EQ(zb::wm::ShowingPopupMenu(), nullptr);
  EXPECT_EQ(FindWindowW(u"ZbPopupMenu", nullptr), nullptr) << "no popup window is left";
  DestroyWindow(owner);
  DestroyMenu(bar);
}

}  // namespace
