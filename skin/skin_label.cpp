// Labels. Text is mapped to glyphs once when it is set (a character the font lacks becomes its
// capital, else a space); the marquee then only rotates glyph indices. Both kinds of font draw
// into the label's own copy of the skin under it, so a redraw never smears.
#include "skin/skin_label.h"

#include <algorithm>

#include "skin/skin.h"
#include "skin/skin_settings.h"
#include "skin/ui_cache.h"

namespace {
constexpr UINT kLength = SKM_GETLENGTH, kTextWidth = SKM_GETTEXTWIDTH, kGlyphSetCopy = 1241, kGlyphCount = 1242, kCharAt = 1243;
}

CSkinLabel::~CSkinLabel() {
  if (offDc_) {
    SelectObject(offDc_, offOld_);
    DeleteDC(offDc_);
  }
  if (offBitmap_) DeleteObject(offBitmap_);
}

void CSkinLabel::SetBox(int x, int y, int width, int height, int backgroundX, int backgroundY, int align, BOOL inverted) {
  pos_ = POINT{x, y};
  size_ = SIZE{width, height};
  backgroundPoint_ = POINT{backgroundX, backgroundY};
  align_ = align;
  inverted_ = inverted;
  region_.SetRect(RECT{x, y, x + width, y + height});
}

int CSkinLabel::Angle() { return UICache::Get()->GetFontAngle(fontId_); }

LPCWSTR CSkinLabel::GetGlyphSet() { return GetAlphaGlyphSet(UICache::Get()->GetGlyphSet(fontId_)); }

bool CSkinLabel::UsesAlphaFont() {
  UICache* cache = UICache::Get();
  const bool gdiAsked = value_ != 0 && ((GetOwner() && GetOwner()->GetPragma(6)) || CurrentSkinSettings().useGDIFont);
  return fontId_ > 0 && !cache->HasGdiFont(fontId_) && cache->GetAlphaFont(fontId_) && !gdiAsked;
}

int CSkinLabel::GlyphIndex(WCHAR c, bool upperCaseToo) {
  LPCWSTR set = GetGlyphSet();
  for (int pass = 0; pass < (upperCaseToo ? 2 : 1); ++pass) {
    for (int i = 0; set && set[i]; ++i)
      if (set[i] == c) return i;
    if (c < u'a' || c > u'z') break;
    c = static_cast<WCHAR>(c - u'a' + u'A');
  }
  return 0;
}

HFONT CSkinLabel::MakeFont(HDC dc, bool* owned) {
  *owned = false;
  UICache* cache = UICache::Get();
  if (cache->HasGdiFont(fontId_)) return cache->GetGdiFont(dc, fontId_);
  LOGFONTW lf{};
  GetObjectW(GetStockObject(SYSTEM_FONT), sizeof lf, &lf);
  const int angle = Angle();
  lf.lfHeight = angle == 0 ? size_.cy : size_.cx;
  lf.lfEscapement = lf.lfOrientation = ((360 - angle) * 10) % 3600;
  *owned = true;
  return CreateFontIndirectW(&lf);
}

int CSkinLabel::TextWidth(LPCWSTR text) {
  if (!text) return 0;
  if (UsesAlphaFont()) {
    const int* widths = UICache::Get()->GetGlyphWidths(fontId_);
    int sum = 0;
    for (int i = 0; text[i] && i < 259; ++i) sum += widths[GlyphIndex(text[i], true)];
    return sum;
  }
  HDC screen = GetDC(nullptr);
  bool owned = false;
  HFONT font = MakeFont(screen, &owned);
  HGDIOBJ old = SelectObject(screen, font);
  SIZE size{};
  GetTextExtentExPointW(screen, text, static_cast<int>(wcslen(text)), 0, nullptr, nullptr, &size);
  SelectObject(screen, old);
  if (owned) DeleteObject(font);
  ReleaseDC(nullptr, screen);
  return size.cx;
}

void CSkinLabel::SetText(LPCWSTR text, BOOL onlyIfChanged) {
  pressedFrame_ = -1;
  if (text) {
    if (onlyIfChanged && wcscmp(text, text_) == 0) return;
    int i = 0;
    for (; text[i] && i < 259; ++i) text_[i] = text[i];
    text_[i] = 0;
  }
  UICache* cache = UICache::Get();
  const int angle = Angle();
  if (step_ == 0) {
    if (cache->GetAlphaFont(fontId_)) step_ = cache->GetGlyphWidths(fontId_)[0];
    if (step_ <= 0) {
      HDC screen = GetDC(nullptr);
      bool owned = false;
      HFONT font = MakeFont(screen, &owned);
      HGDIOBJ old = SelectObject(screen, font);
      TEXTMETRICW tm{};
      GetTextMetricsW(screen, &tm);
      step_ = tm.tmAveCharWidth;
      SelectObject(screen, old);
      if (owned) DeleteObject(font);
      ReleaseDC(nullptr, screen);
    }
    if (step_ <= 0) step_ = (angle == 0 ? size_.cy : size_.cx) / 2;
    step_ = std::max(step_, 2);
  }
  scrollNeeded_ = LengthAlong() < TextWidth(text_);
  glyphHeight_ = cache->GetAlphaFontHeight(fontId_);
  if (angle == 0) {
    textOrigin_ = POINT{pos_.x, pos_.y + size_.cy / 2 - glyphHeight_ / 2};
  } else {
    textOrigin_ = POINT{pos_.x + size_.cx / 2 - glyphHeight_ / 2, angle == 270 ? pos_.y + size_.cy : pos_.y};
  }
  textLength_ = static_cast<int>(wcslen(text_));
  shown_.clear();
  source_.clear();
  for (int i = 0; i < textLength_; ++i) source_.push_back(GlyphIndex(text_[i], true));
  shown_ = source_;
  for (WCHAR c : separator_) source_.push_back(GlyphIndex(c, false));
  offset_ = 0;
  Invalidate();
}

void CSkinLabel::ScrollStep() {
  if (dragging_ || !scrollNeeded_ || (align_ == 9 && pressedFrame_ != 0) || source_.empty()) return;
  const int cycle = static_cast<int>(source_.size());
  offset_ = ((offset_ + 1) % cycle + cycle) % cycle;
  for (int i = 0; i < textLength_; ++i) shown_[i] = source_[(offset_ + i) % cycle];
}

void CSkinLabel::Tick() {
  if (dragging_ || !scrollNeeded_) return;
  ScrollStep();
  Invalidate();
}

void CSkinLabel::ResetScroll() {
  if (offset_ == 0) return;
  offset_ = 0;
  std::copy(source_.begin(), source_.begin() + textLength_, shown_.begin());
  Invalidate();
}

LRESULT CSkinLabel::Stylus(UINT msg, LPARAM lParam) {
  const POINT at = SkinPointOf(lParam);
  const int angle = Angle();
  const int c = angle == 0 ? at.x : at.y;
  if (msg == SKM_PRESS) {
    if (scrollNeeded_ && HitTest(at.x, at.y)) {
      dragging_ = true;
      dragOrigin_ = c;
    }
    return 0;
  }
  if (msg == SKM_RELEASE) {
    dragging_ = false;
    if (HitTest(at.x, at.y)) Activate();
    return 0;
  }
  if (!dragging_) return 0;
  // The text follows the stylus: dragging toward the start of the text moves it on.
  int distance = angle == 270 ? dragOrigin_ - c : c - dragOrigin_;
  const int before = offset_;
  const int cycle = static_cast<int>(source_.size());
  while (cycle > 0 && std::abs(distance) >= step_) {
    dragging_ = false;  // ScrollStep waits for no drag
    if (distance < 0) {
      ScrollStep();
      distance += step_;
    } else {
      offset_ = (offset_ - 1 + cycle) % cycle;
      for (int i = 0; i < textLength_; ++i) shown_[i] = source_[(offset_ + i) % cycle];
      distance -= step_;
    }
    dragging_ = true;
    dragOrigin_ = c;
  }
  if (offset_ != before) Invalidate();
  return offset_ != before;
}

LRESULT CSkinLabel::SendMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case SKM_MOUSEMOVE:
    case SKM_PRESS:
    case SKM_RELEASE:
      return Stylus(msg, lParam);
    case SKM_GETKIND:
      if (lParam) *reinterpret_cast<DWORD*>(lParam) = SKIN_KIND_LABEL;
      return 1;
    case SKM_SETTEXT:
      if (wParam) SetValue(*reinterpret_cast<const int*>(wParam));
      SetText(reinterpret_cast<LPCWSTR>(lParam), TRUE);
      return 0;
    case kLength:
      return LengthAlong();
    case kTextWidth:
      return TextWidth(reinterpret_cast<LPCWSTR>(lParam));
    case kGlyphSetCopy: {
      LPCWSTR set = GetGlyphSet();
      if (lParam && set) wcscpy(reinterpret_cast<LPWSTR>(lParam), set);
      return 1;
    }
    case kGlyphCount: {
      const int n = GetAlphaGlyphSetLength(UICache::Get()->GetGlyphSet(fontId_));
      const int* offsets = UICache::Get()->GetGlyphOffsets(fontId_);
      for (int i = 1; i < n; ++i)
        if (offsets[i] == offsets[i - 1]) return i;
      return n;
    }
    case kCharAt:
      return wParam < static_cast<WPARAM>(textLength_) ? text_[wParam] : 0;
    default:
      return RootMessage(window, msg, wParam, lParam);
  }
}

void CSkinLabel::FillBackground(HWND window, HDC off) {
  UICache* cache = UICache::Get();
  if (HBITMAP picture = cache->GetBitmap(backgroundId_)) {
    HDC source = CreateCompatibleDC(off);
    HGDIOBJ old = SelectObject(source, picture);
    BitBlt(off, pos_.x, pos_.y, size_.cx, size_.cy, source, backgroundPoint_.x, backgroundPoint_.y, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
    return;
  }
  // The skin under the label, composed without the label itself.
  RECT rect;
  GetRect(&rect);
  SetVisible(FALSE);
  GetOwner()->ComposeRect(rect, window, off);
  SetVisible(TRUE);
}

void CSkinLabel::DrawAlpha(HDC off) {
  UICache* cache = UICache::Get();
  HBITMAP strip = cache->GetBitmap(fontId_);
  HBITMAP mask = cache->GetMask(fontId_);
  const int* widths = cache->GetGlyphWidths(fontId_);
  const int* offsets = cache->GetGlyphOffsets(fontId_);
  const int angle = Angle(), h = glyphHeight_;
  HDC source = CreateCompatibleDC(off);
  HGDIOBJ old = SelectObject(source, strip);
  auto copy = [&](int x, int y, int w, int hh, int sx, int sy) {
    if (mask) {
      MaskBlt(off, x, y, w, hh, source, sx, sy, mask, sx, sy, kSkinMaskRop);
    } else {
      BitBlt(off, x, y, w, hh, source, sx, sy, SRCCOPY);
    }
  };
  POINT at = textOrigin_;
  for (int g : shown_) {
    const int o = offsets[g], w = widths[g];
    if (angle == 0) {
      copy(at.x, at.y, w, h, o, 0);
      at.x += w;
    } else if (angle == 90) {
      copy(at.x, at.y, h, w, 0, o);
      at.y += w;
    } else {
      at.y -= w;
      copy(at.x, at.y, h, w, 0, o - w + 1);
    }
  }
  SelectObject(source, old);
  DeleteDC(source);
}

void CSkinLabel::DrawGdi(HDC off) {
  bool owned = false;
  HFONT font = MakeFont(off, &owned);
  HGDIOBJ old = SelectObject(off, font);
  SetBkMode(off, TRANSPARENT);
  COLORREF colour = UICache::Get()->GetFontColour(fontId_);
  if (inverted_) colour = ~colour & 0xFFFFFF;
  SetTextColor(off, colour);
  RECT rect;
  GetRect(&rect);
  if (!scrollNeeded_) {
    DrawTextAligned(off, pos_.x, pos_.y, align_, ETO_CLIPPED, &rect, text_);
  } else if (Angle() != 0) {
    DrawTurnedMarquee(off, rect);
  } else {
    // The marquee: text, separator, text, moved back by the offset in character steps.
    const int down = align_ == 9 ? 1 : std::min(align_ / 3, 2);
    const int textWidth = TextWidth(text_), gap = TextWidth(separator_.c_str());
    const int cycle = (textWidth + gap + step_ - 1) / step_ * step_;
    const int x = pos_.x - (offset_ * step_) % std::max(cycle, 1);
    DrawTextAligned(off, x, pos_.y, 3 * down, ETO_CLIPPED, &rect, text_);
    DrawTextAligned(off, x + textWidth, pos_.y, 3 * down, ETO_CLIPPED, &rect, separator_.c_str());
    DrawTextAligned(off, x + cycle, pos_.y, 3 * down, ETO_CLIPPED, &rect, text_);
  }
  SelectObject(off, old);
  if (owned) DeleteObject(font);
}

// Turned text runs down (90) or up (270) the label: the marquee's pieces follow one another
// along that axis, and align mod 3 places them across it.
void CSkinLabel::DrawTurnedMarquee(HDC off, const RECT& rect) {
  const int textWidth = TextWidth(text_), gap = TextWidth(separator_.c_str());
  const int cycle = (textWidth + gap + step_ - 1) / step_ * step_;
  const int shift = (offset_ * step_) % std::max(cycle, 1);
  TEXTMETRICW tm{};
  GetTextMetricsW(off, &tm);
  const int across = align_ % 3, room = std::max(size_.cx - static_cast<int>(tm.tmHeight), 0);
  const int inset = across == 1 ? room / 2 : across == 2 ? room : 0;
  const bool down = Angle() == 90;
  // A downward text's top lies on the label's right; an upward one's on its left.
  const int x = down ? pos_.x + size_.cx - inset : pos_.x + inset;
  const int start = down ? pos_.y - shift : pos_.y + size_.cy + shift;
  const int sign = down ? 1 : -1;
  DrawTextAligned(off, x, start, 0, ETO_CLIPPED, &rect, text_);
  DrawTextAligned(off, x, start + sign * textWidth, 0, ETO_CLIPPED, &rect, separator_.c_str());
  DrawTextAligned(off, x, start + sign * cycle, 0, ETO_CLIPPED, &rect, text_);
}

void CSkinLabel::Draw(HWND window, HDC dc) {
  if (!GetOwner() || !IsVisible() || size_.cx <= 0 || size_.cy <= 0) return;
  if (!offDc_) {
    offDc_ = CreateCompatibleDC(dc);
    offBitmap_ = offDc_ ? CreateCompatibleBitmap(dc, size_.cx, size_.cy) : nullptr;
    if (!offBitmap_) {
      if (offDc_) DeleteDC(offDc_);
      offDc_ = nullptr;
      return;
    }
    offOld_ = SelectObject(offDc_, offBitmap_);
  }
  SetViewportOrgEx(offDc_, -pos_.x, -pos_.y, nullptr);
  FillBackground(window, offDc_);
  if (UsesAlphaFont()) {
    DrawAlpha(offDc_);
  } else {
    DrawGdi(offDc_);
  }
  SetViewportOrgEx(offDc_, 0, 0, nullptr);
  BitBlt(dc, pos_.x, pos_.y, size_.cx, size_.cy, offDc_, 0, 0, SRCCOPY);
}

void CSkinLabel::Scale(int numX, int numY, int den) {
  pos_ = POINT{ScaleBy(pos_.x, numX, den), ScaleBy(pos_.y, numY, den)};
  size_ = SIZE{ScaleBy(size_.cx, numX, den), ScaleBy(size_.cy, numY, den)};
  backgroundPoint_ = POINT{ScaleBy(backgroundPoint_.x, numX, den), ScaleBy(backgroundPoint_.y, numY, den)};
  region_.Scale(numX, numY, den);
  if (offDc_) {
    SelectObject(offDc_, offOld_);
    DeleteDC(offDc_);
    DeleteObject(offBitmap_);
    offDc_ = nullptr;
    offBitmap_ = nullptr;
  }
  step_ = 0;
  SetText(nullptr, FALSE);
}
