// The skin's own reader of Windows BMP files: core and info headers, 1 to 32 bits per pixel,
// RLE4 and RLE8, bit fields, top-down rows. Every header value is bounded before it sizes
// anything, so a hostile file costs at most a refusal. Sources come through callbacks, so files,
// memory and the player's stream objects read alike.
#pragma once
#include <windows.h>

// How the reader reaches its bytes. `open` receives the pathOrSource given to LoadBmp and
// returns INVALID_HANDLE_VALUE when it cannot; `seek` returns the new position, or 0xFFFFFFFF.
struct BmpSourceCallbacks {
  HANDLE (*open)(const void* source);
  BOOL (*read)(HANDLE handle, void* buffer, DWORD count, DWORD* got);
  DWORD (*seek)(HANDLE handle, LONG offset, DWORD origin);
  void (*close)(HANDLE handle);
};

// The file versions: pathOrSource is a device path (LPCWSTR).
extern const BmpSourceCallbacks kBmpFileCallbacks;

// What LoadBmp gives for a source that is not a BMP at all (or cannot be opened); a BMP that
// fails to read gives null.
#define BMP_NOT_A_BMP (reinterpret_cast<HBITMAP>(static_cast<INT_PTR>(-1)))

// Reads the image into a DIB section: 1 to 8 bits per pixel become 24-bit pixels through the
// colour table; 16, 24 and 32 bits keep their layout; the rows keep the file's order.
HBITMAP LoadBmp(const void* pathOrSource, const BmpSourceCallbacks& callbacks);

// Reads a 40-byte info header, or a 12-byte core header widened to one (the source is left just
// after what it read); fills a missing image size and colour count. False for other sizes.
bool ReadBitmapInfoHeader(HANDLE source, const BmpSourceCallbacks& callbacks, BITMAPINFOHEADER* header);
