// Support for the dialog and control tests: the in-memory templates of dialog_template.h, a
// dialog procedure that records what it is told, and input delivered to the screen and pumped
// through the dialog manager.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "dialog_template.h"
#include "gwes/input.h"
#include "window_support.h"

namespace dtest {

// What a dialog procedure was told, in order.
struct Told {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// A recording dialog procedure: every message lands in Log(); WM_INITDIALOG answers `Init()`,
// and `OnMessage()`, when set, sees messages first and decides what the procedure answers.
struct Recorder {
  static std::vector<Told>& Log() {
    static std::vector<Told> log;
    return log;
  }
  static INT_PTR& Init() {
    static INT_PTR answer = TRUE;
    return answer;
  }
  static std::function<bool(HWND, UINT, WPARAM, LPARAM, INT_PTR*)>& OnMessage() {
    static std::function<bool(HWND, UINT, WPARAM, LPARAM, INT_PTR*)> hook;
    return hook;
  }
  static void Reset() {
    Log().clear();
    Init() = TRUE;
    OnMessage() = nullptr;
  }
  static INT_PTR CALLBACK Proc(HWND hwnd, UINT m, WPARAM w, LPARAM l) {
    Log().push_back({m, w, l});
    INT_PTR answer = 0;
    if (OnMessage() && OnMessage()(hwnd, m, w, l, &answer)) return answer;
    if (m == WM_INITDIALOG) return Init();
    return FALSE;
  }
  // The WM_COMMAND messages told, as (id, code) pairs.
  static std::vector<std::pair<int, int>> Commands() {
    std::vector<std::pair<int, int>> out;
    for (const Told& t : Log())
      if (t.message == WM_COMMAND) out.push_back({LOWORD(t.wParam), HIWORD(t.wParam)});
    return out;
  }
};

// Dispatches this thread's messages through the dialog manager, as a dialog's loop would.
inline int PumpDialog(HWND dialog) {
  MSG msg;
  int n = 0;
  while (n < 10000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) break;
    if (!IsDialogMessageW(dialog, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    ++n;
  }
  return n;
}

// A tap at the middle of a window (or at a point of it), as the stylus gives it: the press is
// taken before the release comes, so a window that captures on the press gets the release.
inline void Tap(HWND hwnd, int dx = -1, int dy = -1) {
  RECT r;
  GetWindowRect(hwnd, &r);
  const int x = dx < 0 ? (r.left + r.right) / 2 : r.left + dx, y = dy < 0 ? (r.top + r.bottom) / 2 : r.top + dy;
  zb::input::Deliver({zb::input::Kind::StylusDown, x, y});
  wtest::Pump();
  zb::input::Deliver({zb::input::Kind::StylusUp, x, y});
}

inline void Key(UINT vk) {
  zb::input::Deliver({zb::input::Kind::KeyDown, 0, 0, vk});
  zb::input::Deliver({zb::input::Kind::KeyUp, 0, 0, vk});
}

inline std::u16string TextOf(HWND hwnd) {
  char16_t buffer[512] = {};
  GetWindowTextW(hwnd, buffer, 512);
  return buffer;
}

class DialogTest : public wtest::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    Recorder::Reset();
  }
  void TearDown() override {
    Recorder::Reset();
    WindowTest::TearDown();
  }
};

}  // namespace dtest
