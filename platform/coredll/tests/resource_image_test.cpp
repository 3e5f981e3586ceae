// Bitmaps and icons from resources, made real by the window system's GDI: each pixel of a
// 24-bit and a palette bitmap where the file put it, an icon at the default size and at a
// chosen one with its transparent pixel, and damaged or unoffered images refused.
#include "resource_support.h"

namespace zb::res::testing {
namespace {

class ResourceImageTest : public ResourceTest {
 protected:
  // The colours of a bitmap's pixels, row by row from the top.
  static std::vector<COLORREF> Pixels(HBITMAP bitmap, int width, int height) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    std::vector<COLORREF> out;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) out.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteDC(dc);
    return out;
  }

  // Draws an icon on a white 40x40 canvas and returns the canvas's pixels.
  static std::vector<COLORREF> Drawn(HICON icon) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = 40;
    info.bmiHeader.biHeight = -40;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP canvas = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, canvas);
    PatBlt(dc, 0, 0, 40, 40, WHITENESS);
    EXPECT_TRUE(DrawIconEx(dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
    SelectObject(dc, old);
    DeleteDC(dc);
    std::vector<COLORREF> out = Pixels(canvas, 40, 40);
    DeleteObject(canvas);
    return out;
  }
};

constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255), kWhite = RGB(255, 255, 255);

TEST_F(ResourceImageTest, BitmapsKeepTheirFormatAndEveryPixel) {
  HMODULE program = GetModuleHandleW(nullptr);
  HBITMAP logo = LoadBitmapW(program, MAKEINTRESOURCEW(IDB_LOGO));
  ASSERT_NE(logo, nullptr) << GetLastError();
  DIBSECTION ds{};
  ASSERT_EQ(GetObjectW(logo, sizeof(ds), &ds), static_cast<int>(sizeof(ds)));
  EXPECT_EQ(ds.dsBm.bmWidth, 4);
  EXPECT_EQ(ds.dsBm.bmHeight, 2);
  EXPECT_EQ(ds.dsBm.bmBitsPixel, 24);
  EXPECT_EQ(Pixels(logo, 4, 2), (std::vector<COLORREF>{RGB(0, 0, 0), RGB(128, 128, 128), RGB(255, 255, 0), RGB(255, 0, 255),
                                                      kBlue, kGreen, kRed, kWhite}));
  DeleteObject(logo);

  HBITMAP palette = static_cast<HBITMAP>(LoadImageW(program, MAKEINTRESOURCEW(IDB_PALETTE), IMAGE_BITMAP, 0, 0, 0));
  ASSERT_NE(palette, nullptr) << GetLastError();
  ASSERT_EQ(GetObjectW(palette, sizeof(ds), &ds), static_cast<int>(sizeof(ds)));
  EXPECT_EQ(ds.dsBm.bmBitsPixel, 8);
  EXPECT_EQ(Pixels(palette, 3, 2), (std::vector<COLORREF>{kBlue, kGreen, kRed, kRed, kGreen, kBlue}));
  DeleteObject(palette);
}

TEST_F(ResourceImageTest, IconsAtTheDefaultSizeAndAtAChosenOne) {
  HMODULE program = GetModuleHandleW(nullptr);
  HICON large = LoadIconW(program, MAKEINTRESOURCEW(IDI_APP));  // the device's icon size is 32
  ASSERT_NE(large, nullptr) << GetLastError();
  std::vector<COLORREF> canvas = Drawn(large);
  EXPECT_EQ(canvas[0], kBlue);
  EXPECT_EQ(canvas[31 * 40 + 31], kBlue);
  EXPECT_EQ(canvas[32 * 40 + 32], kWhite);
  DestroyIcon(large);

  HICON small = static_cast<HICON>(LoadImageW(program, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, 16, 16, 0));
  ASSERT_NE(small, nullptr) << GetLastError();
  canvas = Drawn(small);
  EXPECT_EQ(canvas[0], kWhite) << "the mask makes the top-left pixel transparent";
  EXPECT_EQ(canvas[1], kRed);
  EXPECT_EQ(canvas[15 * 40 + 15], kRed);
  EXPECT_EQ(canvas[16 * 40 + 16], kWhite);
  DestroyIcon(small);
}

struct Refused {
  HINSTANCE instance;
  LPCWSTR name;
  UINT type;
  UINT flags;
  DWORD error;
};

TEST_F(ResourceImageTest, DamagedMissingAndUnofferedImagesAreRefused) {
  HINSTANCE program = GetModuleHandleW(nullptr);
  const Refused kRefused[] = {
      {program, MAKEINTRESOURCEW(IDB_SHORT), IMAGE_BITMAP, 0, ERROR_INVALID_DATA},
      {program, MAKEINTRESOURCEW(999), IMAGE_BITMAP, 0, ERROR_RESOURCE_NAME_NOT_FOUND},
      {program, MAKEINTRESOURCEW(999), IMAGE_ICON, 0, ERROR_RESOURCE_NAME_NOT_FOUND},
      {nullptr, MAKEINTRESOURCEW(32512), IMAGE_ICON, 0, ERROR_RESOURCE_NAME_NOT_FOUND},  // a system icon
      {program, MAKEINTRESOURCEW(IDB_LOGO), IMAGE_CURSOR, 0, ERROR_NOT_SUPPORTED},
      {nullptr, u"\\logo.bmp", IMAGE_BITMAP, LR_LOADFROMFILE, ERROR_NOT_SUPPORTED},
  };
  for (const Refused& r : kRefused) {
    SetLastError(0);
    EXPECT_EQ(LoadImageW(r.instance, r.name, r.type, 0, 0, r.flags), nullptr);
    EXPECT_EQ(GetLastError(), r.error) << reinterpret_cast<uintptr_t>(r.name);
  }
  EXPECT_EQ(LoadBitmapW(nullptr, MAKEINTRESOURCEW(IDB_LOGO)), nullptr) << "a null instance names the system's bitmaps";
}

}  // namespace
}  // namespace zb::res::testing
