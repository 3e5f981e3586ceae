// The UICache's tables and names. A handle lives in exactly one named record, which owns it;
// the id tables only point at those handles. Ids from scripts reach the tables only through
// Lookup, which keeps a direct slot index inside the table.
#include "skin/ui_cache.h"

#include <algorithm>
#include <cstdlib>

#include "skin/alpha_font_scan.h"
#include "skin/bitmap_helpers.h"

namespace {

UICache* g_instance = nullptr;

const int kNoGlyphs[256] = {};

bool SameName(const std::u16string& name, LPCWSTR fileName) {
  return fileName && *fileName ? name == fileName : name.empty();
}

// A copy of the bitmap in the screen's own format; the original is deleted. On failure the
// original is kept as it is.
HBITMAP CopyForScreen(HBITMAP bitmap) {
  BITMAP bm{};
  if (!GetObjectW(bitmap, sizeof bm, &bm)) return bitmap;
  const int w = bm.bmWidth, h = std::abs(bm.bmHeight);
  HDC screen = GetDC(nullptr);
  HBITMAP copy = CreateScreenDib(screen, w, h);
  HDC from = CreateCompatibleDC(screen), to = CreateCompatibleDC(screen);
  bool ok = copy && from && to;
  if (ok) {
    HGDIOBJ oldFrom = SelectObject(from, bitmap), oldTo = SelectObject(to, copy);
    ok = oldFrom && oldTo && BitBlt(to, 0, 0, w, h, from, 0, 0, SRCCOPY);
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
  }
  if (from) DeleteDC(from);
  if (to) DeleteDC(to);
  ReleaseDC(nullptr, screen);
  if (!ok) {
    if (copy) DeleteObject(copy);
    return bitmap;
  }
  DeleteObject(bitmap);
  return copy;
}

}  // namespace

UICache* UICache::Get() {
  if (!g_instance) g_instance = new UICache();
  return g_instance;
}

void UICache::Destroy() {
  delete g_instance;
  g_instance = nullptr;
}

UICache::UICache() {
  OutputDebugStringW(u"UICache constructor!\r\n");
  bitmaps_.reserve(8);
  masks_.reserve(8);
  named_.reserve(8);
}

UICache::~UICache() {
  for (const Named& n : named_) DeleteObject(n.bitmap);
  for (const GdiFont& f : gdiFonts_)
    if (f.font) DeleteObject(f.font);
}

HBITMAP UICache::Register(HBITMAP bitmap, LPCWSTR fileName, bool copy) {
  // A handle the cache owns already stays as it is, under the name it has.
  for (const Named& n : named_)
    if (n.bitmap == bitmap) return bitmap;
  if (copy) bitmap = CopyForScreen(bitmap);
  if (fileName && *fileName) {
    if (HBITMAP registered = FindNamedBitmap(fileName)) {
      DeleteObject(bitmap);
      return registered;
    }
  }
  named_.push_back({bitmap, fileName ? std::u16string(fileName) : std::u16string()});
  return bitmap;
}

void UICache::EnterBitmap(HBITMAP bitmap, int id, LPCWSTR fileName) {
  HBITMAP handle = Register(bitmap, fileName, true);
  for (const Entry& e : bitmaps_)
    if (e.id == id) return;
  bitmaps_.push_back({handle, id});
}

void UICache::AddBitmap(HBITMAP bitmap, int id, LPCWSTR fileName) {
  if (bitmap) EnterBitmap(bitmap, id, fileName);
}

void UICache::AddMask(HBITMAP mask, int id, LPCWSTR fileName) {
  if (!mask) return;
  HBITMAP handle = Register(mask, fileName, false);
  for (const Entry& e : masks_)
    if (e.id == id) return;
  masks_.push_back({handle, id});
}

bool UICache::AddAlphaFont(HBITMAP bitmap, int id, int glyphWidth, int glyphHeight, int glyphSet, int angle,
                           LPCWSTR fileName) {
  if (!bitmap) return false;
  EnterBitmap(bitmap, id, fileName);
  if (GetAlphaFont(id)) return true;
  AlphaFont font{glyphWidth, glyphHeight, id, 0, glyphSet >= 0 && glyphSet < 4 ? glyphSet : 1, angle, {}, {}};
  if (!zb::skin::CutAlphaFont(GetBitmap(id), font)) return false;
  alphaFonts_.push_back(std::move(font));
  return true;
}

HBITMAP UICache::Lookup(const std::vector<Entry>& table, int id) const {
  if (directIndex_ && id < 0) {
    const int64_t slot = -int64_t{id} - 1;
    return slot < static_cast<int64_t>(table.size()) ? table[static_cast<size_t>(slot)].bitmap : nullptr;
  }
  for (const Entry& e : table)
    if (e.id == id) return e.bitmap;
  return nullptr;
}

HBITMAP UICache::GetBitmap(int id) const { return Lookup(bitmaps_, id); }
HBITMAP UICache::GetMask(int id) const { return Lookup(masks_, id); }

const UICache::AlphaFont* UICache::GetAlphaFont(int id) const {
  const int64_t key = directIndex_ ? std::abs(int64_t{id}) : id;
  for (const AlphaFont& f : alphaFonts_)
    if ((directIndex_ ? std::abs(int64_t{f.id}) : int64_t{f.id}) == key) return &f;
  return nullptr;
}

int UICache::GetAlphaFontHeight(int id) const {
  const AlphaFont* f = GetAlphaFont(id);
  return f ? f->glyphHeight : 0;
}

const int* UICache::GetGlyphWidths(int id) const {
  const AlphaFont* f = GetAlphaFont(id);
  return f && !f->widths.empty() ? f->widths.data() : kNoGlyphs;
}

const int* UICache::GetGlyphOffsets(int id) const {
  const AlphaFont* f = GetAlphaFont(id);
  return f && !f->offsets.empty() ? f->offsets.data() : kNoGlyphs;
}

int UICache::GetGlyphSet(int id) const {
  const AlphaFont* f = GetAlphaFont(id);
  return f ? f->glyphSet : 0;
}

int UICache::GetFontAngle(int id) const {
  const AlphaFont* f = GetAlphaFont(id);
  return f ? f->angle : 0;
}

COLORREF UICache::GetFontColour(int id) const {
  if (const AlphaFont* f = GetAlphaFont(id)) return f->colour;
  if (const GdiFont* f = FindGdiFont(id)) return f->colour;
  return alphaFonts_.empty() ? 0 : alphaFonts_.front().colour;
}

HBITMAP UICache::FindNamedBitmap(LPCWSTR fileName) const {
  if (!fileName || !*fileName) return nullptr;
  for (const Named& n : named_)
    if (n.name == fileName) return n.bitmap;
  return nullptr;
}

HBITMAP UICache::FindMaskOf(HBITMAP bitmap) const {
  if (!bitmap) return nullptr;
  for (const Entry& e : bitmaps_)
    if (e.bitmap == bitmap)
      for (const Entry& m : masks_)
        if (m.id == e.id) return m.bitmap;
  return nullptr;
}

void UICache::AddMaskForBitmap(HBITMAP bitmap, HBITMAP mask) {
  if (!mask) return;
  std::vector<int> ids;
  for (const Entry& e : bitmaps_)
    if (e.bitmap == bitmap && std::none_of(masks_.begin(), masks_.end(), [&e](const Entry& m) { return m.id == e.id; }))
      ids.push_back(e.id);
  if (ids.empty()) {
    DeleteObject(mask);
    return;
  }
  for (int id : ids) AddMask(mask, id, nullptr);
}

HBITMAP UICache::GetNamedBitmap(int index, LPCWSTR* name) const {
  if (index < 0 || index >= static_cast<int>(named_.size())) {
    if (name) *name = u"";
    return nullptr;
  }
  if (name) *name = named_[index].name.c_str();
  return named_[index].bitmap;
}

int UICache::ReplaceBitmap(LPCWSTR fileName, HBITMAP oldHandle, HBITMAP newHandle) {
  int count = 0;
  std::vector<HBITMAP> replaced;
  for (Named& n : named_) {
    if (!SameName(n.name, fileName) || (oldHandle && n.bitmap != oldHandle)) continue;
    if (n.bitmap != newHandle) DeleteObject(n.bitmap);
    replaced.push_back(n.bitmap);
    n.bitmap = newHandle;
    ++count;
  }
  if (oldHandle && std::find(replaced.begin(), replaced.end(), oldHandle) == replaced.end()) replaced.push_back(oldHandle);
  // Every table entry that held a replaced handle follows it, so none is left pointing at a
  // deleted bitmap.
  for (std::vector<Entry>* table : {&bitmaps_, &masks_})
    for (Entry& e : *table)
      if (std::find(replaced.begin(), replaced.end(), e.bitmap) != replaced.end()) {
        e.bitmap = newHandle;
        ++count;
      }
  return count;
}
