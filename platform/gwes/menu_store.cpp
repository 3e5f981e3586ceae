// The menu calls over the process's menu table (see menu_store.h). Items are found by position
// or by command; a search by command looks into submenus too, as the platform's does.
// DestroyMenu and DeleteMenu take the submenus with them; RemoveMenu leaves them to the caller.
#include "gwes/menu_store.h"

#include <algorithm>
#include <map>
#include <mutex>

namespace zb::wm {
namespace {

struct Menu {
  std::vector<MenuItem> items;
  bool popup = false;
};

struct Table {
  std::recursive_mutex lock;
  std::map<uintptr_t, std::shared_ptr<Menu>> menus;
  uintptr_t next = 0x70000;
};

Table& Menus() {
  static Table* table = new Table;
  return *table;
}

HMENU Make(bool popup) {
  Table& t = Menus();
  std::lock_guard lock(t.lock);
  auto menu = std::make_shared<Menu>();
  menu->popup = popup;
  const uintptr_t handle = (t.next += 4);
  t.menus[handle] = menu;
  return reinterpret_cast<HMENU>(handle);
}

// Callers hold the table lock.
Menu* Find(HMENU handle) {
  auto& menus = Menus().menus;
  auto it = menus.find(reinterpret_cast<uintptr_t>(handle));
  if (it == menus.end()) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return nullptr;
  }
  return it->second.get();
}

struct Place {
  Menu* menu = nullptr;
  size_t index = 0;
  MenuItem* item() const { return &menu->items[index]; }
};

// The item named by position or by command (searching submenus); menu null when none.
Place Locate(Menu* menu, UINT item, bool byPosition, int depth = 0) {
  if (!menu || depth > 16) return {};
  if (byPosition) return item < menu->items.size() ? Place{menu, item} : Place{};
  for (size_t i = 0; i < menu->items.size(); ++i) {
    const MenuItem& it = menu->items[i];
    if (!it.submenu && !it.separator() && it.id == item) return Place{menu, i};
  }
  for (size_t i = 0; i < menu->items.size(); ++i) {
    if (Place inner = Locate(Find(menu->items[i].submenu), item, false, depth + 1); inner.menu) return inner;
  }
  // A popup's own item answers to its submenu's handle, as the platform lets callers name it.
  for (size_t i = 0; i < menu->items.size(); ++i) {
    if (menu->items[i].submenu && reinterpret_cast<uintptr_t>(menu->items[i].submenu) == item) return Place{menu, i};
  }
  return {};
}

Place LocateOrFail(HMENU handle, UINT item, UINT flags) {
  Place p = Locate(Find(handle), item, (flags & MF_BYPOSITION) != 0);
  if (!p.menu) SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
  return p;
}

MenuItem ItemFrom(UINT flags, UINT_PTR idOrPopup, LPCWSTR text) {
  MenuItem item;
  item.type = flags & (MFT_SEPARATOR | MFT_BITMAP | MFT_OWNERDRAW | MFT_MENUBARBREAK | MFT_MENUBREAK | MFT_RIGHTJUSTIFY);
  item.state = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT);
  if (flags & MF_POPUP) {
    item.submenu = reinterpret_cast<HMENU>(idOrPopup);
  } else {
    item.id = static_cast<UINT>(idOrPopup);
  }
  if (item.type & (MFT_BITMAP | MFT_OWNERDRAW)) {
    item.data = reinterpret_cast<ULONG_PTR>(text);
  } else if (!item.separator() && text) {
    item.text = text;
  }
  return item;
}

void DestroyTree(HMENU handle, int depth = 0) {
  Table& t = Menus();
  auto it = t.menus.find(reinterpret_cast<uintptr_t>(handle));
  if (it == t.menus.end() || depth > 16) return;
  std::shared_ptr<Menu> menu = it->second;
  t.menus.erase(it);
  for (const MenuItem& item : menu->items)
    if (item.submenu) DestroyTree(item.submenu, depth + 1);
}

size_t CopyText(const std::u16string& text, LPWSTR out, size_t room) {
  if (!out || room == 0) return text.size();
  const size_t n = std::min(text.size(), room - 1);
  std::copy_n(text.data(), n, out);
  out[n] = 0;
  return n;
}

void Apply(MenuItem& item, const MENUITEMINFOW& info) {
  if (info.fMask & (MIIM_TYPE | MIIM_FTYPE)) item.type = info.fType;
  if (info.fMask & MIIM_STATE) item.state = info.fState;
  if (info.fMask & MIIM_ID) item.id = info.wID;
  if (info.fMask & MIIM_SUBMENU) item.submenu = info.hSubMenu;
  if (info.fMask & MIIM_CHECKMARKS) {
    item.checked = info.hbmpChecked;
    item.unchecked = info.hbmpUnchecked;
  }
  if (info.fMask & MIIM_DATA) item.data = info.dwItemData;
  const bool text = (info.fMask & MIIM_STRING) || ((info.fMask & MIIM_TYPE) && !(info.fType & (MFT_SEPARATOR | MFT_BITMAP)));
  if (text) item.text = info.dwTypeData ? info.dwTypeData : u"";
}

}  // namespace

bool MenuItems(HMENU handle, std::vector<MenuItem>* items) {
  Table& t = Menus();
  std::lock_guard lock(t.lock);
  Menu* menu = Find(handle);
  if (!menu) return false;
  if (items) *items = menu->items;
  return true;
}

}  // namespace zb::wm

using namespace zb::wm;

extern "C" HMENU CreateMenu() { return Make(false); }
extern "C" HMENU CreatePopupMenu() { return Make(true); }

extern "C" BOOL DestroyMenu(HMENU menu) {
  Table& t = Menus();
  std::lock_guard lock(t.lock);
  if (!Find(menu)) return FALSE;
  DestroyTree(menu);
  return TRUE;
}

extern "C" BOOL IsMenu(HMENU menu) {
  Table& t = Menus();
  std::lock_guard lock(t.lock);
  return t.menus.count(reinterpret_cast<uintptr_t>(menu)) ? TRUE : FALSE;
}

extern "C" BOOL InsertMenuW(HMENU handle, UINT position, UINT flags, UINT_PTR idOrPopup, LPCWSTR text) {
  Table& t = Menus();
  std::lock_guard lock(t.lock);
  Menu* menu = Find(handle);
  if (!menu) return FALSE;
  if ((flags & MF_POPUP) && !Find(reinterpret_cast<HMENU>(idOrPopup))) return FALSE;
  MenuItem item = ItemFrom(flags, idOrPopup, text);
  if (flags & MF_BYPOSITION) {
    const size_t at = position >= menu->items.size() ? menu->items.size() : position;
    menu->items.insert(menu->items.begin() + at, std::move(item));
    return TRUE;
  }
  Place p = Locate(menu, position, false);
  if (!p.menu) {
    // By command with no such item: at the end of this menu.
    menu->items.push_back(std::move(item));
    return TRUE;
  }
  p.menu->items.insert(p.menu->items.begin() + p.index, std::move(item));
  return TRUE;
}

extern "C" BOOL AppendMenuW(HMENU handle, UINT flags, UINT_PTR idOrPopup, LPCWSTR text) {
  return InsertMenuW(handle, 0xFFFFFFFF, (flags & ~MF_BYCOMMAND) | MF_BYPOSITION, idOrPopup, text);
}

extern "C" BOOL ModifyMenuW(HMENU handle, UINT position, UINT flags, UINT_PTR idOrPopup, LPCWSTR text) {
  Table& t = Menus();
  std::lock_guard lock(t.lock);
  Place p = LocateOrFail(handle, position, flags);
  if (!p.menu) return FALSE;
  *p.item() = ItemFrom(flags, idOrPopup, text);
  return TRUE;
}

extern "C" BOOL RemoveMenu(HMENU handle, UINT position, UINT flags) {
  Table& t = Menus();
  std::lock_guard lock(t.lock);
  Place p = LocateOrFail(handle, position, flags);
  if (!p.menu) return FALSE;
  p.menu->items.erase(p.menu->items.begin() + p.index);
  return TRUE;
}

extern "C" BOOL DeleteMenu(HMENU handle, UINT position, UINT flags) {
  Table& t = Menus();
  std::lock_guard lock(t.lock);
  Place p = LocateOrFail(handle, position, flags);
  if (!p.menu) return FALSE;
  HMENU submenu = p.item()->submenu;
  p.menu->items.erase(p.menu->items.begin() + p.index);
  if (submenu) DestroyTree(submenu);
  return TRUE;
}

extern "C" DWORD CheckMenuItem(HMENU handle, UINT item, UINT check) {
  Table& t = Menus();
  std::lock_guard lock(t.lock);
  Place p = LocateOrFail(handle, item, check);
  if (!p.menu) return 0xFFFFFFFF;
  const DWORD previous = p.item()->state & MF_CHECKED;
  p.item()->state = (p.item()->state & ~MF_CHECKED) | (check & MF_CHECKED);
  return previous;
}

extern "C" BOOL CheckMenuRadioItem(HMENU handle, UINT first, UINT last, UINT check, UINT flags) {
  Table& t = Menus();
  std::lock_guard lock(t.lock);
  Menu* menu = Find(handle);
  if (!menu) return FALSE;
  bool found = false;
  for (size_t i = 0; i < menu->items.size(); ++i) {
    MenuItem& it = menu->items[i];
    const UINT key = (flags & MF_BYPOSITION) ? static_cast<UINT>(i) : it.id;
    if (key < first || key > last || it.separator()) continue;
    if (key == check) {
      it.state |= MF_CHECKED;
      it.type |= MFT_RADIOCHECK;
      found = true;
    } else {
      it.state &= ~MF_CHECKED;
    }
  }
  return found ? TRUE : FALSE;
}

extern "C" BOOL EnableMenuItem(HMENU handle, UINT item, UINT enable) {
  Table& t = Menus();
  std::lock_guard lock(t.lock);
  Place p = LocateOrFail(handle, item, enable);
  if (!p.menu) return -1;
  const BOOL previous = static_cast<BOOL>(p.item()->state & (MF_GRAYED | MF_DISABLED));
  p.item()->state = (p.item()->state & ~(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
  return previous;
}

extern "C" UINT GetMenuState(HMENU handle, UINT item, UINT flags) {
  Table& t = Menus();
  std::lock_guard lock(t.lock);
  Place p = LocateOrFail(handle, item, flags);
  if (!p.menu) return 0xFFFFFFFF;
  const MenuItem& it = *p.item();
  UINT state = it.state | it.type;
  if (it.submenu) {
    Menu* sub = Find(it.submenu);
    return MAKELONG(state | MF_POPUP, sub ? static_cast<WORD>(sub->items.size()) : 0);
  }
  return state;
}

extern "C" int GetMenuItemCount(HMENU handle) {
  Table& t = Menus();
  std::lock_guard lock(t.lock);
  Menu* menu = Find(handle);
  return menu ? static_cast<int>(menu->items.size()) : -1;
}

extern "C" UINT GetMenuItemID(HMENU handle, int position) {
  Table& t = Menus();
  std::lock_guard lock(t.lock);
  Place p = Locate(Find(handle), static_cast<UINT>(position), true);
  if (!p.menu || p.item()->submenu) return 0xFFFFFFFF;
  return p.item()->id;
}

extern "C" HMENU GetSubMenu(HMENU handle, int position) {
  Table& t = Menus();
  std::lock_guard lock(t.lock);
  Place p = Locate(Find(handle), static_cast<UINT>(position), true);
  return p.menu ? p.item()->submenu : nullptr;
}

extern "C" int GetMenuStringW(HMENU handle, UINT item, LPWSTR text, int maxCount, UINT flags) {
  Table& t = Menus();
  std::lock_guard lock(t.lock);
  Place p = LocateOrFail(handle, item, flags);
  if (!p.menu) return 0;
  return static_cast<int>(CopyText(p.item()->text, text, maxCount > 0 ? static_cast<size_t>(maxCount) : 0));
}

extern "C" BOOL GetMenuItemInfoW(HMENU handle, UINT item, BOOL byPosition, LPMENUITEMINFOW info) {
  if (!info) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  Table& t = Menus();
  std::lock_guard lock(t.lock);
  Place p = LocateOrFail(handle, item, byPosition ? MF_BYPOSITION : MF_BYCOMMAND);
  if (!p.menu) return FALSE;
  const MenuItem& it = *p.item();
  if (info->fMask & (MIIM_TYPE | MIIM_FTYPE)) info->fType = it.type;
  if (info->fMask & MIIM_STATE) info->fState = it.state;
  if (info->fMask & MIIM_ID) info->wID = it.submenu ? reinterpret_cast<uintptr_t>(it.submenu) & 0xFFFFFFFF : it.id;
  if (info->fMask & MIIM_SUBMENU) info->hSubMenu = it.submenu;
  if (info->fMask & MIIM_CHECKMARKS) {
    info->hbmpChecked = it.checked;
    info->hbmpUnchecked = it.unchecked;
  }
  if (info->fMask & MIIM_DATA) info->dwItemData = it.data;
  if ((info->fMask & (MIIM_STRING | MIIM_TYPE)) && !it.separator()) {
    info->cch = static_cast<UINT>(CopyText(it.text, info->dwTypeData, info->dwTypeData ? info->cch : 0));
  }
  return TRUE;
}

extern "C" BOOL SetMenuItemInfoW(HMENU handle, UINT item, BOOL byPosition, LPCMENUITEMINFOW info) {
  if (!info) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  Table& t = Menus();
  std::lock_guard lock(t.lock);
  Place p = LocateOrFail(handle, item, byPosition ? MF_BYPOSITION : MF_BYCOMMAND);
  if (!p.menu) return FALSE;
  Apply(*p.item(), *info);
  return TRUE;
}

extern "C" BOOL InsertMenuItemW(HMENU handle, UINT item, BOOL byPosition, LPCMENUITEMINFOW info) {
  if (!info) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  Table& t = Menus();
  std::lock_guard lock(t.lock);
  Menu* menu = Find(handle);
  if (!menu) return FALSE;
  MenuItem made;
  Apply(made, *info);
  size_t at = menu->items.size();
  if (byPosition) {
    at = std::min<size_t>(item, menu->items.size());
  } else if (Place p = Locate(menu, item, false); p.menu == menu) {
    at = p.index;
  }
  menu->items.insert(menu->items.begin() + at, std::move(made));
  return TRUE;
}
