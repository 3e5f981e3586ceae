// Support for the window tests: a fresh device per test, a trace of the messages windows
// receive (as a table a test compares with what the platform's order says), and small helpers
// to register classes and run a thread's queue until it is empty.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

#include "testing/test_device.h"

namespace wtest {

struct Entry {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  bool operator==(const Entry& o) const {
    return hwnd == o.hwnd && message == o.message && wParam == o.wParam && lParam == o.lParam;
  }
};

inline std::ostream& operator<<(std::ostream& out, const Entry& e) {
  return out << "{" << e.hwnd << ", 0x" << std::hex << e.message << ", " << std::dec << e.wParam << ", " << e.lParam
             << "}";
}

// Messages a traced window records; everything else passes straight to DefWindowProcW.
inline bool Traced(UINT m) {
  switch (m) {
    case WM_CREATE: case WM_DESTROY: case WM_MOVE: case WM_SIZE: case WM_ACTIVATE: case WM_SETFOCUS:
    case WM_KILLFOCUS: case WM_PAINT: case WM_TIMER: case WM_CLOSE: case WM_KEYDOWN: case WM_KEYUP:
    case WM_CHAR: case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_MOUSEMOVE: case WM_HOTKEY: case WM_COPYDATA:
    case WM_ENABLE:
      return true;
  }
  return m >= WM_USER;
}

class Trace {
 public:
  void Add(const Entry& e) {
    std::lock_guard lock(lock_);
    entries_.push_back(e);
  }
  std::vector<Entry> Take() {
    std::lock_guard lock(lock_);
    return std::exchange(entries_, {});
  }

 private:
  std::mutex lock_;
  std::vector<Entry> entries_;
};

inline Trace& TheTrace() {
  static Trace trace;
  return trace;
}

// The traced class: records, answers WM_USER+n with n, and leaves the rest to the default.
// Pointer messages are recorded with lParam 0, so tables can name them.
inline LRESULT CALLBACK TracedProc(HWND hwnd, UINT m, WPARAM w, LPARAM l) {
  if (Traced(m)) {
    bool pointer = m == WM_CREATE || m == WM_COPYDATA;
    TheTrace().Add({hwnd, m, m == WM_PAINT ? 0 : w, pointer ? 0 : l});
  }
  if (m == WM_PAINT) {
    PAINTSTRUCT ps;
    BeginPaint(hwnd, &ps);
    EndPaint(hwnd, &ps);
    return 0;
  }
  if (m >= WM_USER && m < WM_USER + 0x100) return static_cast<LRESULT>(m - WM_USER);
  return DefWindowProcW(hwnd, m, w, l);
}

inline const char16_t* kTraced = u"Traced";

inline void RegisterTraced(int extra = 0, WNDPROC proc = TracedProc, const char16_t* name = kTraced) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = proc;
  wc.cbWndExtra = extra;
  wc.lpszClassName = name;
  ASSERT_NE(RegisterClassW(&wc), 0) << GetLastError();
}

inline HWND Make(DWORD style, HWND parent = nullptr, RECT r = {0, 0, 100, 100}, const char16_t* name = kTraced,
                 DWORD exStyle = 0, int id = 0) {
  return CreateWindowExW(exStyle, name, u"", style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                         reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
}

// Dispatches what this thread's queue holds (paints and due timers included) until it is empty.
inline int Pump() {
  MSG msg;
  int n = 0;
  while (n < 10000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) break;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    ++n;
  }
  return n;
}

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterTraced();
    Pump();
    TheTrace().Take();
  }
  void TearDown() override { TheTrace().Take(); }
  zb::testing::TestDevice device_;
};

}  // namespace wtest
