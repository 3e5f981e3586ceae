// Menus: the template's bytes, and LoadMenuW building the menu from them with the window
// system's calls (here the recording stand-ins): a bar, a popup with a separator, item flags.
#include "menu_standin.h"
#include "resource_support.h"

namespace zb::res::testing {
namespace {

using ResourceMenuTest = ResourceTest;
using zb::testing::MenuCall;
using zb::testing::MenuCalls;

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
  MenuCalls().clear();
  HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDM_MAIN));
  ASSERT_NE(menu, nullptr);
  const std::vector<MenuCall>& calls = MenuCalls();
  ASSERT_EQ(calls.size(), 7u);
  const uintptr_t bar = calls[0].menu, popup = calls[1].menu;
  EXPECT_EQ(calls[0].call, "CreateMenu");
  EXPECT_EQ(reinterpret_cast<uintptr_t>(menu), bar);
  EXPECT_EQ(calls[1].call, "CreatePopupMenu");
  auto append = [&](size_t i, uintptr_t to, UINT flags, UINT_PTR item, const std::u16string& text) {
    EXPECT_EQ(calls[i].call, "AppendMenuW") << i;
    EXPECT_EQ(calls[i].menu, to) << i;
    EXPECT_EQ(calls[i].flags, flags) << i;
    EXPECT_EQ(calls[i].item, item) << i;
    EXPECT_EQ(calls[i].text, text) << i;
  };
  append(2, popup, 0x0, 40001, u"&Open...");           // MF_STRING
  append(3, popup, 0x800, 0, u"(null)");                // MF_SEPARATOR
  append(4, popup, 0x1, 40002, u"E&xit");               // MF_GRAYED
  append(5, bar, 0x10, popup, u"&File");                // MF_POPUP
  append(6, bar, 0x8, 40003, u"&Help");                 // MF_CHECKED
}

TEST_F(ResourceMenuTest, MissingMenusAreRefused) {
  MenuCalls().clear();
  EXPECT_EQ(LoadMenuW(nullptr, MAKEINTRESOURCEW(999)), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
  EXPECT_TRUE(MenuCalls().empty()) << "nothing made for a menu that is not there";
}

}  // namespace
}  // namespace zb::res::testing
