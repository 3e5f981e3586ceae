// How a decode thread tells the main window that its stream ended (message 1123, wParam 0 for a
// normal end, 1 when it ended early). The window system is not in the layer yet, so the host
// installs the poster; without one the end is not reported.
#pragma once
#include <windows.h>

#define DECODER_END_OF_STREAM_MESSAGE 1123

using EndOfStreamPoster = void (*)(HWND window, UINT message, int status);

void SetEndOfStreamPoster(EndOfStreamPoster poster);
void PostEndOfStream(HWND window, int status);
