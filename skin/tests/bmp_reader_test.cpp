// The BMP reader over every layout it takes, against pixels the test chose: palette depths with
// core and info headers, both row orders, 16-bit bit fields, deep pixels, RLE8 and RLE4 with
// their escapes; and hostile headers that must be refused or clipped without harm.
#include "skin/bmp_reader.h"

#include <cstring>
#include <functional>

#include "bmp_files.h"
#include "skin/image_sources.h"
#include "skin_test_support.h"

namespace zb::testing {
namespace {

COLORREF Palette(int i) { return RGB(i * 40 % 256, 255 - i * 30, (i * 7 + 1) % 256); }
std::vector<RGBQUAD> Colours(int n) {
  std::vector<RGBQUAD> out;
  for (int i = 0; i < n; ++i) out.push_back(RGBQUAD{GetBValue(Palette(i)), GetGValue(Palette(i)), GetRValue(Palette(i)), 0});
  return out;
}

HBITMAP Load(SkinTest& t, const std::vector<uint8_t>& bytes) {
  static int serial = 0;
  const std::u16string path = t.PutFile("image" + std::to_string(++serial) + ".bmp", bytes);
  return LoadBmp(path.c_str(), kBmpFileCallbacks);
}

class BmpReader : public SkinTest {
 protected:
  HBITMAP Read(const BmpLayout& layout) { return Load(*this, MakeBmp(layout)); }
};

struct PaletteCase {
  const char* name;
  int bitCount;
  bool core;
  bool topDown;
};

class BmpPalettes : public BmpReader, public ::testing::WithParamInterface<PaletteCase> {};

TEST_P(BmpPalettes, IndicesBecomeTheirTableColoursInEveryRowOrder) {
  const PaletteCase c = GetParam();
  const int w = 7, h = 3, n = std::min(1 << c.bitCount, 8);
  auto index = [&](int x, int y) { return static_cast<uint32_t>((x + 2 * y) % n); };
  std::vector<std::vector<uint32_t>> rows;
  for (int r = 0; r < h; ++r) {
    const int y = c.topDown ? r : h - 1 - r;  // file order
    std::vector<uint32_t> row;
    for (int x = 0; x < w; ++x) row.push_back(index(x, y));
    rows.push_back(row);
  }
  BmpLayout layout{w, c.topDown ? -h : h, c.bitCount};
  layout.core = c.core;
  layout.colours = Colours(1 << c.bitCount);
  layout.pixels = PackRows(rows, c.bitCount);
  HBITMAP bitmap = Read(layout);
  ASSERT_NE(bitmap, nullptr);
  ASSERT_NE(bitmap, BMP_NOT_A_BMP);
  EXPECT_EQ(DepthOf(bitmap), 24);
  EXPECT_EQ(SizeOf(bitmap).cx, w);
  EXPECT_EQ(SizeOf(bitmap).cy, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) ASSERT_EQ(PixelOf(bitmap, x, y), Palette(index(x, y))) << x << "," << y;
  DeleteObject(bitmap);
}

INSTANTIATE_TEST_SUITE_P(Depths, BmpPalettes,
                         ::testing::Values(PaletteCase{"Mono", 1, false, false}, PaletteCase{"MonoCore", 1, true, false},
                                           PaletteCase{"Two", 2, false, false}, PaletteCase{"Four", 4, false, false},
                                           PaletteCase{"FourCore", 4, true, false}, PaletteCase{"Eight", 8, false, false},
                                           PaletteCase{"EightCore", 8, true, false}, PaletteCase{"EightTopDown", 8, false, true},
                                           PaletteCase{"FourTopDown", 4, false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BmpReader, ACoreHeaderReadsLikeItsInfoHeaderTwin) {
  BmpLayout info{3, 2, 8};
  info.colours = Colours(4);
  info.pixels = PackRows({{0, 1, 2}, {3, 2, 1}}, 8);
  BmpLayout core = info;
  core.core = true;
  core.colours = Colours(256);  // a core header has no count: its table is always whole
  HBITMAP a = Read(info), b = Read(core);
  ASSERT_TRUE(a && b);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(PixelOf(a, x, y), PixelOf(b, x, y));
  DeleteObject(a);
  DeleteObject(b);
}

// Deep pixels keep their file layout: the section holds the very values, with the file's masks.
struct DeepCase {
  const char* name;
  int bitCount;
  DWORD compression;
  std::array<DWORD, 3> masks;   // as written (bit fields) or as the reader must assume
  uint32_t value;
  COLORREF colour;
};

class BmpDeep : public BmpReader, public ::testing::WithParamInterface<DeepCase> {};

TEST_P(BmpDeep, PixelsKeepTheirValuesAndChannels) {
  const DeepCase c = GetParam();
  BmpLayout layout{2, 2, c.bitCount, c.compression};
  layout.masks = c.masks;
  layout.pixels = PackRows({{c.value, 0}, {0, c.value}}, c.bitCount);  // bottom row first
  HBITMAP bitmap = Read(layout);
  ASSERT_NE(bitmap, nullptr);
  ASSERT_NE(bitmap, BMP_NOT_A_BMP);
  DIBSECTION ds{};
  ASSERT_EQ(GetObjectW(bitmap, sizeof ds, &ds), static_cast<int>(sizeof ds));
  EXPECT_EQ(ds.dsBm.bmBitsPixel, c.bitCount);
  if (c.bitCount == 16) {
    EXPECT_EQ(ds.dsBitfields[0], c.masks[0]);
    EXPECT_EQ(ds.dsBitfields[1], c.masks[1]);
    EXPECT_EQ(ds.dsBitfields[2], c.masks[2]);
  }
  uint32_t raw = 0;
  std::memcpy(&raw, ds.dsBm.bmBits, c.bitCount / 8);  // the first row in memory is the file's first
  EXPECT_EQ(raw, c.value);
  EXPECT_EQ(PixelOf(bitmap, 0, 1), c.colour);
  EXPECT_EQ(PixelOf(bitmap, 1, 0), c.colour);
  EXPECT_EQ(PixelOf(bitmap, 0, 0), RGB(0, 0, 0));
  DeleteObject(bitmap);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, BmpDeep,
    ::testing::Values(DeepCase{"Plain16Is555", 16, BI_RGB, {0x7C00, 0x03E0, 0x001F}, 0x7C1F, RGB(255, 0, 255)},
                      DeepCase{"BitFields565", 16, BI_BITFIELDS, {0xF800, 0x07E0, 0x001F}, 0x07E0, RGB(0, 255, 0)},
                      DeepCase{"BitFields555", 16, BI_BITFIELDS, {0x7C00, 0x03E0, 0x001F}, 0x03E0, RGB(0, 255, 0)},
                      DeepCase{"True24", 24, BI_RGB, {}, 0x123456, RGB(0x12, 0x34, 0x56)},
                      DeepCase{"True32", 32, BI_RGB, {}, 0x00ABCDEF, RGB(0xAB, 0xCD, 0xEF)}),
    [](const auto& info) { return std::string(info.param.name); });

// RLE: 6 x 4, bottom-up. Index 0 is white, so pixels the runs never reach show as black.
BmpLayout RleLayout(int bitCount, DWORD compression, std::vector<uint8_t> runs) {
  BmpLayout l{6, 4, bitCount, compression};
  l.colours = Colours(1 << bitCount);
  l.colours[0] = RGBQUAD{255, 255, 255, 0};
  l.pixels = std::move(runs);
  l.sizeImage = static_cast<DWORD>(l.pixels.size());
  return l;
}

COLORREF At(int i) { return i == 0 ? RGB(255, 255, 255) : Palette(i); }

TEST_F(BmpReader, Rle8RunsAbsoluteRunsAndDeltasLandWhereTheySay) {
  HBITMAP bitmap = Read(RleLayout(8, BI_RLE8,
                                  {3, 1,                 // file row 0: three of 1
                                   0, 3, 2, 3, 4, 0,     // absolute 2 3 4, padded
                                   0, 0,                 // end of line
                                   0, 2, 1, 1,           // delta: right 1, up 1 (to row 2, x 1)
                                   2, 5,                 // two of 5
                                   0, 0,                 // end of line (row 3)
                                   1, 6,                 // one of 6
                                   0, 1}));              // end of bitmap
  ASSERT_TRUE(bitmap && bitmap != BMP_NOT_A_BMP);
  const COLORREF black = RGB(0, 0, 0);
  const COLORREF want[4][6] = {
      {At(6), black, black, black, black, black},            // file row 3
      {black, At(5), At(5), black, black, black},            // file row 2
      {black, black, black, black, black, black},            // file row 1, skipped by the delta
      {At(1), At(1), At(1), At(2), At(3), At(4)},            // file row 0
  };
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) ASSERT_EQ(PixelOf(bitmap, x, y), want[y][x]) << x << "," << y;
  DeleteObject(bitmap);
}

TEST_F(BmpReader, Rle4AlternatesNibblesAndPadsAbsoluteRuns) {
  HBITMAP bitmap = Read(RleLayout(4, BI_RLE4,
                                  {5, 0x12,              // 1 2 1 2 1
                                   0, 0,                 // end of line
                                   0, 3, 0x34, 0x50,     // absolute 3 4 5 (two bytes, no pad needed)
                                   0, 5, 0x67, 0x89, 0xA0, 0,  // absolute 6 7 8 9 10, padded
                                   0, 1}));
  ASSERT_TRUE(bitmap && bitmap != BMP_NOT_A_BMP);
  const COLORREF black = RGB(0, 0, 0);
  const COLORREF row0[6] = {At(1), At(2), At(1), At(2), At(1), black};
  const COLORREF row1[6] = {At(3), At(4), At(5), At(6), At(7), At(8)};  // the 9 and 10 fall off the row
  for (int x = 0; x < 6; ++x) {
    EXPECT_EQ(PixelOf(bitmap, x, 3), row0[x]) << x;
    EXPECT_EQ(PixelOf(bitmap, x, 2), row1[x]) << x;
  }
  DeleteObject(bitmap);
}

TEST_F(BmpReader, InfoHeaderReaderWidensACoreHeaderAndFillsWhatIsMissing) {
  BmpLayout l{10, 3, 8};
  l.core = true;
  l.colours = Colours(2);
  const std::vector<uint8_t> bytes = MakeBmp(l);
  const ImageMemory memory{bytes.data(), static_cast<DWORD>(bytes.size())};
  const BmpSourceCallbacks& cb = skin::kBmpMemoryCallbacks;
  HANDLE source = cb.open(&memory);
  ASSERT_EQ(cb.seek(source, 14, FILE_BEGIN), 14u);
  BITMAPINFOHEADER h{};
  ASSERT_TRUE(ReadBitmapInfoHeader(source, cb, &h));
  EXPECT_EQ(h.biSize, sizeof(BITMAPINFOHEADER));
  EXPECT_EQ(h.biWidth, 10);
  EXPECT_EQ(h.biHeight, 3);
  EXPECT_EQ(h.biBitCount, 8);
  EXPECT_EQ(h.biClrUsed, 256u);
  EXPECT_EQ(h.biSizeImage, 12u * 3);
  EXPECT_EQ(cb.seek(source, 0, FILE_CURRENT), 14u + 12);  // the colour table follows
  cb.close(source);
}

// Headers that must be refused (null) or are no BMP at all; none may crash or allocate wildly.
struct HostileCase {
  const char* name;
  std::function<void(std::vector<uint8_t>&)> spoil;
  bool notABmp;
};

class BmpHostile : public BmpReader, public ::testing::WithParamInterface<HostileCase> {};

void Set32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int k = 0; k < 4; ++k) b[at + k] = static_cast<uint8_t>(v >> (8 * k));
}

TEST_P(BmpHostile, IsRefusedWithoutHarm) {
  BmpLayout l{4, 4, 8};
  l.colours = Colours(4);
  l.pixels.assign(16, 1);
  std::vector<uint8_t> bytes = MakeBmp(l);
  GetParam().spoil(bytes);
  HBITMAP bitmap = Load(*this, bytes);
  EXPECT_EQ(bitmap, GetParam().notABmp ? BMP_NOT_A_BMP : nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, BmpHostile,
    ::testing::Values(
        HostileCase{"NotABitmap", [](auto& b) { b[0] = 'P'; }, true},
        HostileCase{"CutInTheFileHeader", [](auto& b) { b.resize(10); }, true},
        HostileCase{"IconTypeHasNoHeaderAtItsStart", [](auto& b) { b[0] = 'I', b[1] = 'C'; }, false},
        HostileCase{"V5HeaderSize", [](auto& b) { Set32(b, 14, 124); }, false},
        HostileCase{"ZeroWidth", [](auto& b) { Set32(b, 18, 0); }, false},
        HostileCase{"NegativeWidth", [](auto& b) { Set32(b, 18, static_cast<uint32_t>(-4)); }, false},
        HostileCase{"ZeroHeight", [](auto& b) { Set32(b, 22, 0); }, false},
        HostileCase{"HugeWidth", [](auto& b) { Set32(b, 18, 0x7FFFFFFF); }, false},
        HostileCase{"TooManyPixels", [](auto& b) { Set32(b, 18, 16384), Set32(b, 22, 16384); }, false},
        HostileCase{"MostNegativeHeight", [](auto& b) { Set32(b, 22, 0x80000000); }, false},
        HostileCase{"OddBitCount", [](auto& b) { b[28] = 3; }, false},
        HostileCase{"UnknownCompression", [](auto& b) { Set32(b, 30, 4); }, false},
        HostileCase{"Rle4On8Bits", [](auto& b) { Set32(b, 30, BI_RLE4); }, false},
        HostileCase{"BitFieldsOn8Bits", [](auto& b) { Set32(b, 30, BI_BITFIELDS); }, false},
        HostileCase{"HugeColourCount", [](auto& b) { Set32(b, 46, 0x40000000); }, false},
        HostileCase{"ColourTableCutShort", [](auto& b) { Set32(b, 46, 200), Set32(b, 10, 0), b.resize(60); }, false},
        HostileCase{"PixelsCutShort", [](auto& b) { b.resize(b.size() - 5); }, false},
        HostileCase{"PixelOffsetPastTheEnd", [](auto& b) { Set32(b, 10, 0x7FFFFFF0); }, false},
        HostileCase{"PixelOffsetNegative", [](auto& b) { Set32(b, 10, 0x90000000); }, false},
        HostileCase{"ImageSizePastSixtyFourBits",
                    [](auto& b) { Set32(b, 18, 0x7FFFFFFF), Set32(b, 22, 0x7FFFFFFF), b[28] = 0, b[29] = 0x60, Set32(b, 34, 0); },
                    false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BmpReader, BitFieldsThatOverlapOrAreEmptyAreRefused) {
  for (std::array<DWORD, 3> masks : {std::array<DWORD, 3>{0xF800, 0x0FE0, 0x001F}, std::array<DWORD, 3>{0xF800, 0, 0x001F},
                                     std::array<DWORD, 3>{0xF0000, 0x07E0, 0x001F}}) {
    BmpLayout l{2, 2, 16, BI_BITFIELDS};
    l.masks = masks;
    l.pixels.assign(8, 0);
    EXPECT_EQ(Read(l), nullptr) << std::hex << masks[0] << " " << masks[1];
  }
}

TEST_F(BmpReader, RunsAndDeltasBeyondTheImageAreCutAtItsEdges) {
  const std::vector<std::vector<uint8_t>> streams = {
      {255, 1, 0, 0, 255, 2, 0, 1},                       // runs far longer than a row
      {0, 2, 255, 255, 3, 1, 0, 1},                       // a delta far past the last row
      {0, 255, 1, 2, 3},                                  // an absolute run longer than the data
      {0, 2},                                             // a delta without its two bytes
      {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 4, 0, 0},   // line ends past the last row
  };
  for (const std::vector<uint8_t>& runs : streams) {
    for (auto [bits, compression] : {std::pair{8, BI_RLE8}, std::pair{4, BI_RLE4}}) {
      HBITMAP bitmap = Read(RleLayout(bits, compression, runs));
      ASSERT_TRUE(bitmap && bitmap != BMP_NOT_A_BMP);
      EXPECT_EQ(SizeOf(bitmap).cx, 6);
      DeleteObject(bitmap);
    }
  }
}

TEST_F(BmpReader, ACompressedImageWithAHugeClaimedSizeReadsOnlyWhatIsThere) {
  BmpLayout l = RleLayout(8, BI_RLE8, {6, 1, 0, 1});
  l.sizeImage = 0xFFFFFFF0;
  HBITMAP bitmap = Read(l);
  ASSERT_TRUE(bitmap && bitmap != BMP_NOT_A_BMP);
  EXPECT_EQ(PixelOf(bitmap, 5, 3), At(1));
  DeleteObject(bitmap);
}

TEST_F(BmpReader, AMissingFileIsNoBitmap) {
  EXPECT_EQ(LoadBmp(u"\\nothing.bmp", kBmpFileCallbacks), BMP_NOT_A_BMP);
}

}  // namespace
}  // namespace zb::testing
