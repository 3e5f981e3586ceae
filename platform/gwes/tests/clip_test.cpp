// Clipping: IntersectClipRect, ExcludeClipRect and SelectClipRgn limit every drawing call;
// rectangles move with the viewport origin when given; RectVisible and GetClipBox report the
// result; display DCs keep inside their system clip.
#include "canvas.h"
#include "gwes/gdi_host.h"

namespace zb::testing {
namespace {

// Which pixels a full-canvas PatBlt reached, as a string of rows ('#' painted).
std::string Painted(Canvas& c) {
  c.FillRaw(0);
  SelectObject(c.dc, GetStockObject(WHITE_BRUSH));
  PatBlt(c.dc, -100, -100, 1000, 1000, PATCOPY);
  std::string out;
  for (int y = 0; y < c.height(); ++y) {
    for (int x = 0; x < c.width(); ++x) out += c.Raw(x, y) ? '#' : '.';
    out += '\n';
  }
  return out;
}

TEST_F(GdiTest, IntersectAndExcludeCombine) {
  Canvas c(6, 4, {24});
  EXPECT_EQ(IntersectClipRect(c.dc, 1, 0, 5, 4), SIMPLEREGION);
  EXPECT_EQ(ExcludeClipRect(c.dc, 2, 1, 4, 3), COMPLEXREGION);
  EXPECT_EQ(Painted(c),
            ".####.\n"
            ".#..#.\n"
            ".#..#.\n"
            ".####.\n");
  RECT box;
  EXPECT_EQ(GetClipBox(c.dc, &box), COMPLEXREGION);
  EXPECT_EQ(box.left, 1);
  EXPECT_EQ(box.right, 5);
  EXPECT_EQ(box.bottom, 4);
}

TEST_F(GdiTest, ClipRectanglesMoveWithTheViewportOriginWhenGiven) {
  Canvas c(6, 2, {24});
  SetViewportOrgEx(c.dc, 2, 0, nullptr);
  IntersectClipRect(c.dc, 0, 0, 2, 2);  // device columns 2 and 3
  SetViewportOrgEx(c.dc, 0, 0, nullptr);
  EXPECT_EQ(Painted(c),
            "..##..\n"
            "..##..\n");
}

TEST_F(GdiTest, SelectClipRgnCopiesTheRegionAndNullRemovesIt) {
  Canvas c(4, 1, {24});
  HRGN region = CreateRectRgn(1, 0, 3, 1);
  EXPECT_EQ(SelectClipRgn(c.dc, region), SIMPLEREGION);
  SetRectRgn(region, 0, 0, 4, 1);  // later changes do not reach the DC
  EXPECT_EQ(Painted(c), ".##.\n");
  EXPECT_EQ(SelectClipRgn(c.dc, nullptr), SIMPLEREGION);
  EXPECT_EQ(Painted(c), "####\n");
  DeleteObject(region);
}

TEST_F(GdiTest, EmptyClipLetsNothingThrough) {
  Canvas c(3, 1, {24});
  EXPECT_EQ(IntersectClipRect(c.dc, 5, 5, 6, 6), NULLREGION);
  EXPECT_EQ(Painted(c), "...\n");
  RECT r{0, 0, 3, 1};
  EXPECT_FALSE(RectVisible(c.dc, &r));
}

TEST_F(GdiTest, RectVisibleFollowsClipAndViewport) {
  Canvas c(10, 10, {24});
  ExcludeClipRect(c.dc, 0, 0, 5, 10);
  RECT left{0, 0, 5, 5}, right{5, 0, 6, 1};
  EXPECT_FALSE(RectVisible(c.dc, &left));
  EXPECT_TRUE(RectVisible(c.dc, &right));
  SetViewportOrgEx(c.dc, 5, 0, nullptr);
  EXPECT_TRUE(RectVisible(c.dc, &left));
  RECT outside{20, 20, 30, 30};
  EXPECT_FALSE(RectVisible(c.dc, &outside));
}

TEST_F(GdiTest, SaveDcAndRestoreDcBringBackClipAndColours) {
  Canvas c(4, 1, {24});
  SetTextColor(c.dc, RGB(1, 2, 3));
  const int level = SaveDC(c.dc);
  EXPECT_EQ(level, 1);
  IntersectClipRect(c.dc, 0, 0, 1, 1);
  SetTextColor(c.dc, RGB(9, 9, 9));
  SetViewportOrgEx(c.dc, 3, 3, nullptr);
  EXPECT_EQ(SaveDC(c.dc), 2);
  EXPECT_TRUE(RestoreDC(c.dc, -1));
  EXPECT_EQ(GetTextColor(c.dc), RGB(9, 9, 9));
  EXPECT_TRUE(RestoreDC(c.dc, level));
  EXPECT_EQ(GetTextColor(c.dc), RGB(1, 2, 3));
  POINT org;
  GetViewportOrgEx(c.dc, &org);
  EXPECT_EQ(org.x, 0);
  EXPECT_EQ(Painted(c), "####\n");
  EXPECT_FALSE(RestoreDC(c.dc, 1));  // nothing saved any more
}

TEST_F(GdiTest, DisplayDcDrawsAtItsOriginAndNeverPastItsSystemClip) {
  HDC dc = zb::gdi::CreateDisplayDC(POINT{10, 20}, RECT{10, 20, 30, 40});
  SelectObject(dc, GetStockObject(BLACK_BRUSH));
  HDC screen = GetDC(nullptr);
  SelectObject(screen, GetStockObject(WHITE_BRUSH));
  PatBlt(screen, 0, 0, 240, 320, PATCOPY);
  ASSERT_TRUE(PatBlt(dc, -5, -5, 100, 100, PATCOPY));
  EXPECT_EQ(zb::gdi::ScreenPixel(10, 20), RGB(0, 0, 0));
  EXPECT_EQ(zb::gdi::ScreenPixel(29, 39), RGB(0, 0, 0));
  EXPECT_EQ(zb::gdi::ScreenPixel(30, 39), RGB(255, 255, 255));
  EXPECT_EQ(zb::gdi::ScreenPixel(9, 20), RGB(255, 255, 255));
  RECT box;
  GetClipBox(dc, &box);
  EXPECT_EQ(box.left, 0);
  EXPECT_EQ(box.right, 20);
  SetPixel(dc, 0, 0, RGB(255, 0, 0));
  EXPECT_EQ(zb::gdi::ScreenPixel(10, 20), RGB(255, 0, 0));
  EXPECT_EQ(ReleaseDC(nullptr, dc), 1);
  ReleaseDC(nullptr, screen);
}

}  // namespace
}  // namespace zb::testing
