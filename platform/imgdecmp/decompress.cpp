// DecompressImageIndirect: reads the whole image through the caller's callback, decodes it,
// sizes it by the scale and the maxima (keeping its proportions), and hands back a DIB section
// of the requested depth with the transparent parts in the override colour (white when none
// is given), plus the image-render object through the progress callback and ppImageRender.
#include <imgdecmp.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "gwes/gdi_host.h"
#include "imgdecmp/image_decoder.h"
#include "imgdecmp/image_render.h"

namespace zb::imgdecmp {
namespace {

constexpr size_t kMaxInput = size_t{64} << 20;

bool ReadAll(const DecompressImageInfo& info, std::vector<uint8_t>& data) {
  if (info.pbBuffer && info.dwBufferCurrent) {
    if (info.dwBufferCurrent > info.dwBufferMax) return false;
    data.assign(info.pbBuffer, info.pbBuffer + info.dwBufferCurrent);
  }
  std::vector<uint8_t> own;
  LPBYTE buffer = info.pbBuffer;
  DWORD capacity = info.dwBufferMax;
  if (!buffer || capacity == 0) {
    own.resize(8192);
    buffer = own.data();
    capacity = static_cast<DWORD>(own.size());
  }
  while (true) {
    DWORD got = info.pfnGetData(reinterpret_cast<LPSTR>(buffer), capacity, info.lParam);
    if (got == 0) return true;
    got = std::min(got, capacity);  // a callback that claims more than fits is not trusted
    if (data.size() + got > kMaxInput) return false;
    data.insert(data.end(), buffer, buffer + got);
  }
}

// The output size: the scale first, then down to the maxima with the proportions kept.
void TargetSize(const DecompressImageInfo& info, int width, int height, int& outW, int& outH) {
  double w = static_cast<double>(width) * info.iScale / 100.0, h = static_cast<double>(height) * info.iScale / 100.0;
  double fit = 1.0;
  if (info.iMaxWidth > 0 && w > info.iMaxWidth) fit = std::min(fit, info.iMaxWidth / w);
  if (info.iMaxHeight > 0 && h > info.iMaxHeight) fit = std::min(fit, info.iMaxHeight / h);
  outW = std::max(1, static_cast<int>(w * fit));
  outH = std::max(1, static_cast<int>(h * fit));
  if (info.iMaxWidth > 0) outW = std::min(outW, info.iMaxWidth);
  if (info.iMaxHeight > 0) outH = std::min(outH, info.iMaxHeight);
}

HBITMAP MakeBitmap(HDC hdc, int depth, int width, int height) {
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
  } info{};
  info.header = {sizeof(BITMAPINFOHEADER), width, -height, 1, static_cast<WORD>(depth), BI_RGB, 0, 0, 0, 0, 0};
  if (depth == 16) {
    info.header.biCompression = BI_BITFIELDS;  // the screen's 5-6-5
    const DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
    std::memcpy(info.colours, masks, sizeof masks);
  } else if (depth == 8) {
    // A 6x6x6 colour cube and a grey ramp.
    int i = 0;
    for (int r = 0; r < 6; ++r)
      for (int g = 0; g < 6; ++g)
        for (int b = 0; b < 6; ++b) info.colours[i++] = RGBQUAD{BYTE(b * 51), BYTE(g * 51), BYTE(r * 51), 0};
    for (int k = 0; i < 256; ++i, ++k) info.colours[i] = RGBQUAD{BYTE(k * 255 / 39), BYTE(k * 255 / 39), BYTE(k * 255 / 39), 0};
  } else if (depth < 8) {
    const int n = 1 << depth;
    for (int k = 0; k < n; ++k) info.colours[k] = RGBQUAD{BYTE(k * 255 / (n - 1)), BYTE(k * 255 / (n - 1)), BYTE(k * 255 / (n - 1)), 0};
  }
  return CreateDIBSection(hdc, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, nullptr, nullptr, 0);
}

bool ValidDepth(int depth) {
  return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16 || depth == 24 || depth == 32;
}

}  // namespace
}  // namespace zb::imgdecmp

using namespace zb::imgdecmp;

extern "C" HRESULT DecompressImageIndirect(DecompressImageInfo* params) {
  if (!params || params->dwSize != sizeof(DecompressImageInfo) || !params->pfnGetData || params->iScale <= 0 ||
      (params->phBM && !ValidDepth(params->iBitDepth))) {
    return E_INVALIDARG;
  }
  DecompressImageInfo& info = *params;
  if (info.phBM) *info.phBM = nullptr;
  if (info.ppImageRender) *info.ppImageRender = nullptr;

  std::vector<uint8_t> data;
  RgbaImage image;
  try {
    if (!ReadAll(info, data)) return E_FAIL;
    if (!DecodeImage(data, image)) return E_FAIL;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  data = {};

  int width, height;
  TargetSize(info, image.width, image.height, width, height);
  HBITMAP bitmap = nullptr;
  if (info.phBM) {
    HDC memory = CreateCompatibleDC(info.hdc);
    bitmap = MakeBitmap(memory, info.iBitDepth, width, height);
    if (!bitmap) {
      DeleteDC(memory);
      return E_OUTOFMEMORY;
    }
    HGDIOBJ old = SelectObject(memory, bitmap);
    const COLORREF back = info.crTransparentOverride == static_cast<COLORREF>(-1) ? RGB(255, 255, 255)
                                                                                  : info.crTransparentOverride;
    HBRUSH brush = CreateSolidBrush(back);
    const RECT all{0, 0, width, height};
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    const RgbaImage& sized = (width == image.width && height == image.height) ? image : Resample(image, width, height);
    zb::gdi::DrawRgba(memory, 0, 0, width, height, sized.rgba.data());
    SelectObject(memory, old);
    DeleteDC(memory);
  }

  auto* render = new ImageRender(std::move(image));
  if (info.pfnImageProgress) info.pfnImageProgress(render, TRUE, info.lParam);
  if (info.ppImageRender) {
    *info.ppImageRender = render;  // the caller's reference
  } else {
    render->Release();
  }
  if (info.phBM) *info.phBM = bitmap;
  return S_OK;
}
