// input::Deliver, keybd_event and GetAsyncKeyState. Whoever delivers (the presenter, a test,
// zbdev) runs the routing itself against the shared table, in any process: hooks are sent to
// their threads and answered, and the message is queued on the target window's thread.
#include <algorithm>
#include <vector>

#include "gwes/input.h"
#include "gwes/input_route.h"
#include "gwes/msg_core.h"
#include "gwes/wm_focus.h"
#include "gwes/wm_links.h"

namespace zb::wm {
namespace {

struct HookCall {
  uint64_t seq;
  Target target;
  uint64_t proc;
};

bool Down(const Segment& s, UINT vk) { return (s.keys[vk] & 0x80) != 0; }

bool ModifiersHeld(const Segment& s, UINT modifiers, UINT vk) {
  if ((modifiers & MOD_ALT) && !(Down(s, VK_MENU) || Down(s, VK_LMENU) || Down(s, VK_RMENU))) return false;
  if ((modifiers & MOD_CONTROL) && !(Down(s, VK_CONTROL) || Down(s, VK_LCONTROL) || Down(s, VK_RCONTROL))) return false;
  if ((modifiers & MOD_SHIFT) && !(Down(s, VK_SHIFT) || Down(s, VK_LSHIFT) || Down(s, VK_RSHIFT))) return false;
  // The hardware application buttons come with the Windows key implied.
  const bool appKey = vk >= VK_APP1 && vk <= VK_APP6;
  if ((modifiers & MOD_WIN) && !(appKey || Down(s, VK_LWIN) || Down(s, VK_RWIN))) return false;
  return true;
}

bool RunHooks(UINT vk, bool up, bool injected, DWORD scan, ULONG_PTR extra, DWORD time) {
  std::vector<HookCall> hooks;
  {
    Segment& s = *CurrentSession().seg;
    Locked lock(s);
    for (const HookSlot& h : s.hooks) {
      if (!h.live || h.queue >= kMaxQueues || s.queues[h.queue].gen != h.queueGen) continue;
      Target t;
      t.pid = h.pid;
      t.tid = s.queues[h.queue].tid;
      t.queue = h.queue;
      t.queueGen = h.queueGen;
      t.startTime = s.queues[h.queue].startTime;
      hooks.push_back({h.seq, t, h.proc});
    }
  }
  std::sort(hooks.begin(), hooks.end(), [](const HookCall& a, const HookCall& b) { return a.seq > b.seq; });
  const DWORD flags = (up ? LLKHF_UP : 0) | (injected ? LLKHF_INJECTED : 0);
  for (const HookCall& h : hooks) {
    Outgoing out;
    out.kind = SendKind::Hook;
    out.wParam = up ? WM_KEYUP : WM_KEYDOWN;
    out.aux[0] = h.proc;
    out.aux[1] = vk | static_cast<uint64_t>(scan) << 32;
    out.aux[2] = flags | static_cast<uint64_t>(time) << 32;
    out.aux[3] = extra;
    LRESULT result = 0;
    if (IsThisThread(h.target)) {
      result = RunHook(out.aux, out.wParam);
    } else if (!SendTo(h.target, out, &result)) {
      continue;  // the hook's thread is gone
    }
    if (result) return true;  // the hook took the key
  }
  return false;
}

bool DeliverStylus(input::Kind kind, POINT at) {
  Segment& s = *CurrentSession().seg;
  HWND activate = nullptr;
  {
    Locked lock(s);
    if (kind == input::Kind::StylusDown) s.keys[VK_LBUTTON] = 0x81;
    if (kind == input::Kind::StylusUp) s.keys[VK_LBUTTON] &= ~0x80;
    WindowSlot* target = Slot(s, reinterpret_cast<HWND>(s.capture));
    if (!target) {
      uint32_t hit = WindowAt(s, at);
      if (hit == kNone) return false;
      // A disabled window, or one inside a disabled window (the owner of a modal box), takes no taps.
      for (uint32_t i = hit; i != kNone; i = ParentIndex(s, s.windows[i])) {
        if (s.windows[i].style & WS_DISABLED) return false;
      }
      target = &s.windows[hit];
    }
    POINT origin = ScreenOrigin(s, *target);
    UINT message = kind == input::Kind::StylusDown ? WM_LBUTTONDOWN
                   : kind == input::Kind::StylusUp ? WM_LBUTTONUP
                                                   : WM_MOUSEMOVE;
    WPARAM buttons = Down(s, VK_LBUTTON) ? MK_LBUTTON : 0;
    Posted p{HwndValue(HandleOf(s, *target)), message,
             message == WM_MOUSEMOVE ? PostKind::MouseMove : PostKind::MouseButton, buttons,
             static_cast<uint64_t>(static_cast<uint32_t>(MAKELPARAM(at.x - origin.x, at.y - origin.y))), NowTick(),
             at.x, at.y};
    if (!PushPosted(s, target->queue, p)) return false;
    // A tap on a window that is not in front brings it there.
    const WindowSlot& top = s.windows[TopLevelOf(s, IndexOf(s, *target))];
    if (message == WM_LBUTTONDOWN && s.foreground != HwndValue(HandleOf(s, top)) &&
        !(top.exStyle & WS_EX_NOACTIVATE))
      activate = HandleOf(s, top);
  }
  if (activate) ChangeForeground(activate, false);
  return true;
}

}  // namespace

LRESULT RunHook(const uint64_t* aux, WPARAM wParam) {
  auto proc = reinterpret_cast<HOOKPROC>(aux[0]);
  KBDLLHOOKSTRUCT record{static_cast<DWORD>(aux[1] & 0xFFFFFFFF), static_cast<DWORD>(aux[1] >> 32),
                         static_cast<DWORD>(aux[2] & 0xFFFFFFFF), static_cast<DWORD>(aux[2] >> 32),
                         static_cast<ULONG_PTR>(aux[3])};
  return proc ? proc(HC_ACTION, wParam, reinterpret_cast<LPARAM>(&record)) : 0;
}

bool DeliverKey(UINT vk, bool up, bool injected, DWORD scan, ULONG_PTR extra) {
  vk &= 0xFF;
  const DWORD time = NowTick();
  Segment& s = *CurrentSession().seg;
  bool wasDown;
  {
    Locked lock(s);
    wasDown = Down(s, vk);
    s.keys[vk] = up ? (s.keys[vk] & ~0x80) : 0x81;
  }
  if (RunHooks(vk, up, injected, scan, extra, time)) return true;
  Locked lock(s);
  for (const HotKeySlot& h : s.hotKeys) {
    if (!h.live || h.vk != vk || !ModifiersHeld(s, h.modifiers, vk)) continue;
    if (up && !(h.modifiers & MOD_KEYUP)) return true;  // taken, but only presses were asked for
    UINT modifiers = (h.modifiers & ~MOD_KEYUP) | (up ? MOD_KEYUP : 0);
    Posted p{h.hwnd, WM_HOTKEY, PostKind::HotKey, static_cast<uint64_t>(h.id),
             static_cast<uint64_t>(static_cast<uint32_t>(MAKELPARAM(modifiers, vk))), time, 0, 0};
    return PushPosted(s, h.queue, p);
  }
  WindowSlot* foreground = Slot(s, reinterpret_cast<HWND>(s.foreground));
  if (!foreground) return false;
  WindowSlot* focus = Slot(s, reinterpret_cast<HWND>(s.queues[foreground->queue].focus));
  WindowSlot* target = focus ? focus : foreground;
  uint32_t lParam = 1 | (wasDown || up ? 1u << 30 : 0) | (up ? 1u << 31 : 0);
  Posted p{HwndValue(HandleOf(s, *target)), up ? static_cast<UINT>(WM_KEYUP) : static_cast<UINT>(WM_KEYDOWN),
           PostKind::Key, vk, lParam, time, 0, 0};
  return PushPosted(s, target->queue, p);
}

}  // namespace zb::wm

namespace zb::input {

bool Deliver(const Event& event) {
  switch (event.kind) {
    case Kind::KeyDown:
    case Kind::KeyUp:
      return wm::DeliverKey(event.vk, event.kind == Kind::KeyUp, false, 0, 0);
    case Kind::StylusDown:
    case Kind::StylusMove:
    case Kind::StylusUp:
      return wm::DeliverStylus(event.kind, POINT{event.x, event.y});
  }
  return false;
}

}  // namespace zb::input

extern "C" void keybd_event(BYTE key, BYTE scan, DWORD flags, ULONG_PTR extraInfo) {
  zb::wm::DeliverKey(key, (flags & KEYEVENTF_KEYUP) != 0, true, scan, extraInfo);
}

extern "C" SHORT GetAsyncKeyState(int key) {
  if (key < 0 || key > 0xFF) return 0;
  zb::wm::Segment& s = *zb::wm::CurrentSession().seg;
  zb::wm::Locked lock(s);
  uint8_t state = s.keys[key];
  s.keys[key] &= ~1;
  return static_cast<SHORT>((state & 0x80 ? 0x8000 : 0) | (state & 1));
}

