// The image-render object. The mask is made the way the platform describes it: the image over
// white, then XORed with the image over black, which leaves white only where nothing was drawn.
#include "imgdecmp/image_render.h"

#include <cstring>

#include "gwes/gdi_host.h"

namespace zb::imgdecmp {
namespace {

constexpr GUID kIidUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

bool ValidRect(const RECT* r) { return r && r->right > r->left && r->bottom > r->top; }

}  // namespace

HRESULT ImageRender::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (std::memcmp(&iid, &kIidUnknown, sizeof(GUID)) != 0) return E_NOINTERFACE;
  AddRef();
  *object = static_cast<IImageRender*>(this);
  return S_OK;
}

ULONG ImageRender::Release() {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

const RgbaImage& ImageRender::AtSize(int width, int height) {
  if (width == image_.width && height == image_.height) return image_;
  if (scaled_.width != width || scaled_.height != height) scaled_ = Resample(image_, width, height);
  return scaled_;
}

HRESULT ImageRender::Draw(HDC hdc, const RECT* rect) {
  if (!ValidRect(rect)) return E_INVALIDARG;
  const int w = rect->right - rect->left, h = rect->bottom - rect->top;
  if (!SizeAllowed(w, h)) return E_INVALIDARG;
  const RgbaImage& img = AtSize(w, h);
  return gdi::DrawRgba(hdc, rect->left, rect->top, w, h, img.rgba.data()) ? S_OK : E_INVALIDARG;
}

HRESULT ImageRender::GetOrigWidth(int* width) {
  if (!width) return E_POINTER;
  *width = image_.width;
  return S_OK;
}

HRESULT ImageRender::GetOrigHeight(int* height) {
  if (!height) return E_POINTER;
  *height = image_.height;
  return S_OK;
}

HRESULT ImageRender::HasTransparency(BOOL* transparent) {
  if (!transparent) return E_POINTER;
  *transparent = image_.transparent ? TRUE : FALSE;
  return S_OK;
}

HRESULT ImageRender::DrawMask(HDC hdc, const RECT* rect) {
  if (!ValidRect(rect)) return E_INVALIDARG;
  const int w = rect->right - rect->left, h = rect->bottom - rect->top;
  HDC memory = CreateCompatibleDC(hdc);
  HBITMAP bitmap = CreateCompatibleBitmap(hdc, w, h);
  if (!memory || !bitmap) {
    if (bitmap) DeleteObject(bitmap);
    if (memory) DeleteDC(memory);
    return E_OUTOFMEMORY;
  }
  HGDIOBJ old = SelectObject(memory, bitmap);
  const RECT local{0, 0, w, h};
  HRESULT hr = S_OK;
  for (auto [stock, rop] : {std::pair{WHITE_BRUSH, SRCCOPY}, std::pair{BLACK_BRUSH, SRCINVERT}}) {
    FillRect(memory, &local, static_cast<HBRUSH>(GetStockObject(stock)));
    if (FAILED(hr = Draw(memory, &local))) break;
    BitBlt(hdc, rect->left, rect->top, w, h, memory, 0, 0, static_cast<DWORD>(rop));
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  return hr;
}

}  // namespace zb::imgdecmp
