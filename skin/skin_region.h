// The region an element answers the stylus in: a rectangle, or a polygon whose stored points
// close on themselves (the last point repeats the first).
#pragma once
#include <windows.h>

#include <vector>

#define SKIN_REGION_RECT 1
#define SKIN_REGION_POLYGON 2

// How the script describes a region: a rectangle, or `count` corners.
struct SkinRegionDesc {
  int kind;
  RECT rect;
  const POINT* corners;
  int count;
};

class CSkinRegion {
 public:
  void Set(const SkinRegionDesc& desc);
  void SetRect(const RECT& rect);
  // Contains (x, y): a rectangle holds its left and top edges, not its right and bottom ones; a
  // polygon is tested even-odd.
  bool Contains(int x, int y) const;
  void Scale(int numX, int numY, int den);
  const RECT& Bounds() const { return bounds_; }
  int Kind() const { return kind_; }
  const std::vector<POINT>& Points() const { return points_; }

 private:
  void ComputeBounds();

  int kind_ = SKIN_REGION_RECT;
  RECT bounds_{0, 0, -1, -1};  // holds no point
  std::vector<POINT> points_;
};

// A stylus point as the skin packs it: x in the low and y in the high 16 bits, both signed, so
// a drag past the left or top edge stays negative.
inline POINT SkinPointOf(LPARAM lParam) {
  return POINT{static_cast<int16_t>(lParam & 0xFFFF), static_cast<int16_t>((lParam >> 16) & 0xFFFF)};
}
inline LPARAM SkinPointParam(int x, int y) {
  return static_cast<LPARAM>(static_cast<DWORD>((x & 0xFFFF) | ((y & 0xFFFF) << 16)));
}
