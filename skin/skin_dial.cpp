// Dials. Angles come from CORDIC in 16.16 degrees; every division by the script's angle range,
// value range and step count is guarded, so a degenerate dial stays at frame 0.
#include "skin/skin_dial.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "skin/cordic.h"
#include "skin/ui_cache.h"

using zb::skin::CordicRotate;
using zb::skin::CordicVector;

CSkinDial::~CSkinDial() { ReleasePens(); }

void CSkinDial::ReleasePens() {
  for (int i = 0; i < kMaxHands; ++i) {
    if (pens_[i]) DeleteObject(pens_[i]);
    if (brushes_[i]) DeleteObject(brushes_[i]);
    pens_[i] = nullptr;
    brushes_[i] = nullptr;
  }
}

void CSkinDial::SetBitmaps(int picture, int pressedPicture) {
  picture_ = picture;
  pressedPicture_ = pressedPicture;
}

void CSkinDial::SetHands(int count, const SkinRegionDesc* regions, const COLORREF* penColours, const int* penWidths,
                         const COLORREF* brushColours) {
  ReleasePens();
  hands_ = std::clamp(count, 0, kMaxHands);
  steps_ = 1800;
  for (int i = 0; i < hands_; ++i) {
    handRegions_[i].Set(regions[i]);
    penColours_[i] = penColours[i];
    penWidths_[i] = penWidths[i];
    pens_[i] = penColours[i] == static_cast<COLORREF>(-1) ? CreatePen(PS_NULL, 1, 0) : CreatePen(PS_SOLID, penWidths[i], penColours[i]);
    brushes_[i] = brushColours[i] == static_cast<COLORREF>(-1) ? nullptr : CreateSolidBrush(brushColours[i]);
  }
}

void CSkinDial::SetGeometry(int angleMin, int angleMax, int valueMin, int valueMax, int steps, int r1, int r2, int r3,
                            int r4) {
  angleMin_ = angleMin;
  angleMax_ = angleMax;
  valueMin_ = valueMin;
  valueMax_ = valueMax;
  steps_ = steps;
  radii_[0] = r1, radii_[1] = r2, radii_[2] = r3, radii_[3] = r4;
  frame_ = value_ = tentativeFrame_ = tentativeValue_ = 0;
}

POINT CSkinDial::PointToPolar(int x, int y) {
  RECT r;
  GetRect(&r);
  const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
  // atan2(dx, dy): measured from the top, clockwise.
  const zb::skin::Polar p = CordicVector(int64_t{cy} - y, int64_t{x} - cx);
  int angle = static_cast<int>((p.angle + 32768) >> 16);
  if (angle < 0) angle += 360;
  if (angle >= 360) angle -= 360;
  return POINT{static_cast<LONG>(p.radius), angle};
}

POINT CSkinDial::PolarToPoint(int radius, int angle) {
  RECT r;
  GetRect(&r);
  const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
  if (radius == 0) return POINT{cx, cy};
  int64_t x = 0, y = 0;
  CordicRotate(radius, int64_t{angle - 90} << 16, &x, &y);
  return POINT{static_cast<LONG>(cx + x), static_cast<LONG>(cy + y)};
}

int CSkinDial::AngleToValue(int angle) const {
  if (angleMax_ == angleMin_) return valueMin_;
  return valueMin_ + static_cast<int>(int64_t{ValueRange()} * (angle - angleMin_) / (angleMax_ - angleMin_));
}

int CSkinDial::ValueToAngle(int value) const {
  if (valueMax_ == valueMin_) return angleMin_;
  return angleMin_ + static_cast<int>(int64_t{angleMax_ - angleMin_} * (value - valueMin_) / ValueRange());
}

bool CSkinDial::SetValueByAngle(int angle, bool tentative) {
  int value = 0, frame = 0;
  if (angle > angleMax_) {
    value = ValueRange();
    frame = std::max(0, steps_ - 1);
  } else if (angle >= angleMin_) {
    value = AngleToValue(angle) - valueMin_;
    frame = steps_ > 0 && ValueRange() != 0
                ? std::clamp(static_cast<int>(int64_t{steps_} * value / ValueRange()), 0, steps_ - 1)
                : 0;
  }
  int& keptValue = tentative ? tentativeValue_ : value_;
  int& keptFrame = tentative ? tentativeFrame_ : frame_;
  const bool changed = keptValue != value;
  keptValue = value;
  keptFrame = frame;
  return changed;
}

void CSkinDial::SetValue(int v) {
  v = std::clamp(v, std::min(valueMin_, valueMax_), std::max(valueMin_, valueMax_));
  const int before = frame_;
  value_ = tentativeValue_ = v - valueMin_;
  frame_ = tentativeFrame_ =
      steps_ > 0 && ValueRange() != 0 ? std::clamp(static_cast<int>(int64_t{steps_} * value_ / ValueRange()), 0, steps_ - 1) : 0;
  if (frame_ != before) Invalidate();
}

LRESULT CSkinDial::Stylus(UINT msg, LPARAM lParam) {
  const POINT at = SkinPointOf(lParam);
  const bool twoPictures = picture_ != pressedPicture_;
  if (msg == SKM_RELEASE) {
    if (!dragging_) return 0;
    dragging_ = false;
    if (value_ == kSkinNoValue) return 0;
    const int before = frame_;
    SetValueByAngle(ValueToAngle(valueMin_ + tentativeValue_), false);
    tentativeValue_ = 0;
    Notify(SKN_RELEASED, Packed(value_), false);
    if (frame_ == before && !twoPictures) return 0;
    Invalidate();
    return 1;
  }
  if (msg == SKM_PRESS) dragging_ = true;
  if (!dragging_ || value_ == kSkinNoValue) return 0;
  const POINT polar = PointToPolar(at.x, at.y);
  if (polar.x == 0) return 0;  // the very centre has no angle
  const int before = tentativeFrame_;
  SetValueByAngle(polar.y, true);
  if (tentativeFrame_ == before) {
    if (msg != SKM_PRESS || !twoPictures) return 0;
    Invalidate();
    return 1;
  }
  Notify(SKN_DRAGGING, Packed(tentativeValue_), false);
  const int quarter = steps_ / 4, threeQuarters = 3 * steps_ / 4;
  if (before < quarter && tentativeFrame_ > threeQuarters) Notify(SKN_DIALWRAPPED, static_cast<WPARAM>(-1), false);
  if (before > threeQuarters && tentativeFrame_ < quarter) Notify(SKN_DIALWRAPPED, 1, false);
  Invalidate();
  return 1;
}

LRESULT CSkinDial::SendMessage(HWND, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case SKM_MOUSEMOVE:
    case SKM_PRESS:
    case SKM_RELEASE:
      return Stylus(msg, lParam);
    case SKM_GETKIND:
      if (lParam) *reinterpret_cast<DWORD*>(lParam) = SKIN_KIND_DIAL;
      return 1;
    case SKM_SETPOSITION: {
      const int shownBefore = dragging_ ? tentativeFrame_ : frame_;
      if (lParam != 0) {
        scale_ = static_cast<float>(ValueRange()) / static_cast<float>(static_cast<int>(lParam));
        const int v = valueMin_ + static_cast<int>(std::trunc(static_cast<int>(wParam) * scale_));
        SetValueByAngle(ValueToAngle(v), false);
      } else {
        value_ = kSkinNoValue;
        frame_ = 0;
      }
      if ((dragging_ ? tentativeFrame_ : frame_) == shownBefore) return 0;
      Invalidate();
      return 1;
    }
    case SKM_GETPOSITION:
      return static_cast<LRESULT>(Packed(value_));
    default:
      return 0;
  }
}

void CSkinDial::DrawHands(HDC dc, int frame) {
  RECT r;
  GetRect(&r);
  const POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  const int turn = steps_ > 0 ? frame * 360 / steps_ : 0;
  for (int i = 0; i < hands_; ++i) {
    std::vector<POINT> corners;
    const CSkinRegion& hand = handRegions_[i];
    if (hand.Kind() == SKIN_REGION_POLYGON) {
      corners = hand.Points();
    } else {
      const RECT& b = hand.Bounds();
      corners = {{b.left, b.top}, {b.right, b.top}, {b.right, b.bottom}, {b.left, b.bottom}, {b.left, b.top}};
    }
    for (POINT& p : corners) {
      const POINT polar = PointToPolar(centre.x + p.x, centre.y + p.y);
      p = PolarToPoint(polar.x, polar.y + turn);
    }
    HGDIOBJ oldPen = SelectObject(dc, pens_[i]);
    HGDIOBJ oldBrush = SelectObject(dc, brushes_[i] ? brushes_[i] : GetStockObject(NULL_BRUSH));
    Polygon(dc, corners.data(), static_cast<int>(corners.size()));
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
  }
}

void CSkinDial::DrawPicture(HDC dc, int frame) {
  UICache* cache = UICache::Get();
  const int id = dragging_ ? pressedPicture_ : picture_;
  HBITMAP picture = cache->GetBitmap(id);
  BITMAP bm{};
  if (!picture || !GetObjectW(picture, sizeof bm, &bm) || steps_ <= 0) return;
  RECT r;
  GetRect(&r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return;
  // The wedge of this step, as a one-bit mask: black inside the wedge (and where the picture
  // itself is opaque), white elsewhere.
  HBITMAP sector = CreateBitmap(w, h, 1, 1, nullptr);
  HDC maskDc = CreateCompatibleDC(dc), pictureDc = CreateCompatibleDC(dc);
  HGDIOBJ oldMask = SelectObject(maskDc, sector), oldPicture = SelectObject(pictureDc, picture);
  const RECT all{0, 0, w, h};
  FillRect(maskDc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  const int am = frame * 360 / steps_, a0 = am - 180 / steps_, a1 = (frame + 1) * 360 / steps_ - 180 / steps_;
  const POINT polar[6] = {{radii_[0], a0}, {radii_[2], a0}, {radii_[3], am}, {radii_[2], a1}, {radii_[0], a1}, {radii_[0], a0}};
  const POINT toward = PolarToPoint(radii_[1], am + 180);
  const POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  const int dx = toward.x - centre.x, dy = toward.y - centre.y;
  POINT corners[6];
  for (int i = 0; i < 6; ++i) {
    const POINT p = PolarToPoint(polar[i].x, polar[i].y);
    corners[i] = POINT{p.x - r.left + dx, p.y - r.top + dy};
  }
  HGDIOBJ oldPen = SelectObject(maskDc, GetStockObject(NULL_PEN));
  HGDIOBJ oldBrush = SelectObject(maskDc, GetStockObject(BLACK_BRUSH));
  Polygon(maskDc, corners, 6);
  SelectObject(maskDc, oldBrush);
  SelectObject(maskDc, oldPen);
  int sx = (bm.bmWidth - w) / 2 - dx, sy = (std::abs(bm.bmHeight) - h) / 2 - dy, mx = 0, my = 0;
  if (sx < 0) mx = -sx, sx = 0;
  if (sy < 0) my = -sy, sy = 0;
  if (HBITMAP own = cache->GetMask(id)) {
    HDC ownDc = CreateCompatibleDC(dc);
    HGDIOBJ oldOwn = SelectObject(ownDc, own);
    BitBlt(maskDc, mx, my, w - mx, h - my, ownDc, sx, sy, SRCPAINT);
    SelectObject(ownDc, oldOwn);
    DeleteDC(ownDc);
  }
  SelectObject(maskDc, oldMask);
  MaskBlt(dc, r.left + mx, r.top + my, w - mx, h - my, pictureDc, sx, sy, sector, mx, my, kSkinMaskRop);
  SelectObject(pictureDc, oldPicture);
  DeleteDC(pictureDc);
  DeleteDC(maskDc);
  DeleteObject(sector);
}

void CSkinDial::Draw(HWND, HDC dc) {
  if (!GetOwner() || !IsVisible()) return;
  const int frame = dragging_ && value_ != kSkinNoValue ? tentativeFrame_ : frame_;
  if (hands_ > 0) {
    DrawHands(dc, frame);
  } else {
    DrawPicture(dc, frame);
  }
}

void CSkinDial::Scale(int numX, int numY, int den) {
  region_.Scale(numX, numY, den);
  for (int i = 0; i < hands_; ++i) {
    handRegions_[i].Scale(numX, numY, den);
    penWidths_[i] = ScaleBy(penWidths_[i], numX, den);
    if (pens_[i] && penColours_[i] != static_cast<COLORREF>(-1)) {
      DeleteObject(pens_[i]);
      pens_[i] = CreatePen(PS_SOLID, penWidths_[i], penColours_[i]);
    }
  }
  for (int& radius : radii_) radius = ScaleBy(radius, numX, den);
}
