// The UICache's GDI fonts: recorded by the FONT keyword, made on first use from the font the DC
// holds, with the record's height (points when negative), weight, face and angle.
#include <cstring>

#include "skin/ui_cache.h"

const UICache::GdiFont* UICache::AddGdiFont(int id, LPCWSTR faceName, int height, int weight, int angle,
                                            COLORREF colour) {
  if (id < 0) return nullptr;
  if (const GdiFont* found = FindGdiFont(id)) return found;
  GdiFont f{id, colour, height, angle, angle, weight, {}, nullptr};
  if (faceName) {
    size_t i = 0;
    for (; faceName[i] && i < 31; ++i) f.face[i] = faceName[i];
    f.face[i] = 0;
  }
  gdiFonts_.push_back(f);
  return &gdiFonts_.back();
}

const UICache::GdiFont* UICache::FindGdiFont(int id) const {
  if (id < 0) return nullptr;
  for (const GdiFont& f : gdiFonts_)
    if (f.id == id) return &f;
  return nullptr;
}

bool UICache::HasGdiFont(int id) const { return FindGdiFont(id) != nullptr; }

HFONT UICache::GetGdiFont(HDC dc, int id) {
  auto* f = const_cast<GdiFont*>(FindGdiFont(id));
  if (!f) return nullptr;
  if (f->font) return f->font;
  LOGFONTW lf{};
  HGDIOBJ current = dc ? GetCurrentObject(dc, OBJ_FONT) : nullptr;
  if (!current || !GetObjectW(current, sizeof lf, &lf)) GetObjectW(GetStockObject(SYSTEM_FONT), sizeof lf, &lf);
  int height = f->height;
  if (height < 0) height = (GetDeviceCaps(dc, LOGPIXELSY) * height - 71) / 72;
  lf.lfHeight = height;
  lf.lfWeight = f->weight;
  std::memcpy(lf.lfFaceName, f->face, sizeof lf.lfFaceName);
  lf.lfEscapement = ((360 - f->escapement) * 10) % 3600;
  lf.lfOrientation = ((360 - f->orientation) * 10) % 3600;
  f->font = CreateFontIndirectW(&lf);
  return f->font;
}
