// Code pages and conversions between them and UTF-16.
#pragma once
#include "windef.h"

#define CP_ACP 0
#define CP_OEMCP 1
#define CP_MACCP 2
#define CP_THREAD_ACP 3
#define CP_UTF7 65000
#define CP_UTF8 65001

#define MB_PRECOMPOSED 0x00000001
#define MB_COMPOSITE 0x00000002
#define MB_USEGLYPHCHARS 0x00000004
#define MB_ERR_INVALID_CHARS 0x00000008

#define WC_DISCARDNS 0x00000010
#define WC_SEPCHARS 0x00000020
#define WC_DEFAULTCHAR 0x00000040
#define WC_COMPOSITECHECK 0x00000200
#define WC_NO_BEST_FIT_CHARS 0x00000400

#define LOCALE_USER_DEFAULT 0x0400
#define LOCALE_SYSTEM_DEFAULT 0x0800
#define TIME_NOMINUTESORSECONDS 0x00000001
#define TIME_NOSECONDS 0x00000002
#define TIME_NOTIMEMARKER 0x00000004
#define TIME_FORCE24HOURFORMAT 0x00000008

#define MAX_LEADBYTES 12
#define MAX_DEFAULTCHAR 2

typedef struct _cpinfo {
  UINT MaxCharSize;
  BYTE DefaultChar[MAX_DEFAULTCHAR];
  BYTE LeadByte[MAX_LEADBYTES];
} CPINFO, *LPCPINFO;

extern "C" {

// Lengths of -1 take the input up to and including its terminator; an output size of 0 asks
// for the size needed. A too-small output fails with ERROR_INSUFFICIENT_BUFFER.
int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR multiByte, int multiByteLength, LPWSTR wide,
                               int wideLength);
int WINAPI WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, LPSTR multiByte,
                               int multiByteLength, LPCSTR defaultChar, LPBOOL usedDefaultChar);
UINT WINAPI GetACP();
UINT WINAPI GetOEMCP();
BOOL WINAPI IsValidCodePage(UINT codePage);
BOOL WINAPI GetCPInfo(UINT codePage, LPCPINFO info);
BOOL WINAPI IsDBCSLeadByte(BYTE test);
BOOL WINAPI IsDBCSLeadByteEx(UINT codePage, BYTE test);

// The time of day as the locale writes it ("h:mm:ss tt" for the user's English locale); a null
// time is the local time now. The format must be null. Answers the characters written with the
// terminator (or needed, for a size of 0); 0 on failure.
int WINAPI GetTimeFormatW(LCID locale, DWORD flags, const SYSTEMTIME* time, LPCWSTR format, LPWSTR text, int size);

}  // extern "C"
