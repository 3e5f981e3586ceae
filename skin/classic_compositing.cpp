// The compositing table of classic skins: each line stretches its target to a new size and then
// copies pieces of a source over it. A target's mask is rebuilt along with it, so a bitmap never
// ends up drawn through a mask of its old size and layout.
#include "skin/classic_compositing.h"

#include <algorithm>
#include <cstdlib>

#include "skin/bitmap_helpers.h"
#include "skin/skin.h"
#include "skin/skin_script.h"
#include "skin/ui_cache.h"

namespace {

constexpr int kMaxSide = 4096;  // a table asking for more is refused, not allocated
constexpr int kStretchMode = 1;

bool IsSeparator(WCHAR c) { return c == u' ' || c == u'\t' || c == u','; }

SIZE SizeOf(HBITMAP bitmap) {
  BITMAP bm{};
  if (!bitmap || !GetObjectW(bitmap, sizeof bm, &bm)) return SIZE{0, 0};
  return SIZE{bm.bmWidth, std::abs(bm.bmHeight)};
}

// The piece with its source cut to the source bitmap, the destination cut in proportion; false
// when nothing of it is left.
bool ClipPiece(const CompositingRecord::Piece& piece, SIZE source, CompositingRecord::Piece* out) {
  const RECT& f = piece.from;
  const RECT& t = piece.to;
  const int64_t sw = int64_t{f.right} - f.left, sh = int64_t{f.bottom} - f.top;
  const int64_t dw = int64_t{t.right} - t.left, dh = int64_t{t.bottom} - t.top;
  if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return false;
  const int64_t left = std::max<int64_t>(f.left, 0), top = std::max<int64_t>(f.top, 0);
  const int64_t right = std::min<int64_t>(f.right, source.cx), bottom = std::min<int64_t>(f.bottom, source.cy);
  if (left >= right || top >= bottom) return false;
  out->from = RECT{static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(right), static_cast<LONG>(bottom)};
  out->to = RECT{static_cast<LONG>(t.left + (left - f.left) * dw / sw), static_cast<LONG>(t.top + (top - f.top) * dh / sh),
                 static_cast<LONG>(t.left + (right - f.left) * dw / sw), static_cast<LONG>(t.top + (bottom - f.top) * dh / sh)};
  return out->to.right > out->to.left && out->to.bottom > out->to.top;
}

// Draws the target stretched to the new size, then the pieces of the source over it. A missing
// mask (null) counts as opaque: black, in masks.
void Paint(HDC screen, HBITMAP canvas, SIZE size, HBITMAP target, HBITMAP source, const std::vector<CompositingRecord::Piece>& pieces) {
  HDC to = CreateCompatibleDC(screen), from = CreateCompatibleDC(screen);
  if (!to || !from) {
    if (to) DeleteDC(to);
    if (from) DeleteDC(from);
    return;
  }
  HGDIOBJ oldTo = SelectObject(to, canvas);
  PatBlt(to, 0, 0, size.cx, size.cy, BLACKNESS);
  if (target) {
    const SIZE t = SizeOf(target);
    HGDIOBJ old = SelectObject(from, target);
    StretchSmooth(kStretchMode, to, 0, 0, size.cx, size.cy, from, 0, 0, t.cx, t.cy, SRCCOPY);
    SelectObject(from, old);
  }
  HGDIOBJ oldFrom = source ? SelectObject(from, source) : nullptr;
  for (const CompositingRecord::Piece& piece : pieces) {
    const RECT& d = piece.to;
    if (!source) {
      PatBlt(to, d.left, d.top, d.right - d.left, d.bottom - d.top, BLACKNESS);
      continue;
    }
    const RECT& s = piece.from;
    StretchSmooth(kStretchMode, to, d.left, d.top, d.right - d.left, d.bottom - d.top, from, s.left, s.top, s.right - s.left,
                  s.bottom - s.top, SRCCOPY);
  }
  if (source) SelectObject(from, oldFrom);
  SelectObject(to, oldTo);
  DeleteDC(to);
  DeleteDC(from);
}

// The file name a cached handle was registered under (empty for one without a name).
std::u16string NameOf(const UICache* cache, HBITMAP handle) {
  LPCWSTR name = nullptr;
  for (int i = 0; HBITMAP h = cache->GetNamedBitmap(i, &name); ++i)
    if (h == handle) return name;
  return {};
}

}  // namespace

bool ParseCompositingLine(const std::u16string& text, CompositingRecord* record) {
  std::u16string line = text.substr(0, text.find(u'\''));
  std::vector<std::u16string> tokens;
  for (size_t at = 0; at < line.size();) {
    while (at < line.size() && IsSeparator(line[at])) ++at;
    size_t end = at;
    while (end < line.size() && !IsSeparator(line[end])) ++end;
    if (end > at) {
      if (end - at > kCompositingTokenLength) return false;
      tokens.push_back(line.substr(at, end - at));
    }
    at = end;
  }
  if (tokens.size() < 4) return false;
  *record = CompositingRecord{};
  record->target = tokens[0];
  record->source = tokens[1];
  record->width = SkinTokenNumber(tokens[2].c_str());
  record->height = SkinTokenNumber(tokens[3].c_str());
  for (size_t at = 4; at + 8 <= tokens.size() && record->pieces.size() < kCompositingMaxPieces; at += 8) {
    int n[8];
    for (int i = 0; i < 8; ++i) n[i] = SkinTokenNumber(tokens[at + i].c_str());
    record->pieces.push_back({RECT{n[0], n[1], n[2], n[3]}, RECT{n[4], n[5], n[6], n[7]}});
  }
  return true;
}

bool ComposeSkinBitmap(CSkin* skin, const CompositingRecord& record) {
  UICache* cache = UICache::Get();
  HBITMAP target = cache->FindNamedBitmap(record.target.c_str());
  HBITMAP source = cache->FindNamedBitmap(record.source.c_str());
  if (!target || !source) return false;
  const SIZE own = SizeOf(target), from = SizeOf(source);
  const SIZE size{record.width ? std::abs(record.width) : own.cx, record.height ? std::abs(record.height) : own.cy};
  if (size.cx <= 0 || size.cy <= 0 || size.cx > kMaxSide || size.cy > kMaxSide) return false;

  std::vector<CompositingRecord::Piece> pieces;
  for (const CompositingRecord::Piece& piece : record.pieces) {
    CompositingRecord::Piece clipped;
    if (ClipPiece(piece, from, &clipped)) pieces.push_back(clipped);
  }

  const HWND window = skin ? skin->GetWindow() : nullptr;
  HDC screen = GetDC(window);
  HBITMAP composed = CreateScreenDib(screen, size.cx, size.cy);
  HBITMAP targetMask = cache->FindMaskOf(target), sourceMask = cache->FindMaskOf(source);
  HBITMAP composedMask = nullptr;
  if (composed) {
    Paint(screen, composed, size, target, source, pieces);
    // The mask follows the bitmap's new size and pieces; a side without a mask is opaque.
    if (targetMask || sourceMask) {
      composedMask = CreateBitmap(size.cx, size.cy, 1, 1, nullptr);
      if (composedMask) Paint(screen, composedMask, size, targetMask, sourceMask, pieces);
    }
  }
  ReleaseDC(window, screen);
  if (!composed || ((targetMask || sourceMask) && !composedMask)) {
    if (composed) DeleteObject(composed);
    return false;
  }
  cache->ReplaceBitmap(record.target.c_str(), target, composed);
  if (composedMask) {
    if (targetMask) {
      cache->ReplaceBitmap(NameOf(cache, targetMask).c_str(), targetMask, composedMask);
    } else {
      cache->AddMaskForBitmap(composed, composedMask);
    }
  }
  return true;
}

bool RunCompositingTable(CSkin* skin, const std::u16string& text) {
  const std::vector<std::u16string> lines = SplitSkinLines(text);
  for (const std::u16string& line : lines) {
    CompositingRecord record;
    if (ParseCompositingLine(line, &record)) ComposeSkinBitmap(skin, record);
  }
  return !lines.empty();
}

bool ProcessClassicSkinResources(CSkin* skin) {
  bool failed = false;
  const std::u16string text = ReadProgramTextOrResource(u"wszpragma.txt", 143, &failed);
  if (failed) return false;
  if (text.empty()) return true;
  return RunCompositingTable(skin, text);
}
