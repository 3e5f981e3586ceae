// Property-sheet pages: the records CreatePropertySheetPageW makes (a copy of the caller's
// page with its title and callback), and turning a page's template into a child dialog of the
// sheet.
#pragma once
#include <commctrl.h>

#include <string>

struct _PSP {
  PROPSHEETPAGEW page;
};

namespace zb::cc {

// The page record behind a handle, or nullptr for one that is not live.
_PSP* PageRecord(HPROPSHEETPAGE handle);

// The page's title: its own (PSP_USETITLE, a string or a string resource), else its template's
// caption.
std::u16string PageTitle(const PROPSHEETPAGEW& page);

// Creates the page's dialog inside the sheet, hidden; nullptr when its callback refuses it or
// its template cannot be found or read.
HWND CreatePageWindow(HWND sheet, _PSP& record);

}  // namespace zb::cc
