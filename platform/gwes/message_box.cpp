// MessageBoxW: a scripted answer returns at once; otherwise a real window of our own drawing
// (caption bar, icon mark, word-wrapped text, a row of buttons) runs its own modal loop with
// the owner disabled, until a button is tapped or Enter (the default button) or Escape (Cancel,
// where there is one) is pressed. Either way the box is recorded for tests.
#include <algorithm>
#include <memory>

#include "gwes/gdi_host.h"
#include "gwes/message_box.h"
#include "gwes/message_box_record.h"
#include "gwes/wm_session.h"

namespace {

struct Button {
  int answer;
  const char16_t* label;
};

struct Kind {
  UINT type;
  Button buttons[3];
  int cancel;  // what Escape and closing answer, 0 when the box has no way out but a button
};

constexpr Kind kKinds[] = {
    {MB_OK, {{IDOK, u"OK"}}, IDOK},
    {MB_OKCANCEL, {{IDOK, u"OK"}, {IDCANCEL, u"Cancel"}}, IDCANCEL},
    {MB_ABORTRETRYIGNORE, {{IDABORT, u"Abort"}, {IDRETRY, u"Retry"}, {IDIGNORE, u"Ignore"}}, 0},
    {MB_YESNOCANCEL, {{IDYES, u"Yes"}, {IDNO, u"No"}, {IDCANCEL, u"Cancel"}}, IDCANCEL},
    {MB_YESNO, {{IDYES, u"Yes"}, {IDNO, u"No"}}, 0},
    {MB_RETRYCANCEL, {{IDRETRY, u"Retry"}, {IDCANCEL, u"Cancel"}}, IDCANCEL},
};

struct IconMark {
  UINT icon;
  const char16_t* mark;
  COLORREF colour;
};
constexpr IconMark kIcons[] = {
    {MB_ICONHAND, u"X", RGB(192, 0, 0)},
    {MB_ICONQUESTION, u"?", RGB(0, 0, 160)},
    {MB_ICONEXCLAMATION, u"!", RGB(192, 128, 0)},
    {MB_ICONASTERISK, u"i", RGB(0, 0, 160)},
};

constexpr int kCaption = 20, kMargin = 8, kButtonW = 60, kButtonH = 22, kGap = 6, kIconW = 24;
const char16_t kClass[] = u"ZbMessageBox";

struct Box {
  const Kind* kind;
  const IconMark* icon = nullptr;
  std::u16string text, caption;
  int defaultButton = 0;
  int answer = 0;
  int width = 0, height = 0, textHeight = 0;
  RECT buttons[3]{};
  int count = 0;
};

const Kind& KindOf(UINT type) {
  for (const Kind& k : kKinds) {
    if (k.type == (type & MB_TYPEMASK)) return k;
  }
  return kKinds[0];
}

void Shrink(RECT& r) {
  r.left += 1;
  r.top += 1;
  r.right -= 1;
  r.bottom -= 1;
}

void Fill(HDC hdc, RECT r, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(hdc, &r, brush);
  DeleteObject(brush);
}

void Paint(HWND hwnd, const Box& box) {
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(hwnd, &ps);
  if (!hdc) return;
  Fill(hdc, RECT{0, 0, box.width, box.height}, RGB(0, 0, 0));
  Fill(hdc, RECT{1, 1, box.width - 1, box.height - 1}, RGB(255, 255, 255));
  Fill(hdc, RECT{1, 1, box.width - 1, kCaption}, GetSysColor(COLOR_ACTIVECAPTION));
  SetBkMode(hdc, TRANSPARENT);
  SetTextColor(hdc, GetSysColor(COLOR_CAPTIONTEXT));
  RECT caption{kMargin, 1, box.width - kMargin, kCaption};
  DrawTextW(hdc, box.caption.c_str(), -1, &caption, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  int textLeft = kMargin;
  if (box.icon) {
    SetTextColor(hdc, box.icon->colour);
    RECT mark{kMargin, kCaption + kMargin, kMargin + kIconW, kCaption + kMargin + kIconW};
    DrawTextW(hdc, box.icon->mark, -1, &mark, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    textLeft += kIconW + kGap;
  }
  SetTextColor(hdc, RGB(0, 0, 0));
  RECT text{textLeft, kCaption + kMargin, box.width - kMargin, kCaption + kMargin + box.textHeight};
  DrawTextW(hdc, box.text.c_str(), -1, &text, DT_WORDBREAK | DT_NOPREFIX);
  for (int i = 0; i < box.count; ++i) {
    RECT b = box.buttons[i];
    Fill(hdc, b, RGB(0, 0, 0));
    Shrink(b);
    Fill(hdc, b, i == box.defaultButton ? RGB(224, 224, 224) : GetSysColor(COLOR_BTNFACE));
    DrawTextW(hdc, box.kind->buttons[i].label, -1, &b, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  }
  EndPaint(hwnd, &ps);
}

LRESULT CALLBACK BoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* box = reinterpret_cast<Box*>(GetWindowLongW(hwnd, GWL_USERDATA));
  if (message == WM_CREATE) {
    box = static_cast<Box*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongW(hwnd, GWL_USERDATA, reinterpret_cast<LONG_PTR>(box));
    return 0;
  }
  if (!box) return DefWindowProcW(hwnd, message, wParam, lParam);
  switch (message) {
    case WM_PAINT:
      Paint(hwnd, *box);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_LBUTTONUP: {
      POINT p{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
      for (int i = 0; i < box->count; ++i) {
        if (PtInRect(&box->buttons[i], p)) box->answer = box->kind->buttons[i].answer;
      }
      return 0;
    }
    case WM_KEYDOWN:
      if (wParam == VK_RETURN) box->answer = box->kind->buttons[box->defaultButton].answer;
      if (wParam == VK_ESCAPE && box->kind->cancel) box->answer = box->kind->cancel;
      return 0;
    case WM_CLOSE:
      if (box->kind->cancel) box->answer = box->kind->cancel;
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

void RegisterBoxClass() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = BoxProc;
  wc.lpszClassName = kClass;
  WNDCLASSW existing;
  if (!GetClassInfoW(nullptr, kClass, &existing)) RegisterClassW(&wc);
}

void Lay(Box& box) {
  zb::gdi::ScreenMode mode = zb::gdi::CurrentScreenMode();
  box.width = std::min(mode.width - 2 * kMargin, 224);
  const int textWidth = box.width - 2 * kMargin - (box.icon ? kIconW + kGap : 0);
  RECT measure{0, 0, textWidth, 0};
  HDC hdc = GetDC(nullptr);
  DrawTextW(hdc, box.text.c_str(), -1, &measure, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  ReleaseDC(nullptr, hdc);
  box.textHeight = std::max<int>(measure.bottom - measure.top, box.icon ? kIconW : 0);
  box.height = kCaption + kMargin + box.textHeight + kMargin + kButtonH + kMargin;
  box.count = 0;
  while (box.count < 3 && box.kind->buttons[box.count].label) ++box.count;
  const int row = box.count * kButtonW + (box.count - 1) * kGap;
  int x = (box.width - row) / 2;
  const int y = box.height - kMargin - kButtonH;
  for (int i = 0; i < box.count; ++i, x += kButtonW + kGap) box.buttons[i] = RECT{x, y, x + kButtonW, y + kButtonH};
}

int RunBox(HWND owner, Box& box) {
  RegisterBoxClass();
  Lay(box);
  zb::gdi::ScreenMode mode = zb::gdi::CurrentScreenMode();
  // The owner is out of reach before the box exists, so whoever finds the box finds it modal.
  const bool disabled = owner && EnableWindow(owner, FALSE) == FALSE;
  HWND hwnd = CreateWindowExW(WS_EX_TOPMOST, kClass, box.caption.c_str(), WS_POPUP, (mode.width - box.width) / 2,
                              (mode.height - box.height) / 2, box.width, box.height, owner, nullptr, nullptr, &box);
  if (!hwnd) {
    if (disabled) EnableWindow(owner, TRUE);
    return 0;
  }
  ShowWindow(hwnd, SW_SHOW);
  MSG msg;
  bool quit = false;
  int quitCode = 0;
  while (!box.answer && IsWindow(hwnd)) {
    BOOL r = GetMessageW(&msg, nullptr, 0, 0);
    if (r <= 0) {
      quit = r == 0;
      quitCode = static_cast<int>(msg.wParam);
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (disabled) EnableWindow(owner, TRUE);
  if (IsWindow(hwnd)) DestroyWindow(hwnd);
  if (quit) PostQuitMessage(quitCode);  // the loop that called us still has to see it
  if (!box.answer) box.answer = box.kind->cancel ? box.kind->cancel : box.kind->buttons[box.defaultButton].answer;
  return box.answer;
}

}  // namespace

namespace zb::wm {

bool MessageBoxButton(HWND hwnd, int answer, POINT* screen) {
  auto* box = reinterpret_cast<Box*>(GetWindowLongW(hwnd, GWL_USERDATA));
  if (!box || !screen || !LocalWindow(hwnd)) return false;
  for (int i = 0; i < box->count; ++i) {
    if (box->kind->buttons[i].answer != answer) continue;
    RECT r;
    GetWindowRect(hwnd, &r);
    *screen = POINT{r.left + (box->buttons[i].left + box->buttons[i].right) / 2,
                    r.top + (box->buttons[i].top + box->buttons[i].bottom) / 2};
    return true;
  }
  return false;
}

}  // namespace zb::wm

extern "C" int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
  std::u16string captionText = caption ? caption : u"Error";
  std::u16string body = text ? text : u"";
  int answer = 0;
  if (!zb::wm::TakeScriptedAnswer(captionText, &answer)) {
    Box box;
    box.kind = &KindOf(type);
    for (const IconMark& icon : kIcons) {
      if (icon.icon == (type & MB_ICONMASK)) box.icon = &icon;
    }
    box.text = body;
    box.caption = captionText;
    int count = 0;
    while (count < 3 && box.kind->buttons[count].label) ++count;
    box.defaultButton = std::min<int>(static_cast<int>((type & MB_DEFMASK) >> 8), count - 1);
    answer = RunBox(IsWindow(owner) ? owner : nullptr, box);
  }
  zb::wm::RecordShown(captionText, body, type, answer);
  return answer;
}
