// The dialog of standard controls kept as a golden rendering: its template, the icon and picture
// its labels show, the contents it is filled with, and how its owner-drawn button is drawn.
// The golden test draws it headless; the screen probe shows it through the presenter on X.
#pragma once
#include <windows.h>

#include "dialog_template.h"

namespace dtest::standard {

constexpr uint16_t kName = 100, kShuffle = 101, kAll = 102, kOne = 103, kGroup = 104, kApply = 105, kDrawn = 106,
                   kList = 107, kCombo = 108, kNotes = 109, kReadOnly = 110, kBar = 111, kLabel = 112, kIcon = 113,
                   kPicture = 114;

inline Template ControlsTemplate() {
  Template t = Template::Dialog(WS_POPUP, 0, 0, 120, 180, u"Controls", 16);
  t.Item(SS_LEFT, 4, 5, 28, 8, kLabel, kStatic, u"Name:");
  t.Item(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 34, 3, 82, 12, kName, kEdit, u"Zonbrel");
  t.Item(BS_GROUPBOX, 2, 18, 116, 40, kGroup, kButton, u"Playback");
  t.Item(BS_AUTOCHECKBOX | WS_TABSTOP, 8, 28, 100, 10, kShuffle, kButton, u"Shuffle");
  t.Item(BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 8, 38, 50, 10, kAll, kButton, u"Repeat all");
  t.Item(BS_AUTORADIOBUTTON, 60, 38, 54, 10, kOne, kButton, u"Repeat one");
  t.Item(BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP, 4, 62, 40, 14, kApply, kButton, u"Apply");
  t.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, 48, 62, 40, 14, IDOK, kButton, u"OK");
  t.Item(BS_OWNERDRAW, 92, 62, 24, 14, kDrawn, kButton, u"");
  t.Item(LBS_NOTIFY | WS_BORDER | WS_VSCROLL | WS_TABSTOP, 4, 80, 56, 36, kList, kListBox, u"");
  t.Item(CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 64, 80, 52, 60, kCombo, kComboBox, u"");
  t.Item(SS_ICON | SS_CENTERIMAGE, 64, 96, 24, 20, kIcon, kStatic, u"");
  t.Item(SS_BITMAP | SS_CENTERIMAGE, 88, 96, 28, 20, kPicture, kStatic, u"");
  t.Item(ES_MULTILINE | WS_BORDER | WS_VSCROLL | WS_TABSTOP, 4, 120, 112, 26, kNotes, kEdit, u"");
  t.Item(ES_READONLY | WS_BORDER, 4, 150, 112, 12, kReadOnly, kEdit, u"Read only");
  t.Item(SBS_HORZ, 4, 166, 112, 10, kBar, kScrollBar, u"");
  return t;
}

// The owner-drawn button is a plain blue face.
inline void DrawOwnerDrawn(const DRAWITEMSTRUCT& item) {
  HBRUSH blue = CreateSolidBrush(RGB(0, 90, 200));
  FillRect(item.hDC, &item.rcItem, blue);
  DeleteObject(blue);
}

// What the icon and picture labels show: a round icon whose corners let the dialog through,
// and a picture of three coloured bands.
struct Images {
  Images() {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    const int size = GetSystemMetrics(SM_CXICON);
    const RECT all{0, 0, size, size};
    HBITMAP mask = CreateBitmap(size, size, 1, 1, nullptr);
    HBITMAP colour = CreateCompatibleBitmap(screen, size, size);
    HGDIOBJ old = SelectObject(dc, mask);
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SelectObject(dc, GetStockObject(BLACK_BRUSH));
    Ellipse(dc, 2, 2, size - 2, size - 2);
    SelectObject(dc, colour);
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    HBRUSH disc = CreateSolidBrush(RGB(230, 140, 0));
    SelectObject(dc, disc);
    Ellipse(dc, 2, 2, size - 2, size - 2);
    ICONINFO info{TRUE, 0, 0, mask, colour};
    icon = CreateIconIndirect(&info);
    picture = CreateCompatibleBitmap(screen, 36, 24);
    SelectObject(dc, picture);
    const COLORREF bands[] = {RGB(200, 0, 0), RGB(0, 160, 0), RGB(0, 0, 200)};
    for (int i = 0; i < 3; ++i) {
      HBRUSH band = CreateSolidBrush(bands[i]);
      RECT r{i * 12, 0, i * 12 + 12, 24};
      FillRect(dc, &r, band);
      DeleteObject(band);
    }
    SelectObject(dc, old);
    DeleteObject(disc);
    DeleteObject(mask);  // the icon keeps copies of its halves
    DeleteObject(colour);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
  }
  ~Images() {
    DestroyIcon(icon);
    DeleteObject(picture);
  }
  Images(const Images&) = delete;
  Images& operator=(const Images&) = delete;
  HICON icon = nullptr;
  HBITMAP picture = nullptr;
};

// Places the dialog below the device's title strip and fills its controls; the Apply button
// has the focus. False when the images could not be made.
inline bool FillControls(HWND dialog, const Images& images) {
  if (!images.icon || !images.picture) return false;
  SetWindowPos(dialog, nullptr, 0, 26, 240, 294, SWP_NOZORDER | SWP_SHOWWINDOW);
  SendDlgItemMessageW(dialog, kShuffle, BM_SETCHECK, BST_CHECKED, 0);
  CheckRadioButton(dialog, kAll, kOne, kAll);
  for (const char16_t* genre : {u"Rock", u"Jazz", u"Pop", u"Blues", u"Folk"}) {
    SendDlgItemMessageW(dialog, kList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(genre));
  }
  SendDlgItemMessageW(dialog, kList, LB_SETCURSEL, 1, 0);
  for (const char16_t* level : {u"Low", u"High"}) {
    SendDlgItemMessageW(dialog, kCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(level));
  }
  SendDlgItemMessageW(dialog, kCombo, CB_SETCURSEL, 1, 0);
  SendDlgItemMessageW(dialog, kIcon, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(images.icon));
  SendDlgItemMessageW(dialog, kPicture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(images.picture));
  SetDlgItemTextW(dialog, kNotes, u"Line one\r\nLine two\r\nLine three");
  SCROLLINFO bar{sizeof bar, SIF_RANGE | SIF_POS | SIF_PAGE, 0, 100, 20, 30, 0};
  SetScrollInfo(GetDlgItem(dialog, kBar), SB_CTL, &bar, TRUE);
  SetFocus(GetDlgItem(dialog, kApply));
  return true;
}

}  // namespace dtest::standard
