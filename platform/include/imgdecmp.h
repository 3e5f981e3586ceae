// Image decompression as the platform's imgdecmp library offers it: DecompressImageIndirect
// reads an image through a caller's callback and gives back a device bitmap of the requested
// depth and size, and an image-render object that can draw the image and its mask again.
#pragma once
#include "windows.h"

// The object handed to the progress callback (and out through ppImageRender). Reference
// counted; its first three entries are IUnknown's.
struct IImageRender {
  virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) = 0;
  virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
  virtual ULONG STDMETHODCALLTYPE Release() = 0;
  // Draws the image stretched into the rectangle, over what the DC holds where it is transparent.
  virtual HRESULT STDMETHODCALLTYPE Draw(HDC hdc, const RECT* rect) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetOrigWidth(int* width) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetOrigHeight(int* height) = 0;
  // Whether any pixel of the image is not fully opaque.
  virtual HRESULT STDMETHODCALLTYPE HasTransparency(BOOL* transparent) = 0;
  // Draws the mask into the rectangle: white where the image is transparent, black where opaque.
  virtual HRESULT STDMETHODCALLTYPE DrawMask(HDC hdc, const RECT* rect) = 0;
};

typedef DWORD(CALLBACK* GETDATAFUNC)(LPSTR buffer, DWORD bufferMax, LPARAM lParam);
typedef void(CALLBACK* PROGRESSFUNC)(IImageRender* render, BOOL complete, LPARAM lParam);

// dwSize is sizeof(DecompressImageInfo). Bytes already in pbBuffer (dwBufferCurrent of them)
// are read before the callback is asked for more.
typedef struct tagDecompressImageInfo {
  DWORD dwSize;
  LPBYTE pbBuffer;
  DWORD dwBufferMax;
  DWORD dwBufferCurrent;
  HBITMAP* phBM;
  IImageRender** ppImageRender;
  int iBitDepth;
  LPARAM lParam;
  HDC hdc;
  int iScale;
  int iMaxWidth;
  int iMaxHeight;
  GETDATAFUNC pfnGetData;
  PROGRESSFUNC pfnImageProgress;
  COLORREF crTransparentOverride;
} DecompressImageInfo;

extern "C" HRESULT DecompressImageIndirect(DecompressImageInfo* params);
