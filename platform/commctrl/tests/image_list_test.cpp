// Image lists: adding strips with a mask bitmap or a mask colour, drawing opaque, transparent,
// mask only and selected, growing past the first capacity, and refusing bad handles.
#include <commctrl.h>
#include <gtest/gtest.h>

#include "testing/test_device.h"

namespace zb::testing {
namespace {

// A 24-bit bitmap of n 4x4 images; image k is filled with colours[k], with a magenta centre.
HBITMAP Strip(const std::vector<COLORREF>& colours) {
  const int n = static_cast<int>(colours.size());
  BITMAPINFO info{{sizeof(BITMAPINFOHEADER), 4 * n, -4, 1, 24, BI_RGB, 0, 0, 0, 0, 0}, {}};
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, nullptr, nullptr, 0);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  for (int k = 0; k < n; ++k)
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) {
        const bool centre = (x == 1 || x == 2) && (y == 1 || y == 2);
        SetPixel(dc, 4 * k + x, y, centre ? RGB(255, 0, 255) : colours[k]);
      }
  SelectObject(dc, old);
  DeleteDC(dc);
  return bitmap;
}

struct Target {
  Target() {
    BITMAPINFO info{{sizeof(BITMAPINFOHEADER), 16, -8, 1, 24, BI_RGB, 0, 0, 0, 0, 0}, {}};
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, nullptr, nullptr, 0);
    old = SelectObject(dc, bitmap);
    HBRUSH grey = CreateSolidBrush(RGB(90, 90, 90));
    RECT all{0, 0, 16, 8};
    FillRect(dc, &all, grey);
    DeleteObject(grey);
  }
  ~Target() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  COLORREF At(int x, int y) { return GetPixel(dc, x, y); }
  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ old;
};

class ImageListTest : public ::testing::Test {
 protected:
  TestDevice device_;
};

TEST_F(ImageListTest, AddMaskedMakesTheMaskColourTransparent) {
  HIMAGELIST list = ImageList_Create(4, 4, ILC_COLOR24 | ILC_MASK, 1, 1);
  ASSERT_NE(list, nullptr);
  HBITMAP strip = Strip({RGB(255, 0, 0), RGB(0, 0, 255)});
  EXPECT_EQ(ImageList_AddMasked(list, strip, RGB(255, 0, 255)), 0);
  EXPECT_EQ(ImageList_AddMasked(list, strip, RGB(255, 0, 255)), 2);  // two more, past the first capacity
  Target t;
  ASSERT_TRUE(ImageList_Draw(list, 3, t.dc, 2, 1, ILD_TRANSPARENT));
  EXPECT_EQ(t.At(2, 1), RGB(0, 0, 255));
  EXPECT_EQ(t.At(3, 2), RGB(90, 90, 90));  // the centre shows through
  EXPECT_EQ(t.At(1, 1), RGB(90, 90, 90));
  ASSERT_TRUE(ImageList_Draw(list, 0, t.dc, 8, 0, ILD_NORMAL));
  EXPECT_EQ(t.At(8, 0), RGB(255, 0, 0));
  EXPECT_EQ(t.At(9, 1), RGB(90, 90, 90));
  EXPECT_FALSE(ImageList_Draw(list, 4, t.dc, 0, 0, ILD_NORMAL));
  EXPECT_FALSE(ImageList_Draw(list, -1, t.dc, 0, 0, ILD_NORMAL));
  DeleteObject(strip);
  EXPECT_TRUE(ImageList_Destroy(list));
}

TEST_F(ImageListTest, AddTakesAMaskBitmapAndIldMaskDrawsIt) {
  HIMAGELIST list = ImageList_Create(4, 4, ILC_COLOR16 | ILC_MASK, 2, 2);
  HBITMAP strip = Strip({RGB(0, 255, 0)});
  const BYTE bits[8] = {0xF0, 0, 0x00, 0, 0x00, 0, 0xF0, 0};  // top and bottom rows transparent
  HBITMAP mask = CreateBitmap(4, 4, 1, 1, bits);
  EXPECT_EQ(ImageList_Add(list, strip, mask), 0);
  Target t;
  ASSERT_TRUE(ImageList_Draw(list, 0, t.dc, 0, 0, ILD_NORMAL));
  EXPECT_EQ(t.At(0, 0), RGB(90, 90, 90));
  EXPECT_EQ(t.At(0, 1), RGB(0, 255, 0));
  EXPECT_EQ(t.At(1, 1), RGB(255, 0, 255));  // the mask, not the colour, decides
  ASSERT_TRUE(ImageList_Draw(list, 0, t.dc, 8, 0, ILD_MASK));
  EXPECT_EQ(t.At(8, 0), RGB(255, 255, 255));
  EXPECT_EQ(t.At(8, 1), RGB(0, 0, 0));
  DeleteObject(mask);
  DeleteObject(strip);
  ImageList_Destroy(list);
}

TEST_F(ImageListTest, WithoutAMaskImagesDrawOpaque) {
  HIMAGELIST list = ImageList_Create(4, 4, ILC_COLOR24, 1, 1);
  HBITMAP strip = Strip({RGB(10, 20, 30)});
  EXPECT_EQ(ImageList_AddMasked(list, strip, RGB(255, 0, 255)), 0);
  Target t;
  ASSERT_TRUE(ImageList_Draw(list, 0, t.dc, 0, 0, ILD_TRANSPARENT));
  EXPECT_EQ(t.At(1, 1), RGB(255, 0, 255));
  EXPECT_FALSE(ImageList_Draw(list, 0, t.dc, 0, 0, ILD_MASK));
  DeleteObject(strip);
  ImageList_Destroy(list);
}

TEST_F(ImageListTest, SelectedImagesBlendHalfwayToTheHighlightColour) {
  HIMAGELIST list = ImageList_Create(4, 4, ILC_COLOR24 | ILC_MASK, 1, 1);
  HBITMAP strip = Strip({RGB(255, 255, 255)});
  ImageList_AddMasked(list, strip, RGB(255, 0, 255));
  Target t;
  ASSERT_TRUE(ImageList_Draw(list, 0, t.dc, 0, 0, ILD_SELECTED | ILD_TRANSPARENT));
  const COLORREF h = GetSysColor(COLOR_HIGHLIGHT);
  EXPECT_EQ(t.At(0, 0), RGB(255 + (GetRValue(h) - 255) / 2, 255 + (GetGValue(h) - 255) / 2, 255 + (GetBValue(h) - 255) / 2));
  EXPECT_EQ(t.At(1, 1), RGB(90, 90, 90));  // transparent pixels stay untouched
  DeleteObject(strip);
  ImageList_Destroy(list);
}

TEST_F(ImageListTest, IconSizeAndBadHandles) {
  HIMAGELIST list = ImageList_Create(16, 12, ILC_COLOR | ILC_MASK, 4, 4);
  int cx = 0, cy = 0;
  EXPECT_TRUE(ImageList_GetIconSize(list, &cx, &cy));
  EXPECT_EQ(cx, 16);
  EXPECT_EQ(cy, 12);
  HBITMAP narrow = Strip({RGB(1, 1, 1)});  // 4 wide: no whole 16-wide image in it
  EXPECT_EQ(ImageList_Add(list, narrow, nullptr), -1);
  DeleteObject(narrow);
  EXPECT_TRUE(ImageList_Destroy(list));
  EXPECT_FALSE(ImageList_Destroy(list));
  EXPECT_FALSE(ImageList_GetIconSize(list, &cx, &cy));
  EXPECT_EQ(ImageList_Add(list, nullptr, nullptr), -1);
  EXPECT_EQ(ImageList_Create(0, 16, ILC_COLOR, 1, 1), nullptr);
}

TEST_F(ImageListTest, ABitmapSelectedElsewhereIsRefused) {
  HIMAGELIST list = ImageList_Create(4, 4, ILC_COLOR24, 1, 1);
  HBITMAP strip = Strip({RGB(1, 2, 3)});
  HDC holder = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(holder, strip);
  EXPECT_EQ(ImageList_Add(list, strip, nullptr), -1);
  SelectObject(holder, old);
  EXPECT_EQ(ImageList_Add(list, strip, nullptr), 0);
  DeleteDC(holder);
  DeleteObject(strip);
  ImageList_Destroy(list);
}

}  // namespace
}  // namespace zb::testing
