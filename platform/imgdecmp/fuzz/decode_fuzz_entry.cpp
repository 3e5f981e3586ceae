// The fuzz target: any bytes through every decoder, through the decode-anything entry and
// through DecompressImageIndirect with its callbacks. Nothing may crash, leak or read out of
// bounds; a decode that succeeds must give an image of the size it claims.
#include <imgdecmp.h>

#include <cstdlib>
#include <cstring>

#include "imgdecmp/image_decoder.h"

namespace {

struct Source {
  const uint8_t* data;
  size_t size;
  size_t at;
};

DWORD CALLBACK ReadChunk(LPSTR buffer, DWORD max, LPARAM param) {
  auto* s = reinterpret_cast<Source*>(param);
  const size_t n = std::min<size_t>(std::min<size_t>(max, 997), s->size - s->at);  // odd chunks
  if (n) std::memcpy(buffer, s->data + s->at, n);
  s->at += n;
  return static_cast<DWORD>(n);
}

void Check(bool ok, const zb::imgdecmp::RgbaImage& image) {
  if (ok && image.rgba.size() != static_cast<size_t>(image.width) * image.height * 4) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zb::imgdecmp;
  const std::span<const uint8_t> bytes(data, size);
  for (auto decode : {DecodePng, DecodeJpeg, DecodeGif, DecodeBmp, DecodeImage}) {
    RgbaImage image;
    Check(decode(bytes, image), image);
  }
  Source source{data, size, 0};
  uint8_t buffer[4096];
  HBITMAP bitmap = nullptr;
  IImageRender* render = nullptr;
  DecompressImageInfo info{};
  info.dwSize = sizeof info;
  info.pbBuffer = buffer;
  info.dwBufferMax = sizeof buffer;
  info.phBM = &bitmap;
  info.ppImageRender = &render;
  info.iBitDepth = 16;
  info.lParam = reinterpret_cast<LPARAM>(&source);
  info.iScale = 50;
  info.iMaxWidth = 64;
  info.iMaxHeight = 64;
  info.pfnGetData = ReadChunk;
  info.crTransparentOverride = static_cast<COLORREF>(-1);
  if (SUCCEEDED(DecompressImageIndirect(&info))) {
    if (!bitmap || !render) std::abort();
    DeleteObject(bitmap);
    render->Release();
  }
  return 0;
}
