// Recording stand-ins for the window system's menu calls; handles are small counted numbers.
#include "menu_standin.h"

namespace zb::testing {

std::vector<MenuCall>& MenuCalls() {
  static std::vector<MenuCall> calls;
  return calls;
}

}  // namespace zb::testing

namespace {
uintptr_t nextMenu = 0x100;
}

using zb::testing::MenuCalls;

extern "C" __attribute__((visibility("default"))) HMENU CreateMenu() {
  MenuCalls().push_back({"CreateMenu", ++nextMenu, 0, 0, {}});
  return reinterpret_cast<HMENU>(nextMenu);
}

extern "C" __attribute__((visibility("default"))) HMENU CreatePopupMenu() {
  MenuCalls().push_back({"CreatePopupMenu", ++nextMenu, 0, 0, {}});
  return reinterpret_cast<HMENU>(nextMenu);
}

extern "C" __attribute__((visibility("default"))) BOOL AppendMenuW(HMENU menu, UINT flags, UINT_PTR item, LPCWSTR text) {
  MenuCalls().push_back({"AppendMenuW", reinterpret_cast<uintptr_t>(menu), flags, item, text ? text : u"(null)"});
  return TRUE;
}

extern "C" __attribute__((visibility("default"))) BOOL DestroyMenu(HMENU menu) {
  MenuCalls().push_back({"DestroyMenu", reinterpret_cast<uintptr_t>(menu), 0, 0, {}});
  return TRUE;
}
