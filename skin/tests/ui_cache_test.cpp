// The UICache: one bitmap per file shared by every id that names it, first entries winning,
// bounded direct slots, alpha fonts cut from fixed cells or scanned from proportional strips in
// all three directions (and refused when they cannot be cut), GDI fonts, replacement and scaling.
#include "skin/ui_cache.h"

#include <cstring>
#include <numeric>

#include "skin_test_support.h"

namespace zb::testing {
namespace {

class UICacheTest : public SkinTest {
 protected:
  void TearDown() override { UICache::Destroy(); }
  UICache& cache() { return *UICache::Get(); }
};

// A 24-bit bitmap whose pixels the test sets with `paint`.
template <typename Paint>
HBITMAP Picture(int w, int h, Paint paint) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  struct {
    BITMAPINFOHEADER header;
  } info{{sizeof(BITMAPINFOHEADER), w, -h, 1, 24, BI_RGB, 0, 0, 0, 0, 0}};
  HBITMAP b = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, nullptr, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, b);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) SetPixel(dc, x, y, paint(x, y));
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return b;
}

HBITMAP Plain(int w, int h, COLORREF c = RGB(0, 0, 255)) {
  return Picture(w, h, [c](int, int) { return c; });
}

bool Deleted(HBITMAP b) {
  BITMAP bm;
  return GetObjectW(b, sizeof bm, &bm) == 0;
}

TEST_F(UICacheTest, TwoIdsNamingOneFileShareOneBitmap) {
  HBITMAP first = Plain(4, 4), second = Plain(4, 4, RGB(255, 0, 0));
  cache().AddBitmap(first, 1, u"a.bmp");
  cache().AddBitmap(second, 2, u"a.bmp");
  ASSERT_NE(cache().GetBitmap(1), nullptr);
  EXPECT_EQ(cache().GetBitmap(1), cache().GetBitmap(2));
  EXPECT_EQ(cache().GetBitmap(1), cache().FindNamedBitmap(u"a.bmp"));
  EXPECT_TRUE(Deleted(first));   // copied into the screen's format
  EXPECT_TRUE(Deleted(second));  // the registered bitmap won
  EXPECT_EQ(DepthOf(cache().GetBitmap(1)), 16);
  EXPECT_EQ(PixelOf(cache().GetBitmap(2), 3, 3), RGB(0, 0, 255));
  EXPECT_EQ(cache().FindNamedBitmap(u"A.BMP"), nullptr);  // names are exact
  EXPECT_EQ(cache().FindNamedBitmap(u""), nullptr);
  EXPECT_EQ(cache().FindNamedBitmap(nullptr), nullptr);
}

TEST_F(UICacheTest, TheFirstBitmapEnteredUnderAnIdStays) {
  cache().AddBitmap(Plain(2, 2), 7, u"one.bmp");
  HBITMAP kept = cache().GetBitmap(7);
  cache().AddBitmap(Plain(3, 3), 7, u"two.bmp");
  EXPECT_EQ(cache().GetBitmap(7), kept);
  EXPECT_NE(cache().FindNamedBitmap(u"two.bmp"), nullptr);  // still owned, under its name
  cache().AddBitmap(nullptr, 8, u"x.bmp");
  EXPECT_EQ(cache().GetBitmap(8), nullptr);
}

TEST_F(UICacheTest, ABitmapAlreadyHeldIsEnteredUnderAnotherIdWithoutACopy) {
  cache().AddBitmap(Plain(2, 2), 1, u"a.bmp");
  HBITMAP held = cache().FindNamedBitmap(u"a.bmp");
  cache().AddBitmap(held, 2, u"a.bmp");
  cache().AddBitmap(held, 3, u"other.bmp");  // another name never frees a held bitmap
  EXPECT_EQ(cache().GetBitmap(2), held);
  EXPECT_EQ(cache().GetBitmap(3), held);
  EXPECT_FALSE(Deleted(held));
}

TEST_F(UICacheTest, MasksAreKeptWithoutACopyUnderTheirOwnIds) {
  HBITMAP mask = CreateBitmap(4, 4, 1, 1, nullptr);
  cache().AddMask(mask, 5, u"m.bmp");
  EXPECT_EQ(cache().GetMask(5), mask);
  EXPECT_EQ(cache().GetBitmap(5), nullptr);
  EXPECT_EQ(cache().FindNamedBitmap(u"m.bmp"), mask);
}

TEST_F(UICacheTest, DirectSlotsAreBoundedByTheTable) {
  cache().AddBitmap(Plain(1, 1), 10, u"a");
  cache().AddBitmap(Plain(2, 2), 20, u"b");
  EXPECT_EQ(cache().GetBitmap(-1), cache().GetBitmap(10));
  EXPECT_EQ(cache().GetBitmap(-2), cache().GetBitmap(20));
  for (int id : {-3, -1000, INT32_MIN}) EXPECT_EQ(cache().GetBitmap(id), nullptr) << id;
  EXPECT_EQ(cache().GetMask(-1), nullptr);
  cache().SetDirectIndex(false);
  EXPECT_EQ(cache().GetBitmap(-1), nullptr);
}

TEST_F(UICacheTest, AFixedWidthFontHasEqualCells) {
  ASSERT_TRUE(cache().AddAlphaFont(Plain(65, 6), 601, 5, 6, 2, 0, u"digits.bmp"));
  const int* widths = cache().GetGlyphWidths(601);
  const int* offsets = cache().GetGlyphOffsets(601);
  for (int g = 0; g < 13; ++g) {
    EXPECT_EQ(widths[g], 5);
    EXPECT_EQ(offsets[g], 5 * g);
  }
  EXPECT_EQ(cache().GetAlphaFontHeight(601), 6);
  EXPECT_EQ(cache().GetGlyphSet(601), 2);
  EXPECT_EQ(cache().GetFontColour(601), 0u);
  EXPECT_NE(cache().GetBitmap(601), nullptr);
}

TEST_F(UICacheTest, AnUnknownFontHasNoGlyphs) {
  const int* widths = cache().GetGlyphWidths(99);
  const int* offsets = cache().GetGlyphOffsets(99);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(widths[i] | offsets[i], 0) << i;
  EXPECT_EQ(cache().GetAlphaFontHeight(99), 0);
  EXPECT_EQ(cache().GetFontAngle(99), 0);
}

TEST_F(UICacheTest, GlyphSetsHoldTheirCharactersInStripOrder) {
  EXPECT_EQ(std::u16string(GetAlphaGlyphSet(2)), u" 0123456789-:");
  EXPECT_EQ(std::u16string(GetAlphaGlyphSet(3)), u" 0123456789-:'\"");
  EXPECT_EQ(std::u16string(GetAlphaGlyphSet(0)).substr(0, 4), u" ABC");
  EXPECT_EQ(std::u16string(GetAlphaGlyphSet(1)).substr(27, 3), u"abc");
  EXPECT_EQ(std::u16string(GetAlphaGlyphSet(1)).substr(63, 5), u"!@#$%");
  EXPECT_EQ(std::u16string(GetAlphaGlyphSet(1)).back(), u'~');
  EXPECT_EQ(GetAlphaGlyphSetLength(0), 69);
  EXPECT_EQ(GetAlphaGlyphSet(4), nullptr);
  EXPECT_EQ(GetAlphaGlyphSet(-1), nullptr);
}

// A proportional strip of set 2 (13 glyphs): white ink on black, glyph g `kWidths[g]` wide, with
// the marker line below the glyphs alternating two colours glyph by glyph.
constexpr int kWidths[13] = {3, 4, 5, 3, 4, 5, 3, 4, 5, 3, 4, 5, 2};
constexpr int kLength = 50, kGlyphRows = 8;

// The glyph under position p along the strip.
int GlyphAt(int p) {
  for (int g = 0, start = 0; g < 13; start += kWidths[g++])
    if (p < start + kWidths[g]) return g;
  return 12;
}
bool FirstOfGlyph(int p) { return p == 0 || GlyphAt(p) != GlyphAt(p - 1); }

// (p, t): position along the text and line across it; the marker is line kGlyphRows.
COLORREF StripPixel(int p, int t) {
  if (t == kGlyphRows) return GlyphAt(p) % 2 ? RGB(255, 0, 0) : RGB(0, 0, 255);
  return GlyphAt(p) > 0 && FirstOfGlyph(p) && t >= 2 ? RGB(255, 255, 255) : RGB(0, 0, 0);
}

struct AngleCase {
  const char* name;
  int angle;
};

class ProportionalFont : public UICacheTest, public ::testing::WithParamInterface<AngleCase> {};

TEST_P(ProportionalFont, WidthsComeFromTheMarkerLineAndTheInkFromTheGlyphs) {
  const int angle = GetParam().angle;
  HBITMAP strip = angle == 0 ? Picture(kLength, kGlyphRows + 1, [](int x, int y) { return StripPixel(x, y); })
                  : angle == 90 ? Picture(kGlyphRows + 1, kLength, [](int x, int y) { return StripPixel(y, x); })
                                : Picture(kGlyphRows + 1, kLength, [](int x, int y) { return StripPixel(kLength - 1 - y, x); });
  ASSERT_TRUE(cache().AddAlphaFont(strip, 602, -1, kGlyphRows, 2, angle, u"time.png"));
  const int* widths = cache().GetGlyphWidths(602);
  const int* offsets = cache().GetGlyphOffsets(602);
  for (int g = 0, start = 0; g < 13; start += kWidths[g++]) {
    EXPECT_EQ(widths[g], kWidths[g]) << g;
    EXPECT_EQ(offsets[g], angle == 270 ? kLength - start - 1 : start) << g;
  }
  EXPECT_EQ(cache().GetFontColour(602), RGB(255, 255, 255));
  EXPECT_EQ(cache().GetFontAngle(602), angle);
}

INSTANTIATE_TEST_SUITE_P(Angles, ProportionalFont,
                         ::testing::Values(AngleCase{"Across", 0}, AngleCase{"Down", 90}, AngleCase{"Up", 270}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(UICacheTest, AMarkerLineThatEndsEarlyRepeatsTheLastWidth) {
  // Only five colour changes on the marker: glyphs 5 ... 12 take glyph 5's width.
  HBITMAP strip = Picture(26, 3, [](int x, int y) {
    if (y == 2) return x < 20 ? ((x / 4) % 2 ? RGB(255, 0, 0) : RGB(0, 0, 255)) : RGB(255, 0, 0);
    return x % 4 == 1 ? RGB(255, 255, 255) : RGB(0, 0, 0);
  });
  ASSERT_TRUE(cache().AddAlphaFont(strip, 3, -1, 2, 2, 0, nullptr));
  const int* widths = cache().GetGlyphWidths(3);
  const int* offsets = cache().GetGlyphOffsets(3);
  for (int g = 0; g < 5; ++g) EXPECT_EQ(widths[g], 4) << g;
  for (int g = 5; g < 13; ++g) EXPECT_EQ(widths[g], 6) << g;
  // Offsets stop short of the strip's end instead of running past it.
  EXPECT_EQ(offsets[5], 20);
  for (int g = 6; g < 13; ++g) EXPECT_EQ(offsets[g], 20) << g;
}

struct RefusedCase {
  const char* name;
  int width, height;  // of the strip
  int glyphWidth, glyphHeight;
};

class RefusedFont : public UICacheTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedFont, IsNotEnteredAsAFont) {
  const RefusedCase c = GetParam();
  EXPECT_FALSE(cache().AddAlphaFont(Plain(c.width, c.height), 4, c.glyphWidth, c.glyphHeight, 2, 0, u"bad.png"));
  EXPECT_EQ(cache().GetAlphaFont(4), nullptr);
  EXPECT_EQ(cache().GetGlyphWidths(4)[0], 0);
  EXPECT_NE(cache().GetBitmap(4), nullptr);  // the strip itself stays a bitmap of the skin
}

INSTANTIATE_TEST_SUITE_P(Strips, RefusedFont,
                         ::testing::Values(RefusedCase{"FewerPixelsThanGlyphs", 12, 9, -1, 8},
                                           RefusedCase{"MarkerBelowTheStrip", 50, 9, -1, 9},
                                           RefusedCase{"MarkerAboveTheStrip", 50, 9, -1, -1},
                                           RefusedCase{"NoMarkerAtAll", 50, 9, 0, 8}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(UICacheTest, AGlyphSetOutsideTheTableIsTheDefaultSet) {
  ASSERT_TRUE(cache().AddAlphaFont(Plain(95 * 2, 4), 9, 2, 4, 17, 0, nullptr));
  EXPECT_EQ(cache().GetGlyphSet(9), 1);
  EXPECT_EQ(cache().GetGlyphOffsets(9)[94], 188);
}

TEST_F(UICacheTest, GdiFontsAreMadeOnFirstUseWithPointsConverted) {
  const UICache::GdiFont* f = cache().AddGdiFont(40, u"DejaVu Sans", -8, FW_BOLD, 90, RGB(1, 2, 3));
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->font, nullptr);
  EXPECT_EQ(cache().AddGdiFont(40, u"Other", 30, FW_NORMAL, 0, 0), f);  // the existing record
  EXPECT_EQ(cache().AddGdiFont(-4, u"Other", 30, FW_NORMAL, 0, 0), nullptr);
  EXPECT_TRUE(cache().HasGdiFont(40));
  EXPECT_FALSE(cache().HasGdiFont(-40));
  HDC screen = GetDC(nullptr);
  HFONT font = cache().GetGdiFont(screen, 40);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(cache().GetGdiFont(screen, 40), font);
  LOGFONTW lf{};
  ASSERT_TRUE(GetObjectW(font, sizeof lf, &lf));
  EXPECT_EQ(lf.lfHeight, (GetDeviceCaps(screen, LOGPIXELSY) * -8 - 71) / 72);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_EQ(lf.lfEscapement, 2700);
  EXPECT_EQ(std::u16string(lf.lfFaceName), u"DejaVu Sans");
  EXPECT_EQ(cache().GetGdiFont(screen, 41), nullptr);
  ReleaseDC(nullptr, screen);
}

TEST_F(UICacheTest, FontColourFallsBackToTheFirstAlphaFont) {
  EXPECT_EQ(cache().GetFontColour(1), 0u);
  cache().AddGdiFont(1, u"DejaVu Sans", 10, FW_NORMAL, 0, RGB(9, 8, 7));
  EXPECT_EQ(cache().GetFontColour(1), RGB(9, 8, 7));
  HBITMAP strip = Picture(kLength, kGlyphRows + 1, [](int x, int y) { return StripPixel(x, y); });
  ASSERT_TRUE(cache().AddAlphaFont(strip, 2, -1, kGlyphRows, 2, 0, nullptr));
  EXPECT_EQ(cache().GetFontColour(2), RGB(255, 255, 255));
  EXPECT_EQ(cache().GetFontColour(77), RGB(255, 255, 255));
}

TEST_F(UICacheTest, ReplacingABitmapMovesEveryEntryThatHeldIt) {
  cache().AddBitmap(Plain(2, 2), 1, u"a.bmp");
  cache().AddBitmap(cache().FindNamedBitmap(u"a.bmp"), 2, u"a.bmp");
  HBITMAP old = cache().GetBitmap(1);
  HBITMAP fresh = Plain(3, 3);
  EXPECT_EQ(cache().ReplaceBitmap(u"a.bmp", old, fresh), 3);  // the name and two ids
  EXPECT_TRUE(Deleted(old));
  EXPECT_EQ(cache().GetBitmap(1), fresh);
  EXPECT_EQ(cache().GetBitmap(2), fresh);
  EXPECT_EQ(cache().ReplaceBitmap(u"missing.bmp", reinterpret_cast<HBITMAP>(0x1234), fresh), 0);
  LPCWSTR name = nullptr;
  EXPECT_EQ(cache().GetNamedBitmap(0, &name), fresh);
  EXPECT_EQ(std::u16string(name), u"a.bmp");
  EXPECT_EQ(cache().GetNamedBitmap(1, &name), nullptr);
  EXPECT_EQ(std::u16string(name), u"");
}

TEST_F(UICacheTest, RescaleScalesBitmapsGlyphsAndPositiveFontHeights) {
  cache().AddBitmap(Plain(10, 10), 1, u"a.bmp");
  cache().AddMask(CreateBitmap(10, 4, 1, 1, nullptr), 2, u"m.bmp");
  ASSERT_TRUE(cache().AddAlphaFont(Plain(65, 6), 3, 5, 6, 2, 0, u"d.bmp"));
  cache().AddGdiFont(4, u"DejaVu Sans", 12, FW_NORMAL, 0, 0);
  cache().AddGdiFont(5, u"DejaVu Sans", -8, FW_NORMAL, 0, 0);
  HDC screen = GetDC(nullptr);
  HFONT before = cache().GetGdiFont(screen, 4);
  ASSERT_NE(before, nullptr);
  cache().Rescale(2, 2, 1);
  EXPECT_EQ(SizeOf(cache().GetBitmap(1)).cx, 20);
  EXPECT_EQ(SizeOf(cache().GetBitmap(1)).cy, 20);
  EXPECT_EQ(PixelOf(cache().GetBitmap(1), 19, 19), RGB(0, 0, 255));
  EXPECT_EQ(SizeOf(cache().GetMask(2)).cx, 20);
  EXPECT_EQ(DepthOf(cache().GetMask(2)), 1);
  EXPECT_EQ(cache().GetGlyphWidths(3)[4], 10);
  EXPECT_EQ(cache().GetGlyphOffsets(3)[4], 40);
  EXPECT_EQ(cache().GetAlphaFontHeight(3), 12);
  HFONT after = cache().GetGdiFont(screen, 4);
  LOGFONTW lf{};
  ASSERT_TRUE(GetObjectW(after, sizeof lf, &lf));
  EXPECT_EQ(lf.lfHeight, 24);
  ASSERT_TRUE(GetObjectW(cache().GetGdiFont(screen, 5), sizeof lf, &lf));
  EXPECT_EQ(lf.lfHeight, (GetDeviceCaps(screen, LOGPIXELSY) * -8 - 71) / 72);  // points are not scaled
  ReleaseDC(nullptr, screen);
  cache().Rescale(0, 2, 1);  // nothing
  EXPECT_EQ(SizeOf(cache().GetBitmap(1)).cx, 20);
}

TEST_F(UICacheTest, DestroyLeavesAFreshEmptyCache) {
  cache().AddBitmap(Plain(2, 2), 1, u"a.bmp");
  UICache* before = UICache::Get();
  UICache::Destroy();
  EXPECT_EQ(UICache::Get()->GetBitmap(1), nullptr);
  (void)before;
}

}  // namespace
}  // namespace zb::testing
