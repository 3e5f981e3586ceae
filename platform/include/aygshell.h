// The device's shell: dialogs made for the device (SHInitDialog), the soft-key menu bar, the
// full-screen and input-panel calls, tap-and-hold, notification bubbles, file-change and registry
// notifications, special folders and shortcuts, user-interface metrics, the tray icon.
#pragma once
#include "windows.h"
#include "commctrl.h"

// SHInitDialog
typedef struct tagSHINITDLGINFO {
  DWORD dwMask;
  HWND hDlg;
  DWORD dwFlags;
} SHINITDLGINFO, *PSHINITDLGINFO;
#define SHIDIM_FLAGS 0x0001
#define SHIDIF_DONEBUTTON 0x0001
#define SHIDIF_SIZEDLG 0x0002
#define SHIDIF_SIZEDLGFULLSCREEN 0x0004
#define SHIDIF_SIPDOWN 0x0008
#define SHIDIF_FULLSCREENNOMENUBAR 0x0010
#define SHIDIF_EMPTYMENU 0x0020
#define SHIDIF_WANTSCROLLBAR 0x0040
#define SHIDIF_CANCELBUTTON 0x0080

// The menu bar: a bar of soft keys at the bottom of the screen.
typedef struct tagSHMENUBARINFO {
  DWORD cbSize;
  HWND hwndParent;
  DWORD dwFlags;
  UINT nToolBarId;
  HINSTANCE hInstRes;
  int nBmpId;
  int cBmpImages;
  HWND hwndMB;
  COLORREF clrBk;
} SHMENUBARINFO, *PSHMENUBARINFO;
#define SHCMBF_EMPTYBAR 0x0001
#define SHCMBF_HIDDEN 0x0002
#define SHCMBF_HIDESIPBUTTON 0x0004
#define SHCMBF_COLORBK 0x0008
#define SHCMBF_HMENU 0x0010

#define SHCMBM_SETSUBMENU (WM_USER + 400)
#define SHCMBM_GETSUBMENU (WM_USER + 401)
#define SHCMBM_GETMENU (WM_USER + 402)
#define SHCMBM_OVERRIDEKEY (WM_USER + 403)
#define SHCMBM_SETBKCOLOR (WM_USER + 406)
#define SHMBOF_NODEFAULT 0x00000001
#define SHMBOF_NOTIFY 0x00000002

// The device's keys by their roles.
#define VK_TSOFT1 VK_F1
#define VK_TSOFT2 VK_F2
#define VK_TTALK VK_F3
#define VK_TEND VK_F4
#define VK_THOME VK_LWIN
#define VK_TBACK VK_ESCAPE
#define VK_TACTION VK_RETURN
#define VK_TUP VK_UP
#define VK_TDOWN VK_DOWN
#define VK_TLEFT VK_LEFT
#define VK_TRIGHT VK_RIGHT

// Full screen, the input panel, the Done button.
#define SHFS_SHOWTASKBAR 0x0001
#define SHFS_HIDETASKBAR 0x0002
#define SHFS_SHOWSIPBUTTON 0x0004
#define SHFS_HIDESIPBUTTON 0x0008
#define SHFS_SHOWSTARTICON 0x0010
#define SHFS_HIDESTARTICON 0x0020

typedef enum tagSIPSTATE { SIP_UP = 0, SIP_DOWN, SIP_FORCEDOWN, SIP_UNCHANGED, SIP_INPUTDIALOG } SIPSTATE;

#define SPI_SETSIPINFO 224
#define SPI_GETSIPINFO 225
#define SIPF_OFF 0x00000000
#define SIPF_ON 0x00000001
#define SIPF_DOCKED 0x00000002
#define SIPF_LOCKED 0x00000004
typedef struct tagSIPINFO {
  DWORD cbSize;
  DWORD fdwFlags;
  RECT rcVisibleDesktop;
  RECT rcSipRect;
  DWORD dwImDataSize;
  void* pvImData;
} SIPINFO, *PSIPINFO;

#define SHDB_SHOW 0x0001
#define SHDB_HIDE 0x0002
#define SHDB_SHOWCANCEL 0x0004

// Activation and setting changes handled for a window the shell's way.
typedef struct {
  DWORD cbSize;
  HWND hwndLastFocus;
  UINT fSipUp : 1;
  UINT fSipOnDeactivation : 1;
  UINT fActive : 1;
  UINT fReserved : 29;
} SHACTIVATEINFO, *PSHACTIVATEINFO;

// Tap-and-hold.
typedef struct tagSHRGI {
  DWORD cbSize;
  HWND hwndClient;
  POINT ptDown;
  DWORD dwFlags;
} SHRGINFO, *PSHRGINFO;
#define SHRG_RETURNCMD 0x00000001
#define SHRG_NOTIFYPARENT 0x00000002
#define SHRG_LONGDELAY 0x00000008
#define SHRG_NOANIMATION 0x00000010
#define GN_CONTEXTMENU 1000
#define GN_HOLDPROGRESS 1001  // sent while the hold goes on, when asked for
typedef struct tagNMRGINFO {
  NMHDR hdr;
  POINT ptAction;
  DWORD dwItemSpec;
} NMRGINFO, *PNMRGINFO;

// Notification bubbles. The record's older form ends at lParam; the newer one adds the Today
// soft key (or a menu) and two soft keys of the bubble's own, each sending its command to the sink.
typedef enum _SHNP { SHNP_INFORM = 0x1B1, SHNP_ICONIC = 0 } SHNP;
typedef struct _SOFTKEYCMD {
  WPARAM wpCmd;
  DWORD grfFlags;
} SOFTKEYCMD;
typedef struct _SOFTKEYMENU {
  HMENU hMenu;
  SOFTKEYCMD* prgskc;
  UINT cskc;
} SOFTKEYMENU;
typedef struct _SOFTKEYNOTIFY {
  LPCWSTR pszTitle;
  SOFTKEYCMD skc;
} SOFTKEYNOTIFY;
#define NOTIF_NUM_SOFTKEYS 2
#define NOTIF_SOFTKEY_FLAGS_DISMISS 0x0000
#define NOTIF_SOFTKEY_FLAGS_HIDE 0x0001
#define NOTIF_SOFTKEY_FLAGS_STAYOPEN 0x0002
#define NOTIF_SOFTKEY_FLAGS_SUBMIT_FORM 0x0004
#define NOTIF_SOFTKEY_FLAGS_DISABLED 0x0008
typedef struct _SHNOTIFICATIONDATA {
  DWORD cbStruct;
  DWORD dwID;
  SHNP npPriority;
  DWORD csDuration;
  HICON hicon;
  DWORD grfFlags;
  CLSID clsid;
  HWND hwndSink;
  LPCWSTR pszHTML;
  LPCWSTR pszTitle;
  LPARAM lParam;
  union {
    struct {
      LPCWSTR pszTodaySK;
      LPCWSTR pszTodayExec;
    };
    SOFTKEYMENU skm;
  };
  SOFTKEYNOTIFY rgskn[NOTIF_NUM_SOFTKEYS];
} SHNOTIFICATIONDATA, *PSHNOTIFICATIONDATA;
#define SHNF_STRAIGHTTOTRAY 0x00000001
#define SHNF_CRITICAL 0x00000002
#define SHNF_FORCEMESSAGE 0x00000008
#define SHNF_DISPLAYON 0x00000010
#define SHNF_SILENT 0x00000020
#define SHNF_HASMENU 0x00000040
#define SHNUM_PRIORITY 0x0001
#define SHNUM_DURATION 0x0002
#define SHNUM_ICON 0x0004
#define SHNUM_HTML 0x0008
#define SHNUM_TITLE 0x0010
#define SHNN_FIRST (0U - 1000U)
#define SHNN_LINKSEL (SHNN_FIRST - 0)
#define SHNN_DISMISS (SHNN_FIRST - 1)
#define SHNN_SHOW (SHNN_FIRST - 2)
typedef struct tagNMSHN {
  NMHDR hdr;
  LPARAM lParam;
  DWORD dwReturn;
  union {
    LPCWSTR pszLink;
    BOOL fTimeout;
    POINT pt;
  };
} NMSHN, *PNMSHN;

// File-change notifications: the item words hold paths (pointers on this host).
typedef struct {
  DWORD dwEventMask;
  LPWSTR pszWatchDir;
  BOOL fRecursive;
} SHCHANGENOTIFYENTRY, *PSHCHANGENOTIFYENTRY;
typedef struct _FILECHANGEINFO {
  DWORD cbSize;
  LONG wEventId;
  ULONG uFlags;
  ULONG_PTR dwItem1;
  ULONG_PTR dwItem2;
  DWORD dwAttributes;
  FILETIME ftModified;
  ULONG nFileSize;
} FILECHANGEINFO, *LPFILECHANGEINFO;
typedef struct _FILECHANGENOTIFY {
  DWORD dwRefCount;
  FILECHANGEINFO fci;
} FILECHANGENOTIFY, *LPFILECHANGENOTIFY;
#define SHCNE_RENAMEITEM 0x00000001L
#define SHCNE_CREATE 0x00000002L
#define SHCNE_DELETE 0x00000004L
#define SHCNE_MKDIR 0x00000008L
#define SHCNE_RMDIR 0x00000010L
#define SHCNE_MEDIAINSERTED 0x00000020L
#define SHCNE_MEDIAREMOVED 0x00000040L
#define SHCNE_DRIVEREMOVED 0x00000080L
#define SHCNE_DRIVEADD 0x00000100L
#define SHCNE_ATTRIBUTES 0x00000800L
#define SHCNE_UPDATEDIR 0x00001000L
#define SHCNE_UPDATEITEM 0x00002000L
#define SHCNE_RENAMEFOLDER 0x00020000L
#define SHCNE_ALLEVENTS 0x7FFFFFFFL
#define SHCNF_IDLIST 0x0000
#define SHCNF_PATH 0x0001
#define WM_FILECHANGEINFO (WM_APP + 0x0101)

// User-interface metrics.
typedef enum { SHUIM_INVALID = 0, SHUIM_FONTSIZE_POINT, SHUIM_FONTSIZE_PIXEL, SHUIM_FONTSIZE_PERCENTAGE } SHUIMETRIC;
#define SH_UIMETRIC_CHANGE u"SH_UIMETRIC_CHANGE"

// Special folders.
#define CSIDL_DESKTOP 0x0000
#define CSIDL_PROGRAMS 0x0002
#define CSIDL_CONTROLS 0x0003
#define CSIDL_PRINTERS 0x0004
#define CSIDL_PERSONAL 0x0005
#define CSIDL_FAVORITES 0x0006
#define CSIDL_STARTUP 0x0007
#define CSIDL_RECENT 0x0008
#define CSIDL_STARTMENU 0x000B
#define CSIDL_MYMUSIC 0x000D
#define CSIDL_MYVIDEO 0x000E
#define CSIDL_DESKTOPDIRECTORY 0x0010
#define CSIDL_FONTS 0x0014
#define CSIDL_APPDATA 0x001A
#define CSIDL_WINDOWS 0x0024
#define CSIDL_PROGRAM_FILES 0x0026
#define CSIDL_MYPICTURES 0x0027

// The system's small-icon list and file information.
typedef struct _SHFILEINFO {
  HICON hIcon;
  int iIcon;
  DWORD dwAttributes;
  WCHAR szDisplayName[MAX_PATH];
  WCHAR szTypeName[80];
} SHFILEINFO;
#define SHGFI_ICON 0x000000100
#define SHGFI_DISPLAYNAME 0x000000200
#define SHGFI_TYPENAME 0x000000400
#define SHGFI_ATTRIBUTES 0x000000800
#define SHGFI_SYSICONINDEX 0x000004000
#define SHGFI_SMALLICON 0x000000001
#define SHGFI_LARGEICON 0x000000000
#define SHGFI_USEFILEATTRIBUTES 0x000000010

// The tray.
typedef struct _NOTIFYICONDATA {
  DWORD cbSize;
  HWND hWnd;
  UINT uID;
  UINT uFlags;
  UINT uCallbackMessage;
  HICON hIcon;
  WCHAR szTip[64];
} NOTIFYICONDATA, *PNOTIFYICONDATA;
#define NIM_ADD 0x00000000
#define NIM_MODIFY 0x00000001
#define NIM_DELETE 0x00000002
#define NIF_MESSAGE 0x00000001
#define NIF_ICON 0x00000002
#define NIF_TIP 0x00000004

// Registry notifications.
DECLARE_HANDLE(HREGNOTIFY);
typedef enum tagREG_COMPARISONTYPE {
  REG_CT_EQUAL,
  REG_CT_NOT_EQUAL,
  REG_CT_GREATER,
  REG_CT_GREATER_OR_EQUAL,
  REG_CT_LESS,
  REG_CT_LESS_OR_EQUAL,
  REG_CT_CONTAINS,
  REG_CT_STARTS_WITH,
  REG_CT_ENDS_WITH,
  REG_CT_ANYCHANGE
} REG_COMPARISONTYPE;
typedef struct tagNOTIFICATIONCONDITION {
  REG_COMPARISONTYPE ctComparisonType;
  DWORD dwMask;
  union {
    LPCWSTR psz;
    DWORD dw;
  } TargetValue;
} NOTIFICATIONCONDITION;

extern "C" {

BOOL SHInitDialog(PSHINITDLGINFO info);
BOOL SHCreateMenuBar(SHMENUBARINFO* info);
HWND SHFindMenuBar(HWND parent);
BOOL SHFullScreen(HWND hwnd, DWORD state);
BOOL SHSipPreference(HWND hwnd, SIPSTATE state);
BOOL SHSipInfo(UINT action, UINT param, PVOID data, UINT winIni);
BOOL SHDoneButton(HWND hwnd, DWORD state);
BOOL SHHandleWMActivate(HWND hwnd, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info, DWORD flags);
BOOL SHHandleWMSettingChange(HWND hwnd, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info);
DWORD SHRecognizeGesture(SHRGINFO* info);
BOOL SHSetNavBarText(HWND hwnd, LPCWSTR text);
BOOL SHSendBackToFocusWindow(UINT message, WPARAM wParam, LPARAM lParam);
void SHIdleTimerReset();
HRESULT SHCloseApps(DWORD memoryWanted);
void SHInitExtraControls();

HRESULT SHNotificationAdd(SHNOTIFICATIONDATA* data);
HRESULT SHNotificationUpdate(DWORD mask, SHNOTIFICATIONDATA* data);
HRESULT SHNotificationRemove(const CLSID* clsid, DWORD id);
HRESULT SHNotificationGetData(const CLSID* clsid, DWORD id, SHNOTIFICATIONDATA* data);

BOOL SHChangeNotifyRegister(HWND hwnd, SHCHANGENOTIFYENTRY* entry);
BOOL SHChangeNotifyDeregister(HWND hwnd);
void SHChangeNotifyFree(FILECHANGENOTIFY* notify);
void SHChangeNotify(LONG eventId, UINT flags, LPCVOID item1, LPCVOID item2);

HRESULT SHGetUIMetrics(SHUIMETRIC metric, PVOID data, DWORD size, DWORD* needed);
BOOL SHGetSpecialFolderPath(HWND owner, LPWSTR path, int folder, BOOL create);
BOOL SHGetShortcutTarget(LPCWSTR shortcut, LPWSTR target, int chars);
DWORD_PTR SHGetFileInfo(LPCWSTR path, DWORD attributes, SHFILEINFO* info, UINT size, UINT flags);
BOOL Shell_NotifyIcon(DWORD message, PNOTIFYICONDATA data);

HRESULT RegistryNotifyWindow(HKEY root, LPCWSTR subKey, LPCWSTR valueName, HWND hwnd, UINT message, DWORD userData,
                             NOTIFICATIONCONDITION* condition, HREGNOTIFY* notify);
HRESULT RegistryCloseNotification(HREGNOTIFY notify);
HRESULT RegistryGetDWORD(HKEY root, LPCWSTR subKey, LPCWSTR valueName, DWORD* data);

}  // extern "C"
