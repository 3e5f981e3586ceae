// The name-list sheet: a property sheet through which the user picks, names, copies, renames and
// deletes named entries (equaliser presets, saved playlists). The caller owns the entries and
// answers through callbacks; the sheet only shows their names and reports the user's choice.
#pragma once
#include <windows.h>

constexpr DWORD kNameListOnePage = 0x1000;  // only the name page ("Add...")
constexpr DWORD kNameListOfferNew = 0x10000;
constexpr DWORD kNameListOfferCopy = 0x20000;
constexpr DWORD kNameListOfferRename = 0x40000;

constexpr int kNameListNameLength = 256;  // the name buffers hold this many characters

// Each callback gets the request's context first. Names are kNameListNameLength characters.
typedef BOOL (*NameListEnumerate)(void* context, int index, LPWSTR name);
typedef BOOL (*NameListDelete)(void* context, HWND window, int index, LPCWSTR name);
typedef BOOL (*NameListSave)(void* context, HWND window, LPCWSTR name);
typedef BOOL (*NameListCopy)(void* context, HWND window, int index, LPCWSTR name);
typedef BOOL (*NameListNew)(void* context, HWND window);
typedef BOOL (*NameListRename)(void* context, HWND window, int index, LPCWSTR name);

struct SaveNameRequest {
  DWORD flags;
  HWND owner;
  LPCWSTR initialName;  // put into the name buffer in one-page mode
  LPWSTR listName;      // the list page's ("Open") choice
  LPWSTR name;          // the name and delete pages' buffer
  int* selectedIndex;   // the caller's selected index, or null
  void* context;
  NameListEnumerate enumerate;  // non-zero while an entry of that index exists
  NameListDelete remove;        // non-zero when the list must be refilled
  NameListSave save;            // non-zero when the name was accepted
  NameListCopy copy;
  NameListNew create;
  NameListRename rename;
  LPCWSTR twoPageTitle;
  LPCWSTR onePageTitle;
};

// Dialog and control ids of the sheet's pages (the program's resources).
enum NameListIds {
  IDD_NAMELIST_OPEN = 515,
  IDD_NAMELIST_ADD = 516,
  IDD_NAMELIST_DELETE = 517,
  IDM_NAMELIST_NEW = 137,
  IDC_NAMELIST_LIST = 1023,
  IDC_NAMELIST_DELETE = 1044,
  IDC_NAMELIST_EDIT = 1057,
  IDC_NAMELIST_SAVE = 1063,
  IDC_NAMELIST_RENAME = 10023,
  IDC_NAMELIST_COPY = 10024,
  IDC_NAMELIST_NEWENTRY = 40073,
};

// Shows the sheet (modal): the property sheet's result.
INT_PTR ShowSaveNameDialog(const SaveNameRequest* request);

// Tap-and-hold on a list: a press first goes to the list, then the shell is asked to recognise the
// hold, which it tells the list's parent (GN_CONTEXTMENU). Every other message is the list's own.
void EnableListTapAndHold(HWND list);
