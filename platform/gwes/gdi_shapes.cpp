// Pens and filled shapes: Polyline, Polygon, Rectangle and Ellipse. Shapes are rasterised into
// spans of target pixels, each pixel once, so that XOR-like ROP2 modes never touch a pixel
// twice; both the outline and the interior go through the DC's ROP2.
#include <algorithm>
#include <cmath>
#include <optional>

#include "gwes/gdi_blit.h"
#include "gwes/gdi_rop.h"

using namespace zb::gdi;

namespace {

// Pixels collected for one paint, merged into spans before drawing.
class PixelSet {
 public:
  void Add(int x, int y) { points_.push_back(POINT{x, y}); }
  void AddSpan(int y, int left, int right) {
    if (right > left) spans_.push_back(RECT{left, y, right, y + 1});
  }
  std::vector<RECT> Spans() {
    std::sort(points_.begin(), points_.end(), [](const POINT& a, const POINT& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
    points_.erase(std::unique(points_.begin(), points_.end(), [](const POINT& a, const POINT& b) { return a.x == b.x && a.y == b.y; }),
                  points_.end());
    std::vector<RECT> out = spans_;
    for (size_t i = 0; i < points_.size();) {
      size_t j = i + 1;
      while (j < points_.size() && points_[j].y == points_[i].y && points_[j].x == points_[j - 1].x + 1) ++j;
      out.push_back(RECT{points_[i].x, points_[i].y, points_[j - 1].x + 1, points_[i].y + 1});
      i = j;
    }
    return out;
  }

 private:
  std::vector<POINT> points_;
  std::vector<RECT> spans_;
};

struct Stroke {
  int width = 1;
  bool dashed = false;
  int step = 0;  // pixels drawn so far, for the dash pattern
};

void Stamp(PixelSet& set, int x, int y, Stroke& pen) {
  const bool on = !pen.dashed || (pen.step % 8) < 6;
  ++pen.step;
  if (!on) return;
  const int lo = -(pen.width - 1) / 2, hi = pen.width / 2;
  for (int dy = lo; dy <= hi; ++dy)
    for (int dx = lo; dx <= hi; ++dx) set.Add(x + dx, y + dy);
}

// Bresenham from a to b, leaving out b itself as the platform does.
void Line(PixelSet& set, POINT a, POINT b, Stroke& pen) {
  int dx = std::abs(b.x - a.x), dy = -std::abs(b.y - a.y);
  int sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
  int err = dx + dy;
  int x = a.x, y = a.y;
  while (x != b.x || y != b.y) {
    Stamp(set, x, y, pen);
    int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y += sy;
    }
  }
}

struct Shape {
  std::shared_ptr<DeviceContext> dc;
  uint8_t rop;
  Stroke pen;
  bool hasPen;
};

std::optional<Shape> Begin(HDC hdc) {
  auto dc = FindDc(hdc);
  if (!dc) return std::nullopt;
  const Pen& pen = *dc->state.pen;
  Stroke stroke{pen.width, pen.style == PS_DASH, 0};
  return Shape{dc, Rop2AsRop3(dc->state.rop2), stroke, pen.style != PS_NULL};
}

void DrawPen(Shape& s, PixelSet& set) {
  if (!s.hasPen) return;
  FillTargetRects(*s.dc, set.Spans(), Paint::Solid(*s.dc, s.dc->state.pen->colour), s.rop);
}

void DrawBrush(Shape& s, PixelSet& set) {
  FillTargetRects(*s.dc, set.Spans(), Paint::FromBrush(*s.dc, *s.dc->state.brush), s.rop);
}

std::vector<POINT> ToTarget(const DeviceContext& dc, const POINT* points, int count) {
  std::vector<POINT> out(count);
  for (int i = 0; i < count; ++i) out[i] = dc.ToTarget(points[i].x, points[i].y);
  return out;
}

// Even-odd fill of a closed polygon: pixels whose centres lie inside.
void FillPolygon(PixelSet& set, const std::vector<POINT>& p) {
  int top = p[0].y, bottom = p[0].y;
  for (const POINT& q : p) {
    top = std::min<int>(top, q.y);
    bottom = std::max<int>(bottom, q.y);
  }
  std::vector<double> xs;
  for (int y = top; y < bottom; ++y) {
    const double yc = y + 0.5;
    xs.clear();
    for (size_t i = 0; i < p.size(); ++i) {
      const POINT& a = p[i];
      const POINT& b = p[(i + 1) % p.size()];
      if ((a.y <= yc && yc < b.y) || (b.y <= yc && yc < a.y))
        xs.push_back(a.x + (yc - a.y) * (b.x - a.x) / static_cast<double>(b.y - a.y));
    }
    std::sort(xs.begin(), xs.end());
    for (size_t i = 0; i + 1 < xs.size(); i += 2)
      set.AddSpan(y, static_cast<int>(std::ceil(xs[i] - 0.5)), static_cast<int>(std::ceil(xs[i + 1] - 0.5)));
  }
}

// Polyline and Polygon: a closed shape also fills its inside and joins its last point to its first.
BOOL DrawPoints(HDC hdc, const POINT* points, int count, bool closed) {
  if (!points || count < 2) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  ZB_GDI_LOCK;
  auto s = Begin(hdc);
  if (!s) return FALSE;
  std::vector<POINT> p = ToTarget(*s->dc, points, count);
  PixelSet fill, outline;
  if (closed) {
    FillPolygon(fill, p);
    DrawBrush(*s, fill);
  }
  for (int i = 0; i + 1 < count; ++i) Line(outline, p[i], p[i + 1], s->pen);
  if (closed) Line(outline, p[count - 1], p[0], s->pen);
  DrawPen(*s, outline);
  return TRUE;
}

// The target corners of a box given in logical coordinates either way round.
void Box(const DeviceContext& dc, int left, int top, int right, int bottom, POINT& a, POINT& b) {
  a = dc.ToTarget(std::min(left, right), std::min(top, bottom));
  b = dc.ToTarget(std::max(left, right), std::max(top, bottom));
}

}  // namespace

extern "C" BOOL Polyline(HDC hdc, const POINT* points, int count) { return DrawPoints(hdc, points, count, false); }

extern "C" BOOL Polygon(HDC hdc, const POINT* points, int count) { return DrawPoints(hdc, points, count, true); }

extern "C" BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
  ZB_GDI_LOCK;
  auto s = Begin(hdc);
  if (!s) return FALSE;
  POINT a, b;
  Box(*s->dc, left, top, right, bottom, a, b);
  if (b.x - a.x < 1 || b.y - a.y < 1) return TRUE;
  PixelSet fill, outline;
  if (!s->hasPen) {
    // Without a pen the platform fills one pixel less to the right and below.
    for (int y = a.y; y < b.y - 1; ++y) fill.AddSpan(y, a.x, b.x - 1);
    DrawBrush(*s, fill);
    return TRUE;
  }
  for (int y = a.y + 1; y < b.y - 1; ++y) fill.AddSpan(y, a.x + 1, b.x - 1);
  DrawBrush(*s, fill);
  const POINT corners[5] = {{a.x, a.y}, {b.x - 1, a.y}, {b.x - 1, b.y - 1}, {a.x, b.y - 1}, {a.x, a.y}};
  for (int i = 0; i < 4; ++i) Line(outline, corners[i], corners[i + 1], s->pen);
  if (b.x - a.x == 1 || b.y - a.y == 1) Stamp(outline, b.x - 1, b.y - 1, s->pen);  // a line-thin box
  DrawPen(*s, outline);
  return TRUE;
}

extern "C" BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom) {
  ZB_GDI_LOCK;
  auto s = Begin(hdc);
  if (!s) return FALSE;
  POINT a, b;
  Box(*s->dc, left, top, right, bottom, a, b);
  const int w = b.x - a.x, h = b.y - a.y;
  if (w < 1 || h < 1) return TRUE;
  const double cx = (a.x + b.x) / 2.0, cy = (a.y + b.y) / 2.0, rx = w / 2.0, ry = h / 2.0;
  // The columns [first, end) of each row whose centres lie inside an ellipse of radii rx, ry.
  auto spanOf = [&](int y, double ax, double ay, int& first, int& end) {
    first = end = 0;
    if (ax <= 0 || ay <= 0) return;
    const double t = (y + 0.5 - cy) / ay;
    if (t * t > 1) return;
    const double half = ax * std::sqrt(1 - t * t);
    first = static_cast<int>(std::ceil(cx - half - 0.5));
    end = static_cast<int>(std::floor(cx + half - 0.5)) + 1;
  };
  const int pen = s->hasPen ? s->pen.width : 0;
  PixelSet fill, outline;
  for (int y = a.y; y < b.y; ++y) {
    int first, end, innerFirst, innerEnd;
    spanOf(y, rx, ry, first, end);
    if (end <= first) continue;
    if (pen == 0) {
      fill.AddSpan(y, first, end);
      continue;
    }
    // The interior is what stays inside after moving in by the pen's width, also vertically.
    int above, aboveEnd, below, belowEnd;
    spanOf(y, rx - pen, ry - pen, innerFirst, innerEnd);
    spanOf(y - pen, rx, ry, above, aboveEnd);
    spanOf(y + pen, rx, ry, below, belowEnd);
    innerFirst = std::max({innerFirst, above, below, first + pen});
    innerEnd = std::min({innerEnd, aboveEnd, belowEnd, end - pen});
    if (innerEnd > innerFirst) {
      fill.AddSpan(y, innerFirst, innerEnd);
      outline.AddSpan(y, first, innerFirst);
      outline.AddSpan(y, innerEnd, end);
    } else {
      outline.AddSpan(y, first, end);
    }
  }
  DrawBrush(*s, fill);
  DrawPen(*s, outline);
  return TRUE;
}
