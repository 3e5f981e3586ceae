// Support for the shell's tests: a fresh device, a sink window that records what the shell sends
// it (commands, notifications, hot keys, file changes, registry messages), and pumping until
// something has arrived.
#pragma once
#include <aygshell.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "device/text.h"
#include "gwes/ctl_common.h"
#include "gwes/input.h"
#include "gwes/tests/window_support.h"

namespace stest {

struct Heard {
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  UINT code = 0;            // WM_NOTIFY's code
  std::u16string text;      // a link's target
  LONG event = 0;           // WM_FILECHANGEINFO's event
  std::u16string item1, item2;
  POINT at{0, 0};           // a gesture's point
  HWND from = nullptr;
};

inline std::vector<Heard>& Log() {
  static std::vector<Heard> log;
  return log;
}

constexpr UINT kRegistryMessage = WM_APP + 0x55;
constexpr UINT kTrayMessage = WM_APP + 0x56;

inline LRESULT CALLBACK SinkProc(HWND hwnd, UINT m, WPARAM w, LPARAM l) {
  Heard h;
  h.message = m;
  h.wParam = w;
  h.lParam = l;
  switch (m) {
    case WM_COMMAND:
    case WM_HOTKEY:
    case WM_SETTINGCHANGE:
    case kRegistryMessage:
    case kTrayMessage:
      Log().push_back(h);
      return 0;
    case WM_NOTIFY: {
      const auto* n = reinterpret_cast<const NMHDR*>(l);
      h.code = n->code;
      h.from = n->hwndFrom;
      if (n->code == SHNN_LINKSEL) h.text = reinterpret_cast<const NMSHN*>(l)->pszLink;
      if (n->code == GN_CONTEXTMENU) h.at = reinterpret_cast<const NMRGINFO*>(l)->ptAction;
      Log().push_back(h);
      return 0;
    }
    case WM_FILECHANGEINFO: {
      auto* record = reinterpret_cast<FILECHANGENOTIFY*>(l);
      h.event = record->fci.wEventId;
      h.item1 = reinterpret_cast<LPCWSTR>(record->fci.dwItem1);
      if (record->fci.dwItem2) h.item2 = reinterpret_cast<LPCWSTR>(record->fci.dwItem2);
      SHChangeNotifyFree(record);
      Log().push_back(h);
      return 0;
    }
    default:
      return DefWindowProcW(hwnd, m, w, l);
  }
}

inline std::vector<Heard> Only(UINT message) {
  std::vector<Heard> out;
  for (const Heard& h : Log())
    if (h.message == message) out.push_back(h);
  return out;
}

// Pumps until `done` holds; false after `limit` so that a test fails instead of hanging. What
// the test waits for does not depend on how long it takes.
template <class Done>
bool PumpUntil(Done done, std::chrono::milliseconds limit = std::chrono::seconds(20)) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    wtest::Pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

inline void Stylus(zb::input::Kind kind, POINT at) { zb::input::Deliver({kind, at.x, at.y}); }

inline POINT Middle(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// A tap at a screen point, the press taken before the release comes.
inline void TapScreen(POINT at) {
  Stylus(zb::input::Kind::StylusDown, at);
  wtest::Pump();
  Stylus(zb::input::Kind::StylusUp, at);
  wtest::Pump();
}

class ShellTest : public wtest::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    WNDCLASSW wc{};
    wc.lpfnWndProc = SinkProc;
    wc.lpszClassName = u"ShellSink";
    RegisterClassW(&wc);
    sink_ = CreateWindowExW(0, u"ShellSink", u"Sink", WS_POPUP | WS_VISIBLE, 0, 26, 240, 294, nullptr, nullptr, nullptr,
                            nullptr);
    ASSERT_NE(sink_, nullptr);
    SetForegroundWindow(sink_);
    wtest::Pump();
    Log().clear();
  }
  void TearDown() override {
    DestroyWindow(sink_);
    wtest::Pump();
    Log().clear();
    WindowTest::TearDown();
  }
  HWND sink_ = nullptr;
};

}  // namespace stest
