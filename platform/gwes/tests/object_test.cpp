// Objects and DCs: what GetObjectW reports, which bitmap a compatible bitmap copies, that a
// bitmap lives in one DC at a time and is not deleted there, and the stock objects.
#include "canvas.h"
#include "gwes/gdi_host.h"

namespace zb::testing {
namespace {

TEST_F(GdiTest, GetObjectDescribesDibSectionsAndDeviceBitmaps) {
  Canvas c(7, 5, {16, false, true});
  DIBSECTION ds{};
  ASSERT_EQ(GetObjectW(c.bitmap, sizeof ds, &ds), static_cast<int>(sizeof ds));
  EXPECT_EQ(ds.dsBm.bmWidth, 7);
  EXPECT_EQ(ds.dsBm.bmHeight, 5);
  EXPECT_EQ(ds.dsBm.bmBitsPixel, 16);
  EXPECT_EQ(ds.dsBm.bmWidthBytes, 16);  // 14 bytes padded to 32 bits
  EXPECT_EQ(ds.dsBmih.biCompression, static_cast<DWORD>(BI_BITFIELDS));
  EXPECT_EQ(ds.dsBitfields[0], 0xF800u);
  EXPECT_EQ(ds.dsBitfields[1], 0x07E0u);
  EXPECT_EQ(ds.dsBitfields[2], 0x001Fu);

  HDC screen = GetDC(nullptr);
  HBITMAP ddb = CreateCompatibleBitmap(screen, 3, 2);
  BITMAP bm{};
  ASSERT_EQ(GetObjectW(ddb, sizeof(DIBSECTION), &bm), static_cast<int>(sizeof(BITMAP)));
  EXPECT_EQ(bm.bmBitsPixel, 16);
  EXPECT_EQ(bm.bmBits, nullptr);
  EXPECT_EQ(GetObjectW(ddb, 4, &bm), 0);
  EXPECT_EQ(GetObjectType(ddb), static_cast<DWORD>(OBJ_BITMAP));
  DeleteObject(ddb);
  ReleaseDC(nullptr, screen);
}

TEST_F(GdiTest, CompatibleBitmapOfAFreshMemoryDcIsMonochrome) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP mono = CreateCompatibleBitmap(dc, 4, 4);
  BITMAP bm{};
  GetObjectW(mono, sizeof bm, &bm);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  Canvas colour(2, 2, {24});
  HBITMAP deep = CreateCompatibleBitmap(colour.dc, 4, 4);
  GetObjectW(deep, sizeof bm, &bm);
  EXPECT_EQ(bm.bmBitsPixel, 24);
  DeleteObject(mono);
  DeleteObject(deep);
  DeleteDC(dc);
}

TEST_F(GdiTest, ABitmapIsSelectedIntoOneDcAndNotDeletedThere) {
  HDC a = CreateCompatibleDC(nullptr), b = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateBitmap(2, 2, 1, 1, nullptr);
  HGDIOBJ old = SelectObject(a, bitmap);
  ASSERT_NE(old, nullptr);
  EXPECT_EQ(SelectObject(b, bitmap), nullptr);
  EXPECT_FALSE(DeleteObject(bitmap));
  EXPECT_EQ(GetCurrentObject(a, OBJ_BITMAP), bitmap);
  EXPECT_EQ(SelectObject(a, old), bitmap);
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_FALSE(DeleteObject(bitmap));  // the handle is gone
  DeleteDC(a);
  DeleteDC(b);
}

TEST_F(GdiTest, DeletingASelectedBrushLeavesTheDcDrawingSafely) {
  Canvas c(2, 1, {24});
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  SelectObject(c.dc, brush);
  EXPECT_TRUE(DeleteObject(brush));
  EXPECT_TRUE(PatBlt(c.dc, 0, 0, 2, 1, PATCOPY));
  EXPECT_EQ(GetPixel(c.dc, 1, 0), RGB(1, 2, 3));
}

TEST_F(GdiTest, StockObjectsSurviveDeleteObject) {
  struct Stock {
    int index;
    DWORD type;
  };
  const Stock stock[] = {{WHITE_BRUSH, OBJ_BRUSH}, {BLACK_BRUSH, OBJ_BRUSH}, {NULL_BRUSH, OBJ_BRUSH},
                         {BLACK_PEN, OBJ_PEN},     {NULL_PEN, OBJ_PEN},       {SYSTEM_FONT, OBJ_FONT},
                         {DEFAULT_PALETTE, OBJ_PAL}};
  for (const Stock& s : stock) {
    HGDIOBJ object = GetStockObject(s.index);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(GetObjectType(object), s.type);
    EXPECT_TRUE(DeleteObject(object));
    EXPECT_EQ(GetObjectType(object), s.type) << "stock object " << s.index << " was deleted";
  }
  EXPECT_EQ(GetStockObject(99), nullptr);
}

TEST_F(GdiTest, SelectObjectHandsBackThePreviousObjectOfEachKind) {
  Canvas c(2, 2, {24});
  HPEN pen = CreatePen(PS_SOLID, 2, RGB(1, 1, 1));
  EXPECT_EQ(SelectObject(c.dc, pen), GetStockObject(BLACK_PEN));
  EXPECT_EQ(GetCurrentObject(c.dc, OBJ_PEN), pen);
  EXPECT_EQ(SelectObject(c.dc, GetStockObject(WHITE_BRUSH)), GetStockObject(WHITE_BRUSH));
  LOGPEN log{};
  EXPECT_EQ(GetObjectW(pen, sizeof log, &log), static_cast<int>(sizeof log));
  EXPECT_EQ(log.lopnWidth.x, 2);
  SelectObject(c.dc, GetStockObject(BLACK_PEN));
  DeleteObject(pen);
  EXPECT_EQ(SelectObject(c.dc, reinterpret_cast<HGDIOBJ>(0x1234)), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(GdiTest, CreateDibSectionRefusesBadHeaders) {
  struct Case {
    const char* name;
    LONG width, height;
    WORD bpp;
    DWORD compression;
  };
  const Case cases[] = {{"zero width", 0, 4, 16, BI_RGB},     {"zero height", 4, 0, 16, BI_RGB},
                        {"odd depth", 4, 4, 12, BI_RGB},       {"bitfields at 24", 4, 4, 24, BI_BITFIELDS},
                        {"run length", 4, 4, 8, BI_RLE8},      {"too wide", 100000, 4, 16, BI_RGB},
                        {"too large", 30000, -30000, 32, BI_RGB}};
  for (const Case& k : cases) {
    BITMAPINFO info{{sizeof(BITMAPINFOHEADER), k.width, k.height, 1, k.bpp, k.compression, 0, 0, 0, 0, 0}, {}};
    void* bits = reinterpret_cast<void*>(1);
    EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr) << k.name;
    EXPECT_EQ(bits, nullptr) << k.name;
  }
  struct {
    BITMAPINFOHEADER h;
    DWORD masks[3];
  } overlapping{{sizeof(BITMAPINFOHEADER), 4, 4, 1, 16, BI_BITFIELDS, 0, 0, 0, 0, 0}, {0xFF00, 0x0FF0, 0x000F}};
  EXPECT_EQ(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&overlapping), DIB_RGB_COLORS, nullptr, nullptr, 0),
            nullptr);
}

TEST_F(GdiTest, DeviceCapsAndMetricsFollowTheScreenMode) {
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(GetDeviceCaps(screen, HORZRES), 240);
  EXPECT_EQ(GetDeviceCaps(screen, VERTRES), 320);
  EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 16);
  EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSX), 96);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 240);
  EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), 16);
  ReleaseDC(nullptr, screen);

  ASSERT_TRUE(zb::gdi::SetScreenMode({480, 640, 16, 192}));
  screen = GetDC(nullptr);
  EXPECT_EQ(GetDeviceCaps(screen, HORZRES), 480);
  EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 192);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 640);
  EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), 32);
  EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 26);
  HDC memory = CreateCompatibleDC(screen);
  EXPECT_EQ(GetDeviceCaps(memory, LOGPIXELSX), 192);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  EXPECT_FALSE(zb::gdi::SetScreenMode({0, 640, 16, 96}));
  EXPECT_FALSE(zb::gdi::SetScreenMode({240, 320, 12, 96}));
}

TEST_F(GdiTest, SystemColoursAcceptTheIndexFlag) {
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOW | SYS_COLOR_INDEX_FLAG));
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
  EXPECT_EQ(GetSysColor(COLOR_STATICTEXT | SYS_COLOR_INDEX_FLAG), RGB(0, 0, 0));
  HBRUSH brush = GetSysColorBrush(COLOR_HIGHLIGHT);
  LOGBRUSH log{};
  GetObjectW(brush, sizeof log, &log);
  EXPECT_EQ(log.lbColor, GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_TRUE(DeleteObject(brush));
  EXPECT_EQ(GetObjectType(brush), static_cast<DWORD>(OBJ_BRUSH));
}

}  // namespace
}  // namespace zb::testing
