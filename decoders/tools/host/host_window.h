// The host side of a decoder record for the tools, the benchmark and the tests: a host window for
// the end-of-stream message, and a host file opened as the only file of a device.
#pragma once
#include <windows.h>

#include <string>

// A window of this thread to put into the record's host window slot.
HWND CreateHostWindow();
// Runs this thread's messages until the decoder reports the end of its stream to `window`, for
// at most `maxMs` (INFINITE: no bound). Its wParam, or -1 when it did not come.
int WaitForEndOfStream(HWND window, DWORD maxMs);
// Makes the folder of a host file the device and gives the file's device path; false (with a
// message on stderr naming `tool`) when it is no regular file.
bool UseFileFolderAsDevice(const char* tool, const char* hostFile, std::u16string* devicePath);
