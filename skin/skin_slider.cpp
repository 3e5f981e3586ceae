// Sliders. Every division by a script's numbers is guarded: a track no longer than its thumb
// and a picture without frames both stay at frame 0, and a zero range clears the value.
#include "skin/skin_slider.h"

#include <algorithm>
#include <cmath>

#include "skin/ui_cache.h"

void CSkinSlider::SetGeometry(int horizontal, int frames, int frameStep, int trackX, int trackY, int trackW, int trackH,
                              int thumbW, int thumbH, int pressedThumbW, int pressedThumbH) {
  horizontal_ = horizontal;
  frames_ = frames;
  frameStep_ = frameStep;
  track_ = RECT{trackX, trackY, trackW, trackH};
  thumb_ = SIZE{thumbW, thumbH};
  pressedThumb_ = SIZE{pressedThumbW, pressedThumbH};
}

void CSkinSlider::SetRegion(const SkinRegionDesc& region) {
  CSkinElement::SetRegion(region);
  const RECT& r = region_.Bounds();
  const int t = IsHorizontal() ? std::max(thumb_.cx, pressedThumb_.cx) : std::max(thumb_.cy, pressedThumb_.cy);
  const int half = t / 2;
  minimum_ = (IsHorizontal() ? r.left : r.top) + half;
  maximum_ = (IsHorizontal() ? r.right : r.bottom) + half - t;
  value_ = frame_ = 0;
}

bool CSkinSlider::SetValue(int v, bool tentative) {
  int value = 0, frame = 0;
  if (v == kSkinNoValue) {
    value = kSkinNoValue;
  } else if (Range() <= 0 || v < minimum_) {
    value = 0;
  } else if (v > maximum_) {
    value = Range();
    frame = std::max(0, frames_ - 1);
  } else {
    value = v - minimum_;
    frame = frames_ > 0 ? std::clamp(static_cast<int>(int64_t{frames_} * value / Range()), 0, frames_ - 1) : 0;
  }
  int& keptValue = tentative ? tentativeValue_ : value_;
  int& keptFrame = tentative ? tentativeFrame_ : frame_;
  const bool changed = keptValue != value;
  keptValue = value;
  keptFrame = frame;
  return changed;
}

int CSkinSlider::Along(LPARAM lParam) {
  const POINT at = SkinPointOf(lParam);
  return IsHorizontal() ? at.x : at.y;
}

LRESULT CSkinSlider::SetPosition(WPARAM position, LPARAM range) {
  bool changed;
  if (range != 0) {
    scale_ = static_cast<float>(Range()) / static_cast<float>(static_cast<int>(range));
    changed = SetValue(minimum_ + static_cast<int>(std::trunc(static_cast<int>(position) * scale_)), false);
  } else {
    changed = SetValue(kSkinNoValue, false);
  }
  if (!changed) return 0;
  Invalidate();
  return 1;
}

LRESULT CSkinSlider::Stylus(UINT msg, LPARAM lParam) {
  if (msg == SKM_RELEASE) {
    if (!dragging_) return 0;
    dragging_ = false;
    if (value_ != kSkinNoValue) {
      SetValue(minimum_ + tentativeValue_, false);
      tentativeValue_ = 0;
      Post(SKN_RELEASED, value_);
    }
    Invalidate();
    return 1;
  }
  if (msg == SKM_PRESS) dragging_ = true;
  if (value_ == kSkinNoValue) return 0;
  if (!SetValue(Along(lParam), true)) return 0;
  Post(SKN_DRAGGING, tentativeValue_);
  Invalidate();
  return 1;
}

LRESULT CSkinSlider::SendMessage(HWND, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case SKM_MOUSEMOVE:
    case SKM_PRESS:
    case SKM_RELEASE:
      return Stylus(msg, lParam);
    case SKM_GETKIND:
      if (lParam) *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(Kind());
      return 1;
    case SKM_SETPOSITION:
      return SetPosition(wParam, lParam);
    case SKM_GETPOSITION:
      return static_cast<LRESULT>(static_cast<DWORD>((value_ & 0xFFFF) | (Range() << 16)));
    case 1244:
      return horizontal_;
    default:
      return 0;  // sliders do not answer the root messages
  }
}

void CSkinSlider::Draw(HWND, HDC dc) {
  if (!GetOwner() || !IsVisible()) return;
  const bool live = dragging_ && value_ != kSkinNoValue;
  const int shownValue = live ? tentativeValue_ : value_;
  const int shownFrame = std::max(0, live ? tentativeFrame_ : frame_);
  const bool across = IsHorizontal();
  auto frameAt = [&](int i) { return across ? POINT{0, i * frameStep_} : POINT{i * frameStep_, 0}; };
  const int x = track_.left, y = track_.top, w = track_.right, h = track_.bottom;
  if (frames_ == 2) {
    const int cut = minimum_ + shownValue - (across ? region_.Bounds().left : region_.Bounds().top);
    DrawBitmap(dc, pictureId_, x, y, w, h, frameAt(0).x, frameAt(0).y);
    if (shownValue != kSkinNoValue && cut > 0)
      DrawBitmap(dc, pictureId_, x, y, across ? std::min(cut, w) : w, across ? h : std::min(cut, h), frameAt(1).x, frameAt(1).y);
  } else {
    DrawBitmap(dc, pictureId_, x, y, w, h, frameAt(shownFrame).x, frameAt(shownFrame).y);
  }
  if (shownValue == kSkinNoValue) return;
  const POINT thumbAt = frameAt(std::max(0, frames_));
  const bool pressed = dragging_ || GetState() != 0;
  const SIZE size = pressed ? pressedThumb_ : thumb_;
  const POINT source = !pressed ? thumbAt : across ? POINT{thumbAt.x + thumb_.cx, thumbAt.y} : POINT{thumbAt.x, thumbAt.y + thumb_.cy};
  DrawBitmap(dc, pictureId_, across ? x + shownValue : x, across ? y : y + shownValue, size.cx, size.cy, source.x, source.y);
}

void CSkinSlider::Scale(int numX, int numY, int den) {
  const int alongNum = IsHorizontal() ? numX : numY, acrossNum = IsHorizontal() ? numY : numX;
  track_ = RECT{ScaleBy(track_.left, numX, den), ScaleBy(track_.top, numY, den), ScaleBy(track_.right, numX, den),
                ScaleBy(track_.bottom, numY, den)};
  thumb_ = SIZE{ScaleBy(thumb_.cx, numX, den), ScaleBy(thumb_.cy, numY, den)};
  pressedThumb_ = SIZE{ScaleBy(pressedThumb_.cx, numX, den), ScaleBy(pressedThumb_.cy, numY, den)};
  frameStep_ = ScaleBy(frameStep_, acrossNum, den);
  minimum_ = ScaleBy(minimum_, alongNum, den);
  maximum_ = ScaleBy(maximum_, alongNum, den);
  if (value_ != kSkinNoValue) value_ = ScaleBy(value_, alongNum, den);
  region_.Scale(numX, numY, den);
}

BOOL CSkinSlider::ComputeValue() { return UICache::Get()->GetMask(pictureId_) != nullptr; }

void CSkinRatchet::SetGeometryWithMargin(int horizontal, int frames, int frameStep, int trackX, int trackY, int trackW,
                                         int trackH, int thumbW, int thumbH, int pressedThumbW, int pressedThumbH,
                                         int margin) {
  SetGeometry(horizontal, frames, frameStep, trackX, trackY, trackW, trackH, thumbW, thumbH, pressedThumbW, pressedThumbH);
  margin_ = margin;
}

void CSkinRatchet::Scale(int numX, int numY, int den) {
  CSkinSlider::Scale(numX, numY, den);
  margin_ = ScaleBy(margin_, IsHorizontal() ? numX : numY, den);
}

LRESULT CSkinRatchet::SendMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg < SKM_MOUSEMOVE || msg > SKM_RELEASE) return CSkinSlider::SendMessage(window, msg, wParam, lParam);
  const int c = Along(lParam);
  if (msg == SKM_PRESS) {
    pressPoint_ = lastPoint_ = c;
    valueAtPress_ = value_;
    dragging_ = true;
    moved_ = false;
    return 0;
  }
  if (msg == SKM_RELEASE) {
    if (!moved_) Post(SKN_RELEASED, value_);
    lock_ = 0;
    dragging_ = moved_ = false;
    return 0;
  }
  if (value_ == kSkinNoValue || c == lastPoint_) return 0;
  const int d = c - lastPoint_;
  const int threshold = std::max(2, GetSystemMetrics(IsHorizontal() ? SM_CXSMICON : SM_CYSMICON) / 2);
  if (std::abs(d) <= threshold) return 0;
  const bool sameSign = (d > 0 && lock_ > 0) || (d < 0 && lock_ < 0);
  if (c < minimum_ + margin_) {
    if (minimum_ + margin_ <= pressPoint_ && lock_ != -1) lock_ = 1;
  } else if (c > maximum_ - margin_) {
    if (pressPoint_ <= maximum_ - margin_ && lock_ != 1) lock_ = -1;
  } else {
    pressPoint_ = (minimum_ + maximum_) / 2;
    if (!sameSign) lock_ = 0;
  }
  const bool reversed = lock_ != 0 && ((d > 0 && lock_ > 0) || (d < 0 && lock_ < 0));
  moved_ = true;
  // A picture without frames has only frame 0; the turn wraps in both directions.
  frame_ = frames_ > 0 ? ((frame_ + d / threshold) % frames_ + frames_) % frames_ : 0;
  tentativeFrame_ = frame_;
  Notify(SKN_DRAGGING, static_cast<WPARAM>(static_cast<DWORD>(((reversed ? -d : d) & 0xFFFF) | 0x10000)));
  lastPoint_ = c;
  Invalidate();
  return 1;
}
