// DecompressImageIndirect over PNG, JPEG, GIF and BMP files made by the libraries: pixels, the
// transparency report and mask, scaling and maxima, output depths, the read callback, and clean
// errors for truncated and hostile files.
#include <gtest/gtest.h>
#include <imgdecmp.h>

#include <cstdlib>

#include "image_files.h"
#include "testing/test_device.h"

namespace zb::testing {
namespace {

struct Result {
  HRESULT hr = E_FAIL;
  HBITMAP bitmap = nullptr;
  IImageRender* render = nullptr;
  int progressCalls = 0;
  BOOL progressComplete = FALSE;
  int reads = 0;
  ~Result() {
    if (bitmap) DeleteObject(bitmap);
    if (render) render->Release();
  }
  COLORREF Pixel(int x, int y) const {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return c;
  }
  SIZE Size() const {
    BITMAP bm{};
    GetObjectW(bitmap, sizeof bm, &bm);
    return SIZE{bm.bmWidth, bm.bmHeight};
  }
};

struct Options {
  int depth = 24;
  int scale = 100;
  int maxWidth = 10000, maxHeight = 10000;
  COLORREF transparentOverride = static_cast<COLORREF>(-1);
  DWORD preloaded = 0;  // bytes placed in the work buffer before the call
  bool wantRender = true;
};

struct Feed {
  const std::vector<uint8_t>* bytes;
  size_t at;
  Result* result;
};

DWORD CALLBACK Read(LPSTR buffer, DWORD max, LPARAM param) {
  auto* f = reinterpret_cast<Feed*>(param);
  ++f->result->reads;
  const size_t n = std::min<size_t>(max, f->bytes->size() - f->at);
  if (n) std::memcpy(buffer, f->bytes->data() + f->at, n);
  f->at += n;
  return static_cast<DWORD>(n);
}

void CALLBACK Progress(IImageRender* render, BOOL complete, LPARAM param) {
  auto* f = reinterpret_cast<Feed*>(param);
  ++f->result->progressCalls;
  f->result->progressComplete = complete;
  int w = 0;
  EXPECT_EQ(render->GetOrigWidth(&w), S_OK);
}

void Decode(const std::vector<uint8_t>& bytes, Result& r, Options o = {}) {
  Feed feed{&bytes, 0, &r};
  std::vector<uint8_t> buffer(8192);
  const size_t pre = std::min<size_t>(o.preloaded, bytes.size());
  if (pre) std::memcpy(buffer.data(), bytes.data(), pre);
  feed.at = pre;
  DecompressImageInfo info{};
  info.dwSize = sizeof info;
  info.pbBuffer = buffer.data();
  info.dwBufferMax = static_cast<DWORD>(buffer.size());
  info.dwBufferCurrent = static_cast<DWORD>(pre);
  info.phBM = &r.bitmap;
  info.ppImageRender = o.wantRender ? &r.render : nullptr;
  info.iBitDepth = o.depth;
  info.lParam = reinterpret_cast<LPARAM>(&feed);
  info.iScale = o.scale;
  info.iMaxWidth = o.maxWidth;
  info.iMaxHeight = o.maxHeight;
  info.pfnGetData = Read;
  info.pfnImageProgress = Progress;
  info.crTransparentOverride = o.transparentOverride;
  r.hr = DecompressImageIndirect(&info);
}

bool Near(COLORREF a, COLORREF b, int tolerance) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

class ImageTest : public ::testing::Test {
 protected:
  TestDevice device_;
};

TEST_F(ImageTest, PngWithAlphaDecodesOverTheOverrideColourAndReportsTransparency) {
  Result r;
  Decode(EncodePng(Quarters(8, 6, true), true), r, {24, 100, 10000, 10000, RGB(1, 2, 3)});
  ASSERT_EQ(r.hr, S_OK);
  EXPECT_EQ(r.Size().cx, 8);
  EXPECT_EQ(r.Size().cy, 6);
  EXPECT_EQ(r.Pixel(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(r.Pixel(7, 0), RGB(0, 255, 0));
  EXPECT_EQ(r.Pixel(0, 5), RGB(0, 0, 255));
  EXPECT_EQ(r.Pixel(7, 5), RGB(1, 2, 3));
  EXPECT_EQ(r.progressCalls, 1);
  EXPECT_TRUE(r.progressComplete);
  ASSERT_NE(r.render, nullptr);
  BOOL transparent = FALSE;
  EXPECT_EQ(r.render->HasTransparency(&transparent), S_OK);
  EXPECT_TRUE(transparent);

  // The mask: white where transparent, black where opaque, here into a monochrome bitmap.
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP mask = CreateBitmap(8, 6, 1, 1, nullptr);
  HGDIOBJ old = SelectObject(dc, mask);
  RECT all{0, 0, 8, 6};
  ASSERT_EQ(r.render->DrawMask(dc, &all), S_OK);
  EXPECT_EQ(GetPixel(dc, 7, 5), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(dc, 4, 3), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(dc, 3, 3), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 0, 0));
  SelectObject(dc, old);
  DeleteObject(mask);
  DeleteDC(dc);
}

TEST_F(ImageTest, OpaquePngReportsNoTransparencyAndWhiteIsTheDefaultOverride) {
  Result opaque;
  Decode(EncodePng(Quarters(4, 4, false), false), opaque);
  ASSERT_EQ(opaque.hr, S_OK);
  BOOL transparent = TRUE;
  opaque.render->HasTransparency(&transparent);
  EXPECT_FALSE(transparent);
  Result alpha;
  Decode(EncodePng(Quarters(4, 4, true), true), alpha);
  EXPECT_EQ(alpha.Pixel(3, 3), RGB(255, 255, 255));
}

TEST_F(ImageTest, RenderDrawsOverWhatTheDcHoldsAtAnySize) {
  Result r;
  Decode(EncodePng(Quarters(4, 4, true), true), r);
  ASSERT_EQ(r.hr, S_OK);
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAPINFO info{{sizeof(BITMAPINFOHEADER), 8, -8, 1, 24, BI_RGB, 0, 0, 0, 0, 0}, {}};
  HBITMAP target = CreateDIBSection(dc, &info, DIB_RGB_COLORS, nullptr, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, target);
  HBRUSH grey = CreateSolidBrush(RGB(50, 60, 70));
  RECT all{0, 0, 8, 8};
  FillRect(dc, &all, grey);
  ASSERT_EQ(r.render->Draw(dc, &all), S_OK);
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, 3, 3), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, 7, 7), RGB(50, 60, 70));  // transparent quarter, doubled
  EXPECT_EQ(GetPixel(dc, 4, 4), RGB(50, 60, 70));
  SelectObject(dc, old);
  DeleteObject(grey);
  DeleteObject(target);
  DeleteDC(dc);
}

TEST_F(ImageTest, JpegDecodesToNearlyTheColoursItWasMadeFrom) {
  Result r;
  Decode(EncodeJpeg(Quarters(32, 32, false)), r);
  ASSERT_EQ(r.hr, S_OK);
  EXPECT_TRUE(Near(r.Pixel(4, 4), RGB(255, 0, 0), 12));
  EXPECT_TRUE(Near(r.Pixel(27, 4), RGB(0, 255, 0), 12));
  EXPECT_TRUE(Near(r.Pixel(4, 27), RGB(0, 0, 255), 12));
  EXPECT_TRUE(Near(r.Pixel(27, 27), RGB(255, 255, 0), 12));
  BOOL transparent = TRUE;
  r.render->HasTransparency(&transparent);
  EXPECT_FALSE(transparent);
}

TEST_F(ImageTest, GifDecodesExactlyWithItsTransparentIndexPlainAndInterlaced) {
  const std::vector<GifColorType> colours = {{0, 0, 0}, {255, 0, 0}, {0, 0, 255}, {9, 9, 9}};
  const int w = 5, h = 11;
  std::vector<uint8_t> indices(w * h);
  for (int i = 0; i < w * h; ++i) indices[i] = static_cast<uint8_t>((i / w + i % w) % 4);
  for (bool interlace : {false, true}) {
    Result r;
    Decode(EncodeGif(w, h, indices, colours, 3, interlace), r, {24, 100, 10000, 10000, RGB(0, 255, 0)});
    ASSERT_EQ(r.hr, S_OK) << interlace;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const int index = indices[y * w + x];
        const COLORREF want = index == 3 ? RGB(0, 255, 0) : RGB(colours[index].Red, colours[index].Green, colours[index].Blue);
        ASSERT_EQ(r.Pixel(x, y), want) << x << "," << y << " interlaced " << interlace;
      }
    BOOL transparent = FALSE;
    r.render->HasTransparency(&transparent);
    EXPECT_TRUE(transparent);
  }
}

TEST_F(ImageTest, BmpDecodesTopDownBottomUpAndPalettized) {
  Pixels p = Quarters(6, 4, false);
  p.at(1, 0)[0] = 77;  // one odd pixel to see the row order by
  for (bool topDown : {false, true}) {
    Result r;
    Decode(EncodeBmp(p, 24, topDown), r);
    ASSERT_EQ(r.hr, S_OK);
    EXPECT_EQ(r.Pixel(1, 0), RGB(77, 0, 0));
    EXPECT_EQ(r.Pixel(5, 3), RGB(255, 255, 0));
  }
  Result grey;
  Decode(EncodeBmp(p, 8, false), grey);
  ASSERT_EQ(grey.hr, S_OK);
  EXPECT_EQ(grey.Pixel(1, 0), RGB(77, 77, 77));  // the palette maps index i to grey i
}

struct SizeCase {
  const char* name;
  int width, height, scale, maxWidth, maxHeight;
  int wantWidth, wantHeight;
};

class OutputSize : public ImageTest, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(OutputSize, ScaleThenMaximaWithProportionsKept) {
  const SizeCase s = GetParam();
  Result r;
  Options o;
  o.scale = s.scale;
  o.maxWidth = s.maxWidth;
  o.maxHeight = s.maxHeight;
  o.wantRender = false;
  Decode(EncodePng(Quarters(s.width, s.height, false), false), r, o);
  ASSERT_EQ(r.hr, S_OK);
  EXPECT_EQ(r.Size().cx, s.wantWidth);
  EXPECT_EQ(r.Size().cy, s.wantHeight);
}

INSTANTIATE_TEST_SUITE_P(Cases, OutputSize,
                         ::testing::Values(SizeCase{"AsIs", 40, 20, 100, 10000, 10000, 40, 20},
                                           SizeCase{"Half", 40, 20, 50, 10000, 10000, 20, 10},
                                           SizeCase{"Double", 4, 3, 200, 10000, 10000, 8, 6},
                                           SizeCase{"LimitedByWidth", 40, 20, 100, 10, 100, 10, 5},
                                           SizeCase{"LimitedByHeight", 40, 20, 100, 100, 4, 8, 4},
                                           SizeCase{"NeverBelowOnePixel", 400, 2, 100, 40, 100, 40, 1},
                                           SizeCase{"TwelveThousandWide", 12000, 2, 100, 10000, 10000, 10000, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ImageTest, ShrunkImagesAverageTheirPixels) {
  Result r;
  Options o;
  o.scale = 25;
  Decode(EncodePng(Quarters(8, 8, false), false), r, o);
  ASSERT_EQ(r.hr, S_OK);
  EXPECT_EQ(r.Pixel(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(r.Pixel(1, 1), RGB(255, 255, 0));
}

TEST_F(ImageTest, OutputDepthsGiveSectionsOfThatDepth) {
  const auto png = EncodePng(Quarters(4, 4, false), false);
  for (int depth : {1, 2, 4, 8, 16, 24, 32}) {
    Result r;
    Options o;
    o.depth = depth;
    Decode(png, r, o);
    ASSERT_EQ(r.hr, S_OK) << depth;
    DIBSECTION ds{};
    ASSERT_EQ(GetObjectW(r.bitmap, sizeof ds, &ds), static_cast<int>(sizeof ds));
    EXPECT_EQ(ds.dsBm.bmBitsPixel, depth);
    if (depth == 16) {
      EXPECT_EQ(ds.dsBitfields[1], 0x07E0u);  // the screen's 5-6-5
    }
    if (depth >= 8) {
      EXPECT_TRUE(Near(r.Pixel(0, 0), RGB(255, 0, 0), depth == 8 ? 0 : 8)) << depth;
    }
  }
  Result bad;
  Options o;
  o.depth = 12;
  Decode(png, bad, o);
  EXPECT_EQ(bad.hr, E_INVALIDARG);
}

TEST_F(ImageTest, BytesAlreadyInTheBufferAreReadFirst) {
  const auto png = EncodePng(Quarters(64, 64, false), false);
  Result r;
  Options o;
  o.preloaded = 100;
  Decode(png, r, o);
  ASSERT_EQ(r.hr, S_OK);
  EXPECT_EQ(r.Pixel(63, 63), RGB(255, 255, 0));
  EXPECT_GE(r.reads, 2);  // the rest, then the end
}

TEST_F(ImageTest, BadRecordsAreRefused) {
  DecompressImageInfo info{};
  EXPECT_EQ(DecompressImageIndirect(nullptr), E_INVALIDARG);
  info.dwSize = 60;  // the 32-bit device's size is not this record's
  info.iScale = 100;
  info.pfnGetData = Read;
  EXPECT_EQ(DecompressImageIndirect(&info), E_INVALIDARG);
  info.dwSize = sizeof info;
  info.pfnGetData = nullptr;
  EXPECT_EQ(DecompressImageIndirect(&info), E_INVALIDARG);
}

struct Broken {
  const char* name;
  std::vector<uint8_t> bytes;
};

std::vector<Broken> BrokenFiles() {
  const auto png = EncodePng(Quarters(16, 16, true), true);
  const auto jpeg = EncodeJpeg(Quarters(32, 32, false));
  const std::vector<GifColorType> colours = {{0, 0, 0}, {255, 255, 255}};
  const auto gif = EncodeGif(8, 8, std::vector<uint8_t>(64, 1), colours, -1, false);
  const auto bmp = EncodeBmp(Quarters(8, 8, false), 24, false);
  auto cut = [](std::vector<uint8_t> v, size_t n) {
    v.resize(n);
    return v;
  };
  std::vector<Broken> out = {
      {"empty", {}},
      {"noise", std::vector<uint8_t>(300, 0x5A)},
      {"png cut in half", cut(png, png.size() / 2)},
      {"png header only", cut(png, 33)},
      {"jpeg cut in half", cut(jpeg, jpeg.size() / 2)},
      {"jpeg signature only", cut(jpeg, 3)},
      {"gif cut in half", cut(gif, gif.size() / 2)},
      {"bmp cut in half", cut(bmp, bmp.size() / 2)},
  };
  // A PNG that claims to be 100000 pixels square.
  std::vector<uint8_t> huge = png;
  huge[16] = 0, huge[17] = 1, huge[18] = 0x86, huge[19] = 0xA0;
  huge[20] = 0, huge[21] = 1, huge[22] = 0x86, huge[23] = 0xA0;
  out.push_back({"png of 100000 squared", huge});
  // A GIF screen of 65535 x 65535.
  std::vector<uint8_t> wide = gif;
  wide[6] = wide[7] = wide[8] = wide[9] = 0xFF;
  out.push_back({"gif of 65535 squared", wide});
  // A BMP whose pixels are said to start far past its end.
  std::vector<uint8_t> far = bmp;
  far[10] = far[11] = far[12] = 0xFF, far[13] = 0x7F;
  out.push_back({"bmp pixels past the end", far});
  return out;
}

TEST_F(ImageTest, TruncatedAndHostileFilesFailCleanly) {
  for (const Broken& b : BrokenFiles()) {
    Result r;
    Decode(b.bytes, r);
    EXPECT_TRUE(FAILED(r.hr)) << b.name;
    EXPECT_EQ(r.bitmap, nullptr) << b.name;
    EXPECT_EQ(r.render, nullptr) << b.name;
    EXPECT_EQ(r.progressCalls, 0) << b.name;
  }
}

}  // namespace
}  // namespace zb::testing
