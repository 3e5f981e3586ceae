// Region arithmetic on disjoint rectangle lists, and the region calls of the API.
#include "gwes/gdi_region.h"

#include <algorithm>

namespace zb::gdi {

bool IntersectRects(RECT& out, const RECT& a, const RECT& b) {
  out = RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
  if (EmptyRect(out)) {
    out = RECT{0, 0, 0, 0};
    return false;
  }
  return true;
}

RECT Region::Bounds() const {
  if (rects_.empty()) return RECT{0, 0, 0, 0};
  RECT b = rects_[0];
  for (const RECT& r : rects_) {
    b.left = std::min(b.left, r.left);
    b.top = std::min(b.top, r.top);
    b.right = std::max(b.right, r.right);
    b.bottom = std::max(b.bottom, r.bottom);
  }
  return b;
}

bool Region::Contains(int x, int y) const {
  for (const RECT& r : rects_) {
    if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
  }
  return false;
}

bool Region::Touches(const RECT& r) const {
  RECT tmp;
  for (const RECT& own : rects_) {
    if (IntersectRects(tmp, own, r)) return true;
  }
  return false;
}

void Region::Intersect(const RECT& r) {
  std::vector<RECT> out;
  RECT tmp;
  for (const RECT& own : rects_) {
    if (IntersectRects(tmp, own, r)) out.push_back(tmp);
  }
  rects_ = std::move(out);
}

void Region::Intersect(const Region& other) {
  std::vector<RECT> out;
  RECT tmp;
  for (const RECT& a : rects_) {
    for (const RECT& b : other.rects_) {
      if (IntersectRects(tmp, a, b)) out.push_back(tmp);
    }
  }
  rects_ = std::move(out);
}

void Region::Subtract(const RECT& cut) {
  if (EmptyRect(cut)) return;
  std::vector<RECT> out;
  for (const RECT& r : rects_) {
    RECT overlap;
    if (!IntersectRects(overlap, r, cut)) {
      out.push_back(r);
      continue;
    }
    // Up to four pieces: the bands above and below the cut, and the parts left and right of it.
    const RECT pieces[4] = {{r.left, r.top, r.right, overlap.top},
                            {r.left, overlap.bottom, r.right, r.bottom},
                            {r.left, overlap.top, overlap.left, overlap.bottom},
                            {overlap.right, overlap.top, r.right, overlap.bottom}};
    for (const RECT& p : pieces) {
      if (!EmptyRect(p)) out.push_back(p);
    }
  }
  rects_ = std::move(out);
}

void Region::Subtract(const Region& other) {
  for (const RECT& r : other.rects_) Subtract(r);
}

void Region::Unite(const Region& other) {
  Region extra = other;
  extra.Subtract(*this);
  rects_.insert(rects_.end(), extra.rects_.begin(), extra.rects_.end());
}

void Region::Offset(int dx, int dy) {
  for (RECT& r : rects_) {
    r.left += dx;
    r.right += dx;
    r.top += dy;
    r.bottom += dy;
  }
}

}  // namespace zb::gdi

using namespace zb::gdi;

extern "C" HRGN CreateRectRgn(int left, int top, int right, int bottom) {
  auto object = std::make_shared<RegionObject>();
  // Like the platform, a rectangle given the wrong way round is put right.
  object->region = Region(RECT{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)});
  return As<HRGN>(AddObject(object));
}

extern "C" HRGN CreateRectRgnIndirect(const RECT* rect) {
  if (!rect) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom);
}

extern "C" BOOL SetRectRgn(HRGN handle, int left, int top, int right, int bottom) {
  ZB_GDI_LOCK;
  auto object = Find<RegionObject>(handle);
  if (!object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  object->region = Region(RECT{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)});
  return TRUE;
}

extern "C" int CombineRgn(HRGN dst, HRGN src1, HRGN src2, int mode) {
  ZB_GDI_LOCK;
  auto d = Find<RegionObject>(dst);
  auto a = Find<RegionObject>(src1);
  auto b = mode == RGN_COPY ? a : Find<RegionObject>(src2);
  if (!d || !a || !b || mode < RGN_AND || mode > RGN_COPY) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return ERROR;
  }
  Region result = a->region;
  switch (mode) {
    case RGN_AND:
      result.Intersect(b->region);
      break;
    case RGN_OR:
      result.Unite(b->region);
      break;
    case RGN_XOR: {
      Region other = b->region;
      other.Subtract(a->region);
      result.Subtract(b->region);
      result.Unite(other);
      break;
    }
    case RGN_DIFF:
      result.Subtract(b->region);
      break;
    default:
      break;
  }
  d->region = std::move(result);
  return d->region.Complexity();
}

extern "C" int GetRgnBox(HRGN handle, LPRECT rect) {
  ZB_GDI_LOCK;
  auto object = Find<RegionObject>(handle);
  if (!object || !rect) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return ERROR;
  }
  *rect = object->region.Bounds();
  return object->region.Complexity();
}
