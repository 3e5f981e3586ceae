// The UTF-8 core under the program's code-page front ends (WideToMultiByte and MultiByteToWide
// for code page 65001): one code point at a time in each direction, never past a buffer's end.
#pragma once
#include <windows.h>

// Encodes UTF-16 from *source up to sourceEnd as UTF-8 into *destination (up to destinationEnd),
// advancing both pointers; returns the bytes produced. A null destination only counts. A
// character that would not fit whole stops the conversion. A lone surrogate stops it too unless
// `lenient` is set, in which case it becomes U+FFFD.
int EncodeUtf8(const WCHAR** source, const WCHAR* sourceEnd, BYTE** destination, const BYTE* destinationEnd,
               BOOL lenient);

// Decodes the character at `bytes` (with `left` bytes available): returns its code point (up to
// U+10FFFF) and sets *length to the bytes it took (1 to 4). A byte that starts no well-formed
// sequence is one character of its own value, except 0x95, which stored texts use for U+2022.
// A sequence cut short by the end of the input gives 0, *length 0 and *missing = `left`.
DWORD DecodeUtf8Char(const BYTE* bytes, int left, int* length, int* missing);
