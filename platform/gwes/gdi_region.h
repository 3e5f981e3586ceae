// Regions as lists of disjoint rectangles: enough for clipping by rectangles, update areas and
// the region calls, and cheap to walk when a drawing call clips against them.
#pragma once
#include <vector>

#include "gwes/gdi_object.h"

namespace zb::gdi {

bool IntersectRects(RECT& out, const RECT& a, const RECT& b);
inline bool EmptyRect(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

class Region {
 public:
  Region() = default;
  explicit Region(const RECT& r) { Add(r); }

  const std::vector<RECT>& Rects() const { return rects_; }
  bool Empty() const { return rects_.empty(); }
  RECT Bounds() const;
  int Complexity() const { return rects_.empty() ? NULLREGION : rects_.size() == 1 ? SIMPLEREGION : COMPLEXREGION; }
  bool Contains(int x, int y) const;
  bool Touches(const RECT& r) const;

  void Intersect(const RECT& r);
  void Intersect(const Region& other);
  void Subtract(const RECT& r);
  void Subtract(const Region& other);
  void Unite(const Region& other);
  void Offset(int dx, int dy);

 private:
  void Add(const RECT& r) {
    if (!EmptyRect(r)) rects_.push_back(r);
  }
  std::vector<RECT> rects_;
};

class RegionObject : public GdiObject {
 public:
  DWORD Type() const override { return OBJ_REGION; }
  Region region;
};

}  // namespace zb::gdi
