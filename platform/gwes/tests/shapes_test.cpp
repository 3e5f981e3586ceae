// Pens and shapes, pixel for pixel: outlines leave out their last point, Rectangle and Ellipse
// stay inside their box (one pixel less without a pen), fills use the brush, and every pixel of
// a shape goes through the ROP2 once.
#include "canvas.h"

namespace zb::testing {
namespace {

// The canvas as rows of characters: '.' for the background, '#' for black, 'o' for anything else.
std::string Picture(Canvas& c) {
  std::string out;
  for (int y = 0; y < c.height(); ++y) {
    for (int x = 0; x < c.width(); ++x) {
      const uint32_t v = c.Raw(x, y);
      out += v == 0xFFFFFF ? '.' : v == 0 ? '#' : 'o';
    }
    out += '\n';
  }
  return out;
}

struct ShapeFixture : GdiTest {
  ShapeFixture() : c(8, 6, {24}) {
    c.FillRaw(0xFFFFFF);
    brush = CreateSolidBrush(RGB(0, 0, 255));
    SelectObject(c.dc, brush);
  }
  ~ShapeFixture() override {
    SelectObject(c.dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(brush);
  }
  Canvas c;
  HBRUSH brush;
};

TEST_F(ShapeFixture, RectangleOutlinesItsBoxAndFillsInside) {
  ASSERT_TRUE(Rectangle(c.dc, 1, 1, 6, 5));
  EXPECT_EQ(Picture(c),
            "........\n"
            ".#####..\n"
            ".#ooo#..\n"
            ".#ooo#..\n"
            ".#####..\n"
            "........\n");
}

TEST_F(ShapeFixture, RectangleWithoutAPenFillsOnePixelLess) {
  SelectObject(c.dc, GetStockObject(NULL_PEN));
  ASSERT_TRUE(Rectangle(c.dc, 1, 1, 6, 5));
  EXPECT_EQ(Picture(c),
            "........\n"
            ".oooo...\n"
            ".oooo...\n"
            ".oooo...\n"
            "........\n"
            "........\n");
}

TEST_F(ShapeFixture, RectangleWithANullBrushDrawsOnlyTheOutline) {
  SelectObject(c.dc, GetStockObject(NULL_BRUSH));
  ASSERT_TRUE(Rectangle(c.dc, 0, 0, 3, 3));
  EXPECT_EQ(Picture(c).substr(0, 27),
            "###.....\n"
            "#.#.....\n"
            "###.....\n");
}

TEST_F(ShapeFixture, WidePenGrowsAroundTheOutline) {
  Canvas big(11, 9, {24});
  big.FillRaw(0xFFFFFF);
  HPEN pen = CreatePen(PS_SOLID, 3, RGB(0, 0, 0));
  SelectObject(big.dc, pen);
  SelectObject(big.dc, GetStockObject(NULL_BRUSH));
  ASSERT_TRUE(Rectangle(big.dc, 1, 1, 9, 8));
  // The path runs through columns 1 and 8 and rows 1 and 7; three pixels wide, it reaches one
  // pixel to either side.
  EXPECT_EQ(Picture(big),
            "##########.\n"
            "##########.\n"
            "##########.\n"
            "###....###.\n"
            "###....###.\n"
            "###....###.\n"
            "##########.\n"
            "##########.\n"
            "##########.\n");
  SelectObject(big.dc, GetStockObject(BLACK_PEN));
  DeleteObject(pen);
}

TEST_F(ShapeFixture, PolylineLeavesOutItsLastPoint) {
  const POINT points[] = {{0, 0}, {4, 0}, {4, 3}};
  ASSERT_TRUE(Polyline(c.dc, points, 3));
  EXPECT_EQ(Picture(c),
            "#####...\n"
            "....#...\n"
            "....#...\n"
            "........\n"
            "........\n"
            "........\n");
}

TEST_F(ShapeFixture, PolylineDrawsDiagonalsOnePixelPerStep) {
  const POINT points[] = {{0, 0}, {5, 5}};
  ASSERT_TRUE(Polyline(c.dc, points, 2));
  for (int i = 0; i < 6; ++i) EXPECT_EQ(c.Raw(i, i), i < 5 ? 0u : 0xFFFFFFu) << i;
}

TEST_F(ShapeFixture, PolygonFillsByPixelCentresAndClosesItsOutline) {
  SelectObject(c.dc, GetStockObject(NULL_PEN));
  const POINT triangle[] = {{0, 0}, {6, 0}, {0, 6}};
  ASSERT_TRUE(Polygon(c.dc, triangle, 3));
  // Centres on the slanted edge (x + y = 6) are outside.
  EXPECT_EQ(Picture(c),
            "ooooo...\n"
            "oooo....\n"
            "ooo.....\n"
            "oo......\n"
            "o.......\n"
            "........\n");
  SelectObject(c.dc, GetStockObject(BLACK_PEN));
  SelectObject(c.dc, GetStockObject(NULL_BRUSH));
  c.FillRaw(0xFFFFFF);
  const POINT box[] = {{1, 1}, {4, 1}, {4, 4}, {1, 4}};
  ASSERT_TRUE(Polygon(c.dc, box, 4));
  EXPECT_EQ(Picture(c),
            "........\n"
            ".####...\n"
            ".#..#...\n"
            ".#..#...\n"
            ".####...\n"
            "........\n");
}

TEST_F(ShapeFixture, EllipseIsSymmetricAndStaysInsideItsBox) {
  Canvas big(21, 13, {24});
  big.FillRaw(0xFFFFFF);
  SelectObject(big.dc, brush);
  ASSERT_TRUE(Ellipse(big.dc, 2, 1, 19, 12));
  bool outline = false, inside = false;
  for (int y = 0; y < 13; ++y) {
    for (int x = 0; x < 21; ++x) {
      const uint32_t v = big.Raw(x, y);
      if (x < 2 || x >= 19 || y < 1 || y >= 12) {
        ASSERT_EQ(v, 0xFFFFFFu) << x << "," << y;
      }
      ASSERT_EQ(v, big.Raw(20 - x, y)) << "left-right at " << x << "," << y;
      ASSERT_EQ(v, big.Raw(x, 12 - y)) << "top-bottom at " << x << "," << y;
      outline |= v == 0;
      inside |= v == 0x0000FF;  // blue, stored first
    }
  }
  EXPECT_TRUE(outline);
  EXPECT_TRUE(inside);
  EXPECT_EQ(big.Raw(10, 6), 0x0000FFu);  // the centre is filled
  EXPECT_EQ(big.Raw(10, 1), 0u);         // the top of the outline
  EXPECT_EQ(big.Raw(2, 6), 0u);          // its left end
  SelectObject(big.dc, GetStockObject(WHITE_BRUSH));
}

TEST_F(ShapeFixture, XorPenDrawnTwiceLeavesNoTrace) {
  const uint32_t before = c.Raw(0, 0);
  SetROP2(c.dc, R2_XORPEN);
  HPEN pen = CreatePen(PS_SOLID, 2, RGB(255, 255, 255));
  SelectObject(c.dc, pen);
  const POINT star[] = {{0, 0}, {7, 5}, {0, 5}, {7, 0}, {3, 5}};
  ASSERT_TRUE(Polyline(c.dc, star, 5));
  EXPECT_NE(Picture(c).find('#'), std::string::npos);
  ASSERT_TRUE(Polyline(c.dc, star, 5));
  EXPECT_EQ(Picture(c).find('#'), std::string::npos);
  EXPECT_EQ(c.Raw(0, 0), before);
  SelectObject(c.dc, GetStockObject(BLACK_PEN));
  DeleteObject(pen);
}

TEST_F(ShapeFixture, Rop2AppliesToFillsAsWellAsOutlines) {
  SetROP2(c.dc, R2_NOT);
  ASSERT_TRUE(Rectangle(c.dc, 0, 0, 3, 3));
  EXPECT_EQ(Picture(c).substr(0, 9), "###.....\n");
  EXPECT_EQ(c.Raw(1, 1), 0u);  // inverted white, not the blue brush
}

TEST_F(ShapeFixture, ShapesFollowTheViewportOrigin) {
  SetViewportOrgEx(c.dc, 2, 1, nullptr);
  const POINT line[] = {{0, 0}, {2, 0}};
  ASSERT_TRUE(Polyline(c.dc, line, 2));
  EXPECT_EQ(c.Raw(2, 1), 0u);
  EXPECT_EQ(c.Raw(3, 1), 0u);
  EXPECT_EQ(c.Raw(4, 1), 0xFFFFFFu);
}

TEST_F(ShapeFixture, FillRectAcceptsASystemColourIndexForABrush) {
  RECT r{0, 0, 2, 2};
  ASSERT_TRUE(FillRect(c.dc, &r, reinterpret_cast<HBRUSH>(COLOR_HIGHLIGHT + 1)));
  EXPECT_EQ(GetPixel(c.dc, 1, 1), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(c.Raw(2, 2), 0xFFFFFFu);
}

TEST_F(ShapeFixture, DrawFocusRectDrawnTwiceRestoresThePixels) {
  RECT r{1, 1, 7, 5};
  ASSERT_TRUE(DrawFocusRect(c.dc, &r));
  const std::string once = Picture(c);
  EXPECT_EQ(once,
            "........\n"
            ".#.#.#..\n"
            "......#.\n"
            ".#......\n"
            "..#.#.#.\n"
            "........\n");
  ASSERT_TRUE(DrawFocusRect(c.dc, &r));
  EXPECT_EQ(Picture(c).find('#'), std::string::npos);
}

TEST_F(ShapeFixture, DrawFrameControlMarksOnlyCheckedButtons) {
  for (UINT kind : {DFCS_BUTTONCHECK, DFCS_BUTTONRADIO}) {
    Canvas a(13, 13, {24}), b(13, 13, {24});
    RECT r{0, 0, 13, 13};
    ASSERT_TRUE(DrawFrameControl(a.dc, &r, DFC_BUTTON, kind));
    ASSERT_TRUE(DrawFrameControl(b.dc, &r, DFC_BUTTON, kind | DFCS_CHECKED));
    int blackA = 0, blackB = 0;
    for (int y = 0; y < 13; ++y)
      for (int x = 0; x < 13; ++x) {
        blackA += a.Raw(x, y) == 0 && x > 2 && x < 10 && y > 2 && y < 10;
        blackB += b.Raw(x, y) == 0 && x > 2 && x < 10 && y > 2 && y < 10;
      }
    EXPECT_EQ(blackA, 0) << kind;
    EXPECT_GT(blackB, 4) << kind;
    EXPECT_EQ(a.Raw(0, 6), kind == DFCS_BUTTONCHECK ? 0u : 0u);  // the frame's left edge
  }
}

}  // namespace
}  // namespace zb::testing
