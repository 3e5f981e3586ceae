// Questions about windows that any process may ask of any window on the device: IsWindow,
// visibility, GetWindow, GetParent and FindWindowW. They read the shared table only, and first
// clear away windows of processes that have died.
#include "device/text.h"
#include "gwes/wm_links.h"
#include "gwes/wm_session.h"

using namespace zb::wm;

namespace {

// The live slot of a window, after sweeping its process away when that has died.
WindowSlot* Live(Segment& s, HWND hwnd) {
  WindowSlot* w = Slot(s, hwnd);
  if (w && w->pid != zb::kernel::ThisPid() && !PidAlive(s, w->pid)) {
    SweepDead(s);
    w = Slot(s, hwnd);
  }
  return w;
}

HWND Handle(Segment& s, uint32_t index) { return index == kNone ? nullptr : HandleOf(s, s.windows[index]); }

bool Matches(const char16_t* stored, LPCWSTR wanted) {
  return !wanted || zb::EqualNoCase(std::u16string_view(stored), std::u16string_view(wanted));
}

}  // namespace

extern "C" BOOL IsWindow(HWND hwnd) {
  Segment& s = *CurrentSession().seg;
  Locked lock(s);
  return Live(s, hwnd) ? TRUE : FALSE;
}

extern "C" BOOL IsWindowVisible(HWND hwnd) {
  Segment& s = *CurrentSession().seg;
  Locked lock(s);
  WindowSlot* w = Live(s, hwnd);
  return w && ShownOnScreen(s, *w) ? TRUE : FALSE;
}

extern "C" BOOL IsWindowEnabled(HWND hwnd) {
  Segment& s = *CurrentSession().seg;
  Locked lock(s);
  WindowSlot* w = Live(s, hwnd);
  return w && !(w->style & WS_DISABLED) ? TRUE : FALSE;
}

extern "C" HWND GetWindow(HWND hwnd, UINT relation) {
  Segment& s = *CurrentSession().seg;
  Locked lock(s);
  if (relation == GW_HWNDFIRST || relation == GW_HWNDLAST) SweepDead(s);
  WindowSlot* w = Live(s, hwnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  uint32_t parent = ParentIndex(s, *w);
  switch (relation) {
    case GW_HWNDFIRST: return Handle(s, parent == kNone ? s.topFirst : s.windows[parent].firstChild);
    case GW_HWNDLAST: return Handle(s, parent == kNone ? s.topLast : s.windows[parent].lastChild);
    case GW_HWNDNEXT: return Handle(s, w->next);
    case GW_HWNDPREV: return Handle(s, w->prev);
    case GW_OWNER: return Slot(s, reinterpret_cast<HWND>(w->owner)) ? reinterpret_cast<HWND>(w->owner) : nullptr;
    case GW_CHILD: return Handle(s, w->firstChild);
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return nullptr;
}

extern "C" HWND GetParent(HWND hwnd) {
  Segment& s = *CurrentSession().seg;
  Locked lock(s);
  WindowSlot* w = Live(s, hwnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  uint64_t value = (w->style & WS_CHILD) ? w->parent : (w->style & WS_POPUP) ? w->owner : 0;
  HWND other = reinterpret_cast<HWND>(value);
  return Slot(s, other) ? other : nullptr;
}

extern "C" HWND FindWindowW(LPCWSTR className, LPCWSTR windowName) {
  if (className && IS_INTRESOURCE(className)) {
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);  // atoms belong to one process; names are asked for
    return nullptr;
  }
  Segment& s = *CurrentSession().seg;
  Locked lock(s);
  SweepDead(s);
  for (uint32_t i = s.topFirst; i != kNone; i = s.windows[i].next) {
    const WindowSlot& w = s.windows[i];
    if (Matches(w.className, className) && Matches(w.title, windowName)) return HandleOf(s, w);
  }
  return nullptr;
}

extern "C" DWORD GetWindowThreadProcessId(HWND hwnd, LPDWORD processId) {
  Segment& s = *CurrentSession().seg;
  Locked lock(s);
  WindowSlot* w = Live(s, hwnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (processId) *processId = static_cast<DWORD>(w->pid);
  return static_cast<DWORD>(w->tid);
}
