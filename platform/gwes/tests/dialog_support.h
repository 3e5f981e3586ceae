// Support for the dialog and control tests: dialog templates built byte by byte in memory (the
// same layouts the resource compiler writes), a dialog procedure that records what it is told,
// and input delivered to the screen and pumped through the dialog manager.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "gwes/input.h"
#include "window_support.h"

namespace dtest {

// A DLGTEMPLATE (or DLGTEMPLATEEX) written field by field.
class Template {
 public:
  Template& W(uint16_t v) { return Raw(&v, 2); }
  Template& D(uint32_t v) { return Raw(&v, 4); }
  Template& S(std::u16string_view s) {
    for (char16_t c : s) W(static_cast<uint16_t>(c));
    return W(0);
  }
  Template& A4() {
    while (bytes_.size() % 4) bytes_.push_back(0);
    return *this;
  }
  Template& Raw(const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    bytes_.insert(bytes_.end(), b, b + n);
    return *this;
  }

  // The header of a plain template: no menu, the default class, a caption and a font.
  static Template Dialog(DWORD style, short x, short y, short cx, short cy, std::u16string_view caption,
                         uint16_t count, uint16_t pointSize = 8, std::u16string_view face = u"System") {
    Template t;
    t.D(style | (face.empty() ? 0 : DS_SETFONT)).D(0).W(count).W(x).W(y).W(cx).W(cy).W(0).W(0).S(caption);
    if (!face.empty()) t.W(pointSize).S(face);
    return t;
  }
  // One item of a plain template, its class a predefined ordinal (0x80..0x85) or a name.
  Template& Item(DWORD style, short x, short y, short cx, short cy, uint16_t id, uint16_t atom, std::u16string_view title,
                 std::u16string_view className = u"") {
    A4().D(style | WS_CHILD | WS_VISIBLE).D(0).W(x).W(y).W(cx).W(cy).W(id);
    if (atom) {
      W(0xFFFF).W(atom);
    } else {
      S(className);
    }
    return S(title).W(0);
  }

  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(bytes_.data()); }
  const std::vector<uint8_t>& bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

inline constexpr uint16_t kButton = 0x80, kEdit = 0x81, kStatic = 0x82, kListBox = 0x83, kScrollBar = 0x84,
                          kComboBox = 0x85;

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
