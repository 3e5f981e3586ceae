// Regions of skin elements. Polygon bounds start from the first point, so corners at negative
// or large coordinates bound the polygon as they should.
#include "skin/skin_region.h"

#include <algorithm>

void CSkinRegion::SetRect(const RECT& rect) {
  kind_ = SKIN_REGION_RECT;
  points_.clear();
  bounds_ = rect;
}

void CSkinRegion::Set(const SkinRegionDesc& desc) {
  if (desc.kind != SKIN_REGION_POLYGON) {
    SetRect(desc.rect);
    return;
  }
  kind_ = SKIN_REGION_POLYGON;
  points_.assign(desc.corners, desc.corners + std::max(0, desc.count));
  if (!points_.empty()) points_.push_back(points_.front());
  ComputeBounds();
}

void CSkinRegion::ComputeBounds() {
  if (points_.empty()) {
    bounds_ = RECT{0, 0, -1, -1};
    return;
  }
  bounds_ = RECT{points_[0].x, points_[0].y, points_[0].x, points_[0].y};
  for (const POINT& p : points_) {
    bounds_.left = std::min(bounds_.left, p.x);
    bounds_.top = std::min(bounds_.top, p.y);
    bounds_.right = std::max(bounds_.right, p.x);
    bounds_.bottom = std::max(bounds_.bottom, p.y);
  }
}

bool CSkinRegion::Contains(int x, int y) const {
  if (kind_ != SKIN_REGION_POLYGON) return bounds_.left <= x && x < bounds_.right && bounds_.top <= y && y < bounds_.bottom;
  const size_t n = points_.size();
  if (n < 2) return false;
  bool inside = false;
  for (size_t k = 1; k < n; ++k) {
    const POINT a = points_[k], b = points_[k - 1];
    if (!((a.y <= y && y < b.y) || (b.y <= y && y < a.y))) continue;
    const int64_t dy = int64_t{b.y} - a.y;
    const int64_t lhs = (int64_t{x} - a.x) * dy, rhs = (int64_t{y} - a.y) * (int64_t{b.x} - a.x);
    if ((dy > 0 && lhs < rhs) || (dy <= 0 && lhs > rhs)) inside = !inside;
  }
  return inside;
}

void CSkinRegion::Scale(int numX, int numY, int den) {
  if (den == 0) return;
  auto sx = [&](LONG v) { return static_cast<LONG>(int64_t{v} * numX / den); };
  auto sy = [&](LONG v) { return static_cast<LONG>(int64_t{v} * numY / den); };
  for (POINT& p : points_) p = POINT{sx(p.x), sy(p.y)};
  if (kind_ == SKIN_REGION_POLYGON) {
    ComputeBounds();
  } else {
    bounds_ = RECT{sx(bounds_.left), sy(bounds_.top), sx(bounds_.right), sy(bounds_.bottom)};
  }
}
