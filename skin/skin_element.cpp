// The root element: its messages, its name, and the masked picture copy every kind draws with.
#include "skin/skin_element.h"

#include "skin/skin.h"
#include "skin/ui_cache.h"

BOOL CSkinElement::GetCachedValue() {
  if (cachedValue_ == -1) cachedValue_ = ComputeValue() ? 1 : 0;
  return cachedValue_;
}

LRESULT CSkinElement::SendMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  return RootMessage(window, msg, wParam, lParam);
}

LRESULT CSkinElement::RootMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case SKM_SETSTATE:
      state_ = static_cast<int>(wParam);
      Invalidate();
      return 0;
    case SKM_ISELEMENT:
      return 1;
    case SKM_ACTIVATE:
      Activate();
      return 0;
    case SKM_GETREGIONBOUNDS:
      if (lParam) GetRegionBounds(reinterpret_cast<RECT*>(lParam));
      return 0;
    case SKM_GETRECT:
      if (lParam) GetRect(reinterpret_cast<RECT*>(lParam));
      return 0;
    default:
      return 0;
  }
}

void CSkinElement::Invalidate() {
  if (owner_ && IsVisible()) owner_->DrawElement(this);
}

void CSkinElement::SetName(LPCWSTR name) {
  int i = 0;
  for (; name && name[i] && i < 259; ++i) name_[i] = name[i];
  name_[i] = 0;
}

bool CSkinElement::IsKind(int kind) {
  DWORD answer = 0;
  return SendMessage(nullptr, SKM_GETKIND, 0, reinterpret_cast<LPARAM>(&answer)) && static_cast<int>(answer) == kind;
}

bool CSkinElement::NameEquals(LPCWSTR text) const { return text && wcscmp(name_, text) == 0; }

void CSkinElement::GetName(LPWSTR buffer, int size) const {
  if (!buffer || size <= 0) return;
  int i = 0;
  for (; name_[i] && i < size - 1; ++i) buffer[i] = name_[i];
  buffer[i] = 0;
}

void CSkinElement::DrawBitmap(HDC dc, int bitmapId, int x, int y, int w, int h, int srcX, int srcY) {
  UICache* cache = UICache::Get();
  HBITMAP bitmap = cache->GetBitmap(bitmapId);
  if (!bitmap) return;
  HDC memory = CreateCompatibleDC(dc);
  if (!memory) return;
  HGDIOBJ old = SelectObject(memory, bitmap);
  if (HBITMAP mask = cache->GetMask(bitmapId)) {
    MaskBlt(dc, x, y, w, h, memory, srcX, srcY, mask, srcX, srcY, kSkinMaskRop);
  } else {
    BitBlt(dc, x, y, w, h, memory, srcX, srcY, SRCCOPY);
  }
  SelectObject(memory, old);
  DeleteDC(memory);
}

LRESULT CSkinElement::Notify(UINT msg, WPARAM wParam, bool post) {
  return owner_ ? owner_->NotifyWindow(this, msg, wParam, post) : 0;
}

LRESULT CSkinGroup::SendMessage(HWND, UINT msg, WPARAM, LPARAM lParam) {
  if (msg != SKM_GETKIND) return 0;
  if (lParam) *reinterpret_cast<DWORD*>(lParam) = SKIN_KIND_GROUP;
  return 1;
}
