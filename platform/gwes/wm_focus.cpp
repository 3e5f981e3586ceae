// SetFocus, SetForegroundWindow, capture and the activation order: the window losing
// activation gets WM_ACTIVATE(WA_INACTIVE) first, then the new one WM_ACTIVATE(WA_ACTIVE), whose
// default handling gives it the focus (WM_KILLFOCUS to the old focus, then WM_SETFOCUS).
#include "gwes/msg_core.h"
#include "gwes/wm_focus.h"
#include "gwes/wm_links.h"

namespace zb::wm {
namespace {

HWND Valid(Segment& s, uint64_t value) {
  HWND hwnd = reinterpret_cast<HWND>(value);
  return Slot(s, hwnd) ? hwnd : nullptr;
}

void SetActiveInThread(ThreadQueue& q, HWND hwnd) {
  Segment& s = *CurrentSession().seg;
  HWND old;
  {
    Locked lock(s);
    QueueSlot& qs = s.queues[q.index];
    old = Valid(s, qs.active);
    if (old == hwnd) return;
    qs.active = HwndValue(hwnd);
  }
  if (old) SendMessageW(old, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(hwnd));
  if (hwnd) {
    SendMessageW(hwnd, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(old));
  } else {
    SetFocus(nullptr);
  }
}

}  // namespace

void ActivateHere(HWND hwnd) {
  ThreadQueue* q = MyQueue();
  auto window = LocalWindow(hwnd);
  if (q && window && window->tid == MyTid()) SetActiveInThread(*q, hwnd);
}

void DeactivateHere(HWND newForeground) {
  ThreadQueue* q = MyQueueIfAny();
  if (!q) return;
  Segment& s = *CurrentSession().seg;
  HWND old, focus;
  {
    Locked lock(s);
    QueueSlot& qs = s.queues[q->index];
    old = Valid(s, qs.active);
    focus = Valid(s, qs.focus);
    qs.active = qs.focus = 0;
  }
  if (old) SendMessageW(old, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(newForeground));
  if (focus) SendMessageW(focus, WM_KILLFOCUS, reinterpret_cast<WPARAM>(newForeground), 0);
}

void ChangeForeground(HWND hwnd, bool popup) {
  Segment& s = *CurrentSession().seg;
  HWND target = nullptr, old;
  Target oldT, newT;
  {
    Locked lock(s);
    WindowSlot* w = Slot(s, hwnd);
    if (hwnd && !w) return;
    if (w) {
      uint32_t top = TopLevelOf(s, IndexOf(s, *w));
      target = HandleOf(s, s.windows[top]);
      BringToTop(s, top);
      if (popup) {
        for (uint32_t i = s.topFirst; i != kNone; i = s.windows[i].next) {
          if (s.windows[i].owner == HwndValue(target) && (s.windows[i].style & WS_VISIBLE)) {
            target = HandleOf(s, s.windows[i]);
            break;
          }
        }
      }
      newT = TargetOf(s, *Slot(s, target));
    }
    old = Valid(s, s.foreground);
    if (old) oldT = TargetOf(s, *Slot(s, old));
    s.foreground = HwndValue(target);
  }
  if (old && old != target && oldT.queue != newT.queue)
    RunOrSendInternal(oldT.queue, oldT.queueGen, Internal::Deactivate, HwndValue(target));
  if (target) RunOrSendInternal(newT.queue, newT.queueGen, Internal::Activate, HwndValue(target));
}

void AfterHidden(HWND hwnd) {
  Segment& s = *CurrentSession().seg;
  HWND next = nullptr;
  {
    Locked lock(s);
    WindowSlot* w = Slot(s, hwnd);
    if (!w || s.foreground != HwndValue(hwnd)) return;
    // The owner takes over when it can, else the topmost shown window that can be active.
    WindowSlot* owner = Slot(s, reinterpret_cast<HWND>(w->owner));
    if (owner && (owner->style & WS_VISIBLE) && !(owner->style & WS_DISABLED)) {
      next = HandleOf(s, *owner);
    } else {
      for (uint32_t i = s.topFirst; i != kNone; i = s.windows[i].next) {
        const WindowSlot& c = s.windows[i];
        if (&c != w && (c.style & WS_VISIBLE) && !(c.style & WS_DISABLED) && !(c.exStyle & WS_EX_NOACTIVATE)) {
          next = HandleOf(s, c);
          break;
        }
      }
    }
  }
  ChangeForeground(next, false);
}

void DropFocusFrom(HWND hwnd) {
  ThreadQueue* q = MyQueueIfAny();
  if (!q) return;
  Segment& s = *CurrentSession().seg;
  HWND focus = nullptr;
  {
    Locked lock(s);
    QueueSlot& qs = s.queues[q->index];
    WindowSlot* w = Slot(s, hwnd);
    WindowSlot* f = Slot(s, reinterpret_cast<HWND>(qs.focus));
    if (w && f && IsDescendant(s, IndexOf(s, *f), IndexOf(s, *w))) {
      focus = HandleOf(s, *f);
      qs.focus = 0;
    }
    if (qs.active == HwndValue(hwnd)) qs.active = 0;
  }
  if (focus) SendMessageW(focus, WM_KILLFOCUS, 0, 0);
}

}  // namespace zb::wm

using namespace zb::wm;

extern "C" HWND SetFocus(HWND hwnd) {
  ThreadQueue* q = MyQueue();
  if (!q) return nullptr;
  Segment& s = *CurrentSession().seg;
  HWND before, top = nullptr, active;
  {
    Locked lock(s);
    before = Valid(s, s.queues[q->index].focus);
    active = Valid(s, s.queues[q->index].active);
    if (hwnd) {
      WindowSlot* w = Slot(s, hwnd);
      if (!w || w->pid != zb::kernel::ThisPid() || w->tid != MyTid()) {
        SetLastError(w ? ERROR_WINDOW_OF_OTHER_THREAD : ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
      }
      top = HandleOf(s, s.windows[TopLevelOf(s, IndexOf(s, *w))]);
    }
  }
  // Focusing a window of an inactive top-level window activates that first.
  if (top && top != active) ChangeForeground(top, false);
  HWND old;
  {
    Locked lock(s);
    old = Valid(s, s.queues[q->index].focus);
    if (old == hwnd) return before;
    s.queues[q->index].focus = HwndValue(hwnd);
  }
  if (old) SendMessageW(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
  if (hwnd) SendMessageW(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
  return before;
}

extern "C" HWND GetFocus() {
  ThreadQueue* q = MyQueueIfAny();
  if (!q) return nullptr;
  Segment& s = *CurrentSession().seg;
  Locked lock(s);
  return Valid(s, s.queues[q->index].focus);
}

extern "C" HWND GetActiveWindow() {
  ThreadQueue* q = MyQueueIfAny();
  if (!q) return nullptr;
  Segment& s = *CurrentSession().seg;
  Locked lock(s);
  return Valid(s, s.queues[q->index].active);
}

extern "C" BOOL SetForegroundWindow(HWND hwnd) {
  // Bit 0 asks for the window's last active pop-up as well.
  const bool popup = HwndValue(hwnd) & 1;
  hwnd = reinterpret_cast<HWND>(HwndValue(hwnd) & ~uint64_t{1});
  if (!IsWindow(hwnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  ChangeForeground(hwnd, popup);
  return TRUE;
}

extern "C" HWND GetForegroundWindow() {
  Segment& s = *CurrentSession().seg;
  Locked lock(s);
  return Valid(s, s.foreground);
}

extern "C" HWND SetCapture(HWND hwnd) {
  Segment& s = *CurrentSession().seg;
  Locked lock(s);
  if (!Slot(s, hwnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  HWND previous = Valid(s, s.capture);
  s.capture = HwndValue(hwnd);
  return previous;
}

extern "C" BOOL ReleaseCapture() {
  Segment& s = *CurrentSession().seg;
  Locked lock(s);
  s.capture = 0;
  return TRUE;
}

extern "C" HWND GetCapture() {
  Segment& s = *CurrentSession().seg;
  Locked lock(s);
  return Valid(s, s.capture);
}
