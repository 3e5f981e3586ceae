// Colours across layouts: 5-6-5 and 5-5-5 round trips, copies between depths, and the
// monochrome rules (colour to mono by the source's background colour, mono to colour by the
// destination's text and background colours).
#include "canvas.h"

namespace zb::testing {
namespace {

struct SixteenBit {
  const char* name;
  bool bitfields565;
  int redBits, greenBits;
};

class SixteenBitRoundTrip : public GdiTest, public ::testing::WithParamInterface<SixteenBit> {};

TEST_P(SixteenBitRoundTrip, EveryValueSurvivesGetPixelAndSetPixel) {
  const SixteenBit f = GetParam();
  Canvas c(256, 2, {16, true, f.bitfields565});
  const uint32_t used = f.greenBits == 6 ? 0xFFFF : 0x7FFF;
  for (uint32_t v = 0; v <= used; ++v) {
    c.SetRaw(static_cast<int>(v & 255), 0, v);
    if ((v & 255) != 255) continue;
    for (int x = 0; x < 256; ++x) {
      const uint32_t raw = c.Raw(x, 0);
      const COLORREF colour = GetPixel(c.dc, x, 0);
      ASSERT_EQ(SetPixel(c.dc, x, 1, colour), colour);
      ASSERT_EQ(c.Raw(x, 1), raw) << "value " << raw;
    }
  }
}

TEST_P(SixteenBitRoundTrip, ColoursKeepTheirTopBitsAndWhiteStaysWhite) {
  const SixteenBit f = GetParam();
  Canvas c(1, 1, {16, true, f.bitfields565});
  const COLORREF colours[] = {RGB(0, 0, 0), RGB(255, 255, 255), RGB(0x12, 0x34, 0x56), RGB(0xFF, 0x80, 0x01)};
  const int gShift = 8 - f.greenBits, rShift = 8 - f.redBits;
  for (COLORREF c0 : colours) {
    SetPixel(c.dc, 0, 0, c0);
    const uint32_t raw = c.Raw(0, 0);
    const uint32_t want = f.greenBits == 6
                              ? ((GetRValue(c0) >> 3) << 11) | ((GetGValue(c0) >> 2) << 5) | (GetBValue(c0) >> 3)
                              : ((GetRValue(c0) >> 3) << 10) | ((GetGValue(c0) >> 3) << 5) | (GetBValue(c0) >> 3);
    EXPECT_EQ(raw, want);
    const COLORREF back = GetPixel(c.dc, 0, 0);
    EXPECT_EQ(GetRValue(back) >> rShift, GetRValue(c0) >> rShift);
    EXPECT_EQ(GetGValue(back) >> gShift, GetGValue(c0) >> gShift);
  }
  SetPixel(c.dc, 0, 0, RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(c.dc, 0, 0), RGB(255, 255, 255));
}

INSTANTIATE_TEST_SUITE_P(Layouts, SixteenBitRoundTrip,
                         ::testing::Values(SixteenBit{"555", false, 5, 5}, SixteenBit{"565", true, 5, 6}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(GdiTest, CopiesBetweenDepthsStoreWhatSetPixelWouldStore) {
  const COLORREF colours[] = {RGB(0, 0, 0), RGB(255, 255, 255), RGB(248, 0, 0), RGB(0, 252, 0), RGB(0, 0, 248),
                              RGB(8, 132, 240)};
  const CanvasFormat formats[] = {{16, true, true}, {16, true, false}, {24}, {32}};
  for (const CanvasFormat& from : formats) {
    for (const CanvasFormat& to : formats) {
      Canvas src(6, 1, from), dst(6, 1, to), reference(6, 1, to);
      for (int i = 0; i < 6; ++i) {
        SetPixel(src.dc, i, 0, colours[i]);
        SetPixel(reference.dc, i, 0, GetPixel(src.dc, i, 0));
      }
      ASSERT_TRUE(BitBlt(dst.dc, 0, 0, 6, 1, src.dc, 0, 0, SRCCOPY));
      for (int i = 0; i < 6; ++i) EXPECT_EQ(dst.Raw(i, 0), reference.Raw(i, 0)) << from.bpp << "->" << to.bpp << " " << i;
    }
  }
}

TEST_F(GdiTest, ColourToMonochromeByTheSourceBackgroundColour) {
  Canvas src(4, 1, {16, true, true});
  const COLORREF key = RGB(255, 0, 255);
  const COLORREF row[] = {key, RGB(0, 0, 0), RGB(255, 255, 255), key};
  for (int i = 0; i < 4; ++i) SetPixel(src.dc, i, 0, row[i]);
  SetBkColor(src.dc, key);
  HDC mono = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateBitmap(4, 1, 1, 1, nullptr);
  HGDIOBJ old = SelectObject(mono, bitmap);
  ASSERT_TRUE(BitBlt(mono, 0, 0, 4, 1, src.dc, 0, 0, SRCCOPY));
  const COLORREF want[] = {RGB(255, 255, 255), 0, 0, RGB(255, 255, 255)};  // even white is black
  for (int i = 0; i < 4; ++i) EXPECT_EQ(GetPixel(mono, i, 0), want[i]) << i;
  SelectObject(mono, old);
  DeleteObject(bitmap);
  DeleteDC(mono);
}

TEST_F(GdiTest, MonochromeToColourByTheDestinationTextAndBackgroundColours) {
  const BYTE bits[] = {0xA0, 0x00};  // 1 0 1 0, rows padded to 16 bits
  HBITMAP bitmap = CreateBitmap(4, 1, 1, 1, bits);
  HDC mono = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(mono, bitmap);
  Canvas dst(4, 1, {24});
  SetTextColor(dst.dc, RGB(200, 0, 0));
  SetBkColor(dst.dc, RGB(0, 0, 200));
  SetTextColor(mono, RGB(0, 255, 0));  // the source DC's colours play no part
  ASSERT_TRUE(BitBlt(dst.dc, 0, 0, 4, 1, mono, 0, 0, SRCCOPY));
  const COLORREF want[] = {RGB(0, 0, 200), RGB(200, 0, 0), RGB(0, 0, 200), RGB(200, 0, 0)};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(GetPixel(dst.dc, i, 0), want[i]) << i;
  SelectObject(mono, old);
  DeleteObject(bitmap);
  DeleteDC(mono);
}

TEST_F(GdiTest, PalettizedSourcesCopyThroughTheirColourTables) {
  for (int bpp : {1, 2, 4, 8}) {
    std::vector<RGBQUAD> table;
    for (int i = 0; i < (1 << bpp); ++i) table.push_back(RGBQUAD{BYTE(i * 3), BYTE(255 - i), BYTE(i * 16 % 256), 0});
    Canvas src(8, 1, {bpp, false, false, table});
    Canvas dst(8, 1, {24});
    for (int x = 0; x < 8; ++x) src.SetRaw(x, 0, static_cast<uint32_t>((x * 5) % (1 << bpp)));
    ASSERT_TRUE(BitBlt(dst.dc, 0, 0, 8, 1, src.dc, 0, 0, SRCCOPY));
    for (int x = 0; x < 8; ++x) {
      const RGBQUAD& q = table[src.Raw(x, 0)];
      EXPECT_EQ(GetPixel(dst.dc, x, 0), RGB(q.rgbRed, q.rgbGreen, q.rgbBlue)) << bpp << " bits, x " << x;
    }
  }
}

TEST_F(GdiTest, BottomUpAndTopDownSectionsHoldRowsInOppositeOrder) {
  for (bool topDown : {true, false}) {
    Canvas c(2, 3, {24, topDown});
    SetPixel(c.dc, 0, 0, RGB(1, 2, 3));
    // Row 0 of a bottom-up section is the last row of its bits.
    const uint8_t* first = c.RowBytes(0);
    EXPECT_EQ(first[0], 3);
    EXPECT_EQ(first[2], 1);
    const uint8_t* bits = topDown ? first : first - 2 * c.Stride();
    DIBSECTION ds{};
    ASSERT_EQ(GetObjectW(c.bitmap, sizeof ds, &ds), static_cast<int>(sizeof ds));
    EXPECT_EQ(ds.dsBm.bmBits, static_cast<const void*>(bits));
    EXPECT_EQ(ds.dsBmih.biHeight, topDown ? -3 : 3);
  }
}

}  // namespace
}  // namespace zb::testing
