// Choosing a decoder by signature, and the area-averaging resize used for scaled output.
#include <algorithm>
#include <cstring>

#include "imgdecmp/image_decoder.h"

namespace zb::imgdecmp {

bool DecodeImage(std::span<const uint8_t> data, RgbaImage& out) {
  struct Format {
    const char* signature;
    size_t length;
    bool (*decode)(std::span<const uint8_t>, RgbaImage&);
  };
  static constexpr Format kFormats[] = {
      {"\x89PNG\r\n\x1a\n", 8, DecodePng},
      {"\xFF\xD8\xFF", 3, DecodeJpeg},
      {"GIF8", 4, DecodeGif},
      {"BM", 2, DecodeBmp},
  };
  for (const Format& f : kFormats) {
    if (data.size() >= f.length && std::memcmp(data.data(), f.signature, f.length) == 0) return f.decode(data, out);
  }
  return false;
}

RgbaImage Resample(const RgbaImage& image, int width, int height) {
  RgbaImage out;
  out.width = width;
  out.height = height;
  out.transparent = image.transparent;
  out.rgba.assign(static_cast<size_t>(width) * height * 4, 0);
  // Each output pixel averages the source pixels of its footprint (at least one of them).
  for (int y = 0; y < height; ++y) {
    const int y0 = static_cast<int>(static_cast<int64_t>(y) * image.height / height);
    const int y1 = std::max(y0 + 1, static_cast<int>(static_cast<int64_t>(y + 1) * image.height / height));
    for (int x = 0; x < width; ++x) {
      const int x0 = static_cast<int>(static_cast<int64_t>(x) * image.width / width);
      const int x1 = std::max(x0 + 1, static_cast<int>(static_cast<int64_t>(x + 1) * image.width / width));
      uint64_t r = 0, g = 0, b = 0, a = 0, n = 0;
      for (int sy = y0; sy < y1; ++sy) {
        const uint8_t* p = image.rgba.data() + (static_cast<size_t>(sy) * image.width + x0) * 4;
        for (int sx = x0; sx < x1; ++sx, p += 4) {
          r += p[0] * p[3];
          g += p[1] * p[3];
          b += p[2] * p[3];
          a += p[3];
          ++n;
        }
      }
      uint8_t* q = out.rgba.data() + (static_cast<size_t>(y) * width + x) * 4;
      if (a) {
        q[0] = static_cast<uint8_t>((r + a / 2) / a);
        q[1] = static_cast<uint8_t>((g + a / 2) / a);
        q[2] = static_cast<uint8_t>((b + a / 2) / a);
      }
      q[3] = static_cast<uint8_t>((a + n / 2) / n);
    }
  }
  return out;
}

}  // namespace zb::imgdecmp
