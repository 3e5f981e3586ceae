// DefDlgProcW, the dialog class's procedure: the dialog procedure sees each message first; when
// it answers FALSE the dialog does the default (the background, the focus across activation,
// the default button, WM_NEXTDLGCTL, closing as Cancel). A handled message answers the
// procedure's DWL_MSGRESULT, except the few whose answer is the procedure's own return value.
#include "gwes/control_state.h"
#include "gwes/dlg_state.h"

namespace zb::wm {
namespace {

// Messages whose answer is what the dialog procedure returns.
bool AnswersDirectly(UINT message) {
  switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG:
      return true;
    default:
      return false;
  }
}

bool IsPushButton(HWND control) {
  return control && (SendMessageW(control, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON));
}

// Shows which button Enter presses: `pushed` while a push button has the focus, else the
// dialog's default.
void MarkDefault(HWND dialog, const DialogState& d, HWND focus) {
  HWND shown = IsPushButton(focus) ? focus : GetDlgItem(dialog, d.defaultId ? d.defaultId : IDOK);
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    const LRESULT code = SendMessageW(c, WM_GETDLGCODE, 0, 0);
    if (c == shown && (code & DLGC_UNDEFPUSHBUTTON)) SendMessageW(c, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    if (c != shown && (code & DLGC_DEFPUSHBUTTON)) SendMessageW(c, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  }
}

HWND SavedFocus(HWND dialog, const DialogState& d) {
  if (d.focus && IsWindow(d.focus) && IsChild(dialog, d.focus) && IsWindowVisible(d.focus) && IsWindowEnabled(d.focus))
    return d.focus;
  return GetNextDlgTabItem(dialog, nullptr, FALSE);
}

LRESULT Default(HWND dialog, DialogState& d, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      auto brush = reinterpret_cast<HBRUSH>(SendMessageW(dialog, WM_CTLCOLORDLG, wParam, reinterpret_cast<LPARAM>(dialog)));
      if (!brush) brush = GetSysColorBrush(COLOR_STATIC);
      RECT client;
      GetClientRect(dialog, &client);
      FillRect(dc, &client, brush);
      return 1;
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) {
        if (HWND focus = SavedFocus(dialog, d)) DialogFocus(dialog, focus);
      } else {
        HWND focus = GetFocus();
        if (focus && IsChild(dialog, focus)) d.focus = focus;
      }
      return 0;
    case WM_SETFOCUS:
      if (HWND focus = SavedFocus(dialog, d)) DialogFocus(dialog, focus);
      return 0;
    case DM_SETDEFID:
      d.defaultId = static_cast<int>(wParam);
      MarkDefault(dialog, d, GetFocus());
      return TRUE;
    case DM_GETDEFID:
      return d.defaultId ? MAKELRESULT(d.defaultId, DC_HASDEFID) : 0;
    case WM_NEXTDLGCTL: {
      HWND next = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                                 : GetNextDlgTabItem(dialog, GetFocus(), wParam != 0 ? TRUE : FALSE);
      if (next && IsChild(dialog, next)) DialogFocus(dialog, next);
      return 0;
    }
    case WM_CLOSE: {
      HWND cancel = GetDlgItem(dialog, IDCANCEL);
      if (!cancel || IsWindowEnabled(cancel))
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
      return 0;
    }
    case WM_SETFONT:
      d.font = reinterpret_cast<HFONT>(wParam);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(d.font);
    default:
      return DefWindowProcW(dialog, message, wParam, lParam);
  }
}

}  // namespace

void DialogFocus(HWND dialog, HWND control) {
  if (!control) return;
  if (auto d = DialogOf(dialog)) {
    d->focus = control;
    MarkDefault(dialog, *d, control);
  }
  SetFocus(control);
  if (SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageW(control, EM_SETSEL, 0, -1);
}

}  // namespace zb::wm

using namespace zb::wm;

extern "C" LRESULT DefDlgProcW(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto proc = reinterpret_cast<DLGPROC>(GetWindowLongW(dialog, DWL_DLGPROC));
  auto d = DialogOf(dialog);
  if (proc) {
    SetWindowLongW(dialog, DWL_MSGRESULT, 0);
    const INT_PTR handled = proc(dialog, message, wParam, lParam);
    if (handled || !IsWindow(dialog)) {
      if (AnswersDirectly(message)) return handled;
      return IsWindow(dialog) ? GetWindowLongW(dialog, DWL_MSGRESULT) : 0;
    }
  }
  if (!d) return DefWindowProcW(dialog, message, wParam, lParam);
  return Default(dialog, *d, message, wParam, lParam);
}
