// Icons (mask ANDed, colour XORed, for colour and monochrome icons) and ScrollDC (pixels move,
// the uncovered band is reported).
#include "canvas.h"

namespace zb::testing {
namespace {

TEST_F(GdiTest, DrawIconExMasksThenInverts) {
  // Mask: left column white (transparent), right column black (opaque).
  const BYTE bits[] = {0x80, 0, 0x80, 0};  // x = 0 is 1 (white), x = 1 is 0 (black)
  HBITMAP mask = CreateBitmap(2, 2, 1, 1, bits);
  Canvas colour(2, 2, {24});
  colour.FillRaw(0);
  colour.SetRaw(1, 0, 0x0000FF);  // red at (1, 0)
  colour.SetRaw(1, 1, 0x00FF00);
  ICONINFO info{TRUE, 0, 0, mask, colour.bitmap};
  HICON icon = CreateIconIndirect(&info);
  ASSERT_NE(icon, nullptr);
  DeleteObject(mask);  // the icon keeps its own copies

  Canvas dst(4, 4, {24});
  dst.FillRaw(0x123456);
  ASSERT_TRUE(DrawIconEx(dst.dc, 1, 1, icon, 0, 0, 0, nullptr, DI_NORMAL));
  EXPECT_EQ(dst.Raw(1, 1), 0x123456u);  // transparent: kept
  EXPECT_EQ(dst.Raw(2, 1), 0x0000FFu);
  EXPECT_EQ(dst.Raw(2, 2), 0x00FF00u);
  EXPECT_EQ(dst.Raw(3, 3), 0x123456u);

  dst.FillRaw(0x123456);
  ASSERT_TRUE(DrawIconEx(dst.dc, 0, 0, icon, 4, 4, 0, nullptr, DI_NORMAL));  // stretched
  EXPECT_EQ(dst.Raw(1, 1), 0x123456u);
  EXPECT_EQ(dst.Raw(2, 0), 0x0000FFu);
  EXPECT_EQ(dst.Raw(3, 3), 0x00FF00u);
  EXPECT_TRUE(DestroyIcon(icon));
  EXPECT_FALSE(DestroyIcon(icon));
  EXPECT_FALSE(DrawIconEx(dst.dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
}

TEST_F(GdiTest, MonochromeIconKeepsBothHalvesInItsMask) {
  // 1 x 1 icon: AND half 0 (opaque), XOR half 1 (white) -> a white pixel.
  const BYTE bits[] = {0x00, 0, 0x80, 0};
  HBITMAP mask = CreateBitmap(1, 2, 1, 1, bits);
  ICONINFO info{TRUE, 0, 0, mask, nullptr};
  HICON icon = CreateIconIndirect(&info);
  ASSERT_NE(icon, nullptr);
  Canvas dst(1, 1, {24});
  dst.FillRaw(0x123456);
  SetTextColor(dst.dc, RGB(255, 0, 0));  // icons ignore the DC's colours
  ASSERT_TRUE(DrawIconEx(dst.dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
  EXPECT_EQ(dst.Raw(0, 0), 0xFFFFFFu);
  EXPECT_EQ(GetTextColor(dst.dc), RGB(255, 0, 0));
  DestroyIcon(icon);
  DeleteObject(mask);
  ICONINFO bad{TRUE, 0, 0, nullptr, nullptr};
  EXPECT_EQ(CreateIconIndirect(&bad), nullptr);
}

TEST_F(GdiTest, ScrollDcMovesPixelsAndReportsTheUncoveredBand) {
  Canvas c(4, 6, {24});
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 4; ++x) c.SetRaw(x, y, static_cast<uint32_t>(y + 1));
  RECT scroll{0, 0, 4, 6};
  RECT update{};
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_TRUE(ScrollDC(c.dc, 0, -2, &scroll, &scroll, region, &update));
  for (int y = 0; y < 4; ++y) EXPECT_EQ(c.Raw(2, y), static_cast<uint32_t>(y + 3)) << y;
  EXPECT_EQ(update.top, 4);
  EXPECT_EQ(update.bottom, 6);
  EXPECT_EQ(update.left, 0);
  EXPECT_EQ(update.right, 4);
  RECT box;
  EXPECT_EQ(GetRgnBox(region, &box), SIMPLEREGION);
  EXPECT_EQ(box.top, 4);
  DeleteObject(region);
}

TEST_F(GdiTest, ScrollDcStaysInsideItsClipRectangle) {
  Canvas c(6, 1, {24});
  for (int x = 0; x < 6; ++x) c.SetRaw(x, 0, static_cast<uint32_t>(x + 1));
  RECT scroll{0, 0, 6, 1}, clip{0, 0, 4, 1}, update{};
  ASSERT_TRUE(ScrollDC(c.dc, 2, 0, &scroll, &clip, nullptr, &update));
  const uint32_t want[6] = {1, 2, 1, 2, 5, 6};
  for (int x = 0; x < 6; ++x) EXPECT_EQ(c.Raw(x, 0), want[x]) << x;
  EXPECT_EQ(update.left, 0);
  EXPECT_EQ(update.right, 2);
}

}  // namespace
}  // namespace zb::testing
