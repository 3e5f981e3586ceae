// The headless screen: GetDC(NULL) draws into it, tests read it, and it saves as a PNG that
// libpng reads back with the same pixels.
#include <png.h>

#include "canvas.h"
#include "gwes/gdi_host.h"

namespace zb::testing {
namespace {

TEST_F(GdiTest, ScreenStartsBlackAndTakesDrawingThroughGetDc) {
  EXPECT_EQ(zb::gdi::ScreenPixel(0, 0), RGB(0, 0, 0));
  HDC screen = GetDC(nullptr);
  ASSERT_NE(screen, nullptr);
  EXPECT_EQ(GetObjectType(screen), static_cast<DWORD>(OBJ_DC));
  SetPixel(screen, 239, 319, RGB(255, 255, 255));
  EXPECT_EQ(zb::gdi::ScreenPixel(239, 319), RGB(255, 255, 255));
  EXPECT_EQ(zb::gdi::ScreenPixel(240, 0), CLR_INVALID);
  EXPECT_EQ(SelectObject(screen, CreateBitmap(1, 1, 1, 1, nullptr)), nullptr);  // display DCs keep the screen
  EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
  EXPECT_EQ(ReleaseDC(nullptr, screen), 0);
  EXPECT_EQ(GetDC(reinterpret_cast<HWND>(0x10)), nullptr);  // windows come with the window manager
}

TEST_F(GdiTest, ScreenSavesAsAPngWithItsPixels) {
  ASSERT_TRUE(zb::gdi::SetScreenMode({320, 240, 16, 96}));  // landscape
  HDC screen = GetDC(nullptr);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  RECT r{10, 20, 30, 40};
  FillRect(screen, &r, red);
  ReleaseDC(nullptr, screen);
  DeleteObject(red);

  const auto path = device_.Host("screen.png");
  ASSERT_TRUE(zb::gdi::SaveScreenPng(path));
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str()));
  EXPECT_EQ(image.width, 320u);
  EXPECT_EQ(image.height, 240u);
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
  auto at = [&](int x, int y) { return &rgb[(static_cast<size_t>(y) * 320 + x) * 3]; };
  EXPECT_EQ(at(10, 20)[0], 255);
  EXPECT_EQ(at(10, 20)[1], 0);
  EXPECT_EQ(at(29, 39)[0], 255);
  EXPECT_EQ(at(30, 39)[0], 0);
  EXPECT_FALSE(zb::gdi::SaveScreenPng(device_.Host("missing/folder/x.png")));
}

struct ProfileScreen {
  const char* name;
  const char* profile;
  int width, height, bpp, dpi;
};

class ScreenFromProfile : public GdiTest, public ::testing::WithParamInterface<ProfileScreen> {};

TEST_P(ScreenFromProfile, TheScreenTakesTheProfilesSizeDepthAndDpi) {
  const ProfileScreen p = GetParam();
  device_.WriteProfile(p.profile);
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(GetDeviceCaps(screen, HORZRES), p.width);
  EXPECT_EQ(GetDeviceCaps(screen, VERTRES), p.height);
  EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), p.bpp);
  EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), p.dpi);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), p.width);
  SetPixel(screen, p.width - 1, p.height - 1, RGB(255, 255, 255));
  EXPECT_EQ(zb::gdi::ScreenPixel(p.width - 1, p.height - 1), RGB(255, 255, 255));
  EXPECT_EQ(zb::gdi::ScreenPixel(p.width, 0), CLR_INVALID);
  HBITMAP compatible = CreateCompatibleBitmap(screen, 2, 2);
  BITMAP bm{};
  GetObjectW(compatible, sizeof bm, &bm);
  EXPECT_EQ(bm.bmBitsPixel, p.bpp);
  DeleteObject(compatible);
  ReleaseDC(nullptr, screen);
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, ScreenFromProfile,
    ::testing::Values(ProfileScreen{"Default", "", 240, 320, 16, 96},
                      ProfileScreen{"Vga", "[screen]\nwidth = 480\nheight = 640\ndpi = 192\n", 480, 640, 16, 192},
                      ProfileScreen{"Square", "[screen]\nwidth = 240\nheight = 240\n", 240, 240, 16, 96},
                      ProfileScreen{"Landscape", "[screen]\nwidth = 320\nheight = 240\ndepth = 24\n", 320, 240, 24, 96},
                      ProfileScreen{"Palettized", "[screen]\ndepth = 8\n", 240, 320, 8, 96}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(GdiTest, ANewDeviceGetsTheDefaultScreenAgain) {
  ASSERT_TRUE(zb::gdi::SetScreenMode({480, 480, 16, 192}));
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 480);
  {
    TestDevice other;
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 240);
    EXPECT_EQ(zb::gdi::CurrentScreenMode().dpi, 96);
  }
}

}  // namespace
}  // namespace zb::testing
