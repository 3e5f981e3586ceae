// Libraries and version: loading plug-ins and the layer's system libraries by device path,
// binding exports by name or ordinal, and what the device profile says about the system.
#pragma once
#include "windef.h"

#define LOAD_LIBRARY_AS_DATAFILE 0x00000002
#define DONT_RESOLVE_DLL_REFERENCES 0x00000001

// Also wanted by the resource and window headers; whoever comes first defines them.
#ifndef MAKEINTRESOURCEW
#define MAKEINTRESOURCEW(i) ((LPWSTR)((ULONG_PTR)((WORD)(i))))
#endif
#ifndef MAKEINTRESOURCE
#define MAKEINTRESOURCE MAKEINTRESOURCEW
#endif
#ifndef IS_INTRESOURCE
#define IS_INTRESOURCE(p) ((((ULONG_PTR)(p)) >> 16) == 0)
#endif

#define VER_PLATFORM_WIN32_CE 3

typedef struct _OSVERSIONINFOW {
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  WCHAR szCSDVersion[128];
} OSVERSIONINFOW, *POSVERSIONINFOW, *LPOSVERSIONINFOW, OSVERSIONINFO, *LPOSVERSIONINFO;

// SystemParametersInfoW actions answered from the device profile.
#ifndef SPI_GETWORKAREA
#define SPI_GETWORKAREA 48
#endif
#ifndef SPI_GETPLATFORMTYPE
#define SPI_GETPLATFORMTYPE 257
#endif
#ifndef SPI_GETOEMINFO
#define SPI_GETOEMINFO 258
#endif

extern "C" {

HMODULE LoadLibraryW(LPCWSTR fileName);
HMODULE LoadLibraryExW(LPCWSTR fileName, HANDLE reserved, DWORD flags);
HMODULE GetModuleHandleW(LPCWSTR moduleName);
// `procName` is a name, or an ordinal in its low word (MAKEINTRESOURCEW).
FARPROC GetProcAddressW(HMODULE module, LPCWSTR procName);
BOOL FreeLibrary(HMODULE module);
DWORD GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size);

BOOL GetVersionExW(LPOSVERSIONINFOW info);
BOOL SystemParametersInfoW(UINT action, UINT param, PVOID data, UINT winIni);

// The program's entry, called by the layer with the command line after the program name.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int show);

}  // extern "C"
