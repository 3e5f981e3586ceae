// Dialogs from templates: the dialog window with its font and dialog units, one child per
// template item (the predefined classes by their ordinals), WM_SETFONT to each, WM_INITDIALOG,
// and the focus on the first tab stop when the procedure asks for it. A modal run disables the
// owner, shows the dialog and takes its messages (through IsDialogMessageW) until EndDialog.
#include <algorithm>

#include "device/device.h"
#include "device/text.h"
#include "gwes/control_state.h"
#include "gwes/dialog_words.h"
#include "gwes/dlg_state.h"
#include "gwes/dlg_template.h"
#include "gwes/gdi_host.h"
#include "gwes/system_classes.h"

namespace zb::wm {
namespace {

HFONT TemplateFont(const DialogTemplate& t) {
  if (!t.hasFont || t.pointSize == 0x7FFF) return nullptr;  // 0x7FFF: the system's message font
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  LOGFONTW font{};
  font.lfHeight = -DialogToPixels(t.pointSize, dpi, 72);
  font.lfWeight = t.extended && t.weight ? t.weight : FW_NORMAL;
  font.lfItalic = t.extended ? t.italic : 0;
  font.lfCharSet = t.extended ? t.charset : DEFAULT_CHARSET;
  const size_t n = std::min<size_t>(t.face.size(), LF_FACESIZE - 1);
  std::copy_n(t.face.data(), n, font.lfFaceName);
  return CreateFontIndirectW(&font);
}

// Where a top-level dialog goes: its template position from the owner's client area (or the
// screen), centred with DS_CENTER, and kept on the screen.
RECT PlaceTopLevel(const DialogTemplate& t, HWND owner, int width, int height, const DialogState& d) {
  const gdi::ScreenMode screen = gdi::CurrentScreenMode();
  POINT origin{0, 0};
  if (owner && !(t.style & DS_ABSALIGN)) ClientToScreen(owner, &origin);
  int x = origin.x + DialogToPixels(t.x, d.baseX, 4);
  int y = origin.y + DialogToPixels(t.y, d.baseY, 8);
  if (t.style & DS_CENTER) {
    RECT area{0, 0, screen.width, screen.height};
    if (owner) GetWindowRect(owner, &area);
    x = (area.left + area.right - width) / 2;
    y = (area.top + area.bottom - height) / 2;
  }
  x = std::clamp(x, 0, std::max(screen.width - width, 0));
  y = std::clamp(y, 0, std::max(screen.height - height, 0));
  return RECT{x, y, x + width, y + height};
}

std::u16string ClassOf(const TemplateName& name) {
  if (!name.present) return u"";
  if (!name.ordinal) return name.text;
  const char16_t* predefined = PredefinedClassName(name.number);
  return predefined ? predefined : u"";
}

bool MakeItems(HWND dialog, HINSTANCE instance, const DialogTemplate& t, const DialogState& d) {
  for (const DialogItem& item : t.items) {
    const std::u16string klass = ClassOf(item.klass);
    std::u16string title;
    if (item.title.ordinal) {
      // Statics load their image from an ordinal title; nobody else shows it.
      if (klass == u"STATIC") title = std::u16string{char16_t(0xFFFF), char16_t(item.title.number)};
    } else {
      title = item.title.text;
    }
    const int x = DialogToPixels(item.x, d.baseX, 4), y = DialogToPixels(item.y, d.baseY, 8);
    const int w = DialogToPixels(item.x + item.cx, d.baseX, 4) - x, h = DialogToPixels(item.y + item.cy, d.baseY, 8) - y;
    HWND control = klass.empty() ? nullptr
                                 : CreateWindowExW(item.exStyle | WS_EX_NOPARENTNOTIFY, klass.c_str(), title.c_str(),
                                                   (item.style | WS_CHILD) & ~WS_POPUP, x, y, w, h, dialog,
                                                   reinterpret_cast<HMENU>(static_cast<uintptr_t>(item.id & 0xFFFF)),
                                                   instance, const_cast<BYTE*>(item.data));
    if (!control) {
      device::DebugLog("Dialog: no control of class \"" + ToUtf8(klass) + "\" for item " +
                       std::to_string(item.id) + "\r\n");
      if (!(t.style & DS_NOFAILCREATE)) return false;
      continue;
    }
    if (d.font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(d.font), FALSE);
  }
  return true;
}

// Shows a dialog. Its activation gives the focus back to the saved control; when it was active
// already (its procedure set the focus while it was hidden) the focus stays where it is, unless
// WM_INITDIALOG asked for the first tab stop and the focus is elsewhere.
void Reveal(HWND dialog, DialogState& d) {
  ShowWindow(dialog, SW_SHOWNORMAL);
  HWND focus = GetFocus();
  if (d.initFocus && d.focus && IsWindow(d.focus) && (!focus || !IsChild(dialog, focus))) DialogFocus(dialog, d.focus);
  UpdateWindow(dialog);
}

HWND MakeDialog(HINSTANCE instance, const DialogTemplate& t, HWND parent, DLGPROC proc, LPARAM param, bool modal) {
  auto d = std::make_shared<DialogState>();
  d->modal = modal;
  d->font = TemplateFont(t);
  d->ownsFont = d->font != nullptr;
  BaseUnitsOf(d->font, &d->baseX, &d->baseY);
  const int width = DialogToPixels(t.cx, d->baseX, 4), height = DialogToPixels(t.cy, d->baseY, 8);
  const bool child = (t.style & WS_CHILD) != 0;
  RECT at;
  if (child) {
    const int x = DialogToPixels(t.x, d->baseX, 4), y = DialogToPixels(t.y, d->baseY, 8);
    at = RECT{x, y, x + width, y + height};
  } else {
    at = PlaceTopLevel(t, parent, width, height, *d);
  }
  std::u16string klass = ClassOf(t.klass);
  if (klass.empty()) klass = kDialogClass;
  DWORD exStyle = t.exStyle;
  if (t.style & DS_CONTROL) exStyle |= WS_EX_CONTROLPARENT;
  HWND dialog = CreateWindowExW(exStyle, klass.c_str(), t.caption.c_str(), t.style & ~WS_VISIBLE, at.left, at.top,
                                at.right - at.left, at.bottom - at.top, parent, nullptr, instance, nullptr);
  if (!dialog) return nullptr;
  MarkDialogWindow(dialog);
  SetWindowLongW(dialog, DWL_DLGPROC, reinterpret_cast<LONG_PTR>(proc));
  SetControlState(dialog, StateKind<DialogState>(), d);
  if (d->font) SendMessageW(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(d->font), FALSE);
  if (!MakeItems(dialog, instance, t, *d)) {
    DestroyWindow(dialog);
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return nullptr;
  }
  for (const DialogItem& item : t.items) {
    if ((item.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON && ClassOf(item.klass) == u"BUTTON") {
      d->defaultId = static_cast<int>(item.id & 0xFFFF);
      break;
    }
  }
  HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE);
  if (SendMessageW(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param) && IsWindow(dialog)) {
    // The focus goes to the first tab stop when the dialog is shown (or now, inside a shown one).
    first = GetNextDlgTabItem(dialog, nullptr, FALSE);
    if (first) {
      d->focus = first;
      d->initFocus = true;
      if (IsWindowVisible(dialog) || (child && IsWindowVisible(parent))) DialogFocus(dialog, first);
    }
  }
  if (!IsWindow(dialog)) return nullptr;
  if ((t.style & WS_VISIBLE) && !d->ended) Reveal(dialog, *d);
  return dialog;
}

bool FindDialogTemplate(HINSTANCE instance, LPCWSTR name, DialogTemplate* out) {
  HRSRC found = FindResourceW(instance, name, RT_DIALOG);
  if (!found) return false;
  const void* bytes = LockResource(LoadResource(instance, found));
  if (!bytes || !ReadDialogTemplate(bytes, SizeofResource(instance, found), out)) {
    SetLastError(ERROR_INVALID_DATA);
    return false;
  }
  return true;
}

INT_PTR RunModal(HINSTANCE instance, const DialogTemplate& t, HWND parent, DLGPROC proc, LPARAM param) {
  // The owner is the top-level window of whatever was given.
  HWND owner = parent;
  while (owner && (GetWindowLongW(owner, GWL_STYLE) & WS_CHILD)) owner = GetParent(owner);
  HWND disabled = nullptr;
  if (owner && IsWindowEnabled(owner)) {
    EnableWindow(owner, FALSE);
    disabled = owner;
  }
  DialogTemplate shown = t;
  shown.style &= ~WS_VISIBLE;  // shown below, after the owner is out of the way
  HWND dialog = MakeDialog(instance, shown, owner, proc, param, true);
  auto d = dialog ? DialogOf(dialog) : nullptr;
  if (!d) {
    if (disabled) EnableWindow(disabled, TRUE);
    return -1;
  }
  d->disabledOwner = disabled;
  if (!d->ended) Reveal(dialog, *d);
  MSG msg;
  bool quit = false;
  int quitCode = 0;
  while (!d->ended && IsWindow(dialog)) {
    const BOOL r = GetMessageW(&msg, nullptr, 0, 0);
    if (r <= 0) {
      quit = r == 0;
      quitCode = static_cast<int>(msg.wParam);
      break;
    }
    if (!IsDialogMessageW(dialog, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  if (d->disabledOwner) {
    EnableWindow(d->disabledOwner, TRUE);
    d->disabledOwner = nullptr;
  }
  const INT_PTR result = d->ended ? d->result : 0;
  if (IsWindow(dialog)) DestroyWindow(dialog);
  if (quit) PostQuitMessage(quitCode);  // the loop that called us has to see it too
  return result;
}

}  // namespace
}  // namespace zb::wm

using namespace zb::wm;

extern "C" HWND CreateDialogIndirectParamW(HINSTANCE instance, LPCDLGTEMPLATE dlgTemplate, HWND parent, DLGPROC proc,
                                           LPARAM param) {
  DialogTemplate t;
  if (!ReadDialogTemplate(dlgTemplate, 0, &t)) {
    SetLastError(ERROR_INVALID_DATA);
    return nullptr;
  }
  return MakeDialog(instance, t, parent, proc, param, false);
}

extern "C" HWND CreateDialogParamW(HINSTANCE instance, LPCWSTR name, HWND parent, DLGPROC proc, LPARAM param) {
  DialogTemplate t;
  if (!FindDialogTemplate(instance, name, &t)) return nullptr;
  return MakeDialog(instance, t, parent, proc, param, false);
}

extern "C" INT_PTR DialogBoxIndirectParamW(HINSTANCE instance, LPCDLGTEMPLATE dlgTemplate, HWND parent, DLGPROC proc,
                                           LPARAM param) {
  DialogTemplate t;
  if (!ReadDialogTemplate(dlgTemplate, 0, &t)) {
    SetLastError(ERROR_INVALID_DATA);
    return -1;
  }
  return RunModal(instance, t, parent, proc, param);
}

extern "C" INT_PTR DialogBoxParamW(HINSTANCE instance, LPCWSTR name, HWND parent, DLGPROC proc, LPARAM param) {
  DialogTemplate t;
  if (!FindDialogTemplate(instance, name, &t)) return -1;
  return RunModal(instance, t, parent, proc, param);
}

extern "C" BOOL EndDialog(HWND dialog, INT_PTR result) {
  auto d = DialogOf(dialog);
  if (!d) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  d->ended = true;
  d->result = result;
  if (d->modal) {
    // The owner takes over before the dialog goes, so activation returns to it.
    if (d->disabledOwner) {
      EnableWindow(d->disabledOwner, TRUE);
      d->disabledOwner = nullptr;
    }
    ShowWindow(dialog, SW_HIDE);
    PostMessageW(dialog, WM_NULL, 0, 0);  // wakes the modal loop
  }
  return TRUE;
}
