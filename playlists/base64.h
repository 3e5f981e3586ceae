// Base64 text (the standard alphabet, "=" padding) into bytes: how Vorbis comments carry their
// cover art, and how the stream client's credentials travel.
#pragma once
#include <windows.h>

// With a null output: the size to provide (length × 3 / 4 + 4). With an output of that size:
// writes the bytes and one zero behind them, stores their count in *decoded (may be null) and
// returns 0; -1 for text that is not Base64, with nothing promised in the output.
int Base64Decode(const char* text, BYTE* output, DWORD* decoded = nullptr);
