// Test support for skins built in code: a window the skin lives in, stylus sequences sent
// through the skin's own message handling, and the notifications its elements posted.
#pragma once
#include <vector>

#include "skin/skin.h"
#include "skin/ui_cache.h"
#include "skin_test_support.h"

namespace zb::testing {

struct Posted {
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
  bool operator==(const Posted& o) const { return msg == o.msg && wParam == o.wParam && lParam == o.lParam; }
};

inline void PrintTo(const Posted& p, std::ostream* os) { *os << "{" << p.msg << ", " << p.wParam << ", " << p.lParam << "}"; }

class SkinWindowTest : public SkinTest {
 protected:
  void SetUp() override {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = u"SkinTest";
    RegisterClassW(&wc);
    window_ = CreateWindowExW(0, u"SkinTest", u"", WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window_, nullptr);
    skin_ = std::make_unique<CSkin>(window_);
  }
  void TearDown() override {
    skin_.reset();
    DestroyWindow(window_);
    UICache::Destroy();
  }

  void Press(int x, int y) { skin_->HandleWindowMessage(window_, WM_LBUTTONDOWN, 0, SkinPointParam(x, y), FALSE); }
  void Move(int x, int y) { skin_->HandleWindowMessage(window_, WM_MOUSEMOVE, 0, SkinPointParam(x, y), FALSE); }
  void Release(int x, int y) { skin_->HandleWindowMessage(window_, WM_LBUTTONUP, 0, SkinPointParam(x, y), FALSE); }
  void Tap(int x, int y) {
    Press(x, y);
    Release(x, y);
  }

  // The element notifications posted since the last call, in order.
  std::vector<Posted> Notifications() {
    std::vector<Posted> out;
    MSG m;
    while (PeekMessageW(&m, window_, SKN_CLICKED, SKN_PANELAFTERDRAW, PM_REMOVE)) out.push_back({m.message, m.wParam, m.lParam});
    return out;
  }

  static LPARAM Of(const CSkinElement* e) { return reinterpret_cast<LPARAM>(e); }

  HWND window_ = nullptr;
  std::unique_ptr<CSkin> skin_;
};

}  // namespace zb::testing
