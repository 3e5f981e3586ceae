// Bitmap helpers: the area-averaging shrink (the mean of each 2x2 block for a half shrink, in the
// bitmap's own 5-6-5 or 5-5-5 layout, and StretchBlt where it declines), HLS tinting of colours
// and bitmaps, screen-format sections, resizing, and off-screen drawing.
#include "skin/bitmap_helpers.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <random>

#include "skin_test_support.h"

namespace zb::testing {
namespace {

// A DIB section with its bits, selected into a DC of its own.
struct Section {
  Section(int w, int h, int bpp, const DWORD* masks = nullptr) : width(w), height(h) {
    struct {
      BITMAPINFOHEADER header;
      DWORD masks[256];  // or a colour table
    } info{{sizeof(BITMAPINFOHEADER), w, -h, 1, static_cast<WORD>(bpp), static_cast<DWORD>(masks ? BI_BITFIELDS : BI_RGB), 0, 0, 0, 0, 0}, {}};
    if (masks) std::memcpy(info.masks, masks, 3 * sizeof(DWORD));
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    old = SelectObject(dc, bitmap);
    stride = ((w * bpp + 31) / 32) * 4;
    bytes = bpp / 8;
  }
  ~Section() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  uint32_t Raw(int x, int y) const {
    uint32_t v = 0;
    std::memcpy(&v, static_cast<uint8_t*>(bits) + y * stride + x * bytes, bytes);
    return v;
  }
  void SetRaw(int x, int y, uint32_t v) { std::memcpy(static_cast<uint8_t*>(bits) + y * stride + x * bytes, &v, bytes); }
  int width, height, stride, bytes;
  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ old;
  void* bits = nullptr;
};

constexpr DWORD k565[3] = {0xF800, 0x07E0, 0x001F};
constexpr DWORD k555[3] = {0x7C00, 0x03E0, 0x001F};

struct ShrinkCase {
  const char* name;
  const DWORD* masks;
  int bpp;
};

class HalfShrink : public SkinTest, public ::testing::WithParamInterface<ShrinkCase> {};

TEST_P(HalfShrink, EachPixelIsTheMeanOfItsBlockInTheBitmapsOwnLayout) {
  const ShrinkCase c = GetParam();
  Section src(8, 6, c.bpp, c.masks), dst(4, 3, c.bpp, c.masks);
  std::mt19937 rng(3);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) src.SetRaw(x, y, rng() & (c.bpp == 16 ? 0xFFFF : 0xFFFFFF) & (c.masks ? c.masks[0] | c.masks[1] | c.masks[2] : ~0u));
  ASSERT_TRUE(StretchSmooth(1, dst.dc, 0, 0, 4, 3, src.dc, 0, 0, 8, 6, SRCCOPY));
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) {
      uint32_t want = 0;
      const DWORD* masks = c.masks ? c.masks : nullptr;
      const DWORD channels[3] = {masks ? masks[0] : 0xFF0000u, masks ? masks[1] : 0xFF00u, masks ? masks[2] : 0xFFu};
      for (DWORD m : channels) {
        uint32_t sum = 0;
        for (int k = 0; k < 4; ++k) sum += src.Raw(2 * x + k % 2, 2 * y + k / 2) & m;
        // The mean of the channel's values, truncated, in place.
        const int shift = std::countr_zero(m);
        want |= (((sum >> shift) / 4) << shift) & m;
      }
      ASSERT_EQ(dst.Raw(x, y), want) << x << "," << y;
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, HalfShrink,
                         ::testing::Values(ShrinkCase{"Rgb565", k565, 16}, ShrinkCase{"Rgb555", k555, 16},
                                           ShrinkCase{"True24", nullptr, 24}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SkinTest, AThirdShrinkWeighsTheCoveredParts) {
  // 3 source pixels onto 2: the middle one is shared half and half.
  Section src(3, 1, 24), dst(2, 1, 24);
  src.SetRaw(0, 0, 0x000000);
  src.SetRaw(1, 0, 0x0000C0);
  src.SetRaw(2, 0, 0x0000FF);
  ASSERT_TRUE(StretchSmooth(1, dst.dc, 0, 0, 2, 1, src.dc, 0, 0, 3, 1, SRCCOPY));
  EXPECT_EQ(dst.Raw(0, 0), static_cast<uint32_t>(0xC0 * 128 / 384));          // (0*256 + 192*128) / 384
  EXPECT_EQ(dst.Raw(1, 0), static_cast<uint32_t>((0xC0 * 128 + 0xFF * 256) / 384));
}

// Where the shrink declines, the result is StretchBlt's, pixel for pixel.
struct DeclineCase {
  const char* name;
  int mode;
  int dstW, dstH, srcW, srcH;
  int dstBpp;
  DWORD rop;
};

class ShrinkDeclines : public SkinTest, public ::testing::WithParamInterface<DeclineCase> {};

TEST_P(ShrinkDeclines, AndStretchBltDoesTheWork) {
  const DeclineCase c = GetParam();
  Section src(32, 16, 16, k565), a(c.dstW, c.dstH, c.dstBpp, c.dstBpp == 16 ? k565 : nullptr),
      b(c.dstW, c.dstH, c.dstBpp, c.dstBpp == 16 ? k565 : nullptr);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 32; ++x) src.SetRaw(x, y, (x * 2654435761u + y * 40503u) >> 16);
  ASSERT_TRUE(StretchSmooth(c.mode, a.dc, 0, 0, c.dstW, c.dstH, src.dc, 0, 0, c.srcW, c.srcH, c.rop));
  ASSERT_TRUE(StretchBlt(b.dc, 0, 0, c.dstW, c.dstH, src.dc, 0, 0, c.srcW, c.srcH, c.rop));
  for (int y = 0; y < c.dstH; ++y)
    for (int x = 0; x < c.dstW; ++x) ASSERT_EQ(a.Raw(x, y), b.Raw(x, y)) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(Cases, ShrinkDeclines,
                         ::testing::Values(DeclineCase{"BelowAnEighth", 1, 3, 2, 32, 16, 16, SRCCOPY},
                                           DeclineCase{"Enlarging", 1, 32, 16, 16, 8, 16, SRCCOPY},
                                           DeclineCase{"SameSize", 1, 32, 16, 32, 16, 16, SRCCOPY},
                                           DeclineCase{"ModeZero", 0, 16, 8, 32, 16, 16, SRCCOPY},
                                           DeclineCase{"OtherRop", 1, 16, 8, 32, 16, 16, SRCINVERT},
                                           DeclineCase{"OtherDepth", 1, 16, 8, 32, 16, 24, SRCCOPY},
                                           DeclineCase{"SourcePastItsEdge", 1, 16, 8, 40, 16, 16, SRCCOPY}),
                         [](const auto& info) { return std::string(info.param.name); });

// AdjustColour against the textbook HLS conversion (within one step of rounding).
struct TintCase {
  const char* name;
  COLORREF in;
  int hue, saturation;
  COLORREF want;
};

class Tint : public ::testing::TestWithParam<TintCase> {};

TEST_P(Tint, TurnsHueAndMovesSaturation) {
  const TintCase c = GetParam();
  const COLORREF got = AdjustColour(c.in, c.hue, c.saturation);
  EXPECT_NEAR(GetRValue(got), GetRValue(c.want), 1) << std::hex << got;
  EXPECT_NEAR(GetGValue(got), GetGValue(c.want), 1) << std::hex << got;
  EXPECT_NEAR(GetBValue(got), GetBValue(c.want), 1) << std::hex << got;
}

INSTANTIATE_TEST_SUITE_P(
    Colours, Tint,
    ::testing::Values(TintCase{"BlackStaysBlack", RGB(0, 0, 0), 90, 50, RGB(0, 0, 0)},
                      TintCase{"WhiteStaysWhite", RGB(255, 255, 255), 90, 50, RGB(255, 255, 255)},
                      TintCase{"GreyStaysGrey", RGB(120, 121, 122), 180, 100, RGB(120, 121, 122)},
                      TintCase{"NothingAskedNothingChanges", RGB(200, 40, 90), 0, 0, RGB(200, 40, 90)},
                      TintCase{"RedTurnsGreen", RGB(255, 0, 0), 120, 0, RGB(0, 255, 0)},
                      TintCase{"RedTurnsBlue", RGB(255, 0, 0), 240, 0, RGB(0, 0, 255)},
                      TintCase{"RedTurnsBackwardsToMagenta", RGB(255, 0, 0), -60, 0, RGB(255, 0, 255)},
                      TintCase{"AFullTurnIsNoTurn", RGB(30, 140, 200), 360, 0, RGB(30, 140, 200)},
                      TintCase{"DesaturatedToGrey", RGB(200, 100, 0), 0, -300, RGB(100, 100, 100)},
                      TintCase{"DarkRedHalfSaturated", RGB(128, 0, 0), 0, -128, RGB(96, 32, 32)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SkinTest, BitmapTintChangesEveryPixelAsTheColourTintDoes) {
  for (const DWORD* masks : {k565, k555}) {
    Section s(3, 1, 16, masks);
    HDC dc = s.dc;
    SetPixel(dc, 0, 0, RGB(255, 0, 0));
    SetPixel(dc, 1, 0, RGB(128, 128, 128));
    SetPixel(dc, 2, 0, RGB(0, 0, 255));
    const COLORREF before[3] = {GetPixel(dc, 0, 0), GetPixel(dc, 1, 0), GetPixel(dc, 2, 0)};
    const uint32_t greyRaw = s.Raw(1, 0);
    SelectObject(dc, s.old);
    EXPECT_EQ(AdjustBitmapColours(s.bitmap, 120, 0), s.bitmap);
    SelectObject(dc, s.bitmap);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 255, 0));
    EXPECT_EQ(s.Raw(1, 0), greyRaw);
    EXPECT_EQ(GetPixel(dc, 2, 0), AdjustColour(before[2], 120, 0));
  }
  // Palette images are not tinted.
  Section p(2, 1, 8);
  std::memset(p.bits, 7, 4);
  EXPECT_EQ(AdjustBitmapColours(p.bitmap, 120, 0), p.bitmap);
  EXPECT_EQ(p.Raw(0, 0), 7u);
}

TEST_F(SkinTest, ScreenDibsTakeTheScreensFormat) {
  HDC screen = GetDC(nullptr);
  HBITMAP dib = CreateScreenDib(screen, 5, 4);
  ASSERT_NE(dib, nullptr);
  DIBSECTION ds{};
  ASSERT_EQ(GetObjectW(dib, sizeof ds, &ds), static_cast<int>(sizeof ds));
  EXPECT_NE(ds.dsBm.bmBits, nullptr);
  EXPECT_EQ(ds.dsBm.bmBitsPixel, 16);
  EXPECT_EQ(ds.dsBitfields[0], 0xF800u);
  EXPECT_EQ(ds.dsBitfields[1], 0x07E0u);
  EXPECT_EQ(CreateScreenDib(screen, 0, 4), nullptr);
  DeleteObject(dib);
  ReleaseDC(nullptr, screen);
}

TEST_F(SkinTest, ResizeKeepsABitmapOfTheRightSizeAndReplacesAnother) {
  Section src(8, 8, 16, k565);
  SelectObject(src.dc, src.old);
  HBITMAP same = ResizeBitmap(1, nullptr, src.bitmap, 8, 8);
  EXPECT_EQ(same, src.bitmap);
  HDC screen = GetDC(nullptr);
  HBITMAP copy = CreateScreenDib(screen, 8, 8);
  ReleaseDC(nullptr, screen);
  HBITMAP half = ResizeBitmap(1, nullptr, copy, 4, 4);
  ASSERT_NE(half, nullptr);
  EXPECT_NE(half, copy);
  EXPECT_EQ(SizeOf(half).cx, 4);
  BITMAP gone{};
  EXPECT_EQ(GetObjectW(copy, sizeof gone, &gone), 0);  // the old one was deleted
  DeleteObject(half);
  SelectObject(src.dc, src.bitmap);
}

TEST_F(SkinTest, OffscreenDrawingLandsInTheTargetWithItsStateIntact) {
  Section target(20, 10, 16, k565);
  RECT all{0, 0, 20, 10};
  FillRect(target.dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  HGDIOBJ oldBrush = SelectObject(target.dc, red);
  SetTextColor(target.dc, RGB(0, 0, 255));
  const RECT area{5, 2, 15, 8};
  OffscreenState state;
  HDC off = BeginOffscreen(target.dc, &area, &state);
  ASSERT_NE(off, target.dc);
  EXPECT_EQ(GetCurrentObject(off, OBJ_BRUSH), red);
  EXPECT_EQ(GetTextColor(off), RGB(0, 0, 255));
  PatBlt(off, 6, 3, 2, 2, PATCOPY);  // the target's coordinates, the target's brush
  EXPECT_EQ(GetPixel(target.dc, 6, 3), RGB(0, 0, 0));  // nothing there yet
  EndOffscreen(off, &state);
  EXPECT_EQ(GetPixel(target.dc, 6, 3), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(target.dc, 8, 3), RGB(0, 0, 0));
  EXPECT_EQ(GetCurrentObject(target.dc, OBJ_BRUSH), red);
  SelectObject(target.dc, oldBrush);
  DeleteObject(red);

  const RECT empty{3, 3, 3, 9};
  EXPECT_EQ(BeginOffscreen(target.dc, &empty, &state), target.dc);
  EndOffscreen(target.dc, &state);  // nothing to put back
}

}  // namespace
}  // namespace zb::testing
