// RegisterClassW and the calls on classes. Classes belong to the process that registers them,
// as on the device; what other processes see of a window's class is its name in the table.
#include <algorithm>
#include <cstring>

#include "gwes/wm_class.h"
#include "gwes/system_classes.h"

using namespace zb::wm;

namespace zb::wm {

std::shared_ptr<WindowClass> FindClassOrFail(Session& session, LPCWSTR name) {
  auto cls = FindClassLocked(session, name);
  if (!cls) SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
  return cls;
}

std::shared_ptr<WindowClass> FindClassLocked(Session& session, LPCWSTR name) {
  if (!name) return nullptr;
  if (IS_INTRESOURCE(name)) {
    ATOM atom = static_cast<ATOM>(reinterpret_cast<uintptr_t>(name));
    for (auto& [key, cls] : session.classes) {
      if (cls->atom == atom) return cls;
    }
    return nullptr;
  }
  auto it = session.classes.find(UpperName(name));
  if (it != session.classes.end()) return it->second;
  return SystemClassLocked(session, name);
}

}  // namespace zb::wm

extern "C" ATOM RegisterClassW(const WNDCLASSW* wc) {
  if (!wc || !wc->lpszClassName || IS_INTRESOURCE(wc->lpszClassName) || !wc->lpfnWndProc || wc->cbClsExtra < 0 ||
      wc->cbClsExtra > static_cast<int>(kMaxExtraBytes) || wc->cbWndExtra < 0 ||
      wc->cbWndExtra > static_cast<int>(kMaxExtraBytes)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::u16string_view name(wc->lpszClassName);
  if (name.empty() || name.size() > kClassChars) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  Session& session = CurrentSession();
  std::lock_guard lock(session.lock);
  std::u16string key = UpperName(name);
  if (session.classes.count(key)) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  auto cls = std::make_shared<WindowClass>();
  cls->name = std::u16string(name);
  cls->atom = session.nextAtom++;
  cls->style = wc->style;
  cls->proc = wc->lpfnWndProc;
  cls->wndExtra = wc->cbWndExtra;
  cls->instance = wc->hInstance;
  cls->icon = wc->hIcon;
  cls->cursor = wc->hCursor;
  cls->background = wc->hbrBackground;
  cls->menuName = wc->lpszMenuName;
  cls->classExtra.assign(static_cast<size_t>(wc->cbClsExtra), 0);
  session.classes.emplace(std::move(key), cls);
  return cls->atom;
}

extern "C" BOOL UnregisterClassW(LPCWSTR className, HINSTANCE) {
  Session& session = CurrentSession();
  std::lock_guard lock(session.lock);
  auto cls = FindClassOrFail(session, className);
  if (!cls) return FALSE;
  if (cls->windows > 0) {
    SetLastError(ERROR_CLASS_HAS_WINDOWS);
    return FALSE;
  }
  session.classes.erase(UpperName(cls->name));
  return TRUE;
}

extern "C" BOOL GetClassInfoW(HINSTANCE, LPCWSTR className, LPWNDCLASSW out) {
  if (!out) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  Session& session = CurrentSession();
  std::lock_guard lock(session.lock);
  auto cls = FindClassOrFail(session, className);
  if (!cls) return FALSE;
  *out = WNDCLASSW{cls->style,    cls->proc,   static_cast<int>(cls->classExtra.size()),
                   cls->wndExtra, cls->instance, cls->icon,
                   cls->cursor,   cls->background, cls->menuName,
                   className};
  return TRUE;
}

extern "C" int GetClassNameW(HWND hwnd, LPWSTR out, int maxCount) {
  Segment& s = Current();
  Locked lock(s);
  WindowSlot* w = SlotOrFail(s, hwnd);
  if (!w) return 0;
  if (!out || maxCount <= 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  size_t n = std::min<size_t>(std::char_traits<char16_t>::length(w->className), static_cast<size_t>(maxCount) - 1);
  std::copy_n(w->className, n, out);
  out[n] = 0;
  return static_cast<int>(n);
}
