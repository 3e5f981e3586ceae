// Support for the control tests: a parent window that records the notifications its controls
// send (WM_COMMAND, WM_NOTIFY, WM_DRAWITEM, the scroll messages) and answers WM_NOTIFY with a
// value the test chooses, and helpers to make a control on it and tap or drag across it.
#pragma once
#include <functional>
#include <vector>

#include "dialog_support.h"

namespace ctest {

struct Note {
  UINT message;
  int id;    // the control's id
  int code;  // the notification code, or the scroll code
  int pos;   // the scroll position, or the item of a list notification
};

inline std::vector<Note>& Notes() {
  static std::vector<Note> notes;
  return notes;
}

// What the parent answers WM_NOTIFY with; 0 when unset.
inline std::function<LRESULT(const NMHDR*)>& NotifyAnswer() {
  static std::function<LRESULT(const NMHDR*)> answer;
  return answer;
}

inline LRESULT CALLBACK ParentProc(HWND hwnd, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_COMMAND:
      Notes().push_back({m, LOWORD(w), HIWORD(w), 0});
      return 0;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(l);
      Notes().push_back({m, static_cast<int>(header->idFrom), static_cast<int>(header->code), 0});
      return NotifyAnswer() ? NotifyAnswer()(header) : 0;
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(l);
      Notes().push_back({m, static_cast<int>(item->CtlID), static_cast<int>(item->itemState), static_cast<int>(item->itemID)});
      return TRUE;
    }
    case WM_VSCROLL:
    case WM_HSCROLL:
      Notes().push_back({m, l ? GetDlgCtrlID(reinterpret_cast<HWND>(l)) : 0, LOWORD(w), static_cast<SHORT>(HIWORD(w))});
      return 0;
    default:
      return DefWindowProcW(hwnd, m, w, l);
  }
}

class ControlTest : public dtest::DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    WNDCLASSW wc{};
    wc.lpfnWndProc = ParentProc;
    wc.lpszClassName = u"ControlParent";
    wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    RegisterClassW(&wc);
    parent_ = CreateWindowExW(0, u"ControlParent", u"", WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(parent_, nullptr);
    wtest::Pump();
    Notes().clear();
    NotifyAnswer() = nullptr;
  }
  void TearDown() override {
    DestroyWindow(parent_);
    NotifyAnswer() = nullptr;
    Notes().clear();
    DialogTest::TearDown();
  }
  HWND Make(const char16_t* klass, DWORD style, RECT r, int id, const char16_t* text = u"") {
    return CreateWindowExW(0, klass, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
                           r.bottom - r.top, parent_, reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
  }
  // Stylus down at one point of a control and up at another (client coordinates). Each event
  // is taken before the next comes, as a hand on the screen is slower than the device: a
  // control that captures the stylus on the press gets the rest.
  void Drag(HWND control, POINT from, POINT to) {
    POINT a = from, b = to;
    ClientToScreen(control, &a);
    ClientToScreen(control, &b);
    zb::input::Deliver({zb::input::Kind::StylusDown, a.x, a.y});
    wtest::Pump();
    zb::input::Deliver({zb::input::Kind::StylusMove, b.x, b.y});
    wtest::Pump();
    zb::input::Deliver({zb::input::Kind::StylusUp, b.x, b.y});
    wtest::Pump();
  }
  void TapAt(HWND control, POINT p) { Drag(control, p, p); }
  std::vector<int> Codes(UINT message) {
    std::vector<int> out;
    for (const Note& n : Notes())
      if (n.message == message) out.push_back(n.code);
    return out;
  }
  HWND parent_ = nullptr;
};

}  // namespace ctest
