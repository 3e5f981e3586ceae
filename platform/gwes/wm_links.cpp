// Links of the window tree and what is read off it. Sibling lists are doubly linked by slot
// index so z-order moves cost nothing, and a top-level window's owned windows ride above it.
#include "gwes/wm_links.h"

#include "device/kernel_objects.h"

namespace zb::wm {
namespace {

uint32_t& FirstOf(Segment& s, uint32_t parent) { return parent == kNone ? s.topFirst : s.windows[parent].firstChild; }
uint32_t& LastOf(Segment& s, uint32_t parent) { return parent == kNone ? s.topLast : s.windows[parent].lastChild; }

bool Topmost(const WindowSlot& w) { return (w.exStyle & WS_EX_TOPMOST) != 0; }

void InsertBefore(Segment& s, uint32_t w, uint32_t parent, uint32_t before) {
  WindowSlot& win = s.windows[w];
  if (before == kNone) {  // at the end
    win.prev = LastOf(s, parent);
    win.next = kNone;
    if (win.prev != kNone) {
      s.windows[win.prev].next = w;
    } else {
      FirstOf(s, parent) = w;
    }
    LastOf(s, parent) = w;
    return;
  }
  win.next = before;
  win.prev = s.windows[before].prev;
  s.windows[before].prev = w;
  if (win.prev != kNone) {
    s.windows[win.prev].next = w;
  } else {
    FirstOf(s, parent) = w;
  }
}

}  // namespace

uint32_t ParentIndex(Segment& s, const WindowSlot& w) {
  if (!(w.style & WS_CHILD) || !w.parent) return kNone;
  WindowSlot* p = Slot(s, reinterpret_cast<HWND>(w.parent));
  return p ? IndexOf(s, *p) : kNone;
}

void LinkWindow(Segment& s, uint32_t w, uint32_t parent, Place place, uint32_t after) {
  uint32_t before = kNone;
  if (place == Place::Top) {
    before = FirstOf(s, parent);
    // Ordinary windows go below the topmost ones.
    if (!Topmost(s.windows[w])) {
      while (before != kNone && Topmost(s.windows[before])) before = s.windows[before].next;
    }
  } else if (place == Place::After && after != kNone && after != w) {
    before = s.windows[after].next;
  }
  InsertBefore(s, w, parent, before);
}

void UnlinkWindow(Segment& s, uint32_t w) {
  WindowSlot& win = s.windows[w];
  uint32_t parent = ParentIndex(s, win);
  if (win.prev != kNone) {
    s.windows[win.prev].next = win.next;
  } else if (FirstOf(s, parent) == w) {
    FirstOf(s, parent) = win.next;
  }
  if (win.next != kNone) {
    s.windows[win.next].prev = win.prev;
  } else if (LastOf(s, parent) == w) {
    LastOf(s, parent) = win.prev;
  }
  win.prev = win.next = kNone;
}

void BringToTop(Segment& s, uint32_t w) {
  UnlinkWindow(s, w);
  LinkWindow(s, w, ParentIndex(s, s.windows[w]), Place::Top);
  if (ParentIndex(s, s.windows[w]) != kNone) return;
  // Owned windows stay above their owner: lift each of them in turn, keeping their order.
  const uint64_t self = HwndValue(HandleOf(s, s.windows[w]));
  uint32_t owned[kMaxWindows];
  uint32_t n = 0;
  for (uint32_t i = s.topLast; i != kNone; i = s.windows[i].prev) {
    if (s.windows[i].owner == self) owned[n++] = i;
  }
  for (uint32_t k = 0; k < n; ++k) {
    UnlinkWindow(s, owned[k]);
    LinkWindow(s, owned[k], kNone, Place::Top);
  }
}

void FreeWindowTree(Segment& s, uint32_t w) {
  WindowSlot& win = s.windows[w];
  while (win.firstChild != kNone) FreeWindowTree(s, win.firstChild);
  UnlinkWindow(s, w);
  const uint64_t self = HwndValue(HandleOf(s, win));
  if (s.foreground == self) s.foreground = 0;
  if (s.capture == self) s.capture = 0;
  for (QueueSlot& q : s.queues) {
    if (!q.live) continue;
    if (q.active == self) q.active = 0;
    if (q.focus == self) q.focus = 0;
  }
  for (HotKeySlot& h : s.hotKeys) {
    if (h.live && h.hwnd == self) h.live = 0;
  }
  uint32_t gen = win.gen + 1;
  if ((gen & 0xFFFF) == 0) ++gen;
  win = WindowSlot{};
  win.gen = gen;
  win.firstChild = win.lastChild = win.prev = win.next = kNone;
}

uint32_t TopLevelOf(Segment& s, uint32_t w) {
  for (uint32_t p = ParentIndex(s, s.windows[w]); p != kNone; p = ParentIndex(s, s.windows[w])) w = p;
  return w;
}

bool IsDescendant(Segment& s, uint32_t w, uint32_t ancestor) {
  for (uint32_t i = w; i != kNone; i = ParentIndex(s, s.windows[i])) {
    if (i == ancestor) return true;
  }
  return false;
}

POINT ScreenOrigin(Segment& s, const WindowSlot& w) {
  POINT p{w.rect.left, w.rect.top};
  for (uint32_t i = ParentIndex(s, w); i != kNone; i = ParentIndex(s, s.windows[i])) {
    p.x += s.windows[i].rect.left;
    p.y += s.windows[i].rect.top;
  }
  return p;
}

bool ShownOnScreen(Segment& s, const WindowSlot& w) {
  if (!(w.style & WS_VISIBLE)) return false;
  for (uint32_t i = ParentIndex(s, w); i != kNone; i = ParentIndex(s, s.windows[i])) {
    if (!(s.windows[i].style & WS_VISIBLE)) return false;
  }
  return true;
}

namespace {

bool ClassIs(const WindowSlot& w, std::u16string_view expected) {
  std::u16string_view name(w.className);
  if (name.size() != expected.size()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    char16_t c = name[i];
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    if (c != expected[i]) return false;
  }
  return true;
}

// Labels and group boxes among a window's children let taps through to what lies beneath, as
// their hit test answers "transparent" on the device; a label asking for notifications does not.
bool LetsTapsThrough(const WindowSlot& w) {
  if (!w.parent) return false;
  if (ClassIs(w, u"STATIC")) return !(w.style & SS_NOTIFY);
  return IsGroupBox(w);
}

// The deepest window under the point among `first` and its later siblings, whose parent's
// top-left is at `origin`. A window that lets taps through still passes them to its children.
uint32_t HitAmong(Segment& s, uint32_t first, POINT origin, POINT screen) {
  for (uint32_t i = first; i != kNone; i = s.windows[i].next) {
    const WindowSlot& w = s.windows[i];
    const RECT r = w.rect;
    if (!(w.style & WS_VISIBLE) || screen.x < origin.x + r.left || screen.x >= origin.x + r.right ||
        screen.y < origin.y + r.top || screen.y >= origin.y + r.bottom) {
      continue;
    }
    const uint32_t child = HitAmong(s, w.firstChild, POINT{origin.x + r.left, origin.y + r.top}, screen);
    if (child != kNone) return child;
    if (!LetsTapsThrough(w)) return i;
  }
  return kNone;
}

}  // namespace

bool IsGroupBox(const WindowSlot& w) {
  return w.parent && ClassIs(w, u"BUTTON") && (w.style & BS_TYPEMASK) == BS_GROUPBOX;
}

uint32_t WindowAt(Segment& s, POINT screen) { return HitAmong(s, s.topFirst, POINT{0, 0}, screen); }

void WakeQueue(Segment& s, uint32_t q) {
  if (q >= kMaxQueues || !s.queues[q].live) return;
  kernel::ObjectRef ref{&kernel::Current(), s.queues[q].wakeIndex, s.queues[q].wakeGen, false};
  kernel::ModifyEvent(ref, kernel::EventOp::Set);
}

void ReleaseQueue(Segment& s, uint32_t q) {
  QueueSlot& queue = s.queues[q];
  if (!queue.live) return;
  for (uint32_t i = 0; i < kMaxWindows; ++i) {
    if (s.windows[i].live && s.windows[i].queue == q) FreeWindowTree(s, i);
  }
  for (HookSlot& h : s.hooks) {
    if (h.live && h.queue == q) h.live = 0;
  }
  for (HotKeySlot& h : s.hotKeys) {
    if (h.live && h.queue == q) h.live = 0;
  }
  for (SendSlot& m : s.sends) {
    if (m.state == SendState::Free) continue;
    if (m.to == q && m.toGen == queue.gen && m.state != SendState::Done) {
      // Nobody will answer: the sender gets 0.
      if (m.hasData) FreeChunks(s, m.firstChunk, m.chunks);
      m.hasData = 0;
      m.result = 0;
      if (m.from == kNone || m.kind == SendKind::Notify || m.kind == SendKind::Internal) {
        m.state = SendState::Free;
      } else {
        m.state = SendState::Done;
        WakeQueue(s, m.from);
      }
    } else if (m.from == q && m.fromGen == queue.gen) {
      if (m.state == SendState::Taken) {
        m.from = kNone;  // the receiver frees it when done
      } else {
        if (m.hasData) FreeChunks(s, m.firstChunk, m.chunks);
        m = SendSlot{};
      }
    }
  }
  uint32_t gen = queue.gen + 1;
  queue.live = 0;
  queue.gen = gen;
  queue.count = queue.head = 0;
}

}  // namespace zb::wm

namespace zb::wm {

bool PidAlive(Segment& s, int32_t pid) {
  if (pid == kernel::ThisPid()) return true;
  for (const QueueSlot& q : s.queues) {
    if (q.live && q.pid == pid) return kernel::ProcessAlive(q.pid, q.startTime);
  }
  return false;
}

void SweepDead(Segment& s) {
  int32_t checked[kMaxQueues];
  bool alive[kMaxQueues];
  uint32_t n = 0;
  for (uint32_t q = 0; q < kMaxQueues; ++q) {
    const QueueSlot& queue = s.queues[q];
    if (!queue.live || queue.pid == kernel::ThisPid()) continue;
    uint32_t k = 0;
    while (k < n && checked[k] != queue.pid) ++k;
    if (k == n) {
      checked[n] = queue.pid;
      alive[n++] = kernel::ProcessAlive(queue.pid, queue.startTime);
    }
    if (!alive[k]) ReleaseQueue(s, q);
  }
}

}  // namespace zb::wm
