// Dialog units: a dialog's base units come from its font (the letters' average width and the
// line height); MapDialogRect turns dialog units into pixels with them, GetDialogBaseUnits
// gives those of the system font.
#include "gwes/control_state.h"
#include "gwes/ctl_common.h"
#include "gwes/dlg_state.h"

namespace zb::wm {

DialogState::~DialogState() {
  if (ownsFont && font) DeleteObject(font);
}

int DialogToPixels(int units, int base, int per) {
  // Rounded to the nearest pixel, halves away from zero, as the platform's MulDiv does.
  const int64_t product = static_cast<int64_t>(units) * base;
  return static_cast<int>(product >= 0 ? (product + per / 2) / per : -((-product + per / 2) / per));
}

std::shared_ptr<DialogState> DialogOf(HWND hwnd) { return StateOf<DialogState>(hwnd); }

void BaseUnitsOf(HFONT font, int* x, int* y) {
  static const char16_t kLetters[] = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, FontOr(font));
  SIZE size{0, 0};
  GetTextExtentPoint32W(dc, kLetters, 52, &size);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  *x = (size.cx / 26 + 1) / 2;
  *y = tm.tmHeight;
  if (*x <= 0) *x = 1;
  if (*y <= 0) *y = 1;
}

}  // namespace zb::wm

using namespace zb::wm;

extern "C" LONG GetDialogBaseUnits() {
  int x = 0, y = 0;
  BaseUnitsOf(nullptr, &x, &y);
  return MAKELONG(x, y);
}

extern "C" BOOL MapDialogRect(HWND dialog, LPRECT rect) {
  auto state = DialogOf(dialog);
  if (!state || !rect) {
    SetLastError(state ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  rect->left = DialogToPixels(rect->left, state->baseX, 4);
  rect->right = DialogToPixels(rect->right, state->baseX, 4);
  rect->top = DialogToPixels(rect->top, state->baseY, 8);
  rect->bottom = DialogToPixels(rect->bottom, state->baseY, 8);
  return TRUE;
}
