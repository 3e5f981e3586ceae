// Property-sheet pages (see propsheet_pages.h). A page's template is copied and its style made
// a control dialog's (a child without caption or frame), so the same template serves as a page
// and, elsewhere, as a dialog of its own.
#include "commctrl/propsheet_pages.h"

#include <cstring>
#include <mutex>
#include <set>
#include <vector>

#include "gwes/dlg_template.h"

namespace zb::cc {
namespace {

struct Live {
  std::mutex lock;
  std::set<_PSP*> records;
};

Live& Records() {
  static Live* live = new Live;
  return *live;
}

const void* TemplateOf(const PROPSHEETPAGEW& page, size_t* size) {
  *size = 0;
  if (page.dwFlags & PSP_DLGINDIRECT) return page.pResource;
  HRSRC found = FindResourceW(page.hInstance, page.pszTemplate, RT_DIALOG);
  if (!found) return nullptr;
  *size = SizeofResource(page.hInstance, found);
  return LockResource(LoadResource(page.hInstance, found));
}

}  // namespace

_PSP* PageRecord(HPROPSHEETPAGE handle) {
  Live& live = Records();
  std::lock_guard lock(live.lock);
  return live.records.count(handle) ? handle : nullptr;
}

std::u16string PageTitle(const PROPSHEETPAGEW& page) {
  if ((page.dwFlags & PSP_USETITLE) && page.pszTitle) {
    if (!IS_INTRESOURCE(page.pszTitle)) return page.pszTitle;
    const WCHAR* text = nullptr;
    const int n = LoadStringW(page.hInstance, static_cast<UINT>(reinterpret_cast<uintptr_t>(page.pszTitle)),
                              reinterpret_cast<LPWSTR>(&text), 0);
    return n > 0 && text ? std::u16string(text, static_cast<size_t>(n)) : std::u16string();
  }
  size_t size = 0;
  const void* bytes = TemplateOf(page, &size);
  zb::wm::DialogTemplate t;
  return bytes && zb::wm::ReadDialogTemplate(bytes, size, &t) ? t.caption : std::u16string();
}

HWND CreatePageWindow(HWND sheet, _PSP& record) {
  PROPSHEETPAGEW& page = record.page;
  if ((page.dwFlags & PSP_USECALLBACK) && page.pfnCallback && !page.pfnCallback(nullptr, PSPCB_CREATE, &page))
    return nullptr;
  size_t size = 0;
  const void* bytes = TemplateOf(page, &size);
  zb::wm::DialogTemplate t;
  if (!bytes || !zb::wm::ReadDialogTemplate(bytes, size, &t)) return nullptr;
  std::vector<BYTE> copy(static_cast<const BYTE*>(bytes), static_cast<const BYTE*>(bytes) + t.length);
  // The style word lies at byte 0 of a plain template and at byte 12 of an extended one.
  const size_t at = t.extended ? 12 : 0;
  DWORD style = 0;
  std::memcpy(&style, copy.data() + at, 4);
  style &= ~(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | WS_BORDER | WS_THICKFRAME | DS_MODALFRAME);
  style |= WS_CHILD | DS_CONTROL | WS_TABSTOP;
  std::memcpy(copy.data() + at, &style, 4);
  // The page procedure is told the page record as its WM_INITDIALOG parameter.
  return CreateDialogIndirectParamW(page.hInstance, reinterpret_cast<LPCDLGTEMPLATE>(copy.data()), sheet, page.pfnDlgProc,
                                    reinterpret_cast<LPARAM>(&page));
}

}  // namespace zb::cc

using namespace zb::cc;

extern "C" HPROPSHEETPAGE CreatePropertySheetPageW(LPCPROPSHEETPAGEW page) {
  if (!page || page->dwSize < offsetof(PROPSHEETPAGEW, pfnCallback)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto* record = new _PSP{};
  std::memcpy(&record->page, page, std::min<size_t>(page->dwSize, sizeof(PROPSHEETPAGEW)));
  record->page.dwSize = sizeof(PROPSHEETPAGEW);
  if ((record->page.dwFlags & PSP_USEREFPARENT) && record->page.pcRefParent) ++*record->page.pcRefParent;
  Live& live = Records();
  std::lock_guard lock(live.lock);
  live.records.insert(record);
  return record;
}

extern "C" BOOL DestroyPropertySheetPage(HPROPSHEETPAGE handle) {
  _PSP* record = PageRecord(handle);
  if (!record) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  {
    Live& live = Records();
    std::lock_guard lock(live.lock);
    live.records.erase(record);
  }
  PROPSHEETPAGEW& page = record->page;
  if ((page.dwFlags & PSP_USECALLBACK) && page.pfnCallback) page.pfnCallback(nullptr, PSPCB_RELEASE, &page);
  if ((page.dwFlags & PSP_USEREFPARENT) && page.pcRefParent) --*page.pcRefParent;
  delete record;
  return TRUE;
}
