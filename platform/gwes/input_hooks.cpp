// SetWindowsHookExW (the low-level keyboard hook) and RegisterHotKey. Both are device-wide
// tables in the shared segment, so keys delivered from any process find them; each entry
// belongs to the thread that made it and goes with that thread.
#include "gwes/msg_core.h"
#include "gwes/wm_session.h"

using namespace zb::wm;

namespace {

HHOOK HookHandle(uint32_t index, uint32_t gen) {
  return reinterpret_cast<HHOOK>(static_cast<uintptr_t>(gen) << 16 | (index + 1));
}

}  // namespace

extern "C" HHOOK SetWindowsHookExW(int type, HOOKPROC proc, HINSTANCE, DWORD) {
  if (type != WH_KEYBOARD_LL) {
    SetLastError(ERROR_INVALID_HOOK_FILTER);
    return nullptr;
  }
  if (!proc) {
    SetLastError(ERROR_INVALID_FILTER_PROC);
    return nullptr;
  }
  ThreadQueue* q = MyQueue();
  if (!q) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  Segment& s = *CurrentSession().seg;
  Locked lock(s);
  for (uint32_t i = 0; i < kMaxHooks; ++i) {
    HookSlot& h = s.hooks[i];
    if (h.live) continue;
    h.gen = (h.gen + 1) & 0xFFFF;
    if (!h.gen) h.gen = 1;
    h.live = 1;
    h.pid = zb::kernel::ThisPid();
    h.queue = q->index;
    h.queueGen = q->gen;
    h.seq = ++s.seq;
    h.proc = reinterpret_cast<uintptr_t>(proc);
    return HookHandle(i, h.gen);
  }
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return nullptr;
}

extern "C" BOOL UnhookWindowsHookEx(HHOOK hook) {
  auto v = reinterpret_cast<uintptr_t>(hook);
  uint32_t index = static_cast<uint32_t>(v & 0xFFFF) - 1;
  Segment& s = *CurrentSession().seg;
  Locked lock(s);
  if (index >= kMaxHooks || !s.hooks[index].live || s.hooks[index].gen != (v >> 16) ||
      s.hooks[index].pid != zb::kernel::ThisPid()) {
    SetLastError(ERROR_INVALID_HOOK_HANDLE);
    return FALSE;
  }
  s.hooks[index].live = 0;
  return TRUE;
}

// The chain is walked by whoever delivers the key: a hook that passes the key on lets the
// next one see it, so passing on answers 0 here.
extern "C" LRESULT CallNextHookEx(HHOOK, int, WPARAM, LPARAM) { return 0; }

extern "C" BOOL RegisterHotKey(HWND hwnd, int id, UINT modifiers, UINT key) {
  ThreadQueue* q = MyQueue();
  if (!q) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
  if (hwnd) {
    auto window = LocalWindow(hwnd);
    if (!window || window->tid != MyTid()) {
      SetLastError(window || IsWindow(hwnd) ? ERROR_WINDOW_OF_OTHER_THREAD : ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
  }
  if (key == 0 || key > 0xFF) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  Segment& s = *CurrentSession().seg;
  Locked lock(s);
  HotKeySlot* free = nullptr;
  for (HotKeySlot& h : s.hotKeys) {
    if (h.live && h.vk == key && (h.modifiers & ~MOD_KEYUP) == (modifiers & ~MOD_KEYUP)) {
      SetLastError(ERROR_HOTKEY_ALREADY_REGISTERED);
      return FALSE;
    }
    if (!h.live && !free) free = &h;
  }
  if (!free) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
  *free = HotKeySlot{1, zb::kernel::ThisPid(), q->index, q->gen, HwndValue(hwnd), id, modifiers, key};
  return TRUE;
}

extern "C" BOOL UnregisterHotKey(HWND hwnd, int id) {
  Segment& s = *CurrentSession().seg;
  Locked lock(s);
  for (HotKeySlot& h : s.hotKeys) {
    if (h.live && h.pid == zb::kernel::ThisPid() && h.hwnd == HwndValue(hwnd) && h.id == id) {
      h.live = 0;
      return TRUE;
    }
  }
  SetLastError(ERROR_HOTKEY_NOT_REGISTERED);
  return FALSE;
}
