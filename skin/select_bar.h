// The select bar: a custom-drawn bar of two soft-key buttons (window class "CeSelectBarClass")
// under a window's content. A button with a menu opens it above the bar; one without asks its
// parent for one (or sends it a command). Sizes follow the screen's pixels per inch.
#pragma once
#include <windows.h>

#include <string>

constexpr int kSelectBarMenuNotify = -4001;  // WM_NOTIFY code: a button needs a menu

// What the parent is told with kSelectBarMenuNotify: fill `menu`, answer non-zero to show it.
struct NMSELECTBARMENU {
  NMHDR hdr;
  int button;
  HMENU menu;
};

class CSelectBar {
 public:
  enum State { kNormal = 0, kPressed = 6, kMenuAfterRelease = 8, kMenuAtOnce = 9 };

  CSelectBar(HWND parent, DWORD style, HWND menuParent);
  virtual ~CSelectBar();
  CSelectBar(const CSelectBar&) = delete;
  CSelectBar& operator=(const CSelectBar&) = delete;

  // The bar's size: the parent's client width by (23 x dpi + 48) / 96; all zero when flag is 0.
  virtual SIZE GetBarSize(int flag);
  virtual SIZE GetBarSizeFor(int flag);

  void SetButton(int index, LPCWSTR text, HMENU menu, UINT iconResource);
  void SetButtonText(int index, LPCWSTR text, UINT iconResource);
  void SetGlyph(int index, WCHAR character);
  // As a tap at the centre of that button.
  void ClickButton(int index);

  HWND GetWindow() const { return window_; }
  int GetButtonState(int index) const { return index == 0 || index == 1 ? buttons_[index].state : 0; }
  int GetFocusedButton() const { return focused_; }
  HFONT GetFont() const { return font_; }

  // n pixels at 96 dpi on this screen.
  static int Scale(int pixels);

 private:
  struct Button {
    HICON firstIcon = nullptr;
    HICON secondIcon = nullptr;
    std::u16string firstText;
    std::u16string secondText;
    HMENU menu = nullptr;
    RECT arrowRect{};
    RECT buttonRect{};
    int state = kNormal;
  };

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  bool Active(int i) const;
  void Layout();
  void Tap(POINT p);
  void Release(POINT p);
  void OpenMenu(int i, int state);
  void Paint(HDC dc);
  void PaintButton(HDC dc, int i);
  void Repaint();

  Button buttons_[2];
  WCHAR glyphs_[32] = {};
  HFONT font_ = nullptr;
  HWND window_ = nullptr;
  int focused_ = -1;  // -1 none, or 0, 1
  bool hasFocus_ = false;
  HWND menuParent_ = nullptr;
};
