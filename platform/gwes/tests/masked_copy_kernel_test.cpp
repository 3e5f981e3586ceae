// The masked-copy kernels against a pixel-by-pixel reference: random masks read at every bit
// offset, spans that start and end inside a mask byte, both mask senses, every byte-aligned
// depth, clipped destinations, and the colour key of an unstretched TransparentImage.
#include <random>

#include "canvas.h"

namespace zb::testing {
namespace {

constexpr int kW = 37, kH = 5;

struct KernelCase {
  const char* name;
  int bpp;
  DWORD rop4;
  bool copyWhereWhite;
};

class MaskedCopyKernel : public GdiTest, public ::testing::WithParamInterface<KernelCase> {};

TEST_P(MaskedCopyKernel, MatchesAPixelByPixelCopyAtEveryMaskOffset) {
  const KernelCase c = GetParam();
  std::mt19937 rng(7);
  const int maskW = kW + 16;
  std::vector<BYTE> bits(((maskW + 15) / 16) * 2 * kH);
  for (BYTE& b : bits) b = static_cast<BYTE>(rng());
  bits[0] = 0x00;  // whole groups of each kind too
  bits[1] = 0xFF;
  HBITMAP mask = CreateBitmap(maskW, kH, 1, 1, bits.data());
  auto maskBit = [&](int x, int y) { return (bits[y * ((maskW + 15) / 16) * 2 + x / 8] >> (7 - x % 8)) & 1; };
  const CanvasFormat format(c.bpp, true, c.bpp == 16);
  for (int maskX = 0; maskX < 16; ++maskX) {
    for (int dstX : {0, 3}) {
      Canvas src(kW, kH, format), dst(kW + 3, kH, format);
      for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) src.SetRaw(x, y, rng() & src.ValueMask());
      dst.FillRaw(0x5A5A5A5A & dst.ValueMask());
      const int w = kW - 2;
      ASSERT_TRUE(MaskBlt(dst.dc, dstX, 0, w, kH, src.dc, 1, 0, mask, maskX, 0, c.rop4));
      for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW + 3; ++x) {
          const bool inside = x >= dstX && x < dstX + w;
          const bool copy = inside && (maskBit(maskX + x - dstX, y) == 1) == c.copyWhereWhite;
          const uint32_t want = copy ? src.Raw(1 + x - dstX, y) : (0x5A5A5A5A & dst.ValueMask());
          ASSERT_EQ(dst.Raw(x, y), want) << "mask x " << maskX << ", at " << x << "," << y;
        }
    }
  }
  DeleteObject(mask);
}

INSTANTIATE_TEST_SUITE_P(Depths, MaskedCopyKernel,
                         ::testing::Values(KernelCase{"Skin565", 16, 0xCCAA0029, false},
                                           KernelCase{"Inverted565", 16, MAKEROP4(SRCCOPY, 0x00AA0029), true},
                                           KernelCase{"Palette8", 8, 0xCCAA0029, false},
                                           KernelCase{"True32", 32, 0xCCAA0029, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(GdiTest, MaskedCopyInsideAClipTouchesOnlyTheClip) {
  Canvas src(16, 4, {16, true, true}), dst(16, 4, {16, true, true});
  src.FillRaw(0x2222);
  dst.FillRaw(0x1111);
  std::vector<BYTE> bits(2 * 4, 0);  // all black: the source everywhere
  HBITMAP mask = CreateBitmap(16, 4, 1, 1, bits.data());
  HRGN clip = CreateRectRgn(5, 1, 11, 3);
  SelectClipRgn(dst.dc, clip);
  ASSERT_TRUE(MaskBlt(dst.dc, 0, 0, 16, 4, src.dc, 0, 0, mask, 0, 0, 0xCCAA0029));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 16; ++x)
      ASSERT_EQ(dst.Raw(x, y), (x >= 5 && x < 11 && y >= 1 && y < 3) ? 0x2222u : 0x1111u) << x << "," << y;
  DeleteObject(clip);
  DeleteObject(mask);
}

TEST_F(GdiTest, MaskedCopyWithAMaskShorterThanTheSpanKeepsTheForegroundBeyondIt) {
  // Mask pixels past the mask's edge count as 1: under 0xCCAA0029 the destination stays.
  Canvas src(16, 1, {16, true, true}), dst(16, 1, {16, true, true});
  src.FillRaw(0x2222);
  dst.FillRaw(0x1111);
  std::vector<BYTE> bits(2, 0);
  HBITMAP mask = CreateBitmap(8, 1, 1, 1, bits.data());
  ASSERT_TRUE(MaskBlt(dst.dc, 0, 0, 16, 1, src.dc, 0, 0, mask, 0, 0, 0xCCAA0029));
  for (int x = 0; x < 16; ++x) ASSERT_EQ(dst.Raw(x, 0), x < 8 ? 0x2222u : 0x1111u) << x;
  DeleteObject(mask);
}

TEST_F(GdiTest, UnstretchedTransparentImageKeepsTheDestinationUnderTheKeyAtEveryDepth) {
  for (int bpp : {8, 16, 32}) {
    const std::vector<RGBQUAD> table = {{0, 0, 0, 0}, {255, 0, 255, 0}, {0, 255, 0, 0}};
    const CanvasFormat format(bpp, true, bpp == 16, bpp == 8 ? table : std::vector<RGBQUAD>{});
    Canvas src(19, 3, format), dst(19, 3, format);
    const uint32_t back = 0x0841 & dst.ValueMask();
    dst.FillRaw(back);
    const COLORREF key = RGB(255, 0, 255), other = RGB(0, 255, 0);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 19; ++x) SetPixel(src.dc, x, y, (x + y) % 3 ? key : other);
    const uint32_t otherRaw = src.Raw(0, 0);
    ASSERT_NE(otherRaw, src.Raw(1, 0));
    ASSERT_TRUE(TransparentImage(dst.dc, 0, 0, 19, 3, src.dc, 0, 0, 19, 3, key));
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 19; ++x)
        ASSERT_EQ(dst.Raw(x, y), (x + y) % 3 ? back : otherRaw) << bpp << " bits at " << x << "," << y;
  }
}

}  // namespace
}  // namespace zb::testing
