// Skin images, resources and album art as device bitmaps: BMP through the skin's own reader,
// everything else through the platform's image decompressor, with a one-bit transparency mask
// (white where the picture is transparent) for images that have transparency.
#pragma once
#include <imgdecmp.h>
#include <windows.h>

struct InputSource;

// The variant-2 decompression record: the plain record, with a seek callback after it.
#define DECOMPRESS_IMAGE_INFO2_SIZE 0x23
#define DECOMPRESS2_FLAG_DONE 0x4  // set by our own variant when it gave a bitmap out (or had nowhere to)
typedef HRESULT(CALLBACK* SEEKDATAFUNC)(LONGLONG offset, DWORD origin, DWORD* position, LPARAM lParam);
struct DecompressImageInfo2 {
  DWORD dwSize;   // DECOMPRESS_IMAGE_INFO2_SIZE
  DWORD dwFlags;  // 1 from the caller
  DecompressImageInfo info;
  SEEKDATAFUNC pfnSeek;
};

typedef HRESULT (*DecompressImageFn)(DecompressImageInfo* info);
typedef HRESULT (*DecompressImage2Fn)(DecompressImageInfo2* info);

// An image held in memory, for LoadImageFromMemory.
struct ImageMemory {
  const BYTE* data;
  DWORD size;
};

// Finds the decompressor entries (the libraries stay loaded for the process): true when either
// was found. On systems of version 5 and later without "cmgdecmp", our own variant 2 stands in.
bool BindImageDecoder(DecompressImageFn* decompress, DecompressImage2Fn* decompress2);
// Lets the bound libraries go, so that the next bind looks again (for a changed device).
void ReleaseImageDecoders();

// Our own variant 2: 0 or the decode's failure; E_FAIL for a record of another size.
HRESULT DecompressImageIndirect2(DecompressImageInfo2* record);

HBITMAP LoadImageFile(HWND window, LPCWSTR path, BOOL trueColour, HBITMAP* mask);
HBITMAP LoadImageFilePlain(HWND window, LPCWSTR path, BOOL trueColour);
HBITMAP LoadImageFromMemory(HWND window, const ImageMemory* memory, BOOL tryBmpFirst);
// The stream is open; it is read from where it stands and rewound between the two readers.
HBITMAP LoadImageFromStream(HWND window, InputSource* stream);

// Writes resource (id, type) of the module to a new file "rsrc<n>.<extension>" in the temporary
// folder; the caller deletes it after use.
BOOL ExtractResourceToTempFile(HMODULE module, LPCWSTR id, LPCWSTR type, LPCWSTR extension, LPWSTR path);
