// Test images made by the image libraries themselves (and BMP by hand), in memory: the decoders
// are checked against pixels the test chose.
#pragma once
#include <gif_lib.h>
#include <cstdio>
#define XMD_H  // the platform headers already define INT32
#include <jpeglib.h>
#include <png.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace zb::testing {

struct Pixels {
  int width, height;
  std::vector<uint8_t> rgba;  // straight alpha, rows top-down
  uint8_t* at(int x, int y) { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
};

// A picture with four coloured quarters; the bottom right quarter is transparent when alpha.
inline Pixels Quarters(int width, int height, bool alpha) {
  Pixels p{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 4)};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int q = (y >= height / 2) * 2 + (x >= width / 2);
      const uint8_t colours[4][4] = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 0, 255}};
      std::memcpy(p.at(x, y), colours[q], 4);
      if (alpha && q == 3) p.at(x, y)[3] = 0;
    }
  return p;
}

inline std::vector<uint8_t> EncodePng(const Pixels& p, bool alpha) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = p.width;
  image.height = p.height;
  image.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb;
  const void* source = p.rgba.data();
  if (!alpha) {
    for (size_t i = 0; i < p.rgba.size(); i += 4) rgb.insert(rgb.end(), {p.rgba[i], p.rgba[i + 1], p.rgba[i + 2]});
    source = rgb.data();
  }
  png_alloc_size_t size = 0;
  png_image_write_to_memory(&image, nullptr, &size, 0, source, 0, nullptr);
  std::vector<uint8_t> out(size);
  png_image_write_to_memory(&image, out.data(), &size, 0, source, 0, nullptr);
  out.resize(size);
  return out;
}

inline std::vector<uint8_t> EncodeJpeg(const Pixels& p, int quality = 95) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = p.width;
  info.image_height = p.height;
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<uint8_t> row(static_cast<size_t>(p.width) * 3);
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) std::memcpy(&row[x * 3], &p.rgba[(static_cast<size_t>(y) * p.width + x) * 4], 3);
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  std::vector<uint8_t> out(buffer, buffer + size);
  jpeg_destroy_compress(&info);
  std::free(buffer);
  return out;
}

// A GIF of the given palette indices, with an optional transparent index, optionally interlaced.
inline std::vector<uint8_t> EncodeGif(int width, int height, const std::vector<uint8_t>& indices,
                                      const std::vector<GifColorType>& colours, int transparent, bool interlace) {
  std::vector<uint8_t> out;
  auto write = [](GifFileType* gif, const GifByteType* data, int length) {
    auto* o = static_cast<std::vector<uint8_t>*>(gif->UserData);
    o->insert(o->end(), data, data + length);
    return length;
  };
  int error = 0;
  GifFileType* gif = EGifOpen(&out, write, &error);
  ColorMapObject* map = GifMakeMapObject(static_cast<int>(colours.size()), colours.data());
  EGifSetGifVersion(gif, true);
  EGifPutScreenDesc(gif, width, height, 8, 0, map);
  if (transparent >= 0) {
    GraphicsControlBlock gcb{0, false, 0, transparent};
    GifByteType extension[4];
    EGifGCBToExtension(&gcb, extension);
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension);
  }
  EGifPutImageDesc(gif, 0, 0, width, height, interlace, nullptr);
  const int starts[4] = {0, 4, 2, 1}, steps[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < (interlace ? 4 : 1); ++pass)
    for (int y = interlace ? starts[pass] : 0; y < height; y += interlace ? steps[pass] : 1)
      EGifPutLine(gif, const_cast<GifPixelType*>(&indices[static_cast<size_t>(y) * width]), width);
  EGifCloseFile(gif, &error);
  GifFreeMapObject(map);
  return out;
}

// A 24-bit (or 8-bit, grey palette) BMP, bottom-up unless topDown.
inline std::vector<uint8_t> EncodeBmp(const Pixels& p, int bpp, bool topDown) {
  const int stride = ((p.width * bpp + 31) / 32) * 4;
  const int paletteBytes = bpp == 8 ? 256 * 4 : 0;
  const uint32_t offset = 14 + 40 + paletteBytes;
  std::vector<uint8_t> out(offset + static_cast<size_t>(stride) * p.height, 0);
  auto put16 = [&](size_t at, uint32_t v) { out[at] = v & 255, out[at + 1] = (v >> 8) & 255; };
  auto put32 = [&](size_t at, uint32_t v) { put16(at, v & 0xFFFF), put16(at + 2, v >> 16); };
  out[0] = 'B', out[1] = 'M';
  put32(2, static_cast<uint32_t>(out.size()));
  put32(10, offset);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(p.width));
  put32(22, static_cast<uint32_t>(topDown ? -p.height : p.height));
  put16(26, 1);
  put16(28, static_cast<uint32_t>(bpp));
  for (int i = 0; bpp == 8 && i < 256; ++i) out[54 + 4 * i] = out[55 + 4 * i] = out[56 + 4 * i] = static_cast<uint8_t>(i);
  for (int y = 0; y < p.height; ++y) {
    uint8_t* row = &out[offset + static_cast<size_t>(stride) * (topDown ? y : p.height - 1 - y)];
    for (int x = 0; x < p.width; ++x) {
      const uint8_t* c = &p.rgba[(static_cast<size_t>(y) * p.width + x) * 4];
      if (bpp == 8) {
        row[x] = c[0];
      } else {
        row[3 * x] = c[2], row[3 * x + 1] = c[1], row[3 * x + 2] = c[0];
      }
    }
  }
  return out;
}

}  // namespace zb::testing
