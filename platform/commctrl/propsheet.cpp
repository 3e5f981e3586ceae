// PropertySheetW: the device's property sheet. One full-screen dialog whose title and "ok" box
// the navigation bar shows (or, without one, a title strip of the sheet's own), the pages in the
// middle and their tabs along the bottom (no tabs for a single page). Pages are modeless child dialogs made the first time they are shown
// and kept, hidden, until the sheet ends. The sheet talks to its pages with PSN_* notifications:
// leaving a page asks PSN_KILLACTIVE (non-zero keeps it), entering one tells PSN_SETACTIVE (a
// negative answer refuses it); OK asks the current page PSN_KILLACTIVE and then every page that
// has a window PSN_APPLY; Cancel asks the current page PSN_QUERYCANCEL and then tells every page
// PSN_RESET. Commands and notifications the sheet does not use itself (a soft-key menu's, say)
// go on to the current page.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "commctrl/propsheet_pages.h"
#include "gwes/ctl_common.h"
#include "gwes/dlg_state.h"

namespace zb::cc {
namespace {

constexpr int kTabsId = 0x3020;

struct Sheet {
  PROPSHEETHEADERW header{};
  std::vector<_PSP*> initial;  // the header's pages, until the sheet starts
  std::vector<_PSP*> pages;    // the sheet's records: it destroys them when it ends
  std::vector<HWND> windows;
  std::vector<HWND> focus;     // the control that last had the focus on each page
  int current = -1;
  HWND tabs = nullptr;
  std::u16string title;
  bool modeless = false;
  bool strip = true;  // the sheet shows its own title and OK: there is no navigation bar to show them
  bool ownedByWindow = false;  // a modeless sheet's record ends with its window
};

Sheet* SheetOf(HWND sheet) { return reinterpret_cast<Sheet*>(GetWindowLongW(sheet, DWL_USER)); }

std::u16string TextOf(HINSTANCE instance, LPCWSTR text) {
  if (!text) return u"";
  if (!IS_INTRESOURCE(text)) return text;
  const WCHAR* found = nullptr;
  const int n = LoadStringW(instance, static_cast<UINT>(reinterpret_cast<uintptr_t>(text)),
                            reinterpret_cast<LPWSTR>(&found), 0);
  return n > 0 && found ? std::u16string(found, static_cast<size_t>(n)) : std::u16string();
}

int Callback(const Sheet& s, HWND sheet, UINT message, LPARAM lParam) {
  if (!(s.header.dwFlags & PSH_USECALLBACK) || !s.header.pfnCallback) return 0;
  return s.header.pfnCallback(sheet, message, lParam);
}

LRESULT Notify(HWND sheet, HWND page, UINT code, LPARAM lParam = 0) {
  if (!page || !IsWindow(page)) return 0;
  PSHNOTIFY n{};
  n.hdr.hwndFrom = sheet;
  n.hdr.idFrom = 0;
  n.hdr.code = code;
  n.lParam = lParam;
  return SendMessageW(page, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&n));
}

HWND PageWindow(const Sheet& s, int index) {
  return index >= 0 && index < static_cast<int>(s.windows.size()) ? s.windows[index] : nullptr;
}

// The area the pages fill: below the title strip, above the tabs.
int StripHeight(const Sheet& s) { return s.strip ? zb::wm::TitleStripHeight() : 0; }

RECT PageArea(HWND sheet, const Sheet& s) {
  RECT client;
  GetClientRect(sheet, &client);
  RECT area{client.left, client.top + StripHeight(s), client.right, client.bottom};
  // The tabs' own style decides: the sheet itself is still hidden while it starts.
  if (s.tabs && (GetWindowLongW(s.tabs, GWL_STYLE) & WS_VISIBLE)) SendMessageW(s.tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  return area;
}

void Layout(HWND sheet, Sheet& s) {
  RECT client;
  GetClientRect(sheet, &client);
  const int top = client.top + StripHeight(s);
  if (s.tabs) SetWindowPos(s.tabs, nullptr, client.left, top, client.right - client.left, client.bottom - top, SWP_NOZORDER | SWP_NOACTIVATE);
  const RECT area = PageArea(sheet, s);
  for (HWND page : s.windows) {
    if (page) {
      SetWindowPos(page, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
}

void ShowTabs(Sheet& s) {
  if (s.tabs) ShowWindow(s.tabs, s.pages.size() > 1 ? SW_SHOWNA : SW_HIDE);
}

HWND MakePage(HWND sheet, Sheet& s, int index) {
  if (HWND page = PageWindow(s, index)) return page;
  HWND page = CreatePageWindow(sheet, *s.pages[index]);
  if (!page) return nullptr;
  s.windows[index] = page;
  const RECT area = PageArea(sheet, s);
  // Above the tab control, which lies under the whole page area.
  SetWindowPos(page, HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top, SWP_NOACTIVATE);
  return page;
}

void FocusPage(HWND sheet, const Sheet& s, int index) {
  HWND page = PageWindow(s, index);
  HWND target = s.focus[index];
  if (!target || !IsWindow(target) || !IsChild(page, target)) target = GetNextDlgTabItem(page, nullptr, FALSE);
  if (!target) return;
  if (IsWindowVisible(sheet)) {
    zb::wm::DialogFocus(sheet, target);
  } else if (auto d = zb::wm::DialogOf(sheet)) {
    d->focus = target;  // taken when the sheet is shown
  }
}

bool AskToLeave(HWND sheet, Sheet& s) {
  HWND old = PageWindow(s, s.current);
  if (!old) return true;
  if (Notify(sheet, old, PSN_KILLACTIVE)) return false;
  HWND focus = GetFocus();
  if (focus && IsChild(old, focus)) s.focus[s.current] = focus;
  return true;
}

// Makes page `index` current, asking the old one to let go first unless `asked`. False when the
// old page stays (it refused, or the new one could not be made or refused to be entered).
bool Select(HWND sheet, Sheet& s, int index, bool asked) {
  if (index < 0 || index >= static_cast<int>(s.pages.size())) return false;
  const int old = s.current;
  if (index == old) return true;
  if (!asked && !AskToLeave(sheet, s)) return false;
  HWND page = MakePage(sheet, s, index);
  const LRESULT answer = page ? Notify(sheet, page, PSN_SETACTIVE) : -1;
  if (answer < 0) {
    if (HWND back = PageWindow(s, old)) Notify(sheet, back, PSN_SETACTIVE);
    if (s.tabs && old >= 0) SendMessageW(s.tabs, TCM_SETCURSEL, static_cast<WPARAM>(old), 0);
    return false;
  }
  s.current = index;
  if (s.tabs && SendMessageW(s.tabs, TCM_GETCURSEL, 0, 0) != index) SendMessageW(s.tabs, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
  SetWindowPos(page, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  if (HWND previous = PageWindow(s, old)) ShowWindow(previous, SW_HIDE);
  FocusPage(sheet, s, index);
  return true;
}

std::u16string TabTitle(const Sheet& s, int index) {
  std::u16string title = PageTitle(s.pages[index]->page);
  return title.empty() ? u"Page " + std::u16string(1, static_cast<char16_t>(u'1' + index)) : title;
}

void InsertTab(Sheet& s, int index) {
  if (!s.tabs) return;
  std::u16string title = TabTitle(s, index);
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = title.data();
  SendMessageW(s.tabs, TCM_INSERTITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

void AddPage(Sheet& s, _PSP* record) {
  s.pages.push_back(record);
  s.windows.push_back(nullptr);
  s.focus.push_back(nullptr);
  InsertTab(s, static_cast<int>(s.pages.size()) - 1);
  ShowTabs(s);
}

void EndSheet(HWND sheet, Sheet& s, INT_PTR result) {
  if (s.modeless) {
    s.current = -1;  // PSM_GETCURRENTPAGEHWND now answers none: the owner destroys the sheet
    ShowWindow(sheet, SW_HIDE);
    return;
  }
  EndDialog(sheet, result);
}

// Apply: PSN_KILLACTIVE to the current page, then PSN_APPLY to every page that has a window.
bool Apply(HWND sheet, Sheet& s, bool closing) {
  if (HWND current = PageWindow(s, s.current); current && Notify(sheet, current, PSN_KILLACTIVE)) return false;
  for (int i = 0; i < static_cast<int>(s.windows.size()); ++i) {
    HWND page = s.windows[i];
    if (!page) continue;
    switch (Notify(sheet, page, PSN_APPLY, closing ? TRUE : FALSE)) {
      case PSNRET_INVALID:
        Select(sheet, s, i, true);  // the page that refused comes to the front
        return false;
      case PSNRET_INVALID_NOCHANGEPAGE:
        return false;  // the current page stays
      default:
        break;
    }
  }
  return true;
}

void Ok(HWND sheet, Sheet& s) {
  if (Apply(sheet, s, true)) EndSheet(sheet, s, 1);
}

void Cancel(HWND sheet, Sheet& s) {
  if (HWND current = PageWindow(s, s.current); current && Notify(sheet, current, PSN_QUERYCANCEL)) return;
  for (HWND page : s.windows) Notify(sheet, page, PSN_RESET, FALSE);
  EndSheet(sheet, s, 0);
}

int IndexOf(const Sheet& s, WPARAM index, LPARAM handle) {
  if (handle) {
    const auto at = std::find(s.pages.begin(), s.pages.end(), reinterpret_cast<_PSP*>(handle));
    return at == s.pages.end() ? -1 : static_cast<int>(at - s.pages.begin());
  }
  return static_cast<int>(index);
}

void RemovePage(HWND sheet, Sheet& s, int index) {
  if (index < 0 || index >= static_cast<int>(s.pages.size())) return;
  if (index == s.current) {
    const int next = index + 1 < static_cast<int>(s.pages.size()) ? index + 1 : index - 1;
    if (next >= 0) Select(sheet, s, next, true);
    if (s.current == index) s.current = -1;
  }
  if (HWND page = s.windows[index]) DestroyWindow(page);
  DestroyPropertySheetPage(s.pages[index]);
  s.pages.erase(s.pages.begin() + index);
  s.windows.erase(s.windows.begin() + index);
  s.focus.erase(s.focus.begin() + index);
  if (s.current > index) --s.current;
  if (s.tabs) {
    SendMessageW(s.tabs, TCM_DELETEITEM, static_cast<WPARAM>(index), 0);
    if (s.current >= 0) SendMessageW(s.tabs, TCM_SETCURSEL, static_cast<WPARAM>(s.current), 0);
  }
  ShowTabs(s);
  Layout(sheet, s);
}

// The page windows go before the sheet does; their records stay until the sheet's run is over.
void DestroyPages(Sheet& s) {
  for (HWND& page : s.windows) {
    if (page && IsWindow(page)) DestroyWindow(page);
    page = nullptr;
  }
}

void Paint(HWND sheet, const Sheet& s) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(sheet, &ps);
  if (!dc) return;
  RECT client;
  GetClientRect(sheet, &client);
  if (s.strip) zb::wm::PaintTitleStrip(dc, RECT{client.left, client.top, client.right, client.top + StripHeight(s)}, s.title, true);
  EndPaint(sheet, &ps);
}

void Initialise(HWND sheet, Sheet& s) {
  SetWindowLongW(sheet, DWL_USER, reinterpret_cast<LONG_PTR>(&s));
  // The device's navigation bar shows the front window's title and its OK button, when there is
  // one; a sheet on a device without it shows them itself.
  s.strip = FindWindowW(u"HHTaskBar", nullptr) == nullptr;
  SetWindowLongW(sheet, GWL_EXSTYLE, GetWindowLongW(sheet, GWL_EXSTYLE) | WS_EX_CAPTIONOKBTN);
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  SetWindowPos(sheet, nullptr, work.left, work.top, work.right - work.left, work.bottom - work.top, SWP_NOZORDER | SWP_NOACTIVATE);
  s.tabs = CreateWindowExW(0, WC_TABCONTROLW, u"", WS_CHILD | TCS_BOTTOM, 0, 0, 0, 0, sheet,
                           reinterpret_cast<HMENU>(static_cast<uintptr_t>(kTabsId)), nullptr, nullptr);
  SendMessageW(s.tabs, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(SYSTEM_FONT)), FALSE);
  s.title = TextOf(s.header.hInstance, s.header.pszCaption);
  for (_PSP* record : s.initial) AddPage(s, record);
  s.initial.clear();
  Layout(sheet, s);
  Callback(s, sheet, PSCB_INITIALIZED, 0);
  Callback(s, sheet, PSCB_GETVERSION, 0);
  WCHAR title[128] = {};
  Callback(s, sheet, PSCB_GETTITLE, reinterpret_cast<LPARAM>(title));
  if (title[0]) s.title = title;
  SetWindowTextW(sheet, s.title.c_str());
  int start = 0;
  if (s.header.dwFlags & PSH_USEPSTARTPAGE) {
    const std::u16string wanted = TextOf(s.header.hInstance, s.header.pStartPage);
    for (size_t i = 0; i < s.pages.size(); ++i) {
      if (PageTitle(s.pages[i]->page) == wanted) start = static_cast<int>(i);
    }
  } else if (s.header.nStartPage < s.pages.size()) {
    start = static_cast<int>(s.header.nStartPage);
  }
  // A page that refuses to be the first shown passes the turn to the next.
  for (size_t k = 0; k < s.pages.size() && s.current < 0; ++k) {
    Select(sheet, s, static_cast<int>((start + k) % s.pages.size()), true);
  }
}

LRESULT Handle(HWND sheet, Sheet& s, UINT message, WPARAM wParam, LPARAM lParam, bool* handled) {
  *handled = true;
  switch (message) {
    case WM_PAINT:
      Paint(sheet, s);
      return 0;
    case WM_SIZE:
      Layout(sheet, s);
      return 0;
    case WM_LBUTTONUP: {
      RECT client;
      GetClientRect(sheet, &client);
      const RECT box = zb::wm::TitleOkBox(RECT{client.left, client.top, client.right, client.top + StripHeight(s)});
      const POINT at = zb::wm::PointOf(lParam);
      if (s.strip && PtInRect(&box, at)) PostMessageW(sheet, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
      return 0;
    }
    case WM_COMMAND: {
      // Commands from outside the sheet (a menu, the soft keys) that are not its own go on to
      // the page; a control inside the sheet has told its own dialog already.
      HWND from = reinterpret_cast<HWND>(lParam);
      const bool outside = !from || !IsChild(sheet, from);
      if (LOWORD(wParam) == IDOK && outside) {
        Ok(sheet, s);
      } else if (LOWORD(wParam) == IDCANCEL && outside) {
        Cancel(sheet, s);
      } else if (HWND page = PageWindow(s, s.current); page && outside) {
        SendMessageW(page, WM_COMMAND, wParam, lParam);
      }
      return 0;
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->hwndFrom == s.tabs) {
        if (header->code == TCN_SELCHANGING) return AskToLeave(sheet, s) ? FALSE : TRUE;
        if (header->code == TCN_SELCHANGE) {
          Select(sheet, s, static_cast<int>(SendMessageW(s.tabs, TCM_GETCURSEL, 0, 0)), true);
        }
        return 0;
      }
      if (HWND page = PageWindow(s, s.current); page && !IsChild(sheet, header->hwndFrom)) {
        return SendMessageW(page, WM_NOTIFY, wParam, lParam);
      }
      *handled = false;
      return 0;
    }
    case WM_INITMENUPOPUP:
      if (HWND page = PageWindow(s, s.current)) SendMessageW(page, message, wParam, lParam);
      return 0;
    case PSM_PRESSBUTTON:
      if (wParam == PSBTN_OK) Ok(sheet, s);
      if (wParam == PSBTN_CANCEL) Cancel(sheet, s);
      if (wParam == PSBTN_APPLYNOW) Apply(sheet, s, false);
      return 0;
    case PSM_APPLY:
      return Apply(sheet, s, false);
    case PSM_SETCURSEL:
    case PSM_SETCURSELID: {
      int index = IndexOf(s, wParam, message == PSM_SETCURSEL ? lParam : 0);
      if (message == PSM_SETCURSELID) {
        index = -1;
        for (size_t i = 0; i < s.pages.size(); ++i) {
          if (s.pages[i]->page.pszTemplate == reinterpret_cast<LPCWSTR>(lParam)) index = static_cast<int>(i);
        }
      }
      return Select(sheet, s, index, false);
    }
    case PSM_ADDPAGE: {
      _PSP* record = PageRecord(reinterpret_cast<HPROPSHEETPAGE>(lParam));
      if (!record) return FALSE;
      AddPage(s, record);
      Layout(sheet, s);
      if (s.current < 0) Select(sheet, s, static_cast<int>(s.pages.size()) - 1, true);
      return TRUE;
    }
    case PSM_REMOVEPAGE:
      RemovePage(sheet, s, IndexOf(s, wParam, lParam));
      return 0;
    case PSM_QUERYSIBLINGS:
      for (HWND page : s.windows) {
        if (!page) continue;
        if (const LRESULT answer = SendMessageW(page, PSM_QUERYSIBLINGS, wParam, lParam)) return answer;
      }
      return 0;
    case PSM_GETCURRENTPAGEHWND:
      return reinterpret_cast<LRESULT>(PageWindow(s, s.current));
    case PSM_GETTABCONTROL:
      return reinterpret_cast<LRESULT>(s.tabs);
    case PSM_SETTITLEW:
      s.title = TextOf(s.header.hInstance, reinterpret_cast<LPCWSTR>(lParam));
      SetWindowTextW(sheet, s.title.c_str());
      InvalidateRect(sheet, nullptr, TRUE);
      return 0;
    case PSM_ISDIALOGMESSAGE:
      return IsDialogMessageW(sheet, reinterpret_cast<MSG*>(lParam));
    case WM_DESTROY:
      DestroyPages(s);
      SetWindowLongW(sheet, DWL_USER, 0);
      if (s.ownedByWindow) {
        for (_PSP* record : s.pages) DestroyPropertySheetPage(record);
        delete &s;
      }
      return 0;
    case PSM_CHANGED:
    case PSM_UNCHANGED:
    case PSM_CANCELTOCLOSE:
    case PSM_RESTARTWINDOWS:
    case PSM_REBOOTSYSTEM:
      return 0;  // there is no Apply button to enable or Cancel button to rename
    default:
      *handled = false;
      return 0;
  }
}

INT_PTR CALLBACK SheetProc(HWND sheet, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    Initialise(sheet, *reinterpret_cast<Sheet*>(lParam));
    return FALSE;  // the focus is where the first page put it
  }
  Sheet* s = SheetOf(sheet);
  if (!s) return FALSE;
  bool handled = false;
  const LRESULT answer = Handle(sheet, *s, message, wParam, lParam, &handled);
  if (handled) SetWindowLongW(sheet, DWL_MSGRESULT, answer);
  return handled ? TRUE : FALSE;
}

// The sheet's own template: an empty full-screen dialog (its size is set when it starts).
struct EmptyTemplate {
  DLGTEMPLATE head;
  WORD menu = 0, klass = 0, caption = 0;
};

}  // namespace
}  // namespace zb::cc

using namespace zb::cc;

extern "C" INT_PTR PropertySheetW(LPCPROPSHEETHEADERW header) {
  if (!header || header->dwSize < offsetof(PROPSHEETHEADERW, pfnCallback)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  INITCOMMONCONTROLSEX tabs{sizeof tabs, ICC_TAB_CLASSES};  // the sheet's own tabs
  InitCommonControlsEx(&tabs);
  auto s = std::make_unique<Sheet>();
  std::memcpy(&s->header, header, std::min<size_t>(header->dwSize, sizeof(PROPSHEETHEADERW)));
  s->modeless = (header->dwFlags & PSH_MODELESS) != 0;
  for (UINT i = 0; i < header->nPages; ++i) {
    if (header->dwFlags & PSH_PROPSHEETPAGE) {
      const auto* page = reinterpret_cast<const PROPSHEETPAGEW*>(reinterpret_cast<const BYTE*>(header->ppsp) +
                                                                 static_cast<size_t>(i) * header->ppsp->dwSize);
      if (HPROPSHEETPAGE made = CreatePropertySheetPageW(page)) s->initial.push_back(made);
    } else if (_PSP* record = PageRecord(header->phpage[i])) {
      s->initial.push_back(record);
    }
  }
  EmptyTemplate t{};
  t.head.style = WS_POPUP | WS_VISIBLE | DS_SETFOREGROUND;
  Callback(*s, nullptr, PSCB_PRECREATE, reinterpret_cast<LPARAM>(&t.head));
  HINSTANCE instance = header->hInstance;
  if (s->modeless) {
    HWND sheet = CreateDialogIndirectParamW(instance, &t.head, header->hwndParent, SheetProc, reinterpret_cast<LPARAM>(s.get()));
    if (!sheet) {
      for (_PSP* record : s->pages) DestroyPropertySheetPage(record);
      for (_PSP* record : s->initial) DestroyPropertySheetPage(record);
      return -1;
    }
    s.release()->ownedByWindow = true;
    return reinterpret_cast<INT_PTR>(sheet);
  }
  const INT_PTR result = DialogBoxIndirectParamW(instance, &t.head, header->hwndParent, SheetProc, reinterpret_cast<LPARAM>(s.get()));
  DestroyPages(*s);
  for (_PSP* record : s->pages) DestroyPropertySheetPage(record);
  for (_PSP* record : s->initial) DestroyPropertySheetPage(record);  // a sheet that never started
  return result;
}
