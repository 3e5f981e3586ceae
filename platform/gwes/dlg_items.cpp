// A dialog's items by id: finding them, their text and numbers, check boxes and radio groups,
// and messages sent to them.
#include <cstdio>
#include <string>

#include "gwes/ctl_common.h"

extern "C" HWND GetDlgItem(HWND dialog, int id) {
  if (!IsWindow(dialog)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (static_cast<int>(GetWindowLongW(c, GWL_ID) & 0xFFFF) == (id & 0xFFFF)) return c;
  }
  SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
  return nullptr;
}

extern "C" int GetDlgCtrlID(HWND control) {
  if (!IsWindow(control)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return static_cast<int>(GetWindowLongW(control, GWL_ID));
}

extern "C" LRESULT SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND item = GetDlgItem(dialog, id);
  return item ? SendMessageW(item, message, wParam, lParam) : 0;
}

extern "C" BOOL SetDlgItemTextW(HWND dialog, int id, LPCWSTR text) {
  HWND item = GetDlgItem(dialog, id);
  return item ? SetWindowTextW(item, text) : FALSE;
}

extern "C" UINT GetDlgItemTextW(HWND dialog, int id, LPWSTR text, int maxCount) {
  if (text && maxCount > 0) text[0] = 0;
  HWND item = GetDlgItem(dialog, id);
  if (!item || !text || maxCount <= 0) return 0;
  return static_cast<UINT>(GetWindowTextW(item, text, maxCount));
}

extern "C" BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned) {
  char text[16];
  if (isSigned) {
    std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
  } else {
    std::snprintf(text, sizeof text, "%u", value);
  }
  std::u16string wide(text, text + std::char_traits<char>::length(text));
  return SetDlgItemTextW(dialog, id, wide.c_str());
}

extern "C" UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned) {
  if (translated) *translated = FALSE;
  HWND item = GetDlgItem(dialog, id);
  if (!item) return 0;
  std::u16string text = zb::wm::WindowText(item);
  size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
  bool negative = false;
  if (isSigned && i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
  int64_t value = 0;
  const size_t digits = i;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = value * 10 + (text[i] - u'0');
    if (value > 0xFFFFFFFFLL) return 0;  // too large: not translated
  }
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
  if (i == digits || i != text.size()) return 0;
  if (negative) value = -value;
  if (isSigned && (value > INT32_MAX || value < INT32_MIN)) return 0;
  if (translated) *translated = TRUE;
  return static_cast<UINT>(value);
}

extern "C" BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
  HWND item = GetDlgItem(dialog, id);
  if (!item) return FALSE;
  SendMessageW(item, BM_SETCHECK, check, 0);
  return TRUE;
}

extern "C" UINT IsDlgButtonChecked(HWND dialog, int id) {
  HWND item = GetDlgItem(dialog, id);
  return item ? static_cast<UINT>(SendMessageW(item, BM_GETCHECK, 0, 0)) : 0;
}

extern "C" BOOL CheckRadioButton(HWND dialog, int first, int last, int check) {
  bool found = false;
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    const int id = static_cast<int>(GetWindowLongW(c, GWL_ID));
    if (id < first || id > last) continue;
    SendMessageW(c, BM_SETCHECK, id == check ? BST_CHECKED : BST_UNCHECKED, 0);
    found = found || id == check;
  }
  return found ? TRUE : FALSE;
}
