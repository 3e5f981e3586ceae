// StretchBlt: each destination pixel takes the source pixel under its centre, so doubling
// repeats every pixel twice, halving keeps every second one, and opposite signs mirror.
#include "canvas.h"

namespace zb::testing {
namespace {

struct Stretch {
  const char* name;
  int dstW, dstH, srcW, srcH;
  bool mirrorX;
};

// The source pixel the centre of destination pixel i falls on.
int Sample(int i, int dst, int src) { return static_cast<int>((2LL * i + 1) * src / (2LL * dst)); }

class StretchCases : public GdiTest, public ::testing::WithParamInterface<Stretch> {};

TEST_P(StretchCases, EveryPixelComesFromTheSourcePixelUnderItsCentre) {
  const Stretch s = GetParam();
  for (int bpp : {16, 24, 32}) {
    Canvas src(s.srcW, s.srcH, {bpp}), dst(s.dstW, s.dstH, {bpp});
    for (int y = 0; y < s.srcH; ++y)
      for (int x = 0; x < s.srcW; ++x) src.SetRaw(x, y, static_cast<uint32_t>(y * 64 + x + 1));
    if (s.mirrorX) {
      ASSERT_TRUE(StretchBlt(dst.dc, s.dstW - 1, 0, -s.dstW, s.dstH, src.dc, 0, 0, s.srcW, s.srcH, SRCCOPY));
    } else {
      ASSERT_TRUE(StretchBlt(dst.dc, 0, 0, s.dstW, s.dstH, src.dc, 0, 0, s.srcW, s.srcH, SRCCOPY));
    }
    for (int y = 0; y < s.dstH; ++y) {
      for (int x = 0; x < s.dstW; ++x) {
        int sx = Sample(x, s.dstW, s.srcW);
        if (s.mirrorX) sx = s.srcW - 1 - sx;
        ASSERT_EQ(dst.Raw(x, y), src.Raw(sx, Sample(y, s.dstH, s.srcH))) << bpp << " bits at " << x << "," << y;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, StretchCases,
                         ::testing::Values(Stretch{"Double", 16, 12, 8, 6, false}, Stretch{"Half", 8, 6, 16, 12, false},
                                           Stretch{"Third", 5, 7, 15, 21, false}, Stretch{"UpByOddSteps", 13, 11, 5, 3, false},
                                           Stretch{"WideAndShort", 20, 2, 5, 8, false},
                                           Stretch{"Mirrored", 10, 4, 10, 4, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(GdiTest, DoublingRepeatsEachPixelInATwoByTwoBlock) {
  Canvas src(2, 2, {24}), dst(4, 4, {24});
  const uint32_t v[4] = {0x111111, 0x222222, 0x333333, 0x444444};
  for (int i = 0; i < 4; ++i) src.SetRaw(i % 2, i / 2, v[i]);
  ASSERT_TRUE(StretchBlt(dst.dc, 0, 0, 4, 4, src.dc, 0, 0, 2, 2, SRCCOPY));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(dst.Raw(x, y), v[(y / 2) * 2 + x / 2]);
}

TEST_F(GdiTest, StretchAppliesTheRopAndConvertsDepth) {
  Canvas src(4, 1, {16, true, true}), dst(8, 1, {24});
  for (int x = 0; x < 4; ++x) SetPixel(src.dc, x, 0, RGB(0, 0, 255));
  dst.FillRaw(0xFF0000);  // red in 24-bit blue-green-red order
  ASSERT_TRUE(StretchBlt(dst.dc, 0, 0, 8, 1, src.dc, 0, 0, 4, 1, SRCPAINT));
  for (int x = 0; x < 8; ++x) EXPECT_EQ(GetPixel(dst.dc, x, 0), RGB(255, 0, 255));
}

TEST_F(GdiTest, PixelsWhoseSourceLiesOutsideTheSourceBitmapAreLeftAlone) {
  Canvas src(4, 4, {24}), dst(8, 8, {24});
  src.FillRaw(0xABCDEF);
  dst.FillRaw(0x010101);
  ASSERT_TRUE(BitBlt(dst.dc, 0, 0, 8, 8, src.dc, -2, -2, SRCCOPY));
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      const bool inside = x >= 2 && x < 6 && y >= 2 && y < 6;
      ASSERT_EQ(dst.Raw(x, y), inside ? 0xABCDEFu : 0x010101u) << x << "," << y;
    }
}

TEST_F(GdiTest, OverlappingCopyWithinOneBitmapMovesPixelsIntact) {
  Canvas c(10, 1, {24});
  for (int x = 0; x < 10; ++x) c.SetRaw(x, 0, static_cast<uint32_t>(x + 1));
  ASSERT_TRUE(BitBlt(c.dc, 2, 0, 6, 1, c.dc, 0, 0, SRCCOPY));
  const uint32_t want[10] = {1, 2, 1, 2, 3, 4, 5, 6, 9, 10};
  for (int x = 0; x < 10; ++x) EXPECT_EQ(c.Raw(x, 0), want[x]);
}

}  // namespace
}  // namespace zb::testing
