// The blit engine. Work goes row by row through native values: read, convert, combine, write.
// Stretching samples the source pixel under each destination pixel's centre. A source that is
// the destination itself is copied first, so overlapping moves (ScrollDC) come out right.
#include "gwes/gdi_blit.h"

#include <algorithm>
#include <cstring>

#include "gwes/gdi_blit_fast.h"
#include "gwes/gdi_rop.h"

namespace zb::gdi {
namespace {

struct Span {
  int start = 0;
  int length = 0;
  bool reversed = false;
};

// A signed extent from a corner: negative sizes reach back from the corner (the corner included).
Span Normalise(int corner, int size) {
  if (size < 0) return Span{corner + size + 1, -size, true};
  return Span{corner, size, false};
}

// Index into the source span for each index of the destination span.
std::vector<int> SampleMap(const Span& dst, const Span& src) {
  std::vector<int> map(dst.length);
  const bool flip = dst.reversed != src.reversed;
  for (int i = 0; i < dst.length; ++i) {
    int j = static_cast<int>((2 * static_cast<int64_t>(i) + 1) * src.length / (2 * static_cast<int64_t>(dst.length)));
    map[i] = src.start + (flip ? src.length - 1 - j : j);
  }
  return map;
}

}  // namespace

Paint Paint::FromBrush(const DeviceContext& dc, const Brush& brush) {
  if (brush.style == BS_NULL) {
    Paint p;
    p.none_ = true;
    return p;
  }
  if (brush.style != BS_PATTERN || !brush.pattern) return Solid(dc, brush.colour);
  Paint p;
  const Surface& pat = *brush.pattern;
  const Surface& dst = dc.Target();
  Converter convert(pat, dst, dc.Resolve(dc.state.bkColour), dc.Resolve(dc.state.textColour),
                    dc.Resolve(dc.state.bkColour));
  p.width_ = pat.width;
  p.height_ = pat.height;
  p.pattern_.resize(static_cast<size_t>(pat.width) * pat.height);
  std::vector<uint32_t> raw(pat.width);
  for (int y = 0; y < pat.height; ++y) {
    pat.ReadRow(y, 0, pat.width, raw.data());
    convert.Row(raw.data(), p.pattern_.data() + static_cast<size_t>(y) * pat.width, pat.width);
  }
  p.orgX_ = dc.origin.x + dc.state.brushOrg.x;
  p.orgY_ = dc.origin.y + dc.state.brushOrg.y;
  return p;
}

Paint Paint::Solid(const DeviceContext& dc, COLORREF colour) {
  Paint p;
  p.solid_ = dc.Target().FromRgb(dc.Resolve(colour));
  return p;
}

void Paint::Row(int x, int y, int n, uint32_t* out) const {
  if (pattern_.empty()) {
    std::fill(out, out + n, solid_);
    return;
  }
  const int py = ((y - orgY_) % height_ + height_) % height_;
  const uint32_t* row = pattern_.data() + static_cast<size_t>(py) * width_;
  int px = ((x - orgX_) % width_ + width_) % width_;
  for (int i = 0; i < n; ++i) {
    out[i] = row[px];
    if (++px == width_) px = 0;
  }
}

Converter::Converter(const Surface& src, const Surface& dst, COLORREF srcBk, COLORREF dstText, COLORREF dstBk)
    : src_(src), dst_(dst) {
  if (dst.bpp == 1 && src.bpp == 1) {
    kind_ = Kind::kSame;
  } else if (dst.bpp == 1) {
    // Colour to monochrome: the source DC's background colour becomes 1 (white), the rest 0.
    if (src.Palettized()) {
      kind_ = Kind::kTable;
      table_.resize(size_t{1} << src.bpp);
      for (size_t i = 0; i < table_.size(); ++i) table_[i] = src.ToRgb(static_cast<uint32_t>(i)) == srcBk ? 1 : 0;
    } else {
      kind_ = Kind::kToMono;
      key_ = src.FromRgb(srcBk);
    }
  } else if (src.mono) {
    // Monochrome to colour: 0 takes the text colour, 1 the background colour.
    kind_ = Kind::kTable;
    table_ = {dst.FromRgb(dstText), dst.FromRgb(dstBk)};
  } else if (src.SameLayout(dst)) {
    kind_ = Kind::kSame;
  } else if (src.Palettized()) {
    kind_ = Kind::kTable;
    table_.resize(size_t{1} << src.bpp);
    for (size_t i = 0; i < table_.size(); ++i) table_[i] = dst.FromRgb(src.ToRgb(static_cast<uint32_t>(i)));
  } else {
    kind_ = Kind::kRgb;
  }
}

void Converter::Row(const uint32_t* in, uint32_t* out, int n) const {
  switch (kind_) {
    case Kind::kSame:
      if (in != out) std::memcpy(out, in, sizeof(uint32_t) * n);
      return;
    case Kind::kTable:
      for (int i = 0; i < n; ++i) out[i] = table_[in[i] & (table_.size() - 1)];
      return;
    case Kind::kToMono: {
      const uint32_t mask = src_.ValueMask() & (src_.Red().mask | src_.Green().mask | src_.Blue().mask);
      for (int i = 0; i < n; ++i) out[i] = (in[i] & mask) == key_ ? 1 : 0;
      return;
    }
    case Kind::kRgb:
      for (int i = 0; i < n; ++i) out[i] = dst_.FromRgb(src_.ToRgb(in[i]));
      return;
  }
}

void Blit(DeviceContext& dc, int x, int y, int width, int height, const BlitSource* source, const Paint* paint,
          uint8_t rop, const BlitMask* mask) {
  Surface& dst = dc.Target();
  const bool needSource = UsesSource(rop) || (mask && UsesSource(mask->backRop)) || (source && source->transparent);
  const bool needPattern = UsesPattern(rop) || (mask && UsesPattern(mask->backRop));
  if (needPattern && (!paint || paint->None())) return;  // a null brush paints nothing
  if (needSource && (!source || !source->surface)) return;

  const Span dx = Normalise(x, width), dy = Normalise(y, height);
  if (dx.length <= 0 || dy.length <= 0) return;

  // Source geometry; a source that is the target is read from a copy.
  std::shared_ptr<Surface> copy;
  const Surface* src = needSource ? source->surface : nullptr;
  std::vector<int> colMap, rowMap;
  std::optional<Converter> convert;
  uint32_t transparentKey = 0, keyMask = ~0u;
  if (src) {
    if (src == &dst) {
      copy = dst.Clone();
      if (!copy) return;
      src = copy.get();
    }
    const Span sx = Normalise(source->x, source->width), sy = Normalise(source->y, source->height);
    if (sx.length <= 0 || sy.length <= 0) return;
    colMap = SampleMap(dx, sx);
    rowMap = SampleMap(dy, sy);
    convert.emplace(*src, dst, dc.Resolve(source->bkColour), dc.Resolve(dc.state.textColour),
                    dc.Resolve(dc.state.bkColour));
    if (source->transparent) {
      transparentKey = src->FromRgb(*source->transparent);
      if (!src->Palettized()) keyMask = src->Red().mask | src->Green().mask | src->Blue().mask;
    }
  }

  const bool plainCopy = src && rop == 0xCC && !mask && !source->transparent && convert->Identity() && dst.bpp >= 8 &&
                         source->width == width && source->height == height && width > 0 && height > 0;

  // The skin's masked copies between surfaces of one layout take a kernel of their own.
  std::optional<FastMaskedCopy> fast;
  const bool unstretched = src && source->width == width && source->height == height && width > 0 && height > 0;
  if (unstretched && convert->Identity() && FastMaskedCopy::Supports(dst, *src)) {
    if (mask && !source->transparent && mask->surface->bpp == 1 &&
        ((rop == 0xCC && mask->backRop == 0xAA) || (rop == 0xAA && mask->backRop == 0xCC))) {
      fast = FastMaskedCopy::Masked(*mask->surface, rop == 0xCC);
    } else if (!mask && source->transparent && rop == 0xCC) {
      fast = FastMaskedCopy::ColourKey(transparentKey, keyMask);
    }
  }

  std::vector<uint32_t> raw, line, S, P, D, M, back, out;
  const RECT area{dx.start, dy.start, dx.start + dx.length, dy.start + dy.length};
  Region visible = dc.VisibleRegion();
  visible.Intersect(area);
  for (const RECT& clip : visible.Rects()) {
    for (int row = clip.top; row < clip.bottom; ++row) {
      int left = clip.left, right = clip.right;
      int srcRow = 0;
      if (src) {
        srcRow = rowMap[row - dy.start];
        if (srcRow < 0 || srcRow >= src->height) continue;
        // Columns whose source lies outside the source bitmap are not drawn.
        while (left < right && (colMap[left - dx.start] < 0 || colMap[left - dx.start] >= src->width)) ++left;
        while (right > left && (colMap[right - 1 - dx.start] < 0 || colMap[right - 1 - dx.start] >= src->width)) --right;
      }
      const int n = right - left;
      if (n <= 0) continue;
      if (plainCopy) {
        const int bytes = dst.bpp / 8;
        std::memmove(dst.Row(row) + static_cast<size_t>(left) * bytes,
                     src->Row(srcRow) + static_cast<size_t>(colMap[left - dx.start]) * bytes,
                     static_cast<size_t>(n) * bytes);
        continue;
      }
      if (fast && fast->Row(dst, left, row, *src, colMap[left - dx.start], srcRow,
                            mask ? mask->x + (left - dx.start) : 0, mask ? mask->y + (row - dy.start) : 0, n)) {
        continue;
      }
      out.resize(n);
      if (src) {
        raw.resize(n);
        S.resize(n);
        const int first = colMap[left - dx.start], last = colMap[right - 1 - dx.start];
        if (last - first == n - 1) {
          src->ReadRow(srcRow, first, n, raw.data());
        } else {
          // Stretched or mirrored: read the source span once, then pick from it.
          const int lo = std::min(first, last), hi = std::max(first, last);
          line.resize(hi - lo + 1);
          src->ReadRow(srcRow, lo, hi - lo + 1, line.data());
          for (int i = 0; i < n; ++i) raw[i] = line[colMap[left - dx.start + i] - lo];
        }
        convert->Row(raw.data(), S.data(), n);
      }
      if (needPattern) {
        P.resize(n);
        paint->Row(left, row, n, P.data());
      }
      D.resize(n);
      dst.ReadRow(row, left, n, D.data());
      const uint32_t* pp = needPattern ? P.data() : nullptr;
      const uint32_t* ss = src ? S.data() : nullptr;
      if (mask) {
        // Mask pixels outside the mask bitmap count as 1 (the foreground operation).
        M.assign(n, 1);
        const Surface& m = *mask->surface;
        const int my = mask->y + (row - dy.start);
        const int mx0 = mask->x + (left - dx.start);
        const int from = std::max(0, -mx0), to = std::min(n, m.width - mx0);
        if (my >= 0 && my < m.height && to > from) m.ReadRow(my, mx0 + from, to - from, M.data() + from);
        back.resize(n);
        ApplyRop3(rop, pp, ss, D.data(), out.data(), n);
        ApplyRop3(mask->backRop, pp, ss, D.data(), back.data(), n);
        for (int i = 0; i < n; ++i)
          if (!M[i]) out[i] = back[i];
      } else {
        ApplyRop3(rop, pp, ss, D.data(), out.data(), n);
      }
      if (src && source->transparent) {
        for (int i = 0; i < n; ++i)
          if ((raw[i] & keyMask) == transparentKey) out[i] = D[i];
      }
      dst.WriteRow(row, left, n, out.data());
    }
  }
}

void FillTargetRects(DeviceContext& dc, const std::vector<RECT>& rects, const Paint& paint, uint8_t rop) {
  if (paint.None() && UsesPattern(rop)) return;
  Surface& dst = dc.Target();
  const Region visible = dc.VisibleRegion();
  std::vector<uint32_t> P, D, out;
  for (const RECT& rect : rects) {
    for (const RECT& clip : visible.Rects()) {
      RECT r;
      if (!IntersectRects(r, rect, clip)) continue;
      const int n = r.right - r.left;
      P.resize(n);
      D.resize(n);
      out.resize(n);
      for (int row = r.top; row < r.bottom; ++row) {
        paint.Row(r.left, row, n, P.data());
        dst.ReadRow(row, r.left, n, D.data());
        ApplyRop3(rop, P.data(), nullptr, D.data(), out.data(), n);
        dst.WriteRow(row, r.left, n, out.data());
      }
    }
  }
}

void FillTargetRect(DeviceContext& dc, const RECT& rect, const Paint& paint, uint8_t rop) {
  if (EmptyRect(rect)) return;
  FillTargetRects(dc, {rect}, paint, rop);
}

}  // namespace zb::gdi
