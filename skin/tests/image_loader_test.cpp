// The image loaders: PNG, GIF and JPEG through the platform's decompressor with exact masks,
// BMP through the skin's own reader (even on a device without any decompressor), the binding of
// the decompressor entries by system version, our variant-2 entry, memory and stream sources,
// and resources written out to temporary files.
#include "skin/image_loader.h"

#include <cstring>

#include "bmp_files.h"
#include "core/interface/input_source.h"
#include "imgdecmp/tests/image_files.h"
#include "skin_test_support.h"

namespace zb::testing {
namespace {

class ImageLoading : public SkinTest {
 protected:
  void SetUp() override { ReleaseImageDecoders(); }
  void TearDown() override { ReleaseImageDecoders(); }
  void UseProfile(std::string_view text) {
    device_.WriteProfile(text);
    ReleaseImageDecoders();
  }
};

// The mask is white exactly where the picture is transparent.
void ExpectMaskOfQuarters(HBITMAP mask, int w, int h) {
  ASSERT_NE(mask, nullptr);
  EXPECT_EQ(DepthOf(mask), 1);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const bool transparent = x >= w / 2 && y >= h / 2;
      ASSERT_EQ(PixelOf(mask, x, y), transparent ? RGB(255, 255, 255) : RGB(0, 0, 0)) << x << "," << y;
    }
}

TEST_F(ImageLoading, APngWithAlphaComesWithAnExactMask) {
  const std::u16string path = PutFile("quarters.png", EncodePng(Quarters(10, 6, true), true));
  HBITMAP mask = nullptr;
  HBITMAP bitmap = LoadImageFile(nullptr, path.c_str(), FALSE, &mask);
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(DepthOf(bitmap), 24);  // a 16-bit display decodes in true colour
  EXPECT_EQ(PixelOf(bitmap, 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(PixelOf(bitmap, 9, 0), RGB(0, 255, 0));
  EXPECT_EQ(PixelOf(bitmap, 0, 5), RGB(0, 0, 255));
  ExpectMaskOfQuarters(mask, 10, 6);
  DeleteObject(bitmap);
  DeleteObject(mask);
}

TEST_F(ImageLoading, AGifWithATransparentIndexComesWithAnExactMask) {
  const int w = 8, h = 4;
  std::vector<uint8_t> indices(w * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) indices[y * w + x] = (x >= w / 2 && y >= h / 2) ? 3 : static_cast<uint8_t>((x + y) % 3);
  const std::vector<GifColorType> colours = {{200, 0, 0}, {0, 200, 0}, {0, 0, 200}, {255, 0, 255}};
  const std::u16string path = PutFile("quarters.gif", EncodeGif(w, h, indices, colours, 3, true));
  HBITMAP mask = nullptr;
  HBITMAP bitmap = LoadImageFile(nullptr, path.c_str(), FALSE, &mask);
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(PixelOf(bitmap, 1, 0), RGB(0, 200, 0));
  ExpectMaskOfQuarters(mask, w, h);
  DeleteObject(bitmap);
  DeleteObject(mask);
}

TEST_F(ImageLoading, OpaqueImagesComeWithoutAMask) {
  struct {
    const char* name;
    std::vector<uint8_t> bytes;
  } files[] = {{"opaque.png", EncodePng(Quarters(8, 8, false), false)}, {"opaque.jpg", EncodeJpeg(Quarters(16, 16, false), 98)}};
  for (auto& f : files) {
    const std::u16string path = PutFile(f.name, f.bytes);
    HBITMAP mask = reinterpret_cast<HBITMAP>(1);
    HBITMAP bitmap = LoadImageFile(nullptr, path.c_str(), FALSE, &mask);
    ASSERT_NE(bitmap, nullptr) << f.name;
    EXPECT_EQ(mask, nullptr) << f.name;
    const COLORREF red = PixelOf(bitmap, 1, 1);
    EXPECT_NEAR(GetRValue(red), 255, 4) << f.name;
    EXPECT_NEAR(GetGValue(red), 0, 4) << f.name;
    DeleteObject(bitmap);
  }
}

TEST_F(ImageLoading, TheMaskIsLeftOutWhenNotAskedFor) {
  const std::u16string path = PutFile("quarters.png", EncodePng(Quarters(4, 4, true), true));
  HBITMAP bitmap = LoadImageFilePlain(nullptr, path.c_str(), FALSE);
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(PixelOf(bitmap, 3, 3), RGB(255, 255, 255));  // transparent parts are white
  DeleteObject(bitmap);
}

TEST_F(ImageLoading, AMissingOrUndecodableFileGivesNothing) {
  HBITMAP mask = reinterpret_cast<HBITMAP>(1);
  EXPECT_EQ(LoadImageFile(nullptr, u"\\missing.png", FALSE, &mask), nullptr);
  EXPECT_EQ(mask, nullptr);
  const std::u16string junk = PutFile("junk.png", {0x89, 'P', 'N', 'G', 1, 2, 3});
  EXPECT_EQ(LoadImageFile(nullptr, junk.c_str(), FALSE, &mask), nullptr);
  EXPECT_EQ(mask, nullptr);
  EXPECT_EQ(LoadImageFile(nullptr, nullptr, FALSE, &mask), nullptr);
}

TEST_F(ImageLoading, ABmpLoadsOnADeviceWithoutAnyDecompressor) {
  UseProfile("[os]\nmajor = 4\n[libraries]\nimgdecmp = absent\n");
  DecompressImageFn plain = nullptr;
  DecompressImage2Fn v2 = nullptr;
  EXPECT_FALSE(BindImageDecoder(&plain, &v2));
  BmpLayout rle{4, 1, 8, BI_RLE8};  // a layout the platform's decompressor does not take
  rle.colours = {{0, 0, 0, 0}, {10, 20, 30, 0}};
  rle.pixels = {4, 1, 0, 1};
  const std::u16string bmp = PutFile("rle.bmp", MakeBmp(rle));
  HBITMAP bitmap = LoadImageFile(nullptr, bmp.c_str(), FALSE, nullptr);
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(PixelOf(bitmap, 3, 0), RGB(30, 20, 10));
  DeleteObject(bitmap);
  const std::u16string png = PutFile("a.png", EncodePng(Quarters(4, 4, false), false));
  EXPECT_EQ(LoadImageFile(nullptr, png.c_str(), FALSE, nullptr), nullptr);
}

struct BindingCase {
  const char* name;
  const char* profile;
  bool plain, ours;
};

class DecoderBinding : public ImageLoading, public ::testing::WithParamInterface<BindingCase> {};

TEST_P(DecoderBinding, PicksTheEntryTheSystemVersionCallsFor) {
  UseProfile(GetParam().profile);
  DecompressImageFn plain = nullptr;
  DecompressImage2Fn v2 = nullptr;
  EXPECT_EQ(BindImageDecoder(&plain, &v2), GetParam().plain || GetParam().ours);
  EXPECT_EQ(plain != nullptr, GetParam().plain);
  EXPECT_EQ(v2 == &DecompressImageIndirect2, GetParam().ours);
  // Whichever entry is bound, a PNG decodes.
  const std::u16string png = PutFile("b.png", EncodePng(Quarters(4, 4, false), false));
  HBITMAP bitmap = LoadImageFile(nullptr, png.c_str(), FALSE, nullptr);
  EXPECT_EQ(bitmap != nullptr, GetParam().plain || GetParam().ours);
  if (bitmap) {
    EXPECT_EQ(PixelOf(bitmap, 3, 0), RGB(0, 255, 0));
    DeleteObject(bitmap);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Versions, DecoderBinding,
    ::testing::Values(BindingCase{"Version5UsesOurVariant2", "[os]\nmajor = 5\n", false, true},
                      BindingCase{"Version4UsesThePlainEntry", "[os]\nmajor = 4\n", true, false},
                      BindingCase{"Version3UsesThePlainEntry", "[os]\nmajor = 3\n", true, false},
                      BindingCase{"Version4WithoutImgdecmpHasNone", "[os]\nmajor = 4\n[libraries]\nimgdecmp = absent\n",
                                  false, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct MemoryReader {
  std::vector<uint8_t> bytes;
  size_t at = 0;
  static DWORD CALLBACK Read(LPSTR buffer, DWORD count, LPARAM p) {
    auto* self = reinterpret_cast<MemoryReader*>(p);
    const DWORD n = static_cast<DWORD>(std::min<size_t>(count, self->bytes.size() - self->at));
    std::memcpy(buffer, self->bytes.data() + self->at, n);
    self->at += n;
    return n;
  }
};

DecompressImageInfo2 Record(MemoryReader& reader, HBITMAP* out) {
  DecompressImageInfo2 r{};
  r.dwSize = DECOMPRESS_IMAGE_INFO2_SIZE;
  r.dwFlags = 1;
  r.info.dwSize = sizeof(DecompressImageInfo);
  r.info.phBM = out;
  r.info.iBitDepth = 24;
  r.info.lParam = reinterpret_cast<LPARAM>(&reader);
  r.info.iScale = 100;
  r.info.iMaxWidth = 10000;
  r.info.iMaxHeight = 10000;
  r.info.pfnGetData = MemoryReader::Read;
  r.info.crTransparentOverride = static_cast<COLORREF>(-1);
  return r;
}

TEST_F(ImageLoading, OurVariant2ReportsTheDecodesOwnResult) {
  HBITMAP bitmap = nullptr;
  MemoryReader good{EncodePng(Quarters(4, 2, false), false)};
  DecompressImageInfo2 record = Record(good, &bitmap);
  EXPECT_EQ(DecompressImageIndirect2(&record), S_OK);
  ASSERT_NE(bitmap, nullptr);
  EXPECT_TRUE(record.dwFlags & DECOMPRESS2_FLAG_DONE);
  DeleteObject(bitmap);

  MemoryReader junk{{1, 2, 3, 4, 5}};
  DecompressImageInfo2 failing = Record(junk, &bitmap);
  EXPECT_TRUE(FAILED(DecompressImageIndirect2(&failing)));
  EXPECT_EQ(bitmap, nullptr);
  EXPECT_FALSE(failing.dwFlags & DECOMPRESS2_FLAG_DONE);

  DecompressImageInfo2 wrongSize = Record(good, &bitmap);
  wrongSize.dwSize = 0x22;
  EXPECT_EQ(DecompressImageIndirect2(&wrongSize), E_FAIL);
  EXPECT_EQ(DecompressImageIndirect2(nullptr), E_FAIL);
}

TEST_F(ImageLoading, AnImageWiderThanTheLimitIsDecodedAtTheLimit) {
  const std::u16string path = PutFile("wide.png", EncodePng(Quarters(12000, 2, false), false));
  HBITMAP bitmap = LoadImageFile(nullptr, path.c_str(), FALSE, nullptr);
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(SizeOf(bitmap).cx, 10000);
  DeleteObject(bitmap);
}

TEST_F(ImageLoading, MemoryImagesReadAsBmpFirstOrThroughTheDecompressor) {
  BmpLayout layout{2, 1, 24};
  layout.pixels = PackRows({{0x010203, 0x0A0B0C}}, 24);
  const std::vector<uint8_t> bmp = MakeBmp(layout), png = EncodePng(Quarters(4, 4, false), false);
  const ImageMemory bmpMemory{bmp.data(), static_cast<DWORD>(bmp.size())};
  const ImageMemory pngMemory{png.data(), static_cast<DWORD>(png.size())};
  for (BOOL bmpFirst : {TRUE, FALSE}) {
    HBITMAP a = LoadImageFromMemory(nullptr, &bmpMemory, bmpFirst);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(PixelOf(a, 1, 0), RGB(0x0A, 0x0B, 0x0C));
    DeleteObject(a);
    HBITMAP b = LoadImageFromMemory(nullptr, &pngMemory, bmpFirst);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(PixelOf(b, 0, 3), RGB(0, 0, 255));
    DeleteObject(b);
  }
  const ImageMemory empty{nullptr, 0};
  EXPECT_EQ(LoadImageFromMemory(nullptr, &empty, TRUE), nullptr);
  EXPECT_EQ(LoadImageFromMemory(nullptr, nullptr, TRUE), nullptr);
}

// A stream object over bytes in memory, as the player hands album art over.
struct ByteStream {
  InputSource source{};
  std::vector<uint8_t> bytes;
  int at = 0;
  explicit ByteStream(std::vector<uint8_t> data) : bytes(std::move(data)) {
    source.state = this;
    source.Read = [](InputSource* s, void* buffer, int size, int count) {
      auto* self = static_cast<ByteStream*>(s->state);
      const int n = std::min(size * count, static_cast<int>(self->bytes.size()) - self->at) / size;
      std::memcpy(buffer, self->bytes.data() + self->at, static_cast<size_t>(n) * size);
      self->at += n * size;
      return n;
    };
    source.Seek = [](InputSource* s, int origin, int offset) {
      auto* self = static_cast<ByteStream*>(s->state);
      const int base = origin == INPUT_SEEK_SET ? 0 : origin == INPUT_SEEK_CUR ? self->at : static_cast<int>(self->bytes.size());
      if (base + offset < 0 || base + offset > static_cast<int>(self->bytes.size())) return -1;
      self->at = base + offset;
      return 0;
    };
    source.Tell = [](InputSource* s) { return static_cast<ByteStream*>(s->state)->at; };
  }
};

TEST_F(ImageLoading, StreamImagesAreRewoundBetweenTheTwoReaders) {
  BmpLayout layout{1, 1, 24};
  layout.pixels = PackRows({{0x405060}}, 24);
  ByteStream bmp(MakeBmp(layout)), png(EncodePng(Quarters(4, 4, false), false));
  HBITMAP a = LoadImageFromStream(nullptr, &bmp.source);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(PixelOf(a, 0, 0), RGB(0x40, 0x50, 0x60));
  DeleteObject(a);
  HBITMAP b = LoadImageFromStream(nullptr, &png.source);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(PixelOf(b, 3, 0), RGB(0, 255, 0));
  DeleteObject(b);
  EXPECT_EQ(LoadImageFromStream(nullptr, nullptr), nullptr);
}

TEST_F(ImageLoading, AResourceIsWrittenToANewTemporaryFileWithItsExtension) {
  WCHAR first[MAX_PATH] = {}, second[MAX_PATH] = {};
  HMODULE self = GetModuleHandleW(nullptr);
  ASSERT_TRUE(ExtractResourceToTempFile(self, MAKEINTRESOURCEW(100), u"PNG", u".png", first));
  ASSERT_TRUE(ExtractResourceToTempFile(self, MAKEINTRESOURCEW(100), u"PNG", u"png", second));
  const std::u16string a(first), b(second);
  EXPECT_NE(a, b);
  for (const std::u16string& path : {a, b}) {
    EXPECT_EQ(path.rfind(u"\\Temp\\rsr", 0), 0u) << std::string(path.begin(), path.end());
    EXPECT_EQ(path.substr(path.size() - 4), u".png");
    HBITMAP bitmap = LoadImageFile(nullptr, path.c_str(), FALSE, nullptr);
    EXPECT_NE(bitmap, nullptr);
    if (bitmap) DeleteObject(bitmap);
    EXPECT_TRUE(DeleteFileW(path.c_str()));
  }
  WCHAR unused[MAX_PATH];
  EXPECT_FALSE(ExtractResourceToTempFile(self, MAKEINTRESOURCEW(101), u"PNG", u"png", unused));
  EXPECT_FALSE(ExtractResourceToTempFile(self, MAKEINTRESOURCEW(100), u"PNG", nullptr, unused));
}

}  // namespace
}  // namespace zb::testing
