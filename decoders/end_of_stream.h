// How a decode thread tells the main window that its stream ended: message 1123 posted to the
// record's host window, wParam 0 for a normal end, 1 when it ended early.
#pragma once
#include <windows.h>

#define DECODER_END_OF_STREAM_MESSAGE (WM_USER + 99)

void PostEndOfStream(HWND window, int status);
