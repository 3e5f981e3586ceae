// Whole-file text input and output: playlists, skin scripts and classic-skin texts are read as
// one NUL-terminated UTF-16 string (freed with free) and written back in a chosen code page.
#pragma once
#include <windows.h>

// Code-page ids of the callers: -1 Windows-1252, -2 UTF-8, -3 UTF-16 little-endian, any other
// negative value the system's ANSI code page; a non-negative id is a code page number.
UINT CodePageFromId(int id);

// The text of `count` bytes: a leading FF FE makes the rest UTF-16 and a leading EF BB BF makes
// it UTF-8, whatever code page was asked for. A new string, or null below 2 bytes or on failure.
WCHAR* DecodeText(const BYTE* bytes, DWORD count, UINT codePage);

// The whole file as a new string (see DecodeText), or null.
WCHAR* ReadTextFile(const WCHAR* path, int codePageId);

// Replaces the file with the text: UTF-16 (id -3) with FF FE and the terminating NUL, any other
// code page without a byte-order mark or terminator. 1 when every byte was written, else 0 and
// the earlier file is left as it was.
BOOL WriteTextFile(const WCHAR* path, const WCHAR* text, int codePageId);
