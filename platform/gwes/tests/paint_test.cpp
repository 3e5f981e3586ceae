// Painting: WM_PAINT comes only for what was invalidated (by a call, by being shown, moved or
// resized, or by a window leaving the place above), once however often it was invalidated, with
// the update rectangle in rcPaint, erasing with the class brush when asked, parents first.
#include "gwes/gdi_host.h"
#include "window_support.h"

namespace {

using namespace wtest;

struct Painted {
  HWND hwnd;
  RECT rect;
  BOOL erase;
};
std::vector<Painted> g_painted;

LRESULT CALLBACK PaintProc(HWND hwnd, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_PAINT) {
    PAINTSTRUCT ps;
    BeginPaint(hwnd, &ps);
    g_painted.push_back({hwnd, ps.rcPaint, ps.fErase});
    EndPaint(hwnd, &ps);
    return 0;
  }
  return DefWindowProcW(hwnd, m, w, l);
}

class PaintTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    WNDCLASSW wc{};
    wc.lpfnWndProc = PaintProc;
    wc.lpszClassName = u"Painter";
    wc.hbrBackground = CreateSolidBrush(RGB(255, 0, 0));
    ASSERT_NE(RegisterClassW(&wc), 0);
    g_painted.clear();
  }
  HWND MakePainter(DWORD style, RECT r, HWND parent = nullptr) { return Make(style, parent, r, u"Painter"); }
  std::vector<Painted> Paints() {
    Pump();
    return std::exchange(g_painted, {});
  }
};

bool Same(const RECT& a, const RECT& b) { return EqualRect(&a, &b); }

TEST_F(PaintTest, PaintsOnlyAfterInvalidation) {
  HWND a = MakePainter(WS_VISIBLE, {0, 0, 100, 80});
  auto first = Paints();
  ASSERT_EQ(first.size(), 1u) << "being shown invalidates the whole window";
  EXPECT_TRUE(Same(first[0].rect, RECT{0, 0, 100, 80}));
  EXPECT_TRUE(Paints().empty()) << "nothing invalid, nothing painted";

  struct Case {
    const char* name;
    std::vector<RECT> invalidate;
    std::vector<RECT> validate;
    bool painted;
    RECT expected;
  };
  const Case cases[] = {
      {"one rectangle", {{10, 10, 20, 20}}, {}, true, {10, 10, 20, 20}},
      {"two become their union, painted once", {{10, 10, 20, 20}, {50, 30, 60, 70}}, {}, true, {10, 10, 60, 70}},
      {"cut to the client area", {{90, 70, 300, 300}}, {}, true, {90, 70, 100, 80}},
      {"validated whole", {{10, 10, 20, 20}}, {{0, 0, 100, 80}}, false, {}},
      {"validated on one side", {{10, 10, 40, 20}}, {{10, 10, 20, 20}}, true, {20, 10, 40, 20}},
      {"outside the window", {{200, 200, 300, 300}}, {}, false, {}},
  };
  for (const Case& c : cases) {
    for (const RECT& r : c.invalidate) InvalidateRect(a, &r, FALSE);
    for (const RECT& r : c.validate) ValidateRect(a, &r);
    auto paints = Paints();
    ASSERT_EQ(paints.size(), c.painted ? 1u : 0u) << c.name;
    if (c.painted) {
      EXPECT_TRUE(Same(paints[0].rect, c.expected)) << c.name;
    }
  }
}

TEST_F(PaintTest, HiddenWindowsAreNotPaintedUntilShown) {
  HWND a = MakePainter(0, {0, 0, 50, 50});
  InvalidateRect(a, nullptr, TRUE);
  EXPECT_TRUE(Paints().empty());
  RECT r;
  EXPECT_FALSE(GetUpdateRect(a, &r, FALSE));
  ShowWindow(a, SW_SHOWNA);
  EXPECT_TRUE(GetUpdateRect(a, &r, FALSE));
  EXPECT_EQ(Paints().size(), 1u);
}

TEST_F(PaintTest, ErasingFillsWithTheClassBrush) {
  HWND a = MakePainter(WS_VISIBLE, {20, 30, 60, 70});
  auto paints = Paints();
  ASSERT_EQ(paints.size(), 1u);
  EXPECT_FALSE(paints[0].erase) << "the default procedure erased it";
  COLORREF inside = zb::gdi::ScreenPixel(40, 50);
  EXPECT_GT(GetRValue(inside), 200);
  EXPECT_LT(GetGValue(inside), 10);
  COLORREF outside = zb::gdi::ScreenPixel(10, 10);
  EXPECT_LT(GetRValue(outside), 10) << "nothing drawn outside the window";
  InvalidateRect(a, nullptr, FALSE);
  paints = Paints();
  ASSERT_EQ(paints.size(), 1u);
  EXPECT_FALSE(paints[0].erase);
}

TEST_F(PaintTest, UpdateWindowPaintsAtOnceOnlyWhenInvalid) {
  HWND a = MakePainter(WS_VISIBLE, {0, 0, 50, 50});
  EXPECT_TRUE(UpdateWindow(a));
  EXPECT_EQ(g_painted.size(), 1u) << "painted during the call";
  g_painted.clear();
  UpdateWindow(a);
  EXPECT_TRUE(g_painted.empty());
  EXPECT_TRUE(Paints().empty());
}

TEST_F(PaintTest, ParentsPaintBeforeChildrenAndUncoveredAreasRepaint) {
  HWND parent = MakePainter(WS_VISIBLE, {0, 0, 100, 100});
  HWND child = MakePainter(WS_CHILD | WS_VISIBLE, {10, 10, 30, 30}, parent);
  auto paints = Paints();
  ASSERT_EQ(paints.size(), 2u);
  EXPECT_EQ(paints[0].hwnd, parent);
  EXPECT_EQ(paints[1].hwnd, child);
  // The child moves away: it repaints whole, and the parent repaints where it was.
  MoveWindow(child, 50, 50, 20, 20, TRUE);
  paints = Paints();
  ASSERT_EQ(paints.size(), 2u);
  EXPECT_EQ(paints[0].hwnd, parent);
  EXPECT_TRUE(Same(paints[0].rect, RECT{10, 10, 30, 30}));
  EXPECT_EQ(paints[1].hwnd, child);
  EXPECT_TRUE(Same(paints[1].rect, RECT{0, 0, 20, 20}));
  // Hiding a top-level window repaints what it covered on the window below.
  HWND over = MakePainter(WS_VISIBLE | WS_POPUP, {60, 0, 160, 40});
  Paints();
  ShowWindow(over, SW_HIDE);
  paints = Paints();
  ASSERT_FALSE(paints.empty());
  EXPECT_EQ(paints[0].hwnd, parent);
  EXPECT_TRUE(Same(paints[0].rect, RECT{60, 0, 100, 40}));
}

}  // namespace
