// GIF through giflib, record by record rather than with DGifSlurp, so that a frame's size is
// checked before its pixels are allocated. The first frame is the image; its transparent colour
// (from the graphics control block before it) and the screen outside it come out transparent.
#include <gif_lib.h>

#include <cstring>

#include "imgdecmp/image_decoder.h"

namespace zb::imgdecmp {
namespace {

struct Reader {
  std::span<const uint8_t> data;
  size_t at = 0;
};

int Read(GifFileType* gif, GifByteType* buffer, int length) {
  auto* r = static_cast<Reader*>(gif->UserData);
  if (length <= 0) return 0;
  const size_t n = std::min(static_cast<size_t>(length), r->data.size() - r->at);
  if (n) std::memcpy(buffer, r->data.data() + r->at, n);
  r->at += n;
  return static_cast<int>(n);
}

bool DecodeFrame(GifFileType* gif, int transparentIndex, RgbaImage& out) {
  if (DGifGetImageDesc(gif) != GIF_OK) return false;
  const GifImageDesc& d = gif->Image;
  if (!SizeAllowed(d.Width, d.Height)) return false;
  const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
  std::vector<GifPixelType> pixels(static_cast<size_t>(d.Width) * d.Height);
  // Interlaced frames arrive in four passes over the rows.
  constexpr int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
  const int passes = d.Interlace ? 4 : 1;
  for (int pass = 0; pass < passes; ++pass) {
    const int start = d.Interlace ? kStart[pass] : 0, step = d.Interlace ? kStep[pass] : 1;
    for (int y = start; y < d.Height; y += step) {
      if (DGifGetLine(gif, pixels.data() + static_cast<size_t>(y) * d.Width, d.Width) != GIF_OK) return false;
    }
  }
  for (int y = 0; y < d.Height; ++y) {
    const int ty = d.Top + y;
    if (ty < 0 || ty >= out.height) continue;
    for (int x = 0; x < d.Width; ++x) {
      const int tx = d.Left + x;
      if (tx < 0 || tx >= out.width) continue;
      const int index = pixels[static_cast<size_t>(y) * d.Width + x];
      uint8_t* p = out.rgba.data() + (static_cast<size_t>(ty) * out.width + tx) * 4;
      if (index == transparentIndex || !map || index >= map->ColorCount) continue;  // stays transparent
      const GifColorType& c = map->Colors[index];
      p[0] = c.Red;
      p[1] = c.Green;
      p[2] = c.Blue;
      p[3] = 255;
    }
  }
  return true;
}

}  // namespace

bool DecodeGif(std::span<const uint8_t> data, RgbaImage& out) {
  Reader reader{data, 0};
  int error = 0;
  GifFileType* gif = DGifOpen(&reader, Read, &error);
  if (!gif) return false;
  bool ok = false;
  int transparentIndex = -1;
  if (SizeAllowed(gif->SWidth, gif->SHeight)) {
    out.width = gif->SWidth;
    out.height = gif->SHeight;
    out.rgba.assign(static_cast<size_t>(out.width) * out.height * 4, 0);
    GifRecordType record;
    bool more = true;
    while (more && DGifGetRecordType(gif, &record) == GIF_OK) {
      switch (record) {
        case IMAGE_DESC_RECORD_TYPE:
          ok = DecodeFrame(gif, transparentIndex, out);
          more = false;
          break;
        case EXTENSION_RECORD_TYPE: {
          int code = 0;
          GifByteType* block = nullptr;
          if (DGifGetExtension(gif, &code, &block) != GIF_OK) {
            more = false;
            break;
          }
          if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
            GraphicsControlBlock gcb;
            if (DGifExtensionToGCB(block[0], block + 1, &gcb) == GIF_OK) transparentIndex = gcb.TransparentColor;
          }
          while (block && more) {
            if (DGifGetExtensionNext(gif, &block) != GIF_OK) more = false;
          }
          break;
        }
        default:
          more = false;  // the end, before any frame
          break;
      }
    }
  }
  DGifCloseFile(gif, &error);
  if (!ok) return false;
  out.transparent = AnyTransparent(out.rgba);
  return true;
}

}  // namespace zb::imgdecmp
