// The name-list sheet's pages: the list page ("Open"), the delete page ("Add / Delete") and the
// name page ("Add..."), each holding its own copy of the request. The list is refilled from the
// caller's enumerate callback whenever a callback says the entries changed.
#include "skin/name_list_sheet.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "skin/shell_calls.h"

namespace {

constexpr DWORD kModeList = 1, kModeDelete = 2, kModeName = 4;
constexpr DWORD kModeMask = 0x7;
constexpr DWORD kStateSaved = 1;       // the name was accepted: the sheet's OK must not save again
constexpr DWORD kStateListFocus = 2;   // the list has had the keyboard focus
constexpr int kMaxEntries = 4096;      // an enumerate callback that never ends is cut off here
constexpr int kSheetVersion = 524;

struct NameListPage {
  DWORD mode;  // kMode* with the request's option flags
  void* context;
  DWORD state;
  NameListEnumerate enumerate;
  NameListDelete remove;
  NameListSave save;
  NameListCopy copy;
  NameListNew create;
  NameListRename rename;
  LPWSTR name;
  int selected;
  int* callerSelected;
  const SaveNameRequest* request;
};

// Titles of the sheets open now, innermost last (the name page opens a sheet of its own).
std::vector<std::u16string>& Titles() {
  static std::vector<std::u16string> titles;
  return titles;
}

NameListPage* PageOf(HWND page) { return reinterpret_cast<NameListPage*>(GetWindowLongW(page, DWL_USER)); }

void PressSheetButton(HWND page, int button) { PostMessageW(GetParent(page), PSM_PRESSBUTTON, static_cast<WPARAM>(button), 0); }

void Fill(HWND page) {
  NameListPage* p = PageOf(page);
  HWND list = GetDlgItem(page, IDC_NAMELIST_LIST);
  if (!p || !list) return;
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (int i = 0; p->enumerate && i < kMaxEntries; ++i) {
    WCHAR name[kNameListNameLength] = {};
    if (!p->enumerate(p->context, i, name)) break;
    name[kNameListNameLength - 1] = 0;
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

void SetSelected(NameListPage* p, int index) {
  p->selected = index;
  if (p->callerSelected) *p->callerSelected = index;
}

// Takes the list's selection into the page: the name, the index, the Delete button.
bool TakeSelection(HWND page) {
  NameListPage* p = PageOf(page);
  HWND list = GetDlgItem(page, IDC_NAMELIST_LIST);
  const int index = static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0));
  const bool any = index >= 0;
  if (any) {
    WCHAR text[kNameListNameLength] = {};
    if (SendMessageW(list, LB_GETTEXTLEN, index, 0) < kNameListNameLength)
      SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text));
    if (p->name) wcscpy(p->name, text);
    SetSelected(p, index);
  } else if (p->name) {
    p->name[0] = 0;
  }
  if (HWND remove = GetDlgItem(page, IDC_NAMELIST_DELETE)) EnableWindow(remove, any);
  if ((p->mode & kModeMask) == kModeName && any) SetDlgItemTextW(page, IDC_NAMELIST_EDIT, p->name);
  return any;
}

void OnListChange(HWND page, bool doubleTap) {
  NameListPage* p = PageOf(page);
  const bool any = TakeSelection(page);
  if ((p->mode & kModeMask) == kModeList && any && (doubleTap || !(p->state & kStateListFocus))) PressSheetButton(page, PSBTN_OK);
}

void Save(HWND page) {
  NameListPage* p = PageOf(page);
  WCHAR text[kNameListNameLength] = {};
  GetDlgItemTextW(page, IDC_NAMELIST_EDIT, text, kNameListNameLength);
  if (p->name) wcscpy(p->name, text);
  if (!text[0] || !p->save) return;
  if (p->save(p->context, page, text)) {
    p->state |= kStateSaved;
    PressSheetButton(page, PSBTN_OK);
  }
}

// The delete page's "Add...": the one-page name sheet with the same context and callbacks.
void AddFromDeletePage(HWND page) {
  NameListPage* p = PageOf(page);
  SaveNameRequest inner = *p->request;
  inner.flags = (inner.flags & ~kModeMask) | kNameListOnePage;
  inner.owner = page;
  inner.initialName = p->name;
  ShowSaveNameDialog(&inner);
  Fill(page);
}

void Command(HWND page, WORD id, WORD code) {
  NameListPage* p = PageOf(page);
  const DWORD mode = p->mode & kModeMask;
  const int index = p->selected;
  const LPCWSTR name = p->name ? p->name : u"";
  bool refill = false;
  switch (id) {
    case IDOK:
    case IDCANCEL:
      PressSheetButton(page, id == IDOK ? PSBTN_OK : PSBTN_CANCEL);
      break;
    case IDC_NAMELIST_LIST:
      if (code == LBN_SETFOCUS) p->state |= kStateListFocus;
      if (code == LBN_SELCHANGE || code == LBN_DBLCLK) OnListChange(page, code == LBN_DBLCLK);
      break;
    case IDC_NAMELIST_DELETE:
      if (mode != kModeName && p->remove && index >= 0) refill = p->remove(p->context, page, index, name) != 0;
      break;
    case IDC_NAMELIST_SAVE:
      if (mode == kModeDelete) AddFromDeletePage(page);
      if (mode == kModeName) Save(page);
      break;
    case IDC_NAMELIST_RENAME:
      if (p->rename && index >= 0) refill = p->rename(p->context, page, index, name) != 0;
      break;
    case IDC_NAMELIST_COPY:
      if (p->copy && index >= 0) refill = p->copy(p->context, page, index, name) != 0;
      break;
    case IDC_NAMELIST_NEWENTRY:
      if (p->create) refill = p->create(p->context, page) != 0;
      break;
    case IDC_NAMELIST_EDIT:
      if (code == EN_SETFOCUS) ShellSipPreference(page, SIP_UP);
      if (code == EN_KILLFOCUS && GetFocus() == GetDlgItem(page, IDC_NAMELIST_LIST)) ShellSipPreference(page, SIP_DOWN);
      break;
    default:
      break;
  }
  if (refill) Fill(page);
}

// Tap-and-hold over an entry: the entry is selected, and the menu of what can be done with it
// pops up at the tap point.
void ContextMenu(HWND page, POINT screen) {
  NameListPage* p = PageOf(page);
  const DWORD mode = p->mode & kModeMask;
  if (mode == kModeName || !(p->mode & (kNameListOfferCopy | kNameListOfferRename))) return;
  HWND list = GetDlgItem(page, IDC_NAMELIST_LIST);
  POINT client = screen;
  ScreenToClient(list, &client);
  const int height = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
  const int top = static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
  const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  const int index = height > 0 && client.y >= 0 ? top + client.y / height : -1;
  if (index < 0 || index >= count) return;
  SendMessageW(list, LB_SETCURSEL, index, 0);
  TakeSelection(page);
  HMENU menu = CreatePopupMenu();
  if (!menu) return;
  if (p->mode & kNameListOfferCopy) {
    AppendMenuW(menu, MF_STRING, IDC_NAMELIST_COPY, u"Create Copy");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  }
  if (p->mode & kNameListOfferNew) AppendMenuW(menu, MF_STRING, IDC_NAMELIST_NEWENTRY, u"New");
  if (p->mode & kNameListOfferRename) AppendMenuW(menu, MF_STRING, IDC_NAMELIST_RENAME, u"Rename");
  if (p->mode & (kNameListOfferNew | kNameListOfferRename)) AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, IDC_NAMELIST_DELETE, u"Delete");
  const int chosen = TrackPopupMenu(menu, TPM_RETURNCMD, screen.x, screen.y, 0, page, nullptr);
  DestroyMenu(menu);
  if (chosen) SendMessageW(page, WM_COMMAND, static_cast<WPARAM>(chosen), 0);
}

void InitPage(HWND page, NameListPage* p) {
  SetWindowLongW(page, DWL_USER, reinterpret_cast<LONG_PTR>(p));
  const DWORD mode = p->mode & kModeMask;
  SHINITDLGINFO init{};
  init.dwMask = SHIDIM_FLAGS;
  init.hDlg = page;
  init.dwFlags = SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN | (mode == kModeName ? 0 : SHIDIF_DONEBUTTON);
  ShellInitDialog(&init);
  SHMENUBARINFO bar{};
  bar.cbSize = sizeof bar;
  bar.hwndParent = page;
  bar.hInstRes = GetModuleHandleW(nullptr);
  if (mode != kModeName && (p->mode & kNameListOfferNew)) {
    bar.nToolBarId = IDM_NAMELIST_NEW;
  } else {
    bar.dwFlags = SHCMBF_EMPTYBAR;
  }
  ShellCreateMenuBar(&bar);
  if (HWND list = GetDlgItem(page, IDC_NAMELIST_LIST)) EnableListTapAndHold(list);
  Fill(page);
  if (HWND remove = GetDlgItem(page, IDC_NAMELIST_DELETE)) EnableWindow(remove, FALSE);
  if (mode == kModeDelete && p->name && p->name[0]) {
    const LRESULT at = SendDlgItemMessageW(page, IDC_NAMELIST_LIST, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(p->name));
    if (at != LB_ERR) {
      SendDlgItemMessageW(page, IDC_NAMELIST_LIST, LB_SETCURSEL, static_cast<WPARAM>(at), 0);
      TakeSelection(page);
    }
  }
  if (mode == kModeName && p->name) SetDlgItemTextW(page, IDC_NAMELIST_EDIT, p->name);
}

INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      InitPage(page, reinterpret_cast<NameListPage*>(reinterpret_cast<const PROPSHEETPAGEW*>(lParam)->lParam));
      return TRUE;
    case WM_USER:
      Fill(page);
      return TRUE;
    case WM_COMMAND:
      if (PageOf(page)) Command(page, LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_NOTIFY: {
      NameListPage* p = PageOf(page);
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (!p || !header) return FALSE;
      switch (header->code) {
        case PSN_SETACTIVE:
          Fill(page);
          SetWindowLongW(page, DWL_MSGRESULT, 0);
          return TRUE;
        case PSN_APPLY:
          if ((p->mode & kModeMask) == kModeName && !(p->state & kStateSaved)) Save(page);
          SetWindowLongW(page, DWL_MSGRESULT, PSNRET_NOERROR);
          return TRUE;
        case PSN_RESET:
          SetSelected(p, -1);
          if (p->name) p->name[0] = 0;
          return TRUE;
        case GN_CONTEXTMENU:
          ContextMenu(page, reinterpret_cast<const NMRGINFO*>(lParam)->ptAction);
          return TRUE;
        default:
          return FALSE;
      }
    }
    default:
      return FALSE;
  }
}

int CALLBACK SheetCallback(HWND, UINT message, LPARAM lParam) {
  if (message == PSCB_GETVERSION) return kSheetVersion;
  if (message == PSCB_GETTITLE && lParam && !Titles().empty()) {
    const std::u16string& title = Titles().back();
    const size_t n = std::min<size_t>(title.size(), 127);
    std::copy(title.begin(), title.begin() + static_cast<std::ptrdiff_t>(n), reinterpret_cast<LPWSTR>(lParam));
    reinterpret_cast<LPWSTR>(lParam)[n] = 0;
  }
  return 0;
}

// The list's own procedure, kept in the list's user data while it is held.
WNDPROC OldListProc(HWND list) { return reinterpret_cast<WNDPROC>(GetWindowLongW(list, GWL_USERDATA)); }

LRESULT CALLBACK HoldingListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
  const WNDPROC own = OldListProc(list);
  if (message != WM_LBUTTONDOWN) return CallWindowProcW(own, list, message, wParam, lParam);
  const LRESULT result = CallWindowProcW(own, list, message, wParam, lParam);
  SHRGINFO info{};
  info.cbSize = sizeof info;
  info.hwndClient = list;
  info.ptDown = POINT{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
  info.dwFlags = SHRG_NOTIFYPARENT;
  ShellRecognizeGesture(&info);
  return result;
}

}  // namespace

void EnableListTapAndHold(HWND list) {
  if (!list || OldListProc(list)) return;
  const LONG_PTR own = SetWindowLongW(list, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(HoldingListProc));
  SetWindowLongW(list, GWL_USERDATA, own);
}

INT_PTR ShowSaveNameDialog(const SaveNameRequest* r) {
  if (!r) return -1;
  const bool onePage = (r->flags & kNameListOnePage) != 0;
  const DWORD options = r->flags & (kNameListOfferNew | kNameListOfferCopy | kNameListOfferRename);
  auto page = [r, options](DWORD mode, LPWSTR name) {
    return NameListPage{mode | options, r->context, 0, r->enumerate, r->remove, r->save, r->copy, r->create, r->rename,
                        name, -1, r->selectedIndex, r};
  };
  std::vector<NameListPage> pages;
  std::vector<int> templates;
  if (onePage) {
    if (r->name && r->name != r->initialName) {
      wcsncpy(r->name, r->initialName ? r->initialName : u"", kNameListNameLength - 1);
      r->name[kNameListNameLength - 1] = 0;
    }
    pages.push_back(page(kModeName, r->name));
    templates.push_back(IDD_NAMELIST_ADD);
  } else {
    pages.push_back(page(kModeList, r->listName));
    templates.push_back(IDD_NAMELIST_OPEN);
    pages.push_back(page(kModeDelete, r->name));
    templates.push_back(IDD_NAMELIST_DELETE);
  }
  std::vector<HPROPSHEETPAGE> handles;
  for (size_t i = 0; i < pages.size(); ++i) {
    PROPSHEETPAGEW sheetPage{};
    sheetPage.dwSize = sizeof sheetPage;
    sheetPage.hInstance = GetModuleHandleW(nullptr);
    sheetPage.pszTemplate = MAKEINTRESOURCEW(templates[i]);
    sheetPage.pfnDlgProc = PageProc;
    sheetPage.lParam = reinterpret_cast<LPARAM>(&pages[i]);
    if (HPROPSHEETPAGE h = CreatePropertySheetPageW(&sheetPage)) handles.push_back(h);
  }
  if (handles.size() != pages.size()) {
    for (HPROPSHEETPAGE h : handles) DestroyPropertySheetPage(h);
    return -1;
  }
  const LPCWSTR title = onePage ? r->onePageTitle : r->twoPageTitle;
  Titles().push_back(title ? title : u"");
  PROPSHEETHEADERW header{};
  header.dwSize = sizeof header;
  header.dwFlags = 0x80002181;
  header.hwndParent = r->owner;
  header.hInstance = GetModuleHandleW(nullptr);
  header.pszCaption = title;
  header.nPages = static_cast<UINT>(handles.size());
  header.phpage = handles.data();
  header.pfnCallback = SheetCallback;
  const INT_PTR result = PropertySheetW(&header);
  Titles().pop_back();
  return result;
}
