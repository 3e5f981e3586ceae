// The three button kinds. The stylus rules are shared: the press posts 1238 once, sliding out
// and back in only changes the look, and the release inside the region is the click.
#include "skin/skin_button.h"

#include <algorithm>

#include "skin/skin.h"
#include "skin/ui_cache.h"

void CSkinButton::SetBitmaps(int releasedId, int pressedId) {
  releasedId_ = releasedId;
  pressedId_ = pressedId;
}

void CSkinButton::SetGeometry(int destX, int destY, int width, int height, int releasedSrcX, int releasedSrcY,
                              int pressedSrcX, int pressedSrcY) {
  dest_ = POINT{destX, destY};
  size_ = SIZE{width, height};
  releasedSrc_ = POINT{releasedSrcX, releasedSrcY};
  pressedSrc_ = POINT{pressedSrcX, pressedSrcY};
}

void CSkinButton::GetRect(RECT* rect) { *rect = RECT{dest_.x, dest_.y, dest_.x + size_.cx, dest_.y + size_.cy}; }

void CSkinButton::DrawPicture(HDC dc, int id, POINT source) {
  if (GetOwner() && IsVisible()) DrawBitmap(dc, id, dest_.x, dest_.y, size_.cx, size_.cy, source.x, source.y);
}

void CSkinButton::Draw(HWND, HDC dc) {
  if (LooksPressed()) {
    DrawPicture(dc, pressedId_, pressedSrc_);
  } else {
    DrawPicture(dc, releasedId_, releasedSrc_);
  }
}

void CSkinButton::ScalePoint(POINT& p, int numX, int numY, int den) {
  p = POINT{ScaleBy(p.x, numX, den), ScaleBy(p.y, numY, den)};
}

void CSkinButton::Scale(int numX, int numY, int den) {
  ScalePoint(dest_, numX, numY, den);
  size_ = SIZE{ScaleBy(size_.cx, numX, den), ScaleBy(size_.cy, numY, den)};
  ScalePoint(releasedSrc_, numX, numY, den);
  ScalePoint(pressedSrc_, numX, numY, den);
  region_.Scale(numX, numY, den);
}

LRESULT CSkinButton::SendMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == SKM_GETKIND) {
    if (lParam) *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(Kind());
    return 1;
  }
  if (msg < SKM_MOUSEMOVE || msg > SKM_RELEASE) return RootMessage(window, msg, wParam, lParam);
  const POINT at = SkinPointOf(lParam);
  const bool inside = HitTest(at.x, at.y);
  const bool before = pressed_;
  if (msg == SKM_RELEASE) {
    held_ = false;
    pressed_ = false;
    if (inside) {
      Activate();
    } else {
      Cancel(FALSE);
    }
  } else if (msg == SKM_MOUSEMOVE) {
    pressed_ = inside;
  } else {
    held_ = true;
    pressed_ = true;
    if (!before) Notify(SKN_PRESSED, 0);
  }
  if (pressed_ != before) {
    Invalidate();
    return 1;
  }
  return RootMessage(window, msg, wParam, lParam);
}

void CSkinButton::Activate() { Notify(SKN_CLICKED, 0); }

BOOL CSkinButton::ComputeValue() {
  UICache* cache = UICache::Get();
  return cache->GetMask(releasedId_) || cache->GetMask(pressedId_);
}

void CSkinOnOffButton::SetBitmaps4(int offReleased, int offPressed, int onReleased, int onPressed) {
  ids_[kOffReleased] = offReleased;
  ids_[kOffPressed] = offPressed;
  ids_[kOnReleased] = onReleased;
  ids_[kOnPressed] = onPressed;
}

void CSkinOnOffButton::SetGeometry12(int destX, int destY, int width, int height, int offReleasedX, int offReleasedY,
                                     int offPressedX, int offPressedY, int onReleasedX, int onReleasedY,
                                     int onPressedX, int onPressedY) {
  dest_ = POINT{destX, destY};
  size_ = SIZE{width, height};
  sources_[kOffReleased] = POINT{offReleasedX, offReleasedY};
  sources_[kOffPressed] = POINT{offPressedX, offPressedY};
  sources_[kOnReleased] = POINT{onReleasedX, onReleasedY};
  sources_[kOnPressed] = POINT{onPressedX, onPressedY};
}

void CSkinOnOffButton::Draw(HWND, HDC dc) {
  const bool pressedLook = !setWhileHeld_ && LooksPressed();
  const int which = on_ ? (pressedLook ? kOnPressed : kOnReleased) : (pressedLook ? kOffPressed : kOffReleased);
  DrawPicture(dc, ids_[which], sources_[which]);
}

void CSkinOnOffButton::Scale(int numX, int numY, int den) {
  CSkinButton::Scale(numX, numY, den);
  for (POINT& p : sources_) ScalePoint(p, numX, numY, den);
}

void CSkinOnOffButton::Activate() {
  if (!setWhileHeld_) on_ = !on_;
  Notify(SKN_TOGGLED, on_ ? 1 : 0);
}

void CSkinOnOffButton::SetOn(BOOL flag) {
  // The player changed the state under a held stylus: the click that follows reports it as is.
  if (held_) {
    Invalidate();
    Sleep(17);
    setWhileHeld_ = true;
  }
  if (on_ != (flag != 0)) {
    on_ = flag != 0;
    Invalidate();
  }
}

BOOL CSkinOnOffButton::ComputeValue() {
  UICache* cache = UICache::Get();
  return std::any_of(std::begin(ids_), std::end(ids_), [cache](int id) { return cache->GetMask(id) != nullptr; });
}

CSkinCountButton::CSkinCountButton(CSkin* owner, int states)
    : CSkinButton(owner), states_(std::clamp(states, 0, kMaxStates)) {}

void CSkinCountButton::SetBitmaps(const int* ids) {
  if (ids) std::copy(ids, ids + 2 * states_, ids_);
}

void CSkinCountButton::SetGeometry4(int destX, int destY, int width, int height) {
  dest_ = POINT{destX, destY};
  size_ = SIZE{width, height};
}

void CSkinCountButton::SetSourcePoints(const POINT* points) {
  if (points) std::copy(points, points + 2 * states_, sources_);
}

BOOL CSkinCountButton::SetIndex(int index) {
  if (index < 0 || index >= states_) return FALSE;
  if (index != index_) {
    index_ = index;
    Invalidate();
  }
  return TRUE;
}

void CSkinCountButton::Draw(HWND, HDC dc) {
  if (states_ == 0) return;
  const int entry = 2 * index_ + (LooksPressed() ? 1 : 0);
  DrawPicture(dc, ids_[entry], sources_[entry]);
}

void CSkinCountButton::Scale(int numX, int numY, int den) {
  CSkinButton::Scale(numX, numY, den);
  for (POINT& p : sources_) ScalePoint(p, numX, numY, den);
}

BOOL CSkinCountButton::ComputeValue() {
  UICache* cache = UICache::Get();
  return std::any_of(ids_, ids_ + 2 * states_, [cache](int id) { return cache->GetMask(id) != nullptr; });
}

int RatingFrame(int rating, int frames) {
  const int frame = rating == 99 ? 5 : rating <= 0 ? 0 : rating / 25 + 1;
  return std::clamp(frame, 0, std::max(frames - 1, 0));
}
