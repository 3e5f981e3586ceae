// Logical palettes and the system palette. Colour tables given as DIB_PAL_COLORS and
// PALETTEINDEX colours are resolved through the palette selected into the DC.
#include "gwes/gdi_palette.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "gwes/gdi_dc.h"
#include "gwes/gdi_screen.h"

namespace zb::gdi {
namespace {

constexpr PALETTEENTRY kStatic[20] = {
    {0, 0, 0, 0},       {128, 0, 0, 0},     {0, 128, 0, 0},     {128, 128, 0, 0},   {0, 0, 128, 0},
    {128, 0, 128, 0},   {0, 128, 128, 0},   {192, 192, 192, 0}, {192, 220, 192, 0}, {166, 202, 240, 0},
    {255, 251, 240, 0}, {160, 160, 164, 0}, {128, 128, 128, 0}, {255, 0, 0, 0},     {0, 255, 0, 0},
    {255, 255, 0, 0},   {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0},   {255, 255, 255, 0},
};
constexpr int kFirstFree = 10;
constexpr int kEndFree = 246;

struct SystemPalette {
  PALETTEENTRY entries[256];
  int nextFree = kFirstFree;
};

void FillStandard(SystemPalette& p) {
  for (int i = 0; i < 10; ++i) {
    p.entries[i] = kStatic[i];
    p.entries[kEndFree + i] = kStatic[10 + i];
  }
  // Between them a 6x6x6 colour cube and a grey ramp, until palettes are realized over them.
  int i = kFirstFree;
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b)
        p.entries[i++] = PALETTEENTRY{BYTE(r * 51), BYTE(g * 51), BYTE(b * 51), 0};
  for (int k = 0; i < kEndFree; ++i, ++k) {
    BYTE v = static_cast<BYTE>(8 + k * 12);
    p.entries[i] = PALETTEENTRY{v, v, v, 0};
  }
  p.nextFree = kFirstFree;
}

SystemPalette& System() {
  static SystemPalette* palette = [] {
    auto* p = new SystemPalette;
    FillStandard(*p);
    return p;
  }();
  return *palette;
}

bool SameColour(const PALETTEENTRY& a, const PALETTEENTRY& b) {
  return a.peRed == b.peRed && a.peGreen == b.peGreen && a.peBlue == b.peBlue;
}

}  // namespace

int Palette::Describe(int size, void* buffer) const {
  if (!buffer) return sizeof(WORD);
  if (size < static_cast<int>(sizeof(WORD))) return 0;
  WORD count = static_cast<WORD>(entries.size());
  std::memcpy(buffer, &count, sizeof count);
  return sizeof count;
}

std::shared_ptr<Palette> MakeDefaultPalette() {
  auto palette = std::make_shared<Palette>();
  palette->entries.assign(std::begin(kStatic), std::end(kStatic));
  return palette;
}

std::vector<RGBQUAD> SystemPaletteColours() {
  ZB_GDI_LOCK;
  SystemPalette& p = System();
  std::vector<RGBQUAD> out(256);
  for (int i = 0; i < 256; ++i) out[i] = RGBQUAD{p.entries[i].peBlue, p.entries[i].peGreen, p.entries[i].peRed, 0};
  return out;
}

void ResetSystemPalette() {
  ZB_GDI_LOCK;
  FillStandard(System());
}

UINT RealizeIntoSystemPalette(const Palette& palette) {
  ZB_GDI_LOCK;
  SystemPalette& p = System();
  UINT mapped = 0;
  for (const PALETTEENTRY& e : palette.entries) {
    bool present = std::any_of(std::begin(p.entries), std::end(p.entries), [&](const PALETTEENTRY& s) { return SameColour(s, e); });
    if (!present) {
      if (p.nextFree >= kEndFree) continue;  // full: the colour maps to its nearest entry
      p.entries[p.nextFree++] = PALETTEENTRY{e.peRed, e.peGreen, e.peBlue, 0};
    }
    ++mapped;
  }
  return mapped;
}

}  // namespace zb::gdi

using namespace zb::gdi;

extern "C" HPALETTE CreatePalette(const LOGPALETTE* palette) {
  if (!palette || palette->palVersion != 0x300 || palette->palNumEntries == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  ZB_GDI_LOCK;
  auto object = std::make_shared<Palette>();
  object->entries.assign(palette->palPalEntry, palette->palPalEntry + palette->palNumEntries);
  return As<HPALETTE>(AddObject(object));
}

extern "C" HPALETTE SelectPalette(HDC hdc, HPALETTE palette, BOOL forceBackground) {
  ZB_GDI_LOCK;
  auto dc = FindDc(hdc);
  auto object = Find<Palette>(palette);
  if (!dc || !object) {
    if (dc) SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  HPALETTE old = As<HPALETTE>(dc->state.palette->handle);
  dc->state.palette = object;
  return old;
}

extern "C" UINT RealizePalette(HDC hdc) {
  ZB_GDI_LOCK;
  auto dc = FindDc(hdc);
  if (!dc) return GDI_ERROR;
  auto screen = ScreenBitmap();
  if (screen->surface->bpp != 8) return 0;  // only a palettized screen has a system palette to fill
  UINT mapped = RealizeIntoSystemPalette(*dc->state.palette);
  screen->surface->SetColours(SystemPaletteColours());
  return mapped;
}

extern "C" UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, LPPALETTEENTRY entries) {
  ZB_GDI_LOCK;
  auto object = Find<Palette>(palette);
  if (!object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  const UINT size = static_cast<UINT>(object->entries.size());
  if (!entries) return size;
  if (start >= size) return 0;
  UINT n = std::min(count, size - start);
  std::copy_n(object->entries.begin() + start, n, entries);
  return n;
}

extern "C" UINT GetSystemPaletteEntries(HDC hdc, UINT start, UINT count, LPPALETTEENTRY entries) {
  ZB_GDI_LOCK;
  if (!FindDc(hdc)) return 0;
  if (ScreenBitmap()->surface->bpp != 8) return 0;  // no system palette on a true-colour screen
  if (!entries) return 256;
  if (start >= 256) return 0;
  std::vector<RGBQUAD> colours = SystemPaletteColours();
  UINT n = std::min<UINT>(count, 256 - start);
  for (UINT i = 0; i < n; ++i) {
    const RGBQUAD& q = colours[start + i];
    entries[i] = PALETTEENTRY{q.rgbRed, q.rgbGreen, q.rgbBlue, 0};
  }
  return n;
}

extern "C" UINT GetNearestPaletteIndex(HPALETTE palette, COLORREF colour) {
  ZB_GDI_LOCK;
  auto object = Find<Palette>(palette);
  if (!object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return CLR_INVALID;
  }
  UINT best = 0;
  long bestDistance = std::numeric_limits<long>::max();
  for (size_t i = 0; i < object->entries.size(); ++i) {
    const PALETTEENTRY& e = object->entries[i];
    long dr = e.peRed - GetRValue(colour), dg = e.peGreen - GetGValue(colour), db = e.peBlue - GetBValue(colour);
    long d = dr * dr + dg * dg + db * db;
    if (d < bestDistance) {
      bestDistance = d;
      best = static_cast<UINT>(i);
    }
  }
  return best;
}
