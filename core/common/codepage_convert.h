// The program's front ends to the platform's code-page conversions: code page 65001 (UTF-8)
// through the program's own UTF-8 core, and -1 for a raw UTF-16 little-endian copy; every other
// code page goes to the platform unchanged.
#pragma once
#include <windows.h>

constexpr UINT kRawUtf16CodePage = static_cast<UINT>(-1);

// The arguments and results of WideCharToMultiByte. For 65001 the result is the bytes produced
// (or needed, with a null or empty output), never writing past out + outSize.
int WideToMultiByte(UINT codePage, DWORD flags, const WCHAR* text, int length, char* out, int outSize,
                    const char* defaultChar, BOOL* usedDefault);

// The arguments and results of MultiByteToWideChar. For 65001 and -1 the result is the number
// of characters stored (or needed, with a null or empty output); a character that does not fit
// whole ends the conversion, and so does a sequence cut short at the end of the input.
int MultiByteToWide(UINT codePage, DWORD flags, const char* text, int length, WCHAR* out, int outSize);
