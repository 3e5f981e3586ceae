// Raster operations, pixel for pixel against their formulas, on 1, 16, 24 and 32-bit surfaces:
// source, pattern and destination all hold pseudo-random values of the surface's own layout.
#include <functional>
#include <random>

#include "canvas.h"

namespace zb::testing {
namespace {

constexpr int kW = 19, kH = 5;  // odd sizes cross byte and word boundaries at 1 bit

struct NamedRop {
  const char* name;
  DWORD rop;
  std::function<uint32_t(uint32_t p, uint32_t s, uint32_t d)> formula;
};

const NamedRop kRops[] = {
    {"SRCCOPY", SRCCOPY, [](uint32_t, uint32_t s, uint32_t) { return s; }},
    {"SRCPAINT", SRCPAINT, [](uint32_t, uint32_t s, uint32_t d) { return s | d; }},
    {"SRCAND", SRCAND, [](uint32_t, uint32_t s, uint32_t d) { return s & d; }},
    {"SRCINVERT", SRCINVERT, [](uint32_t, uint32_t s, uint32_t d) { return s ^ d; }},
    {"SRCERASE", SRCERASE, [](uint32_t, uint32_t s, uint32_t d) { return s & ~d; }},
    {"NOTSRCCOPY", NOTSRCCOPY, [](uint32_t, uint32_t s, uint32_t) { return ~s; }},
    {"NOTSRCERASE", NOTSRCERASE, [](uint32_t, uint32_t s, uint32_t d) { return ~(s | d); }},
    {"MERGECOPY", MERGECOPY, [](uint32_t p, uint32_t s, uint32_t) { return p & s; }},
    {"MERGEPAINT", MERGEPAINT, [](uint32_t, uint32_t s, uint32_t d) { return ~s | d; }},
    {"PATCOPY", PATCOPY, [](uint32_t p, uint32_t, uint32_t) { return p; }},
    {"PATPAINT", PATPAINT, [](uint32_t p, uint32_t s, uint32_t d) { return p | ~s | d; }},
    {"PATINVERT", PATINVERT, [](uint32_t p, uint32_t, uint32_t d) { return p ^ d; }},
    {"DSTINVERT", DSTINVERT, [](uint32_t, uint32_t, uint32_t d) { return ~d; }},
    {"BLACKNESS", BLACKNESS, [](uint32_t, uint32_t, uint32_t) { return 0u; }},
    {"WHITENESS", WHITENESS, [](uint32_t, uint32_t, uint32_t) { return ~0u; }},
};

// The three surfaces of one blit, all in the same layout, with random contents.
struct Scene {
  explicit Scene(int bpp) : dst(kW, kH, {bpp}), src(kW, kH, {bpp}), pattern(8, 8, {bpp}) {
    std::mt19937 random(static_cast<unsigned>(bpp) * 7919u);
    for (Canvas* c : {&dst, &src, &pattern})
      for (int y = 0; y < c->height(); ++y)
        for (int x = 0; x < c->width(); ++x) c->SetRaw(x, y, random() & c->ValueMask());
    brush = CreatePatternBrush(pattern.bitmap);
    old = SelectObject(dst.dc, brush);
  }
  ~Scene() {
    SelectObject(dst.dc, old);
    DeleteObject(brush);
  }
  uint32_t P(int x, int y) const { return pattern.Raw(x % 8, y % 8); }

  Canvas dst, src, pattern;
  HBRUSH brush;
  HGDIOBJ old;
};

// The truth table read one bit at a time: an independent statement of what a ROP3 means.
uint32_t TruthTable(uint8_t rop, uint32_t p, uint32_t s, uint32_t d, int bits) {
  uint32_t out = 0;
  for (int b = 0; b < bits; ++b) {
    const int index = (((p >> b) & 1) << 2) | (((s >> b) & 1) << 1) | ((d >> b) & 1);
    out |= static_cast<uint32_t>((rop >> index) & 1) << b;
  }
  return out;
}

class RopByDepth : public GdiTest, public ::testing::WithParamInterface<int> {};

TEST_P(RopByDepth, NamedRopsMatchTheirFormulas) {
  const int bpp = GetParam();
  for (const NamedRop& r : kRops) {
    SCOPED_TRACE(r.name);
    Scene scene(bpp);
    std::vector<uint32_t> before;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) before.push_back(scene.dst.Raw(x, y));
    ASSERT_TRUE(BitBlt(scene.dst.dc, 0, 0, kW, kH, scene.src.dc, 0, 0, r.rop));
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < kW; ++x) {
        const uint32_t want = r.formula(scene.P(x, y), scene.src.Raw(x, y), before[y * kW + x]) & scene.dst.ValueMask();
        ASSERT_EQ(scene.dst.Raw(x, y), want) << "at " << x << "," << y;
      }
    }
  }
}

TEST_P(RopByDepth, PatBltAppliesPatternRopsWithoutASource) {
  const int bpp = GetParam();
  for (DWORD rop : {PATCOPY, PATINVERT, DSTINVERT, BLACKNESS, WHITENESS}) {
    Scene scene(bpp);
    Scene reference(bpp);  // same seed, same contents
    ASSERT_TRUE(PatBlt(scene.dst.dc, 0, 0, kW, kH, rop));
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x)
        ASSERT_EQ(scene.dst.Raw(x, y), TruthTable(static_cast<uint8_t>(rop >> 16), scene.P(x, y), 0,
                                                  reference.dst.Raw(x, y), bpp));
  }
}

INSTANTIATE_TEST_SUITE_P(Depths, RopByDepth, ::testing::Values(1, 16, 24, 32),
                         [](const auto& info) { return std::to_string(info.param) + "bit"; });

TEST_F(GdiTest, EveryRop3FollowsItsTruthTable) {
  for (int rop = 0; rop < 256; ++rop) {
    Scene scene(16);
    Scene reference(16);
    ASSERT_TRUE(BitBlt(scene.dst.dc, 0, 0, kW, kH, scene.src.dc, 0, 0, static_cast<DWORD>(rop) << 16));
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x)
        ASSERT_EQ(scene.dst.Raw(x, y), TruthTable(static_cast<uint8_t>(rop), scene.P(x, y), scene.src.Raw(x, y),
                                                  reference.dst.Raw(x, y), 16))
            << "rop " << rop << " at " << x << "," << y;
  }
}

TEST_F(GdiTest, PatBltRefusesARopThatNeedsASource) {
  Canvas c(4, 4);
  EXPECT_FALSE(PatBlt(c.dc, 0, 0, 4, 4, SRCCOPY));
}

TEST_F(GdiTest, PatternBrushFollowsTheBrushOrigin) {
  Canvas dst(16, 16, {24});
  Canvas pattern(4, 4, {24});
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) pattern.SetRaw(x, y, static_cast<uint32_t>(y * 4 + x + 1));
  HBRUSH brush = CreatePatternBrush(pattern.bitmap);
  HGDIOBJ old = SelectObject(dst.dc, brush);
  ASSERT_TRUE(SetBrushOrgEx(dst.dc, 1, 2, nullptr));
  ASSERT_TRUE(PatBlt(dst.dc, 0, 0, 16, 16, PATCOPY));
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) ASSERT_EQ(dst.Raw(x, y), pattern.Raw((x + 3) % 4, (y + 2) % 4)) << x << "," << y;
  SelectObject(dst.dc, old);
  DeleteObject(brush);
}

TEST_F(GdiTest, NullBrushPaintsNothing) {
  Canvas c(4, 4, {24});
  c.FillRaw(0x123456);
  SelectObject(c.dc, GetStockObject(NULL_BRUSH));
  EXPECT_TRUE(PatBlt(c.dc, 0, 0, 4, 4, PATCOPY));
  EXPECT_EQ(c.Raw(2, 2), 0x123456u);
}

}  // namespace
}  // namespace zb::testing
