// Palettes: DIB_PAL_COLORS tables resolve through the DC's palette, PALETTEINDEX colours too;
// an 8-bit screen has a system palette that RealizePalette fills; a true-colour screen has none.
#include "canvas.h"
#include "gwes/gdi_host.h"

namespace zb::testing {
namespace {

HPALETTE MakePalette(std::initializer_list<PALETTEENTRY> entries) {
  std::vector<uint8_t> buffer(sizeof(LOGPALETTE) + entries.size() * sizeof(PALETTEENTRY));
  auto* log = reinterpret_cast<LOGPALETTE*>(buffer.data());
  log->palVersion = 0x300;
  log->palNumEntries = static_cast<WORD>(entries.size());
  std::copy(entries.begin(), entries.end(), log->palPalEntry);
  return CreatePalette(log);
}

TEST_F(GdiTest, DibPalColoursTakeTheirColoursFromTheSelectedPalette) {
  HPALETTE palette = MakePalette({{10, 20, 30, 0}, {200, 100, 50, 0}, {1, 2, 3, 0}});
  HDC dc = CreateCompatibleDC(nullptr);
  SelectPalette(dc, palette, FALSE);
  struct {
    BITMAPINFOHEADER header;
    WORD indices[2];
  } info{{sizeof(BITMAPINFOHEADER), 2, 1, 1, 1, BI_RGB, 0, 0, 0, 2, 0}, {2, 1}};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&info), DIB_PAL_COLORS, &bits, nullptr, 0);
  ASSERT_NE(bitmap, nullptr);
  static_cast<uint8_t*>(bits)[0] = 0x40;  // pixel 0 -> entry 0, pixel 1 -> entry 1
  HGDIOBJ old = SelectObject(dc, bitmap);
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(1, 2, 3));
  EXPECT_EQ(GetPixel(dc, 1, 0), RGB(200, 100, 50));
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  DeleteObject(palette);
}

TEST_F(GdiTest, PaletteIndexColoursResolveThroughTheDcPalette) {
  HPALETTE palette = MakePalette({{0, 0, 0, 0}, {12, 34, 56, 0}});
  Canvas c(1, 1, {24});
  SelectPalette(c.dc, palette, FALSE);
  SetPixel(c.dc, 0, 0, PALETTEINDEX(1));
  EXPECT_EQ(GetPixel(c.dc, 0, 0), RGB(12, 34, 56));
  DeleteObject(palette);
}

TEST_F(GdiTest, ColoursIntoAnEightBitSectionTakeTheNearestEntry) {
  std::vector<RGBQUAD> table(256, RGBQUAD{0, 0, 0, 0});
  table[7] = RGBQUAD{0, 0, 250, 0};    // red 250
  table[9] = RGBQUAD{250, 0, 0, 0};    // blue 250
  table[200] = RGBQUAD{255, 255, 255, 0};
  Canvas c(3, 1, {8, true, false, table});
  SetPixel(c.dc, 0, 0, RGB(255, 0, 0));
  SetPixel(c.dc, 1, 0, RGB(0, 0, 240));
  SetPixel(c.dc, 2, 0, RGB(250, 250, 250));
  EXPECT_EQ(c.Raw(0, 0), 7u);
  EXPECT_EQ(c.Raw(1, 0), 9u);
  EXPECT_EQ(c.Raw(2, 0), 200u);
}

TEST_F(GdiTest, GetNearestPaletteIndexAndGetPaletteEntries) {
  HPALETTE palette = MakePalette({{0, 0, 0, 0}, {255, 255, 255, 0}, {255, 0, 0, 0}});
  EXPECT_EQ(GetNearestPaletteIndex(palette, RGB(200, 30, 30)), 2u);
  EXPECT_EQ(GetNearestPaletteIndex(palette, RGB(220, 220, 220)), 1u);
  PALETTEENTRY out[3]{};
  EXPECT_EQ(GetPaletteEntries(palette, 0, 0, nullptr), 3u);
  EXPECT_EQ(GetPaletteEntries(palette, 1, 5, out), 2u);
  EXPECT_EQ(out[1].peRed, 255);
  EXPECT_EQ(out[1].peGreen, 0);
  WORD count = 0;
  EXPECT_EQ(GetObjectW(palette, sizeof count, &count), 2);
  EXPECT_EQ(count, 3);
  DeleteObject(palette);
}

TEST_F(GdiTest, TrueColourScreenHasNoSystemPalette) {
  HDC screen = GetDC(nullptr);
  PALETTEENTRY entries[4];
  EXPECT_EQ(GetSystemPaletteEntries(screen, 0, 4, entries), 0u);
  EXPECT_EQ(GetDeviceCaps(screen, SIZEPALETTE), 0);
  EXPECT_EQ(RealizePalette(screen), 0u);
  ReleaseDC(nullptr, screen);
}

TEST_F(GdiTest, RealizingOnAnEightBitScreenPutsTheColoursInTheSystemPalette) {
  ASSERT_TRUE(zb::gdi::SetScreenMode({240, 320, 8, 96}));
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(GetDeviceCaps(screen, SIZEPALETTE), 256);
  EXPECT_EQ(GetDeviceCaps(screen, NUMRESERVED), 20);
  PALETTEENTRY first[1], last[1];
  ASSERT_EQ(GetSystemPaletteEntries(screen, 0, 1, first), 1u);
  ASSERT_EQ(GetSystemPaletteEntries(screen, 255, 1, last), 1u);
  EXPECT_EQ(first[0].peRed + first[0].peGreen + first[0].peBlue, 0);
  EXPECT_EQ(last[0].peRed & last[0].peGreen & last[0].peBlue, 255);

  const PALETTEENTRY odd{17, 99, 201, 0};
  HPALETTE palette = MakePalette({odd, {0, 0, 0, 0}});
  SelectPalette(screen, palette, FALSE);
  EXPECT_EQ(RealizePalette(screen), 2u);
  std::vector<PALETTEENTRY> all(256);
  ASSERT_EQ(GetSystemPaletteEntries(screen, 0, 256, all.data()), 256u);
  EXPECT_TRUE(std::any_of(all.begin(), all.end(), [&](const PALETTEENTRY& e) {
    return e.peRed == odd.peRed && e.peGreen == odd.peGreen && e.peBlue == odd.peBlue;
  }));
  // The realized colour now draws exactly on the screen.
  SetPixel(screen, 3, 3, RGB(17, 99, 201));
  EXPECT_EQ(GetPixel(screen, 3, 3), RGB(17, 99, 201));
  ReleaseDC(nullptr, screen);
  DeleteObject(palette);
}

TEST_F(GdiTest, CreatePaletteRefusesABadRecord) {
  LOGPALETTE log{0x200, 1, {{0, 0, 0, 0}}};
  EXPECT_EQ(CreatePalette(&log), nullptr);
  EXPECT_EQ(CreatePalette(nullptr), nullptr);
}

}  // namespace
}  // namespace zb::testing
