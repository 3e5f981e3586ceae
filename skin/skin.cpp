// The skin model: element list and lookups, the stylus capture, painting and scaling. A press
// goes to the topmost element under it; while the stylus is held, sliding onto another element
// of the captured one's group moves the capture there (a row of buttons plays like a keyboard).
#include "skin/skin.h"

#include <algorithm>

#include "skin/skin_panel.h"
#include "skin/ui_cache.h"

CSkin::~CSkin() = default;

void CSkin::AddElement(CSkinElement* element, LONG tag) {
  if (!element) return;
  element->SetTag(tag);
  int group = -1;
  for (auto it = elements_.rbegin(); it != elements_.rend(); ++it) {
    if ((*it)->IsKind(SKIN_KIND_GROUP)) {
      group = static_cast<CSkinGroup*>(it->get())->GetGroupId();
      break;
    }
  }
  element->SetGroup(group);
  elements_.emplace_back(element);
  if (!animated_) {
    animated_ = FindElement(SKIN_KIND_LABEL, u"ANIMATION") || FindElement(SKIN_KIND_LABEL, u"ANIMATION1");
    if (!animated_ && element->IsKind(SKIN_KIND_GROUP)) {
      const int id = static_cast<CSkinGroup*>(element)->GetGroupId();
      animated_ = id > 0 && (id & 0x400);
    }
  }
}

CSkinElement* CSkin::FindElement(int kind, LPCWSTR name) const {
  for (const auto& e : elements_)
    if (e->IsKind(kind) && e->NameEquals(name)) return e.get();
  return nullptr;
}

bool CSkin::Contains(const CSkinElement* element) const {
  if (!element) return false;
  for (const auto& e : elements_) {
    if (e.get() == element) return true;
    if (e->IsKind(SKIN_KIND_PANEL)) {
      const CSkin* inner = static_cast<CSkinPanel*>(e.get())->Inner();
      if (inner && inner->Contains(element)) return true;
    }
  }
  return false;
}

CSkinElement* CSkin::FindElementByName(LPCWSTR name) const {
  for (const auto& e : elements_)
    if (e->NameEquals(name)) return e.get();
  return nullptr;
}

CSkinElement* CSkin::GetElementAt(int index) const {
  return index >= 0 && index < GetElementCount() ? elements_[index].get() : nullptr;
}

CSkinElement* CSkin::GetElementOfKind(int kind, int index) const {
  CSkinElement* e = GetElementAt(index);
  return e && e->IsKind(kind) ? e : nullptr;
}

BOOL CSkin::HasVisibleElement(LPCWSTR name) const {
  CSkinElement* e = FindElementByName(name);
  if (!e) return FALSE;
  RECT r;
  e->GetRect(&r);
  return r.right > r.left && r.bottom > r.top;
}

HBITMAP CSkin::GetBackgroundBitmap() const { return UICache::Get()->GetBitmap(backgroundId_); }

void CSkin::SetPragma(int index, int value) {
  if (index >= 1 && index <= 10) pragmas_[index] = value;
}

int CSkin::GetPragma(int index) const { return index >= 1 && index <= 10 ? pragmas_[index] : 0; }

POINT CSkin::WindowToSkin(POINT p) const {
  p.x -= viewOffset_.x;
  p.y -= viewOffset_.y;
  if (activePanel_) {
    RECT r;
    activePanel_->GetRect(&r);
    p.x -= r.left;
    p.y -= r.top;
  }
  return p;
}

void CSkin::SetViewportFor(HDC dc) const {
  POINT origin = viewOffset_;
  if (activePanel_) {
    RECT r;
    activePanel_->GetRect(&r);
    origin.x += r.left;
    origin.y += r.top;
  }
  SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
}

LRESULT CSkin::NotifyWindow(CSkinElement* element, UINT msg, WPARAM wParam, BOOL post) {
  if (post) {
    PostMessageW(window_, msg, wParam, reinterpret_cast<LPARAM>(element));
    return 0;
  }
  return ::SendMessageW(window_, msg, wParam, reinterpret_cast<LPARAM>(element));
}

LRESULT CSkin::Forward(UINT msg, WPARAM wParam, LPARAM lParam) {
  CSkinElement* e = GetElementAt(captured_);
  return e ? e->SendMessage(window_, msg, wParam, lParam) : 0;
}

void CSkin::MoveRule(UINT msg, WPARAM wParam, LPARAM lParam, POINT at) {
  CSkinElement* held = GetElementAt(captured_);
  if (!held) return;
  if (held->GetGroup() < 0 || held->HitTest(at.x, at.y)) {
    Forward(msg, wParam, lParam);
    return;
  }
  int found = -1;
  for (int i = 0; i < GetElementCount(); ++i) {
    CSkinElement* e = elements_[i].get();
    if (e->GetGroup() == held->GetGroup() && e->IsVisible() && e->HitTest(at.x, at.y)) found = i;
  }
  if (found < 0) {
    Forward(msg, wParam, lParam);
    return;
  }
  held->SendMessage(window_, SKM_RELEASE, wParam, lParam);
  captured_ = found;
  Forward(SKM_PRESS, wParam, lParam);
  Forward(SKM_MOUSEMOVE, wParam, lParam);
}

BOOL CSkin::HandleWindowMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, BOOL usePaintStruct) {
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP: {
      const POINT at = WindowToSkin(SkinPointOf(lParam));
      const LPARAM point = SkinPointParam(at.x, at.y);
      if (msg == WM_LBUTTONDOWN) {
        captured_ = -1;
        for (int i = GetElementCount() - 1; i >= 0; --i) {
          CSkinElement* e = elements_[i].get();
          if (e->IsVisible() && e->HitTest(at.x, at.y)) {
            captured_ = i;
            e->SendMessage(window_, SKM_PRESS, wParam, point);
            break;
          }
        }
        SetCapture(window);
        MoveRule(msg, wParam, point, at);
      } else if (msg == WM_MOUSEMOVE) {
        MoveRule(msg, wParam, point, at);
      } else {
        Forward(SKM_RELEASE, wParam, point);
        ReleaseCapture();
        captured_ = -1;
      }
      return TRUE;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = usePaintStruct ? BeginPaint(window, &ps) : GetDC(window);
      SetViewportFor(dc);
      PaintAll(window, dc);
      if (usePaintStruct) {
        EndPaint(window, &ps);
      } else {
        ReleaseDC(window, dc);
      }
      return TRUE;
    }
    case SKM_DRAWELEMENT:
      DrawElement(reinterpret_cast<CSkinElement*>(lParam));
      return TRUE;
    default:
      return FALSE;
  }
}

void CSkin::PaintBackground(HWND window, HDC dc, const RECT& rect) {
  UICache* cache = UICache::Get();
  HBITMAP bitmap = cache->GetBitmap(backgroundId_);
  BITMAP bm{};
  if (!bitmap || !GetObjectW(bitmap, sizeof bm, &bm) || bm.bmWidth < 2 || std::abs(bm.bmHeight) < 2) {
    ::SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    return;
  }
  HBITMAP mask = cache->GetMask(backgroundId_);
  HDC memory = CreateCompatibleDC(dc);
  if (!memory) return;
  HGDIOBJ old = SelectObject(memory, bitmap);
  const int w = rect.right - rect.left, h = rect.bottom - rect.top;
  if (mask && (activePanel_ || maskedBackground_)) {
    const int sx = rect.left + backgroundOrigin_.x, sy = rect.top + backgroundOrigin_.y;
    MaskBlt(dc, rect.left, rect.top, w, h, memory, sx, sy, mask, sx, sy, kSkinMaskRop);
  } else {
    BitBlt(dc, rect.left, rect.top, w, h, memory, rect.left, rect.top, SRCCOPY);
  }
  SelectObject(memory, old);
  DeleteDC(memory);
}

void CSkin::PaintAll(HWND window, HDC dc) {
  RECT client{};
  GetClientRect(window, &client);
  PaintBackground(window, dc, client);
  for (const auto& e : elements_)
    if (e->IsVisible()) e->Draw(window, dc);
}

void CSkin::ComposeRect(const RECT& rect, HWND window, HDC dc) {
  PaintBackground(window, dc, rect);
  for (const auto& e : elements_) {
    if (!e->IsVisible()) continue;
    RECT r, common;
    e->GetRect(&r);
    if (IntersectRect(&common, &r, &rect)) e->Draw(window, dc);
  }
}

void CSkin::DrawElement(CSkinElement* element) {
  if (!element || !element->IsVisible() || (activePanel_ && !activePanel_->IsVisible()) || suspended_) return;
  RECT rect;
  element->GetRect(&rect);
  if (GetPragma(8)) {
    RECT inWindow = rect;
    POINT origin = WindowToSkin(POINT{0, 0});
    OffsetRect(&inWindow, -origin.x, -origin.y);
    InvalidateRect(window_, &inWindow, FALSE);
    return;
  }
  HDC dc = GetDC(window_);
  if (!dc) return;
  SetViewportFor(dc);
  if (RectVisible(dc, &rect)) {
    if (excluded_ && excluded_ != element) {
      RECT cut;
      excluded_->GetRect(&cut);
      ExcludeClipRect(dc, cut.left, cut.top, cut.right, cut.bottom);
    }
    if (!element->GetCachedValue() && !GetPragma(9)) {
      element->Draw(window_, dc);
    } else {
      ComposeThroughOffscreen(rect, dc);
    }
  }
  ReleaseDC(window_, dc);
}

// The main window's off-screen bitmap, when it has one, takes the composition so that the
// background never shows alone on the screen; it carries the window DC's viewport.
void CSkin::ComposeThroughOffscreen(const RECT& rect, HDC dc) {
  HBITMAP shared = MainWindowOffscreenBitmap();
  HDC memory = shared ? CreateCompatibleDC(dc) : nullptr;
  if (!memory) {
    ComposeRect(rect, window_, dc);
    return;
  }
  HGDIOBJ old = SelectObject(memory, shared);
  POINT origin{};
  GetViewportOrgEx(dc, &origin);
  SetViewportOrgEx(memory, origin.x, origin.y, nullptr);
  ComposeRect(rect, window_, memory);
  BitBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, memory, rect.left, rect.top, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
}

HBITMAP& MainWindowOffscreenBitmap() {
  static HBITMAP bitmap = nullptr;
  return bitmap;
}

void CSkin::Rescale(BOOL rescaleCache, int numX, int numY, int den) {
  if (den == 0) return;
  if (rescaleCache) UICache::Get()->Rescale(numX, numY, den);
  backgroundOrigin_.x = static_cast<LONG>(int64_t{backgroundOrigin_.x} * numX / den);
  backgroundOrigin_.y = static_cast<LONG>(int64_t{backgroundOrigin_.y} * numY / den);
  for (const auto& e : elements_) e->Scale(numX, numY, den);
}
