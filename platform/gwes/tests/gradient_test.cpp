// GradientFill with rectangles: each channel runs linearly from the first vertex's colour at the
// first column (or row) toward the second vertex's colour, in 16-bit channels cut to 8 bits.
#include "canvas.h"

namespace zb::testing {
namespace {

BYTE Expected(COLOR16 from, COLOR16 to, int step, int steps) {
  return static_cast<BYTE>((from + (static_cast<long long>(to) - from) * step / steps) >> 8);
}

struct GradientCase {
  const char* name;
  ULONG mode;
  RECT area;
  bool reversed;  // the mesh names the lower right vertex first
};

class GradientCases : public GdiTest, public ::testing::WithParamInterface<GradientCase> {};

TEST_P(GradientCases, ChannelsFollowTheLinearFormula) {
  const GradientCase g = GetParam();
  Canvas c(40, 30, {32});
  c.FillRaw(0x00ABCDEF);
  TRIVERTEX v[2] = {{g.area.left, g.area.top, 0x1000, 0xFF00, 0x0000, 0},
                    {g.area.right, g.area.bottom, 0xF000, 0x0000, 0x8000, 0}};
  GRADIENT_RECT mesh{g.reversed ? 1u : 0u, g.reversed ? 0u : 1u};
  ASSERT_TRUE(GradientFill(c.dc, v, 2, &mesh, 1, g.mode));
  const bool across = g.mode == GRADIENT_FILL_RECT_H;
  const int steps = across ? g.area.right - g.area.left : g.area.bottom - g.area.top;
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 40; ++x) {
      const bool inside = x >= g.area.left && x < g.area.right && y >= g.area.top && y < g.area.bottom;
      if (!inside) {
        ASSERT_EQ(c.Raw(x, y), 0x00ABCDEFu) << x << "," << y;
        continue;
      }
      const int step = across ? x - g.area.left : y - g.area.top;
      const COLORREF want = RGB(Expected(0x1000, 0xF000, step, steps), Expected(0xFF00, 0, step, steps),
                                Expected(0, 0x8000, step, steps));
      ASSERT_EQ(GetPixel(c.dc, x, y), want) << x << "," << y;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, GradientCases,
                         ::testing::Values(GradientCase{"Horizontal", GRADIENT_FILL_RECT_H, {3, 2, 35, 20}, false},
                                           GradientCase{"Vertical", GRADIENT_FILL_RECT_V, {0, 5, 40, 29}, false},
                                           GradientCase{"HorizontalFromTheRight", GRADIENT_FILL_RECT_H, {3, 2, 35, 20}, true},
                                           GradientCase{"OneColumn", GRADIENT_FILL_RECT_H, {10, 0, 11, 30}, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(GdiTest, GradientFillRejectsVertexIndicesPastTheArray) {
  Canvas c(4, 4, {24});
  c.FillRaw(0x010203);
  TRIVERTEX v[2] = {{0, 0, 0, 0, 0, 0}, {4, 4, 0xFF00, 0xFF00, 0xFF00, 0}};
  GRADIENT_RECT mesh{0, 2};
  EXPECT_FALSE(GradientFill(c.dc, v, 2, &mesh, 1, GRADIENT_FILL_RECT_H));
  EXPECT_EQ(c.Raw(1, 1), 0x010203u);
}

TEST_F(GdiTest, GradientFillKeepsToTheClip) {
  Canvas c(10, 1, {24});
  c.FillRaw(0);
  IntersectClipRect(c.dc, 0, 0, 5, 1);
  TRIVERTEX v[2] = {{0, 0, 0xFF00, 0xFF00, 0xFF00, 0}, {10, 1, 0xFF00, 0xFF00, 0xFF00, 0}};
  GRADIENT_RECT mesh{0, 1};
  ASSERT_TRUE(GradientFill(c.dc, v, 2, &mesh, 1, GRADIENT_FILL_RECT_V));
  EXPECT_EQ(c.Raw(4, 0), 0xFFFFFFu);
  EXPECT_EQ(c.Raw(5, 0), 0u);
}

}  // namespace
}  // namespace zb::testing
