// LoadMenuW: walks the menu template (two zero words, then items: a popup is flags and text
// followed by its items, any other item flags, id and text; MF_END closes a level) and builds
// the menu with the window system's menu calls. A damaged template gives no menu.
#include <windows.h>

#include "coredll/resource_gwes.h"
#include "coredll/resource_tables.h"

namespace zb::res {
namespace {

constexpr UINT kLastItem = 0x80;  // MF_END: the last item of its level
constexpr UINT kKeptFlags = 0x1 | 0x2 | 0x8 | 0x20 | 0x40 | 0x4000;  // grayed, disabled, checked, breaks, help

using CreateMenuCall = HMENU (*)();
using AppendMenuCall = BOOL (*)(HMENU, UINT, UINT_PTR, LPCWSTR);
using DestroyMenuCall = BOOL (*)(HMENU);

struct MenuCalls {
  CreateMenuCall createMenu = WindowCall<CreateMenuCall>("CreateMenu");
  CreateMenuCall createPopup = WindowCall<CreateMenuCall>("CreatePopupMenu");
  AppendMenuCall append = WindowCall<AppendMenuCall>("AppendMenuW");
  DestroyMenuCall destroy = WindowCall<DestroyMenuCall>("DestroyMenu");
  bool ok() const { return createMenu && createPopup && append && destroy; }
};

class Template {
 public:
  Template(const uint8_t* p, uint32_t size) : p_(p), end_(p + size) {}
  bool Word(uint16_t* w) {
    if (end_ - p_ < 2) return false;
    *w = ReadU16(p_);
    p_ += 2;
    return true;
  }
  // A terminated string in place; its characters are aligned as the table aligns all data.
  bool Text(const WCHAR** text) {
    *text = reinterpret_cast<const WCHAR*>(p_);
    for (uint16_t c = 1; c != 0;) {
      if (!Word(&c)) return false;
    }
    return true;
  }

 private:
  const uint8_t* p_;
  const uint8_t* end_;
};

bool Items(Template& t, HMENU menu, const MenuCalls& calls, int depth) {
  if (depth > 16) return false;
  for (;;) {
    uint16_t flags = 0, id = 0;
    const WCHAR* text = nullptr;
    if (!t.Word(&flags)) return false;
    if (flags & MF_POPUP) {
      if (!t.Text(&text)) return false;
      HMENU popup = calls.createPopup();
      if (!popup) return false;
      if (!Items(t, popup, calls, depth + 1) || !calls.append(menu, MF_POPUP | (flags & kKeptFlags), reinterpret_cast<UINT_PTR>(popup), text)) {
        calls.destroy(popup);
        return false;
      }
    } else {
      if (!t.Word(&id) || !t.Text(&text)) return false;
      bool separator = id == 0 && text[0] == 0 && (flags & ~kLastItem) == 0;
      if (!calls.append(menu, separator ? MF_SEPARATOR : MF_STRING | (flags & kKeptFlags), id, separator ? nullptr : text))
        return false;
    }
    if (flags & kLastItem) return true;
  }
}

}  // namespace
}  // namespace zb::res

using namespace zb::res;

extern "C" HMENU LoadMenuW(HINSTANCE instance, LPCWSTR name) {
  uint32_t size = 0;
  const uint8_t* data = FindData(instance, name, RT_MENU, &size);
  if (!data) return nullptr;
  MenuCalls calls;
  if (!calls.ok()) return nullptr;
  Template t(data, size);
  uint16_t version = 0, offset = 0;
  if (!t.Word(&version) || !t.Word(&offset) || version != 0 || offset != 0) {
    SetLastError(ERROR_INVALID_DATA);
    return nullptr;
  }
  HMENU menu = calls.createMenu();
  if (!menu) return nullptr;
  if (size > 4 && !Items(t, menu, calls, 0)) {  // a template of the header alone is an empty menu
    calls.destroy(menu);
    SetLastError(ERROR_INVALID_DATA);
    return nullptr;
  }
  return menu;
}
