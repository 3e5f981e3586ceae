// The tree view ("SysTreeView32"): items, styles, messages, notifications and records.
// Included by commctrl.h.
#pragma once
#include "windows.h"

// ---- Tree view -----------------------------------------------------------------------------
DECLARE_HANDLE(HTREEITEM);
#define TVI_ROOT ((HTREEITEM)(ULONG_PTR)-0x10000)
#define TVI_FIRST ((HTREEITEM)(ULONG_PTR)-0x0FFFF)
#define TVI_LAST ((HTREEITEM)(ULONG_PTR)-0x0FFFE)
#define TVI_SORT ((HTREEITEM)(ULONG_PTR)-0x0FFFD)

#define TVS_HASBUTTONS 0x0001
#define TVS_HASLINES 0x0002
#define TVS_LINESATROOT 0x0004
#define TVS_EDITLABELS 0x0008
#define TVS_DISABLEDRAGDROP 0x0010
#define TVS_SHOWSELALWAYS 0x0020
#define TVS_NOTOOLTIPS 0x0080
#define TVS_CHECKBOXES 0x0100
#define TVS_TRACKSELECT 0x0200
#define TVS_SINGLEEXPAND 0x0400
#define TVS_FULLROWSELECT 0x1000
#define TVS_NOSCROLL 0x2000
#define TVS_NONEVENHEIGHT 0x4000

#define TVIF_TEXT 0x0001
#define TVIF_IMAGE 0x0002
#define TVIF_PARAM 0x0004
#define TVIF_STATE 0x0008
#define TVIF_HANDLE 0x0010
#define TVIF_SELECTEDIMAGE 0x0020
#define TVIF_CHILDREN 0x0040
#define TVIF_DI_SETITEM 0x1000

#define TVIS_FOCUSED 0x0001
#define TVIS_SELECTED 0x0002
#define TVIS_CUT 0x0004
#define TVIS_DROPHILITED 0x0008
#define TVIS_BOLD 0x0010
#define TVIS_EXPANDED 0x0020
#define TVIS_EXPANDEDONCE 0x0040
#define TVIS_EXPANDPARTIAL 0x0080
#define TVIS_OVERLAYMASK 0x0F00
#define TVIS_STATEIMAGEMASK 0xF000
#define TVIS_USERMASK 0xF000

typedef struct tagTVITEMW {
  UINT mask;
  HTREEITEM hItem;
  UINT state;
  UINT stateMask;
  LPWSTR pszText;
  int cchTextMax;
  int iImage;
  int iSelectedImage;
  int cChildren;
  LPARAM lParam;
} TVITEMW, *LPTVITEMW;
typedef TVITEMW TVITEM;
typedef LPTVITEMW LPTVITEM;
#define TV_ITEM TVITEMW

typedef struct tagTVINSERTSTRUCTW {
  HTREEITEM hParent;
  HTREEITEM hInsertAfter;
  TVITEMW item;
} TVINSERTSTRUCTW, *LPTVINSERTSTRUCTW;
typedef TVINSERTSTRUCTW TVINSERTSTRUCT;
#define TV_INSERTSTRUCT TVINSERTSTRUCTW

#define TVM_FIRST 0x1100
#define TVM_DELETEITEM (TVM_FIRST + 1)
#define TVM_EXPAND (TVM_FIRST + 2)
#define TVM_GETITEMRECT (TVM_FIRST + 4)
#define TVM_GETCOUNT (TVM_FIRST + 5)
#define TVM_GETINDENT (TVM_FIRST + 6)
#define TVM_SETINDENT (TVM_FIRST + 7)
#define TVM_GETIMAGELIST (TVM_FIRST + 8)
#define TVM_SETIMAGELIST (TVM_FIRST + 9)
#define TVM_GETNEXTITEM (TVM_FIRST + 10)
#define TVM_SELECTITEM (TVM_FIRST + 11)
#define TVM_GETEDITCONTROL (TVM_FIRST + 15)
#define TVM_GETVISIBLECOUNT (TVM_FIRST + 16)
#define TVM_HITTEST (TVM_FIRST + 17)
#define TVM_SORTCHILDREN (TVM_FIRST + 19)
#define TVM_ENSUREVISIBLE (TVM_FIRST + 20)
#define TVM_SORTCHILDRENCB (TVM_FIRST + 21)
#define TVM_ENDEDITLABELNOW (TVM_FIRST + 22)
#define TVM_SETITEMHEIGHT (TVM_FIRST + 27)
#define TVM_GETITEMHEIGHT (TVM_FIRST + 28)
#define TVM_SETBKCOLOR (TVM_FIRST + 29)
#define TVM_SETTEXTCOLOR (TVM_FIRST + 30)
#define TVM_GETBKCOLOR (TVM_FIRST + 31)
#define TVM_GETTEXTCOLOR (TVM_FIRST + 32)
#define TVM_GETITEMSTATE (TVM_FIRST + 39)
#define TVM_INSERTITEMW (TVM_FIRST + 50)
#define TVM_GETITEMW (TVM_FIRST + 62)
#define TVM_SETITEMW (TVM_FIRST + 63)
#define TVM_EDITLABELW (TVM_FIRST + 65)
#define TVM_INSERTITEM TVM_INSERTITEMW
#define TVM_GETITEM TVM_GETITEMW
#define TVM_SETITEM TVM_SETITEMW
#define TVM_EDITLABEL TVM_EDITLABELW

#define TVE_COLLAPSE 0x0001
#define TVE_EXPAND 0x0002
#define TVE_TOGGLE 0x0003
#define TVE_EXPANDPARTIAL 0x4000
#define TVE_COLLAPSERESET 0x8000

#define TVGN_ROOT 0x0000
#define TVGN_NEXT 0x0001
#define TVGN_PREVIOUS 0x0002
#define TVGN_PARENT 0x0003
#define TVGN_CHILD 0x0004
#define TVGN_FIRSTVISIBLE 0x0005
#define TVGN_NEXTVISIBLE 0x0006
#define TVGN_PREVIOUSVISIBLE 0x0007
#define TVGN_DROPHILITE 0x0008
#define TVGN_CARET 0x0009
#define TVGN_LASTVISIBLE 0x000A

#define TVSIL_NORMAL 0
#define TVSIL_STATE 2

typedef struct tagTVHITTESTINFO {
  POINT pt;
  UINT flags;
  HTREEITEM hItem;
} TVHITTESTINFO, *LPTVHITTESTINFO;

#define TVHT_NOWHERE 0x0001
#define TVHT_ONITEMICON 0x0002
#define TVHT_ONITEMLABEL 0x0004
#define TVHT_ONITEMINDENT 0x0008
#define TVHT_ONITEMBUTTON 0x0010
#define TVHT_ONITEMRIGHT 0x0020
#define TVHT_ONITEMSTATEICON 0x0040
#define TVHT_ONITEM (TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON)
#define TVHT_ABOVE 0x0100
#define TVHT_BELOW 0x0200
#define TVHT_TORIGHT 0x0400
#define TVHT_TOLEFT 0x0800

#define TVC_UNKNOWN 0x0000
#define TVC_BYMOUSE 0x0001
#define TVC_BYKEYBOARD 0x0002

#define TVN_KEYDOWN (TVN_FIRST - 12)
#define TVN_SINGLEEXPAND (TVN_FIRST - 15)
#define TVN_SELCHANGINGW (TVN_FIRST - 50)
#define TVN_SELCHANGEDW (TVN_FIRST - 51)
#define TVN_GETDISPINFOW (TVN_FIRST - 52)
#define TVN_SETDISPINFOW (TVN_FIRST - 53)
#define TVN_ITEMEXPANDINGW (TVN_FIRST - 54)
#define TVN_ITEMEXPANDEDW (TVN_FIRST - 55)
#define TVN_BEGINDRAGW (TVN_FIRST - 56)
#define TVN_BEGINRDRAGW (TVN_FIRST - 57)
#define TVN_DELETEITEMW (TVN_FIRST - 58)
#define TVN_BEGINLABELEDITW (TVN_FIRST - 59)
#define TVN_ENDLABELEDITW (TVN_FIRST - 60)
#define TVN_SELCHANGING TVN_SELCHANGINGW
#define TVN_SELCHANGED TVN_SELCHANGEDW
#define TVN_GETDISPINFO TVN_GETDISPINFOW
#define TVN_SETDISPINFO TVN_SETDISPINFOW
#define TVN_ITEMEXPANDING TVN_ITEMEXPANDINGW
#define TVN_ITEMEXPANDED TVN_ITEMEXPANDEDW
#define TVN_BEGINDRAG TVN_BEGINDRAGW
#define TVN_DELETEITEM TVN_DELETEITEMW
#define TVN_BEGINLABELEDIT TVN_BEGINLABELEDITW
#define TVN_ENDLABELEDIT TVN_ENDLABELEDITW

typedef struct tagNMTREEVIEWW {
  NMHDR hdr;
  UINT action;
  TVITEMW itemOld;
  TVITEMW itemNew;
  POINT ptDrag;
} NMTREEVIEWW, *LPNMTREEVIEWW;
typedef NMTREEVIEWW NMTREEVIEW;
typedef LPNMTREEVIEWW LPNMTREEVIEW;
#define NM_TREEVIEW NMTREEVIEWW

typedef struct tagTVDISPINFOW {
  NMHDR hdr;
  TVITEMW item;
} NMTVDISPINFOW, *LPNMTVDISPINFOW;
typedef NMTVDISPINFOW NMTVDISPINFO;
#define TV_DISPINFO NMTVDISPINFOW

#pragma pack(push, 1)
typedef struct tagTVKEYDOWN {
  NMHDR hdr;
  WORD wVKey;
  UINT flags;
} NMTVKEYDOWN, *LPNMTVKEYDOWN;
#pragma pack(pop)

typedef int(CALLBACK* PFNTVCOMPARE)(LPARAM, LPARAM, LPARAM);
typedef struct tagTVSORTCB {
  HTREEITEM hParent;
  PFNTVCOMPARE lpfnCompare;
  LPARAM lParam;
} TVSORTCB, *LPTVSORTCB;

// The tree view's message helpers.
inline HTREEITEM TreeView_InsertItem(HWND hwnd, const TVINSERTSTRUCTW* in) {
  return reinterpret_cast<HTREEITEM>(SendMessageW(hwnd, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(in)));
}
inline BOOL TreeView_DeleteItem(HWND hwnd, HTREEITEM item) {
  return static_cast<BOOL>(SendMessageW(hwnd, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item)));
}
inline BOOL TreeView_Expand(HWND hwnd, HTREEITEM item, UINT code) {
  return static_cast<BOOL>(SendMessageW(hwnd, TVM_EXPAND, code, reinterpret_cast<LPARAM>(item)));
}
inline HTREEITEM TreeView_GetNextItem(HWND hwnd, HTREEITEM item, UINT code) {
  return reinterpret_cast<HTREEITEM>(SendMessageW(hwnd, TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
}
inline HTREEITEM TreeView_GetChild(HWND hwnd, HTREEITEM item) { return TreeView_GetNextItem(hwnd, item, TVGN_CHILD); }
inline HTREEITEM TreeView_GetNextSibling(HWND hwnd, HTREEITEM item) { return TreeView_GetNextItem(hwnd, item, TVGN_NEXT); }
inline HTREEITEM TreeView_GetParent(HWND hwnd, HTREEITEM item) { return TreeView_GetNextItem(hwnd, item, TVGN_PARENT); }
inline HTREEITEM TreeView_GetSelection(HWND hwnd) { return TreeView_GetNextItem(hwnd, nullptr, TVGN_CARET); }
inline HTREEITEM TreeView_GetRoot(HWND hwnd) { return TreeView_GetNextItem(hwnd, nullptr, TVGN_ROOT); }
inline BOOL TreeView_Select(HWND hwnd, HTREEITEM item, UINT code) {
  return static_cast<BOOL>(SendMessageW(hwnd, TVM_SELECTITEM, code, reinterpret_cast<LPARAM>(item)));
}
inline BOOL TreeView_SelectItem(HWND hwnd, HTREEITEM item) { return TreeView_Select(hwnd, item, TVGN_CARET); }
inline BOOL TreeView_GetItem(HWND hwnd, TVITEMW* item) {
  return static_cast<BOOL>(SendMessageW(hwnd, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(item)));
}
inline BOOL TreeView_SetItem(HWND hwnd, const TVITEMW* item) {
  return static_cast<BOOL>(SendMessageW(hwnd, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(item)));
}
inline HTREEITEM TreeView_HitTest(HWND hwnd, TVHITTESTINFO* info) {
  return reinterpret_cast<HTREEITEM>(SendMessageW(hwnd, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(info)));
}
inline BOOL TreeView_EnsureVisible(HWND hwnd, HTREEITEM item) {
  return static_cast<BOOL>(SendMessageW(hwnd, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item)));
}
inline HIMAGELIST TreeView_SetImageList(HWND hwnd, HIMAGELIST list, int which) {
  return reinterpret_cast<HIMAGELIST>(SendMessageW(hwnd, TVM_SETIMAGELIST, static_cast<WPARAM>(which), reinterpret_cast<LPARAM>(list)));
}
