// The image loaders. Each tries the BMP reader first where the source may be a BMP (and always
// when no decompressor can be bound), then the bound decompressor with the records filled as the
// platform expects them. The mask comes from the image-render object the decode hands out.
#include "skin/image_loader.h"

#include <vector>

#include "skin/bmp_reader.h"
#include "skin/image_sources.h"

using namespace zb::skin;

namespace {

constexpr DWORD kWorkBuffer = 8192;
constexpr int kMaxSide = 10000;

struct Decoders {
  DecompressImageFn plain = nullptr;
  DecompressImage2Fn v2 = nullptr;
};

bool IsBitmap(HBITMAP result) { return result && result != BMP_NOT_A_BMP; }

// The display's depth, raised to 24 for a 16-bit display or when true colour is asked for.
int DecodeDepth(HDC dc, bool trueColour) {
  int bits = GetDeviceCaps(dc, BITSPIXEL);
  if (bits == 16 || trueColour || bits <= 0) bits = 24;
  return bits;
}

// Draws the image over `fill` and XORs the fill back out: zero where only the fill showed.
bool DrawOverAndXor(HDC dc, IImageRender* render, const RECT& r, COLORREF fill) {
  HBRUSH brush = CreateSolidBrush(fill);
  if (!brush) return false;
  FillRect(dc, &r, brush);
  const bool drawn = SUCCEEDED(render->Draw(dc, &r));
  HGDIOBJ old = SelectObject(dc, brush);
  PatBlt(dc, 0, 0, r.right, r.bottom, PATINVERT);
  SelectObject(dc, old);
  DeleteObject(brush);
  return drawn;
}

// The one-bit mask of an image with transparency, at the bitmap's size: white where both fills
// showed through (transparent), black where the image covers them.
HBITMAP BuildMask(HDC screen, IImageRender* render, HBITMAP bitmap) {
  BITMAP bm{};
  if (!GetObjectW(bitmap, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight == 0) return nullptr;
  const int w = bm.bmWidth, h = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
  const RECT r{0, 0, w, h};
  HDC a = CreateCompatibleDC(screen), b = CreateCompatibleDC(screen), m = CreateCompatibleDC(screen);
  HBITMAP ba = CreateCompatibleBitmap(screen, w, h), bb = CreateCompatibleBitmap(screen, w, h);
  HBITMAP mask = CreateBitmap(w, h, 1, 1, nullptr);
  bool ok = a && b && m && ba && bb && mask;
  if (ok) {
    HGDIOBJ oldA = SelectObject(a, ba), oldB = SelectObject(b, bb), oldM = SelectObject(m, mask);
    ok = DrawOverAndXor(a, render, r, RGB(255, 0, 255)) && DrawOverAndXor(b, render, r, RGB(0, 255, 0));
    BitBlt(a, 0, 0, w, h, b, 0, 0, SRCPAINT);
    BitBlt(a, 0, 0, w, h, a, 0, 0, NOTSRCCOPY);
    SetBkColor(a, RGB(255, 255, 255));  // white becomes the mask's 1
    BitBlt(m, 0, 0, w, h, a, 0, 0, SRCCOPY);
    SelectObject(a, oldA);
    SelectObject(b, oldB);
    SelectObject(m, oldM);
  }
  for (HDC dc : {a, b, m})
    if (dc) DeleteDC(dc);
  for (HBITMAP made : {ba, bb})
    if (made) DeleteObject(made);
  if (!ok && mask) {
    DeleteObject(mask);
    mask = nullptr;
  }
  return mask;
}

// One decode of `source` through whichever entry was bound; the mask when one is asked for and
// the image has transparency.
HBITMAP Decode(HWND window, const Decoders& decoders, ImageSource& source, bool trueColour, HBITMAP* mask) {
  HDC dc = GetDC(window);
  ImageContext context{dc, &source, mask != nullptr};
  std::vector<BYTE> buffer(kWorkBuffer, 0);
  HBITMAP bitmap = nullptr;
  DecompressImageInfo2 record{};
  record.dwSize = DECOMPRESS_IMAGE_INFO2_SIZE;
  record.dwFlags = 1;
  record.pfnSeek = SeekImageData;
  DecompressImageInfo& info = record.info;
  info.dwSize = sizeof info;
  info.pbBuffer = buffer.data();
  info.dwBufferMax = kWorkBuffer;
  info.phBM = &bitmap;
  info.iBitDepth = DecodeDepth(dc, trueColour);
  info.lParam = reinterpret_cast<LPARAM>(&context);
  info.hdc = dc;
  info.iScale = 100;
  info.iMaxWidth = kMaxSide;
  info.iMaxHeight = kMaxSide;
  info.pfnGetData = ReadImageData;
  info.pfnImageProgress = KeepImageRender;
  info.crTransparentOverride = static_cast<COLORREF>(-1);
  const HRESULT hr = decoders.v2 ? decoders.v2(&record) : decoders.plain(&info);
  if (FAILED(hr) && bitmap) {
    DeleteObject(bitmap);
    bitmap = nullptr;
  }
  if (bitmap && mask && context.render) {
    BOOL transparent = FALSE;
    if (SUCCEEDED(context.render->HasTransparency(&transparent)) && transparent) *mask = BuildMask(dc, context.render, bitmap);
  }
  if (context.render) context.render->Release();
  ReleaseDC(window, dc);
  return bitmap;
}

HBITMAP LoadFile(HWND window, LPCWSTR path, BOOL trueColour, HBITMAP* mask) {
  if (mask) *mask = nullptr;
  if (!path || GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) return nullptr;
  HBITMAP bmp = LoadBmp(path, kBmpFileCallbacks);
  if (IsBitmap(bmp)) return bmp;
  Decoders decoders;
  if (!BindImageDecoder(&decoders.plain, &decoders.v2)) return nullptr;
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  FileImageSource source(file);
  HBITMAP bitmap = Decode(window, decoders, source, trueColour, mask);
  CloseHandle(file);
  return bitmap;
}

// The memory and stream loaders mark the decode in the debug output.
HBITMAP DecodeLogged(HWND window, const Decoders& decoders, ImageSource& source) {
  OutputDebugStringW(u"### About to DecompressImageIndirect\r\n");
  HBITMAP bitmap = Decode(window, decoders, source, false, nullptr);
  OutputDebugStringW(u"### Done with DecompressImageIndirect\r\n");
  return bitmap;
}

}  // namespace

HBITMAP LoadImageFile(HWND window, LPCWSTR path, BOOL trueColour, HBITMAP* mask) {
  return LoadFile(window, path, trueColour, mask);
}

HBITMAP LoadImageFilePlain(HWND window, LPCWSTR path, BOOL trueColour) {
  return LoadFile(window, path, trueColour, nullptr);
}

HBITMAP LoadImageFromMemory(HWND window, const ImageMemory* memory, BOOL tryBmpFirst) {
  if (!memory || (!memory->data && memory->size)) return nullptr;
  if (tryBmpFirst) {
    HBITMAP bmp = LoadBmp(memory, kBmpMemoryCallbacks);
    if (IsBitmap(bmp)) return bmp;
  }
  Decoders decoders;
  if (!BindImageDecoder(&decoders.plain, &decoders.v2)) {
    if (tryBmpFirst) return nullptr;
    HBITMAP bmp = LoadBmp(memory, kBmpMemoryCallbacks);
    return IsBitmap(bmp) ? bmp : nullptr;
  }
  MemoryImageSource source(*memory);
  return DecodeLogged(window, decoders, source);
}

HBITMAP LoadImageFromStream(HWND window, InputSource* stream) {
  if (!stream) return nullptr;
  StreamImageSource source(stream);
  HBITMAP bmp = LoadBmp(stream, kBmpStreamCallbacks);
  if (IsBitmap(bmp)) return bmp;
  DWORD position = 0;
  if (!source.Seek(0, FILE_BEGIN, &position)) return nullptr;
  Decoders decoders;
  if (!BindImageDecoder(&decoders.plain, &decoders.v2)) return nullptr;
  return DecodeLogged(window, decoders, source);
}
