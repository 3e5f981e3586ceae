// Posting to a thread's queue and taking messages off it. GetMessageW and PeekMessageW first
// serve sends addressed to the thread, then take posted records (input among them, in arrival
// order), then WM_QUIT, then a WM_PAINT, then a WM_TIMER; GetMessageW waits on the queue's
// wake event until the next timer is due.
#include "coredll/waitable.h"
#include "gwes/msg_core.h"
#include "gwes/msg_sources.h"
#include "gwes/wm_links.h"

namespace zb::wm {
namespace {

const HWND kThreadOnly = reinterpret_cast<HWND>(-1);

// Where the stylus was when this thread last took a message, for GetMessagePos.
thread_local POINT t_lastPos{0, 0};
// The keys as this thread's messages have told them so far, for GetKeyState: a key reads as
// it was when the message being handled was queued, not as it is now.
thread_local uint8_t t_keys[256] = {};

void Track(const MSG& msg) {
  auto set = [](UINT vk, bool down) {
    if (down && !(t_keys[vk] & 0x80)) t_keys[vk] ^= 1;  // the toggle flips on each press
    t_keys[vk] = static_cast<uint8_t>((t_keys[vk] & 1) | (down ? 0x80 : 0));
  };
  switch (msg.message) {
    case WM_KEYDOWN:
    case WM_KEYUP: {
      const UINT vk = static_cast<UINT>(msg.wParam) & 0xFF;
      set(vk, msg.message == WM_KEYDOWN);
      // The sided keys count for the plain one too.
      if (vk == VK_LSHIFT || vk == VK_RSHIFT) set(VK_SHIFT, msg.message == WM_KEYDOWN);
      if (vk == VK_LCONTROL || vk == VK_RCONTROL) set(VK_CONTROL, msg.message == WM_KEYDOWN);
      break;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      set(VK_LBUTTON, msg.message == WM_LBUTTONDOWN);
      break;
    default:
      break;
  }
}

void RemoveAt(QueueSlot& q, uint32_t i) {
  for (uint32_t j = i; j > 0; --j) q.ring[(q.head + j) % kQueueMessages] = q.ring[(q.head + j - 1) % kQueueMessages];
  q.head = (q.head + 1) % kQueueMessages;
  --q.count;
}

bool ValidFilter(Segment& s, HWND filter) {
  return !filter || filter == kThreadOnly || Slot(s, filter);
}

// Takes the first matching message; 1 found, 0 none, -1 bad filter.
int Retrieve(MSG* msg, HWND filter, UINT min, UINT max, UINT flags, bool wait) {
  if (!msg) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  ThreadQueue* q = MyQueue();
  if (!q) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return -1;
  }
  Segment& s = *CurrentSession().seg;
  const bool remove = (flags & PM_REMOVE) != 0;
  for (;;) {
    DispatchIncoming(*q);
    {
      Locked lock(s);
      if (!ValidFilter(s, filter)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return -1;
      }
      QueueSlot& qs = s.queues[q->index];
      qs.changed = 0;
      for (uint32_t i = 0; i < qs.count; ++i) {
        const Posted& p = qs.ring[(qs.head + i) % kQueueMessages];
        if (!RangeAllows(p.message, min, max) || !FilterAllows(s, p.hwnd, filter)) continue;
        *msg = MSG{reinterpret_cast<HWND>(p.hwnd), p.message, static_cast<WPARAM>(p.wParam),
                   static_cast<LPARAM>(p.lParam), p.time, POINT{p.x, p.y}};
        if (p.kind == PostKind::MouseButton || p.kind == PostKind::MouseMove) t_lastPos = msg->pt;
        if (remove) {
          RemoveAt(qs, i);
          Track(*msg);
        }
        return 1;
      }
      if (qs.quit && RangeAllows(WM_QUIT, min, max) && (!filter || filter == kThreadOnly)) {
        *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(qs.quitCode), 0, NowTick(), POINT{0, 0}};
        if (remove) qs.quit = 0;
        return 1;
      }
    }
    if (RangeAllows(WM_PAINT, min, max) && NextPaint(*q, filter, msg)) return 1;
    if (RangeAllows(WM_TIMER, min, max) && NextTimer(*q, filter, remove, msg)) return 1;
    if (!wait) return 0;
    uint64_t due = NextTimerDue(*q);
    uint32_t timeout = INFINITE;
    if (due != kNever) {
      uint64_t now = kernel::NowMs();
      timeout = due > now ? static_cast<uint32_t>(std::min<uint64_t>(due - now, INFINITE - 1)) : 0;
    }
    WaitAsThread({&q->wake, 1}, false, timeout);
  }
}

char16_t CharOf(const Segment& s, UINT vk) {
  auto down = [&](UINT key) { return (s.keys[key] & 0x80) != 0; };
  const bool shift = down(VK_SHIFT) || down(VK_LSHIFT) || down(VK_RSHIFT);
  const bool control = down(VK_CONTROL) || down(VK_LCONTROL) || down(VK_RCONTROL);
  if (vk >= 'A' && vk <= 'Z') {
    if (control) return static_cast<char16_t>(vk - 'A' + 1);
    return static_cast<char16_t>(shift ? vk : vk + ('a' - 'A'));
  }
  if (vk >= '0' && vk <= '9') {
    constexpr char16_t kShifted[] = u")!@#$%^&*(";
    return shift ? kShifted[vk - '0'] : static_cast<char16_t>(vk);
  }
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9) return static_cast<char16_t>('0' + vk - VK_NUMPAD0);
  struct Fixed {
    UINT vk;
    char16_t ch;
  };
  constexpr Fixed kFixed[] = {{VK_SPACE, u' '},   {VK_RETURN, u'\r'}, {VK_BACK, 8},       {VK_TAB, u'\t'},
                              {VK_ESCAPE, 27},    {VK_MULTIPLY, u'*'}, {VK_ADD, u'+'},    {VK_SUBTRACT, u'-'},
                              {VK_DECIMAL, u'.'}, {VK_DIVIDE, u'/'}};
  for (const Fixed& f : kFixed) {
    if (f.vk == vk) return f.ch;
  }
  return 0;
}

}  // namespace

uint32_t WakeBit(PostKind kind) {
  switch (kind) {
    case PostKind::Key: return QS_KEY;
    case PostKind::MouseButton: return QS_MOUSEBUTTON;
    case PostKind::MouseMove: return QS_MOUSEMOVE;
    case PostKind::HotKey: return QS_HOTKEY;
    case PostKind::Posted: break;
  }
  return QS_POSTMESSAGE;
}

bool PushPosted(Segment& s, uint32_t q, const Posted& record, bool front) {
  if (q >= kMaxQueues || !s.queues[q].live) return false;
  QueueSlot& qs = s.queues[q];
  if (qs.count >= kQueueMessages) return false;
  if (front) {
    qs.head = (qs.head + kQueueMessages - 1) % kQueueMessages;
    qs.ring[qs.head] = record;
  } else {
    qs.ring[(qs.head + qs.count) % kQueueMessages] = record;
  }
  ++qs.count;
  qs.changed |= WakeBit(record.kind);
  WakeQueue(s, q);
  return true;
}

bool FilterAllows(Segment& s, uint64_t hwnd, HWND filter) {
  if (!filter) return true;
  if (filter == kThreadOnly) return hwnd == 0;
  if (hwnd == HwndValue(filter)) return true;
  WindowSlot* w = Slot(s, reinterpret_cast<HWND>(hwnd));
  WindowSlot* f = Slot(s, filter);
  return w && f && IsDescendant(s, IndexOf(s, *w), IndexOf(s, *f));
}

}  // namespace zb::wm

using namespace zb::wm;

extern "C" BOOL GetMessageW(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax) {
  int r = Retrieve(msg, hwnd, filterMin, filterMax, PM_REMOVE, true);
  if (r < 0) return -1;
  return msg->message == WM_QUIT ? FALSE : TRUE;
}

extern "C" BOOL PeekMessageW(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags) {
  return Retrieve(msg, hwnd, filterMin, filterMax, removeFlags, false) > 0 ? TRUE : FALSE;
}

extern "C" BOOL PostMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA || message == WM_SETTEXT || message == WM_GETTEXT) {
    // Their pointers would be read after the sender has moved on.
    SetLastError(ERROR_MESSAGE_SYNC_ONLY);
    return FALSE;
  }
  Posted p{HwndValue(hwnd), message, PostKind::Posted, wParam, static_cast<uint64_t>(lParam), NowTick(), 0, 0};
  if (!hwnd) {
    ThreadQueue* q = MyQueue();
    Segment& s = *CurrentSession().seg;
    Locked lock(s);
    if (!q || !PushPosted(s, q->index, p)) {
      SetLastError(ERROR_NOT_ENOUGH_QUOTA);
      return FALSE;
    }
    return TRUE;
  }
  Segment& s = *CurrentSession().seg;
  Locked lock(s);
  WindowSlot* w = Slot(s, hwnd);
  if (w && w->pid != zb::kernel::ThisPid() && !PidAlive(s, w->pid)) {
    SweepDead(s);
    w = Slot(s, hwnd);
  }
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (!PushPosted(s, w->queue, p)) {
    SetLastError(ERROR_NOT_ENOUGH_QUOTA);
    return FALSE;
  }
  return TRUE;
}

extern "C" BOOL PostThreadMessageW(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA || message == WM_SETTEXT || message == WM_GETTEXT) {
    SetLastError(ERROR_MESSAGE_SYNC_ONLY);
    return FALSE;
  }
  Segment& s = *CurrentSession().seg;
  Locked lock(s);
  for (uint32_t q = 0; q < kMaxQueues; ++q) {
    if (!s.queues[q].live || s.queues[q].tid != static_cast<int32_t>(threadId)) continue;
    Posted p{0, message, PostKind::Posted, wParam, static_cast<uint64_t>(lParam), NowTick(), 0, 0};
    if (!PushPosted(s, q, p)) {
      SetLastError(ERROR_NOT_ENOUGH_QUOTA);
      return FALSE;
    }
    return TRUE;
  }
  SetLastError(ERROR_INVALID_THREAD_ID);
  return FALSE;
}

extern "C" void PostQuitMessage(int exitCode) {
  ThreadQueue* q = MyQueue();
  if (!q) return;
  Segment& s = *CurrentSession().seg;
  Locked lock(s);
  s.queues[q->index].quit = 1;
  s.queues[q->index].quitCode = exitCode;
  s.queues[q->index].changed |= QS_POSTMESSAGE;
}

extern "C" BOOL TranslateMessage(const MSG* msg) {
  if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_KEYUP && msg->message != WM_SYSKEYDOWN &&
               msg->message != WM_SYSKEYUP))
    return FALSE;
  if (msg->message != WM_KEYDOWN) return TRUE;
  ThreadQueue* q = MyQueue();
  if (!q) return TRUE;
  Segment& s = *CurrentSession().seg;
  Locked lock(s);
  char16_t ch = CharOf(s, static_cast<UINT>(msg->wParam));
  if (ch) {
    // The character comes next, before anything posted after the key.
    Posted p{HwndValue(msg->hwnd), WM_CHAR, PostKind::Key, ch, static_cast<uint64_t>(msg->lParam), msg->time,
             msg->pt.x, msg->pt.y};
    PushPosted(s, q->index, p, true);
  }
  return TRUE;
}

extern "C" LRESULT DispatchMessageW(const MSG* msg) {
  if (!msg) return 0;
  if (msg->message == WM_TIMER && msg->lParam) {
    if (!IsTimerProc(msg->hwnd, msg->wParam, msg->lParam)) return 0;
    reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, msg->wParam, NowTick());
    return 0;
  }
  if (!msg->hwnd) return 0;
  auto window = LocalWindow(msg->hwnd);
  if (!window) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (window->tid != MyTid()) {
    SetLastError(ERROR_WINDOW_OF_OTHER_THREAD);
    return 0;
  }
  return CallProc(window, msg->message, msg->wParam, msg->lParam);
}

extern "C" DWORD GetMessagePos() {
  return static_cast<DWORD>(MAKELONG(zb::wm::t_lastPos.x, zb::wm::t_lastPos.y));
}

extern "C" SHORT GetKeyState(int key) {
  if (key < 0 || key > 0xFF) return 0;
  const uint8_t state = zb::wm::t_keys[key];
  return static_cast<SHORT>((state & 0x80 ? 0x8000 : 0) | (state & 1));
}
