// GDI speed on the default screen format: a full 240x320 5-6-5 BitBlt, MaskBlt, TransparentImage
// and StretchBlt, each beside a plain memcpy of the same bytes, so the cost of the blit engine reads
// directly; and a line of alpha-font glyphs drawn through their mask beside the same glyphs copied.
#include <benchmark/benchmark.h>
#include <windows.h>

#include <cstring>
#include <vector>

#include "testing/test_device.h"

namespace {

constexpr int kW = 240, kH = 320;

struct Surface565 {
  Surface565(int width, int height) {
    struct {
      BITMAPINFOHEADER header;
      DWORD masks[3];
    } info{{sizeof(BITMAPINFOHEADER), width, -height, 1, 16, BI_BITFIELDS, 0, 0, 0, 0, 0}, {0xF800, 0x07E0, 0x001F}};
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    old = SelectObject(dc, bitmap);
    auto* p = static_cast<uint16_t*>(bits);
    for (int i = 0; i < width * height; ++i) p[i] = static_cast<uint16_t>(i * 2654435761u >> 16);
  }
  ~Surface565() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ old;
  void* bits = nullptr;
};

struct Scene {
  zb::testing::TestDevice device;
  Surface565 src{kW, kH}, dst{kW, kH}, half{kW / 2, kH / 2};
  HBITMAP mask;
  Scene() {
    std::vector<BYTE> bits(((kW + 15) / 16) * 2 * kH);
    for (size_t i = 0; i < bits.size(); ++i) bits[i] = static_cast<BYTE>(i * 37);
    mask = CreateBitmap(kW, kH, 1, 1, bits.data());
  }
  ~Scene() { DeleteObject(mask); }
};

constexpr size_t kBytes = size_t{kW} * kH * 2;

void Memcpy(benchmark::State& state) {
  std::vector<uint8_t> a(kBytes, 1), b(kBytes, 2);
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), kBytes);
    benchmark::DoNotOptimize(b.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kBytes);
}

void FullScreenBitBlt(benchmark::State& state) {
  Scene s;
  for (auto _ : state) BitBlt(s.dst.dc, 0, 0, kW, kH, s.src.dc, 0, 0, SRCCOPY);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kBytes);
}

void FullScreenMaskBlt(benchmark::State& state) {
  Scene s;
  for (auto _ : state) MaskBlt(s.dst.dc, 0, 0, kW, kH, s.src.dc, 0, 0, s.mask, 0, 0, 0xCCAA0029);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kBytes);
}

void FullScreenTransparentImage(benchmark::State& state) {
  Scene s;
  for (auto _ : state) TransparentImage(s.dst.dc, 0, 0, kW, kH, s.src.dc, 0, 0, kW, kH, RGB(255, 0, 255));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kBytes);
}

// A label's line of glyphs: 30 cells of 8 x 13 cut from a strip, one blit each.
constexpr int kGlyphW = 8, kGlyphH = 13, kGlyphs = 30;

struct GlyphScene {
  zb::testing::TestDevice device;
  Surface565 strip{kGlyphW * kGlyphs, kGlyphH}, dst{kW, kH};
  HBITMAP mask;
  GlyphScene() {
    std::vector<BYTE> bits(((kGlyphW * kGlyphs + 15) / 16) * 2 * kGlyphH);
    for (size_t i = 0; i < bits.size(); ++i) bits[i] = static_cast<BYTE>(i * 37);
    mask = CreateBitmap(kGlyphW * kGlyphs, kGlyphH, 1, 1, bits.data());
  }
  ~GlyphScene() { DeleteObject(mask); }
};

void GlyphLineBitBlt(benchmark::State& state) {
  GlyphScene s;
  for (auto _ : state)
    for (int g = 0; g < kGlyphs; ++g) BitBlt(s.dst.dc, g * kGlyphW, 100, kGlyphW, kGlyphH, s.strip.dc, (g * 7 % kGlyphs) * kGlyphW, 0, SRCCOPY);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kGlyphs);
}

void GlyphLineMaskBlt(benchmark::State& state) {
  GlyphScene s;
  for (auto _ : state)
    for (int g = 0; g < kGlyphs; ++g) {
      const int from = (g * 7 % kGlyphs) * kGlyphW;
      MaskBlt(s.dst.dc, g * kGlyphW, 100, kGlyphW, kGlyphH, s.strip.dc, from, 0, s.mask, from, 0, 0xCCAA0029);
    }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kGlyphs);
}

void FullScreenStretchBlt(benchmark::State& state) {
  Scene s;
  for (auto _ : state) StretchBlt(s.dst.dc, 0, 0, kW, kH, s.half.dc, 0, 0, kW / 2, kH / 2, SRCCOPY);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kBytes);
}

}  // namespace

BENCHMARK(Memcpy);
BENCHMARK(FullScreenBitBlt);
BENCHMARK(FullScreenMaskBlt);
BENCHMARK(FullScreenTransparentImage);
BENCHMARK(FullScreenStretchBlt);
BENCHMARK(GlyphLineBitBlt);
BENCHMARK(GlyphLineMaskBlt);
BENCHMARK_MAIN();
