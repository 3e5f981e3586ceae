// CreateWindowExW and DestroyWindow. Creation sends WM_CREATE, then WM_SIZE and WM_MOVE, then
// shows the window when WS_VISIBLE asked for it (a top-level window becomes the active one).
// Destruction takes the windows it owns first, hides the window (activation moves on, the
// focus leaves), sends WM_DESTROY to it and then to its children, and frees the whole tree.
#include <functional>

#include "gwes/close_request.h"
#include "gwes/gdi_host.h"
#include "gwes/msg_core.h"
#include "gwes/presenter.h"
#include "gwes/wm_class.h"
#include "gwes/wm_focus.h"
#include "gwes/wm_links.h"
#include "gwes/wm_paint.h"

using namespace zb::wm;

namespace {

uint32_t AllocSlot(Segment& s) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (attempt) SweepDead(s);
    for (uint32_t i = 0; i < kMaxWindows; ++i) {
      if (!s.windows[i].live) return i;
    }
  }
  return kNone;
}

struct Placement {
  int x, y, width, height;
};

Placement Arrange(bool child, int x, int y, int width, int height) {
  zb::gdi::ScreenMode mode = zb::gdi::CurrentScreenMode();
  // A top-level window left to the system covers the screen; a child left to it is empty.
  if (x == CW_USEDEFAULT) x = y = 0;
  if (width == CW_USEDEFAULT) {
    width = child ? 0 : mode.width;
    height = child ? 0 : mode.height;
  }
  return {x, y, std::max(width, 0), std::max(height, 0)};
}

}  // namespace

extern "C" HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                                int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
  Session& session = CurrentSession();
  std::shared_ptr<WindowClass> cls;
  {
    std::lock_guard lock(session.lock);
    cls = FindClassLocked(session, className);
  }
  if (!cls) {
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return nullptr;
  }
  ThreadQueue* q = MyQueue();
  if (!q) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  const bool child = (style & WS_CHILD) != 0;
  if (child && !parent) {
    SetLastError(ERROR_TLW_WITH_WSCHILD);
    return nullptr;
  }
  const Placement at = Arrange(child, x, y, width, height);
  std::u16string_view title = windowName ? std::u16string_view(windowName) : std::u16string_view();
  Segment& s = *session.seg;
  auto window = std::make_shared<Window>();
  HWND hwnd;
  {
    Locked lock(s);
    WindowSlot* p = parent ? Slot(s, parent) : nullptr;
    if (parent && !p) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return nullptr;
    }
    uint32_t index = AllocSlot(s);
    if (index == kNone) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return nullptr;
    }
    WindowSlot& w = s.windows[index];
    uint32_t gen = w.gen ? w.gen : 1;
    w = WindowSlot{};
    w.gen = gen;
    w.live = 1;
    w.pid = session.pid;
    w.tid = q->tid;
    w.queue = q->index;
    w.style = style & ~WS_VISIBLE;
    w.exStyle = exStyle;
    w.firstChild = w.lastChild = w.prev = w.next = kNone;
    if (child) {
      w.parent = HwndValue(parent);
      w.id = static_cast<int64_t>(reinterpret_cast<intptr_t>(menu));
    } else if (p) {
      w.owner = HwndValue(HandleOf(s, s.windows[TopLevelOf(s, IndexOf(s, *p))]));  // owners are top-level
    }
    w.rect = RECT{at.x, at.y, at.x + at.width, at.y + at.height};
    w.wndProc = static_cast<int64_t>(reinterpret_cast<intptr_t>(cls->proc));
    w.extraBytes = static_cast<uint32_t>(cls->wndExtra);
    CopyName(w.className, kClassChars, cls->name);
    CopyName(w.title, kTitleChars, title);
    // A child goes under its siblings (so a dialog's controls keep the template's order), a
    // top-level window on top.
    LinkWindow(s, index, child ? IndexOf(s, *p) : kNone, child ? Place::Bottom : Place::Top);
    hwnd = HandleOf(s, w);
    window->hwnd = hwnd;
    window->index = index;
    window->queue = q->index;
    window->tid = q->tid;
  }
  window->cls = cls;
  window->proc = cls->proc;
  window->text = std::u16string(title);
  {
    std::lock_guard lock(session.lock);
    window->serial = session.nextSerial++;
    ++cls->windows;
    session.windows[HwndValue(hwnd)] = window;
  }
  CREATESTRUCTW create{param, instance, menu, parent, at.height, at.width, at.y, at.x,
                       static_cast<LONG>(style), windowName, className, exStyle};
  if (SendMessageW(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  if (!IsWindow(hwnd)) return nullptr;
  SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(at.width, at.height));
  SendMessageW(hwnd, WM_MOVE, 0, MAKELPARAM(at.x, at.y));
  if (style & WS_VISIBLE) ShowWindow(hwnd, (exStyle & WS_EX_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
  if (!child) {
    CloseOnSignals();  // SIGINT and SIGTERM close the program as the device would
    zb::presenter::StartIfWanted();  // with a display, the device's screen shows from now on
  }
  return IsWindow(hwnd) ? hwnd : nullptr;
}

extern "C" BOOL DestroyWindow(HWND hwnd) {
  auto window = LocalWindow(hwnd);
  if (!window || window->tid != MyTid()) {
    SetLastError(window || IsWindow(hwnd) ? ERROR_ACCESS_DENIED : ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  Session& session = CurrentSession();
  {
    std::lock_guard lock(session.lock);
    if (window->destroying) return TRUE;
    window->destroying = true;
  }
  Segment& s = *session.seg;
  std::vector<HWND> owned;
  {
    Locked lock(s);
    for (uint32_t i = s.topFirst; i != kNone; i = s.windows[i].next) {
      if (s.windows[i].owner == HwndValue(hwnd)) owned.push_back(HandleOf(s, s.windows[i]));
    }
  }
  for (HWND o : owned) DestroyWindow(o);

  bool shown = false;
  RECT area{0, 0, 0, 0};
  {
    Locked lock(s);
    if (WindowSlot* w = Slot(s, hwnd); w && (w->style & WS_VISIBLE)) {
      shown = ShownOnScreen(s, *w);
      w->style &= ~WS_VISIBLE;
    }
  }
  if (shown) {
    POINT origin;
    area = VisibleScreenRect(hwnd, &origin);
  }
  AfterHidden(hwnd);
  DropFocusFrom(hwnd);
  if (shown) InvalidateScreenArea(area, hwnd);

  // WM_DESTROY goes to the window first, then down its tree.
  std::vector<HWND> tree;
  {
    Locked lock(s);
    std::function<void(uint32_t)> walk = [&](uint32_t i) {
      tree.push_back(HandleOf(s, s.windows[i]));
      for (uint32_t c = s.windows[i].firstChild; c != kNone; c = s.windows[c].next) walk(c);
    };
    if (WindowSlot* w = Slot(s, hwnd)) walk(IndexOf(s, *w));
  }
  for (HWND h : tree) {
    if (IsWindow(h)) SendMessageW(h, WM_DESTROY, 0, 0);
  }
  {
    Locked lock(s);
    if (WindowSlot* w = Slot(s, hwnd)) FreeWindowTree(s, IndexOf(s, *w));
  }
  for (HWND h : tree) ForgetWindow(h);
  return TRUE;
}
