// Menus: the template's bytes, and LoadMenuW building the menu from them with the window
// system's calls: a bar, a popup with a separator, item flags.
#include "resource_support.h"

namespace zb::res::testing {
namespace {

using ResourceMenuTest = ResourceTest;

TEST_F(ResourceMenuTest, TemplateBytes) {
  Built t;
  t.W(0).W(0);
  t.W(0x10).S(u"&File");
  t.W(0).W(40001).S(u"&Open...");
  t.W(0).W(0).W(0);
  t.W(0x01 | 0x80).W(40002).S(u"E&xit");
  t.W(0x08 | 0x80).W(40003).S(u"&Help");
  EXPECT_EQ(Bytes(nullptr, MAKEINTRESOURCEW(IDM_MAIN), RT_MENU), t.bytes);
}

TEST_F(ResourceMenuTest, LoadMenuBuildsTheBarAndItsPopup) {
  HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDM_MAIN));
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(GetMenuItemCount(menu), 2);
  HMENU popup = GetSubMenu(menu, 0);
  ASSERT_NE(popup, nullptr);
  auto text = [](HMENU m, int position) {
    char16_t buffer[32] = {};
    GetMenuStringW(m, position, buffer, 32, MF_BYPOSITION);
    return std::u16string(buffer);
  };
  EXPECT_EQ(text(menu, 0), u"&File");
  EXPECT_EQ(text(menu, 1), u"&Help");
  EXPECT_EQ(GetMenuItemID(menu, 1), 40003u);
  EXPECT_EQ(GetMenuState(menu, 1, MF_BYPOSITION) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
  ASSERT_EQ(GetMenuItemCount(popup), 3);
  EXPECT_EQ(text(popup, 0), u"&Open...");
  EXPECT_EQ(GetMenuItemID(popup, 0), 40001u);
  EXPECT_EQ(GetMenuState(popup, 1, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
  EXPECT_EQ(text(popup, 2), u"E&xit");
  EXPECT_EQ(GetMenuState(popup, 2, MF_BYPOSITION) & MF_GRAYED, static_cast<UINT>(MF_GRAYED));
  DestroyMenu(menu);
}

TEST_F(ResourceMenuTest, MissingMenusAreRefused) {
  EXPECT_EQ(LoadMenuW(nullptr, MAKEINTRESOURCEW(999)), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
}

}  // namespace
}  // namespace zb::res::testing
