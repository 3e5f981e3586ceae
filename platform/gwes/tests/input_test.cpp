// Input through the one entry: keys reach the focus window of the foreground thread after the
// low-level hooks and hot keys had their say, the stylus reaches the window under it (or the
// capture window), and the key state, foreground changes and the wait cursor are device-wide.
#include <atomic>
#include <thread>

#include "gwes/cursor_state.h"
#include "gwes/input.h"
#include "window_support.h"

namespace {

using namespace wtest;
using zb::input::Deliver;
using zb::input::Event;
using zb::input::Kind;

std::vector<Entry> Only(std::initializer_list<UINT> messages) {
  std::vector<Entry> out;
  for (const Entry& e : TheTrace().Take()) {
    for (UINT m : messages) {
      if (e.message == m) out.push_back(e);
    }
  }
  return out;
}

class InputTest : public WindowTest {};

TEST_F(InputTest, KeysGoToTheFocusWindowOfTheForegroundWindow) {
  EXPECT_FALSE(Deliver(Event{Kind::KeyDown, 0, 0, 'X'})) << "no foreground window, nobody takes keys";
  Deliver(Event{Kind::KeyUp, 0, 0, 'X'});
  HWND a = Make(WS_VISIBLE);
  HWND c = Make(WS_CHILD | WS_VISIBLE, a, {0, 0, 10, 10});
  Pump();
  TheTrace().Take();
  EXPECT_TRUE(Deliver(Event{Kind::KeyDown, 0, 0, 'X'}));
  SetFocus(c);
  EXPECT_TRUE(Deliver(Event{Kind::KeyDown, 0, 0, 'X'}));  // held: a repeat
  keybd_event('X', 0, KEYEVENTF_KEYUP, 0);
  Pump();
  std::vector<Entry> expected = {
      {a, WM_KEYDOWN, 'X', 1},
      {c, WM_KEYDOWN, 'X', 1 | (1 << 30)},
      {c, WM_KEYUP, 'X', static_cast<LPARAM>(0xC0000001u)},
  };
  EXPECT_EQ(Only({WM_KEYDOWN, WM_KEYUP}), expected);
}

TEST_F(InputTest, StylusGoesToTheWindowUnderItOrToTheCapture) {
  HWND a = Make(WS_VISIBLE, nullptr, {0, 0, 100, 100});
  HWND c = Make(WS_CHILD | WS_VISIBLE, a, {10, 10, 30, 30});
  HWND off = Make(WS_CHILD | WS_VISIBLE | WS_DISABLED, a, {50, 50, 70, 70});
  Pump();
  TheTrace().Take();
  EXPECT_TRUE(Deliver(Event{Kind::StylusDown, 15, 16}));
  EXPECT_TRUE(Deliver(Event{Kind::StylusMove, 40, 40}));
  EXPECT_TRUE(Deliver(Event{Kind::StylusUp, 40, 40}));
  EXPECT_FALSE(Deliver(Event{Kind::StylusDown, 55, 55})) << "a disabled window takes no taps";
  Deliver(Event{Kind::StylusUp, 55, 55});
  EnableWindow(a, FALSE);
  EXPECT_FALSE(Deliver(Event{Kind::StylusDown, 15, 16})) << "nor does a child of a disabled window";
  Deliver(Event{Kind::StylusUp, 15, 16});
  EnableWindow(a, TRUE);
  EXPECT_FALSE(Deliver(Event{Kind::StylusDown, 200, 200})) << "the bare screen takes nothing";
  Deliver(Event{Kind::StylusUp, 200, 200});
  SetCapture(c);
  EXPECT_EQ(GetCapture(), c);
  EXPECT_TRUE(Deliver(Event{Kind::StylusMove, 200, 210}));
  ReleaseCapture();
  Pump();
  std::vector<Entry> expected = {
      {c, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6)},
      {a, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(40, 40)},
      {a, WM_LBUTTONUP, 0, MAKELPARAM(40, 40)},
      {c, WM_MOUSEMOVE, 0, MAKELPARAM(190, 200)},
  };
  EXPECT_EQ(Only({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEMOVE}), expected);
  (void)off;
}

TEST_F(InputTest, TapOnABackWindowBringsItToTheFront) {
  HWND back = Make(WS_VISIBLE, nullptr, {0, 0, 50, 50});
  HWND front = Make(WS_VISIBLE, nullptr, {100, 0, 150, 50});
  ASSERT_EQ(GetForegroundWindow(), front);
  Deliver(Event{Kind::StylusDown, 10, 10});
  Deliver(Event{Kind::StylusUp, 10, 10});
  EXPECT_EQ(GetForegroundWindow(), back);
  EXPECT_EQ(GetWindow(back, GW_HWNDFIRST), back);
}

TEST_F(InputTest, AsyncKeyStateTellsDownAndPressedSinceLastAsked) {
  HWND a = Make(WS_VISIBLE);
  (void)a;
  EXPECT_EQ(GetAsyncKeyState(VK_F20), 0);
  keybd_event(VK_F20, 0, 0, 0);
  EXPECT_EQ(static_cast<uint16_t>(GetAsyncKeyState(VK_F20)), 0x8001);
  EXPECT_EQ(static_cast<uint16_t>(GetAsyncKeyState(VK_F20)), 0x8000);
  keybd_event(VK_F20, 0, KEYEVENTF_KEYUP, 0);
  EXPECT_EQ(GetAsyncKeyState(VK_F20), 0);
  Deliver(Event{Kind::StylusDown, 5, 5});
  EXPECT_TRUE(GetAsyncKeyState(VK_LBUTTON) & 0x8000) << "the stylus is the left button";
  Deliver(Event{Kind::StylusUp, 5, 5});
  EXPECT_FALSE(GetAsyncKeyState(VK_LBUTTON) & 0x8000);
}

TEST_F(InputTest, HotKeysTakeTheirKeysAndReportReleasesWhenAsked) {
  HWND a = Make(WS_VISIBLE);
  ASSERT_TRUE(RegisterHotKey(a, 5, MOD_WIN | MOD_KEYUP, VK_APP1));
  ASSERT_TRUE(RegisterHotKey(a, 6, 0, VK_APP2));
  EXPECT_FALSE(RegisterHotKey(a, 7, MOD_KEYUP, VK_APP2)) << "one key, one hot key";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_HOTKEY_ALREADY_REGISTERED));
  Pump();
  TheTrace().Take();
  for (UINT vk : {VK_APP1, VK_APP2}) {
    keybd_event(static_cast<BYTE>(vk), 0, 0, 0);
    keybd_event(static_cast<BYTE>(vk), 0, KEYEVENTF_KEYUP, 0);
  }
  ASSERT_TRUE(UnregisterHotKey(a, 6));
  EXPECT_FALSE(UnregisterHotKey(a, 6));
  keybd_event(VK_APP2, 0, 0, 0);
  Pump();
  std::vector<Entry> expected = {
      {a, WM_HOTKEY, 5, MAKELPARAM(MOD_WIN, VK_APP1)},
      {a, WM_HOTKEY, 5, MAKELPARAM(MOD_WIN | MOD_KEYUP, VK_APP1)},
      {a, WM_HOTKEY, 6, MAKELPARAM(0, VK_APP2)},
      {a, WM_KEYDOWN, VK_APP2, 1},
  };
  EXPECT_EQ(Only({WM_HOTKEY, WM_KEYDOWN, WM_KEYUP}), expected);
}

struct Seen {
  DWORD vk, flags, thread;
  WPARAM message;
};
std::vector<Seen> g_seen;
std::mutex g_seenLock;

LRESULT CALLBACK EatQ(int code, WPARAM w, LPARAM l) {
  auto* k = reinterpret_cast<KBDLLHOOKSTRUCT*>(l);
  {
    std::lock_guard lock(g_seenLock);
    g_seen.push_back({k->vkCode, k->flags, GetCurrentThreadId(), w});
  }
  if (code == HC_ACTION && k->vkCode == 'Q') return 1;
  return CallNextHookEx(nullptr, code, w, l);
}

TEST_F(InputTest, KeyboardHookRunsOnItsOwnThreadAndMayEatKeys) {
  g_seen.clear();
  HWND a = Make(WS_VISIBLE);
  Pump();
  TheTrace().Take();
  std::atomic<DWORD> hookThread{0};
  HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::atomic<HHOOK> hook{nullptr};
  std::thread t([&] {
    hook = SetWindowsHookExW(WH_KEYBOARD_LL, EatQ, nullptr, 0);
    hookThread = GetCurrentThreadId();
    while (MsgWaitForMultipleObjectsEx(1, &stop, 20000, QS_ALLINPUT, 0) != WAIT_OBJECT_0) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    EXPECT_TRUE(UnhookWindowsHookEx(hook));
    EXPECT_FALSE(UnhookWindowsHookEx(hook));
  });
  for (int i = 0; i < 20000 && !hookThread; ++i) Sleep(1);
  ASSERT_NE(hook.load(), nullptr);
  keybd_event('Q', 0, 0, 0);
  EXPECT_TRUE(Deliver(Event{Kind::KeyDown, 0, 0, 'W'}));
  SetEvent(stop);
  t.join();
  CloseHandle(stop);
  keybd_event('Q', 0, KEYEVENTF_KEYUP, 0);  // no hook any more
  Pump();
  ASSERT_EQ(g_seen.size(), 2u);
  EXPECT_EQ(g_seen[0].vk, static_cast<DWORD>('Q'));
  EXPECT_EQ(g_seen[0].flags, static_cast<DWORD>(LLKHF_INJECTED));
  EXPECT_EQ(g_seen[0].thread, hookThread.load());
  EXPECT_EQ(g_seen[1].vk, static_cast<DWORD>('W'));
  EXPECT_EQ(g_seen[1].flags, 0u);
  std::vector<Entry> expected = {{a, WM_KEYDOWN, 'W', 1}, {a, WM_KEYUP, 'Q', static_cast<LPARAM>(0xC0000001u)}};
  EXPECT_EQ(Only({WM_KEYDOWN, WM_KEYUP}), expected) << "the eaten key never reached the window";
  EXPECT_EQ(SetWindowsHookExW(2, EatQ, nullptr, 0), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HOOK_FILTER));
}

TEST_F(InputTest, ForegroundWithTheLowBitBringsTheLastPopupToo) {
  HWND owner = Make(WS_VISIBLE);
  HWND popup = Make(WS_VISIBLE | WS_POPUP, owner);
  HWND other = Make(WS_VISIBLE);
  ASSERT_EQ(GetForegroundWindow(), other);
  ASSERT_TRUE(SetForegroundWindow(owner));
  EXPECT_EQ(GetForegroundWindow(), owner);
  EXPECT_EQ(GetWindow(owner, GW_HWNDFIRST), popup) << "owned windows ride above their owner";
  SetForegroundWindow(other);
  ASSERT_TRUE(SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<uintptr_t>(owner) | 1)));
  EXPECT_EQ(GetForegroundWindow(), popup);
  EXPECT_EQ(GetActiveWindow(), popup);
  EXPECT_FALSE(SetForegroundWindow(reinterpret_cast<HWND>(0x7FFC)));
}

TEST_F(InputTest, WaitCursorIsSetAndTakenBack) {
  HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
  ASSERT_NE(wait, nullptr);
  EXPECT_EQ(LoadCursorW(nullptr, MAKEINTRESOURCEW(1)), nullptr);
  EXPECT_FALSE(zb::wm::WaitCursorShown());
  SetCursor(wait);
  EXPECT_TRUE(zb::wm::WaitCursorShown());
  EXPECT_EQ(SetCursor(nullptr), wait);
  EXPECT_FALSE(zb::wm::WaitCursorShown());
}

}  // namespace
