// CSkinLabel: text set by the player (title, times, rates, animation frames), drawn glyph by
// glyph from an alpha font strip or with a GDI font. Text longer than the label scrolls as a
// marquee, by the timer or under the stylus, with a separator between repetitions.
#pragma once
#include <string>
#include <vector>

#include "skin/skin_element.h"

class CSkinLabel : public CSkinElement {
 public:
  explicit CSkinLabel(CSkin* owner) : CSkinElement(owner) {}
  ~CSkinLabel() override;
  void Draw(HWND window, HDC dc) override;
  void Scale(int numX, int numY, int den) override;
  LRESULT SendMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) override;
  void GetRect(RECT* rect) override { *rect = RECT{pos_.x, pos_.y, pos_.x + size_.cx, pos_.y + size_.cy}; }
  BOOL GetCachedValue() override { return FALSE; }  // drawn opaquely through its own copy
  void Activate() override { Notify(SKN_LABELTAPPED, 0); }

  virtual void SetValue(int value) { value_ = value; }
  virtual void SetFont(int id) { fontId_ = id; }
  virtual void SetBackground(int id) { backgroundId_ = id; }
  virtual void SetText(LPCWSTR text, BOOL onlyIfChanged);
  virtual int GetTextLength() { return textLength_; }
  virtual void ScrollStep();
  virtual void Tick();
  virtual void ResetScroll();
  virtual void SetSeparator(LPCWSTR text) { separator_ = text ? text : u""; }
  virtual LPCWSTR GetGlyphSet();

  // The label's box, the skin point under its top-left corner (for its background picture), its
  // alignment code and whether GDI text is drawn in the complement of the font's colour.
  void SetBox(int x, int y, int width, int height, int backgroundX, int backgroundY, int align, BOOL inverted);

  LPCWSTR Text() const { return text_; }
  int Alignment() const { return align_; }
  int FontId() const { return fontId_; }
  int ScrollOffset() const { return offset_; }
  bool ScrollNeeded() const { return scrollNeeded_; }
  // The glyph indices shown now, one per character of the text.
  const std::vector<int>& ShownGlyphs() const { return shown_; }

 private:
  bool UsesAlphaFont();
  int Angle();
  int LengthAlong() { return Angle() == 0 ? size_.cx : size_.cy; }
  int TextWidth(LPCWSTR text);
  int GlyphIndex(WCHAR c, bool upperCaseToo);
  HFONT MakeFont(HDC dc, bool* owned);
  void DrawAlpha(HDC dc);
  void DrawGdi(HDC dc);
  void DrawTurnedMarquee(HDC off, const RECT& rect);
  void FillBackground(HWND window, HDC off);
  LRESULT Stylus(UINT msg, LPARAM lParam);

  int pressedFrame_ = -1;
  int fontId_ = 0;
  int backgroundId_ = 0;
  bool scrollNeeded_ = false;
  BOOL inverted_ = FALSE;
  int step_ = 0;
  int glyphHeight_ = 0;
  int align_ = 0;
  POINT textOrigin_{};
  POINT backgroundPoint_{};
  SIZE size_{};
  POINT pos_{};
  std::vector<int> shown_, source_;
  int textLength_ = 0;
  HDC offDc_ = nullptr;
  HBITMAP offBitmap_ = nullptr;
  HGDIOBJ offOld_ = nullptr;
  int offset_ = 0;
  WCHAR text_[260] = {};
  std::u16string separator_ = u" *** ";
  int value_ = 0;
  bool dragging_ = false;
  int dragOrigin_ = 0;
};

// Draws text at (x, y) or aligned in rect by `align` (0: at the point; 1-8: horizontal part
// align % 3 and vertical part align / 3; 9: shrunk to fit when up to twice too wide, centred).
void DrawTextAligned(HDC dc, int x, int y, int align, UINT options, const RECT* rect, LPCWSTR text);
