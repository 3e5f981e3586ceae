// The select bar's window: two halves, each a button with a menu arrow at its outer end. A tap on
// the arrow opens the menu at once; a tap on the button presses it and the release opens it.
#include "skin/select_bar.h"

#include <commctrl.h>

#include <algorithm>

namespace {

constexpr WCHAR kClassName[] = u"CeSelectBarClass";
constexpr int kBarHeight = 23, kFontHeight = 11, kArrowWidth = 12, kMargin = 2;

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

// The toolbar's font (the system font when it has none), bold, at the bar's text height.
HFONT MakeBarFont(HWND parent) {
  HFONT base = nullptr;
  if (HWND probe = CreateWindowExW(0, TOOLBARCLASSNAMEW, u"", WS_CHILD, 0, 0, 0, 0, parent, nullptr, nullptr, nullptr)) {
    base = reinterpret_cast<HFONT>(SendMessageW(probe, WM_GETFONT, 0, 0));
    LOGFONTW lf{};
    const bool got = base && GetObjectW(base, sizeof lf, &lf);
    DestroyWindow(probe);
    if (!got) base = nullptr;
  }
  if (!base) base = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  LOGFONTW lf{};
  GetObjectW(base, sizeof lf, &lf);
  lf.lfWeight = FW_BOLD;
  lf.lfHeight = CSelectBar::Scale(kFontHeight);
  return CreateFontIndirectW(&lf);
}

bool Inside(const RECT& r, POINT p) { return PtInRect(&r, p) != 0; }

POINT Centre(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

}  // namespace

int CSelectBar::Scale(int pixels) { return (pixels * ScreenDpi() + 48) / 96; }

CSelectBar::CSelectBar(HWND parent, DWORD style, HWND menuParent) : menuParent_(menuParent ? menuParent : parent) {
  WNDCLASSW wc{};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = WindowProc;
  wc.cbWndExtra = 4;
  wc.hCursor = nullptr;
  wc.lpszClassName = kClassName;
  RegisterClassW(&wc);  // a second bar finds the class registered
  font_ = MakeBarFont(parent);
  RECT client{};
  GetClientRect(parent, &client);
  const int height = Scale(kBarHeight);
  window_ = CreateWindowExW(0, kClassName, u"", WS_CHILD | WS_VISIBLE | style, 0, client.bottom - height, client.right, height,
                            parent, nullptr, nullptr, this);
  Layout();
}

CSelectBar::~CSelectBar() {
  if (window_) {
    SetWindowLongW(window_, GWL_USERDATA, 0);
    DestroyWindow(window_);
  }
  for (Button& b : buttons_) {
    if (b.firstIcon) DestroyIcon(b.firstIcon);
    if (b.secondIcon) DestroyIcon(b.secondIcon);
  }
  if (font_) DeleteObject(font_);
}

SIZE CSelectBar::GetBarSize(int flag) {
  if (!flag) return SIZE{0, 0};
  RECT client{};
  GetClientRect(GetParent(window_), &client);
  return SIZE{client.right - client.left, Scale(kBarHeight)};
}

SIZE CSelectBar::GetBarSizeFor(int flag) { return GetBarSize(flag); }

void CSelectBar::SetButton(int index, LPCWSTR text, HMENU menu, UINT iconResource) {
  if (index != 0 && index != 1) return;
  Button& b = buttons_[index];
  if (b.secondIcon) DestroyIcon(b.secondIcon);
  b.secondIcon = iconResource ? LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconResource)) : nullptr;
  b.secondText = text ? text : u"";
  b.menu = menu;
  Repaint();
}

void CSelectBar::SetButtonText(int index, LPCWSTR text, UINT iconResource) {
  if (index != 0 && index != 1) return;
  Button& b = buttons_[index];
  b.firstText = text ? text : u"";
  if (HICON icon = iconResource ? LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconResource)) : nullptr) {
    if (b.firstIcon) DestroyIcon(b.firstIcon);
    b.firstIcon = icon;
  }
  Repaint();
}

void CSelectBar::SetGlyph(int index, WCHAR character) {
  if (index >= 0 && index < 32) glyphs_[index] = character;
}

void CSelectBar::ClickButton(int index) {
  if (index != 0 && index != 1) return;
  const POINT centre = Centre(buttons_[index].buttonRect);
  Tap(centre);
  Release(centre);
}

bool CSelectBar::Active(int i) const { return !buttons_[i].firstText.empty() || !buttons_[i].secondText.empty() || buttons_[i].menu; }

void CSelectBar::Layout() {
  RECT client{};
  if (window_) GetClientRect(window_, &client);
  const int half = client.right / 2, arrow = Scale(kArrowWidth);
  buttons_[0].buttonRect = RECT{0, 0, half, client.bottom};
  buttons_[1].buttonRect = RECT{half, 0, client.right, client.bottom};
  // The arrows sit at the bar's outer edges, where the menus open.
  buttons_[0].arrowRect = RECT{0, 0, arrow, client.bottom};
  buttons_[1].arrowRect = RECT{client.right - arrow, 0, client.right, client.bottom};
}

void CSelectBar::Tap(POINT p) {
  for (int i = 0; i < 2; ++i) {
    if (!Active(i)) continue;
    if (Inside(buttons_[i].arrowRect, p)) {
      OpenMenu(i, kMenuAtOnce);
    } else if (Inside(buttons_[i].buttonRect, p)) {
      buttons_[i].state = kPressed;
      Repaint();
    }
  }
}

void CSelectBar::Release(POINT p) {
  for (int i = 0; i < 2; ++i) {
    if (!Active(i)) continue;
    if (buttons_[i].state == kPressed && Inside(buttons_[i].buttonRect, p)) {
      OpenMenu(i, kMenuAfterRelease);
    } else if (buttons_[i].state != kNormal) {
      buttons_[i].state = kNormal;
      Repaint();
    }
  }
  focused_ = -1;
  Repaint();
}

void CSelectBar::OpenMenu(int i, int state) {
  Button& b = buttons_[i];
  b.state = state;
  Repaint();
  HMENU menu = b.menu;
  bool made = false;
  HWND parent = GetParent(window_);
  if (!menu) {
    menu = CreatePopupMenu();
    made = true;
    NMSELECTBARMENU n{};
    n.hdr.hwndFrom = window_;
    n.hdr.idFrom = static_cast<UINT_PTR>(GetWindowLongW(window_, GWL_ID));
    n.hdr.code = static_cast<UINT>(kSelectBarMenuNotify);
    n.button = i;
    n.menu = menu;
    if (!SendMessageW(parent, WM_NOTIFY, n.hdr.idFrom, reinterpret_cast<LPARAM>(&n))) {
      if (menu) DestroyMenu(menu);
      menu = nullptr;
      SendMessageW(parent, WM_COMMAND, n.hdr.idFrom, reinterpret_cast<LPARAM>(window_));
    }
  }
  if (menu) {
    RECT bar{};
    GetWindowRect(window_, &bar);
    const UINT align = i == 0 ? TPM_LEFTALIGN : TPM_RIGHTALIGN;
    TrackPopupMenu(menu, align | TPM_BOTTOMALIGN, i == 0 ? bar.left : bar.right, bar.top, 0, menuParent_, nullptr);
    if (made) DestroyMenu(menu);
  }
  b.state = kNormal;
  Repaint();
}

void CSelectBar::Repaint() {
  if (window_) InvalidateRect(window_, nullptr, TRUE);
}

void CSelectBar::PaintButton(HDC dc, int i) {
  const Button& b = buttons_[i];
  const bool inverted = b.state != kNormal;
  const COLORREF face = GetSysColor(COLOR_BTNFACE), text = GetSysColor(COLOR_BTNTEXT);
  HBRUSH fill = CreateSolidBrush(inverted ? text : face);
  FillRect(dc, &b.buttonRect, fill);
  DeleteObject(fill);
  HPEN frame = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
  HGDIOBJ oldPen = SelectObject(dc, frame), oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  Rectangle(dc, b.buttonRect.left, b.buttonRect.top, b.buttonRect.right, b.buttonRect.bottom);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(frame);
  if (hasFocus_ && focused_ == i) {
    RECT mark = b.buttonRect;
    InflateRect(&mark, -kMargin, -kMargin);
    DrawFocusRect(dc, &mark);
  }
  if (!Active(i)) return;
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, inverted ? face : text);
  RECT label = b.buttonRect;
  if (i == 0) label.left = b.arrowRect.right;
  if (i == 1) label.right = b.arrowRect.left;
  if (HICON icon = b.firstIcon ? b.firstIcon : b.secondIcon) {
    const int size = Scale(16);
    DrawIconEx(dc, label.left + kMargin, (label.top + label.bottom - size) / 2, icon, size, size, 0, nullptr, DI_NORMAL);
    label.left += size + 2 * kMargin;
  }
  const std::u16string& caption = b.firstText.empty() ? b.secondText : b.firstText;
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &label, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  // The menu side: the button's glyph, or a small arrow pointing up at the menu.
  const RECT& a = b.arrowRect;
  if (glyphs_[i]) {
    RECT g = a;
    DrawTextW(dc, &glyphs_[i], 1, &g, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    return;
  }
  const POINT c = Centre(a);
  const int h = std::max(2, Scale(3));
  const POINT arrow[] = {{c.x - h, c.y + h / 2}, {c.x + h, c.y + h / 2}, {c.x, c.y - h / 2 - 1}};
  HBRUSH ink = CreateSolidBrush(inverted ? face : text);
  oldBrush = SelectObject(dc, ink);
  oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
  Polygon(dc, arrow, 3);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(ink);
}

void CSelectBar::Paint(HDC dc) {
  HGDIOBJ old = SelectObject(dc, font_);
  for (int i = 0; i < 2; ++i) PaintButton(dc, i);
  SelectObject(dc, old);
}

LRESULT CSelectBar::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  const POINT at{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
  switch (message) {
    case WM_SIZE:
      Layout();
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window_, &ps);
      Paint(dc);
      EndPaint(window_, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_LBUTTONDOWN:
      Tap(at);
      return 0;
    case WM_LBUTTONUP:
      Release(at);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      hasFocus_ = message == WM_SETFOCUS;
      Repaint();
      return 0;
    case WM_GETDLGCODE: {
      const MSG* m = reinterpret_cast<const MSG*>(lParam);
      if (m && m->message == WM_KEYDOWN) {
        if ((m->wParam == VK_LEFT || m->wParam == VK_UP) && focused_ == 0) return 0;
        if ((m->wParam == VK_RIGHT || m->wParam == VK_DOWN) && focused_ == 1) return 0;
      }
      return DLGC_WANTARROWS | (m && m->wParam == VK_RETURN ? DLGC_WANTMESSAGE : 0);
    }
    case WM_KEYDOWN:
      if (wParam == VK_LEFT || wParam == VK_UP) focused_ = 0;
      if (wParam == VK_RIGHT || wParam == VK_DOWN) focused_ = 1;
      if (wParam == VK_RETURN && (focused_ == 0 || focused_ == 1)) {
        const int f = focused_;
        const POINT centre = Centre(buttons_[f].buttonRect);
        Tap(centre);
        Release(centre);
        focused_ = f;
      }
      Repaint();
      return 0;
    default:
      return DefWindowProcW(window_, message, wParam, lParam);
  }
}

LRESULT CALLBACK CSelectBar::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) {
    auto* bar = static_cast<CSelectBar*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongW(window, GWL_USERDATA, reinterpret_cast<LONG_PTR>(bar));
    bar->window_ = window;
  }
  auto* bar = reinterpret_cast<CSelectBar*>(GetWindowLongW(window, GWL_USERDATA));
  return bar ? bar->Handle(message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}
