// MaskBlt with the ROP4s the skins use, and TransparentImage: white mask pixels keep the
// destination under 0xCCAA0029, black ones take the bitmap (0xCCAA0029) or the brush (0xF0AA0029);
// TransparentImage leaves the destination wherever the source has the transparent colour.
#include "canvas.h"

namespace zb::testing {
namespace {

constexpr int kW = 12, kH = 3;

struct Masked {
  Masked() : dst(kW, kH, {16, true, true}), src(kW, kH, {16, true, true}) {
    dst.FillRaw(0x1111);
    src.FillRaw(0x2222);
    // The mask: column x is white (1) when x % 3 == 0.
    std::vector<BYTE> bits(2 * kH, 0);
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x)
        if (x % 3 == 0) bits[y * 2 + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
    mask = CreateBitmap(kW, kH, 1, 1, bits.data());
  }
  ~Masked() { DeleteObject(mask); }
  Canvas dst, src;
  HBITMAP mask;
};

struct Rop4Case {
  const char* name;
  DWORD rop4;
  uint32_t whereWhite, whereBlack;
};

class MaskBltCases : public GdiTest, public ::testing::WithParamInterface<Rop4Case> {};

TEST_P(MaskBltCases, WhiteAndBlackMaskPixelsTakeTheirOwnRop) {
  const Rop4Case c = GetParam();
  Masked m;
  HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));  // 0x001F in 5-6-5
  HGDIOBJ old = SelectObject(m.dst.dc, brush);
  ASSERT_TRUE(MaskBlt(m.dst.dc, 0, 0, kW, kH, m.src.dc, 0, 0, m.mask, 0, 0, c.rop4));
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) ASSERT_EQ(m.dst.Raw(x, y), x % 3 == 0 ? c.whereWhite : c.whereBlack) << x;
  SelectObject(m.dst.dc, old);
  DeleteObject(brush);
}

INSTANTIATE_TEST_SUITE_P(Rops, MaskBltCases,
                         ::testing::Values(Rop4Case{"KeepDestUnderWhite", 0xCCAA0029, 0x1111, 0x2222},
                                           Rop4Case{"BrushUnderBlack", 0xF0AA0029, 0x1111, 0x001F},
                                           Rop4Case{"SourceEverywhere", MAKEROP4(SRCCOPY, SRCCOPY), 0x2222, 0x2222}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(GdiTest, MaskBltReadsTheMaskAtItsOwnOffset) {
  Masked m;
  ASSERT_TRUE(MaskBlt(m.dst.dc, 0, 0, kW - 1, kH, m.src.dc, 0, 0, m.mask, 1, 0, 0xCCAA0029));
  for (int x = 0; x < kW - 1; ++x) EXPECT_EQ(m.dst.Raw(x, 0), (x + 1) % 3 == 0 ? 0x1111u : 0x2222u) << x;
}

TEST_F(GdiTest, MaskBltWithoutAMaskIsABitBltOfTheForegroundRop) {
  Masked m;
  ASSERT_TRUE(MaskBlt(m.dst.dc, 0, 0, kW, kH, m.src.dc, 0, 0, nullptr, 0, 0, MAKEROP4(SRCCOPY, PATCOPY)));
  EXPECT_EQ(m.dst.Raw(5, 1), 0x2222u);
}

TEST_F(GdiTest, MaskBltRefusesAColourMask) {
  Masked m;
  EXPECT_FALSE(MaskBlt(m.dst.dc, 0, 0, kW, kH, m.src.dc, 0, 0, m.src.bitmap, 0, 0, 0xCCAA0029));
  EXPECT_EQ(m.dst.Raw(0, 0), 0x1111u);
}

TEST_F(GdiTest, TransparentImageSkipsTheTransparentColourWhileStretching) {
  Canvas src(4, 2, {24}), dst(8, 4, {16, true, true});
  dst.FillRaw(0x0841);
  for (int x = 0; x < 4; ++x)
    for (int y = 0; y < 2; ++y) SetPixel(src.dc, x, y, x % 2 ? RGB(255, 0, 255) : RGB(0, 255, 0));
  ASSERT_TRUE(TransparentImage(dst.dc, 0, 0, 8, 4, src.dc, 0, 0, 4, 2, RGB(255, 0, 255)));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_EQ(dst.Raw(x, y), (x / 2) % 2 ? 0x0841u : 0x07E0u) << x << "," << y;
}

TEST_F(GdiTest, TransparentImageTakesABitmapAsItsSource) {
  Canvas src(2, 1, {24}), dst(2, 1, {24});
  SetPixel(src.dc, 0, 0, RGB(1, 2, 3));
  SetPixel(src.dc, 1, 0, RGB(9, 9, 9));
  dst.FillRaw(0x777777);
  ASSERT_TRUE(TransparentImage(dst.dc, 0, 0, 2, 1, src.bitmap, 0, 0, 2, 1, RGB(9, 9, 9)));
  EXPECT_EQ(GetPixel(dst.dc, 0, 0), RGB(1, 2, 3));
  EXPECT_EQ(dst.Raw(1, 0), 0x777777u);
}

}  // namespace
}  // namespace zb::testing
