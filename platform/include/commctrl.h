// Common controls: the image lists (strips of equally sized images with an optional monochrome
// mask, drawn opaque, transparent through the mask, or blended for selection) and the control
// classes InitCommonControlsEx brings: list view, header, tree view, track bar, up-down,
// progress bar, tab control and the toolbar that carries the soft keys; property sheets.
#pragma once
#include "windows.h"

#define CLR_NONE 0xFFFFFFFFL
#define CLR_DEFAULT 0xFF000000L

#define ILC_MASK 0x0001
#define ILC_COLOR 0x0000
#define ILC_COLORDDB 0x00FE
#define ILC_COLOR4 0x0004
#define ILC_COLOR8 0x0008
#define ILC_COLOR16 0x0010
#define ILC_COLOR24 0x0018
#define ILC_COLOR32 0x0020

#define ILD_NORMAL 0x0000
#define ILD_TRANSPARENT 0x0001
#define ILD_BLEND25 0x0002
#define ILD_BLEND50 0x0004
#define ILD_MASK 0x0010
#define ILD_IMAGE 0x0020
#define ILD_OVERLAYMASK 0x0F00
#define ILD_FOCUS ILD_BLEND25
#define ILD_SELECTED ILD_BLEND50
#define ILD_BLEND ILD_BLEND50

extern "C" {

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow);
BOOL ImageList_Destroy(HIMAGELIST list);
int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask);
int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF maskColour);
BOOL ImageList_Draw(HIMAGELIST list, int index, HDC hdc, int x, int y, UINT style);
BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy);

}  // extern "C"

#define I_IMAGECALLBACK (-1)
#define I_IMAGENONE (-2)
#define I_CHILDRENCALLBACK (-1)

#define INDEXTOSTATEIMAGEMASK(i) ((i) << 12)
#define INDEXTOOVERLAYMASK(i) ((i) << 8)

extern "C" {
BOOL ImageList_SetOverlayImage(HIMAGELIST list, int image, int overlay);
int ImageList_GetImageCount(HIMAGELIST list);
BOOL ImageList_Remove(HIMAGELIST list, int index);
int ImageList_ReplaceIcon(HIMAGELIST list, int index, HICON icon);
HIMAGELIST ImageList_LoadImageW(HINSTANCE instance, LPCWSTR name, int cx, int grow, COLORREF mask, UINT type,
                                UINT flags);
}  // extern "C"
#define ImageList_AddIcon(list, icon) ImageList_ReplaceIcon(list, -1, icon)
#define ImageList_LoadImage ImageList_LoadImageW
#define ImageList_LoadBitmap(i, b, cx, grow, mask) ImageList_LoadImageW(i, b, cx, grow, mask, IMAGE_BITMAP, 0)

// ---- Initialisation ------------------------------------------------------------------------
typedef struct tagINITCOMMONCONTROLSEX {
  DWORD dwSize;
  DWORD dwICC;
} INITCOMMONCONTROLSEX, *LPINITCOMMONCONTROLSEX;

#define ICC_LISTVIEW_CLASSES 0x00000001
#define ICC_TREEVIEW_CLASSES 0x00000002
#define ICC_BAR_CLASSES 0x00000004
#define ICC_TAB_CLASSES 0x00000008
#define ICC_UPDOWN_CLASS 0x00000010
#define ICC_PROGRESS_CLASS 0x00000020
#define ICC_HOTKEY_CLASS 0x00000040
#define ICC_ANIMATE_CLASS 0x00000080
#define ICC_WIN95_CLASSES 0x000000FF
#define ICC_DATE_CLASSES 0x00000100
#define ICC_USEREX_CLASSES 0x00000200
#define ICC_COOL_CLASSES 0x00000400

extern "C" {
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init);
void InitCommonControls();
}  // extern "C"

#define WC_LISTVIEWW u"SysListView32"
#define WC_HEADERW u"SysHeader32"
#define WC_TREEVIEWW u"SysTreeView32"
#define WC_TABCONTROLW u"SysTabControl32"
#define TRACKBAR_CLASSW u"msctls_trackbar32"
#define UPDOWN_CLASSW u"msctls_updown32"
#define PROGRESS_CLASSW u"msctls_progress32"
#define TOOLBARCLASSNAMEW u"ToolbarWindow32"
#define WC_LISTVIEW WC_LISTVIEWW
#define WC_HEADER WC_HEADERW
#define WC_TREEVIEW WC_TREEVIEWW
#define WC_TABCONTROL WC_TABCONTROLW
#define TRACKBAR_CLASS TRACKBAR_CLASSW
#define UPDOWN_CLASS UPDOWN_CLASSW
#define PROGRESS_CLASS PROGRESS_CLASSW
#define TOOLBARCLASSNAME TOOLBARCLASSNAMEW

// ---- Notifications and custom draw, shared by the controls ---------------------------------
#define NM_FIRST 0U
#define NM_OUTOFMEMORY (NM_FIRST - 1)
#define NM_CLICK (NM_FIRST - 2)
#define NM_DBLCLK (NM_FIRST - 3)
#define NM_RETURN (NM_FIRST - 4)
#define NM_RCLICK (NM_FIRST - 5)
#define NM_RDBLCLK (NM_FIRST - 6)
#define NM_SETFOCUS (NM_FIRST - 7)
#define NM_KILLFOCUS (NM_FIRST - 8)
#define NM_CUSTOMDRAW (NM_FIRST - 12)
#define NM_RECOGNIZEGESTURE (NM_FIRST - 16)
#define LVN_FIRST (0U - 100U)
#define HDN_FIRST (0U - 300U)
#define TVN_FIRST (0U - 400U)
#define TCN_FIRST (0U - 550U)
#define TBN_FIRST (0U - 700U)
#define UDN_FIRST (0U - 721U)

#define CCM_FIRST 0x2000
#define CCM_SETBKCOLOR (CCM_FIRST + 1)

typedef struct tagNMCUSTOMDRAWINFO {
  NMHDR hdr;
  DWORD dwDrawStage;
  HDC hdc;
  RECT rc;
  DWORD_PTR dwItemSpec;
  UINT uItemState;
  LPARAM lItemlParam;
} NMCUSTOMDRAW, *LPNMCUSTOMDRAW;

typedef struct tagNMLVCUSTOMDRAW {
  NMCUSTOMDRAW nmcd;
  COLORREF clrText;
  COLORREF clrTextBk;
  int iSubItem;
} NMLVCUSTOMDRAW, *LPNMLVCUSTOMDRAW;

typedef struct tagNMTVCUSTOMDRAW {
  NMCUSTOMDRAW nmcd;
  COLORREF clrText;
  COLORREF clrTextBk;
  int iLevel;
} NMTVCUSTOMDRAW, *LPNMTVCUSTOMDRAW;

#define CDDS_PREPAINT 0x00000001
#define CDDS_POSTPAINT 0x00000002
#define CDDS_PREERASE 0x00000003
#define CDDS_POSTERASE 0x00000004
#define CDDS_ITEM 0x00010000
#define CDDS_ITEMPREPAINT (CDDS_ITEM | CDDS_PREPAINT)
#define CDDS_ITEMPOSTPAINT (CDDS_ITEM | CDDS_POSTPAINT)
#define CDDS_SUBITEM 0x00020000
#define CDRF_DODEFAULT 0x00000000
#define CDRF_NEWFONT 0x00000002
#define CDRF_SKIPDEFAULT 0x00000004
#define CDRF_NOTIFYPOSTPAINT 0x00000010
#define CDRF_NOTIFYITEMDRAW 0x00000020
#define CDRF_NOTIFYSUBITEMDRAW 0x00000020
#define CDRF_NOTIFYPOSTERASE 0x00000040
#define CDIS_SELECTED 0x0001
#define CDIS_GRAYED 0x0002
#define CDIS_DISABLED 0x0004
#define CDIS_CHECKED 0x0008
#define CDIS_FOCUS 0x0010
#define CDIS_DEFAULT 0x0020
#define CDIS_HOT 0x0040

#include "commctrl_listview.h"
#include "commctrl_treeview.h"
#include "commctrl_bars.h"
#include "prsht.h"
