// The decoders behind DecompressImageIndirect: PNG (libpng), JPEG (libjpeg-turbo), GIF (giflib)
// and uncompressed BMP, each turning a whole file in memory into straight-alpha RGBA. Images
// whose size would not fit the limits below are refused before anything large is allocated.
#pragma once
#include <cstdint>
#include <span>
#include <vector>

namespace zb::imgdecmp {

inline constexpr int kMaxSide = 16384;
inline constexpr int64_t kMaxPixels = int64_t{32} << 20;

struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;  // rows top-down, 4 bytes a pixel
  bool transparent = false;   // some pixel is not fully opaque
};

inline bool SizeAllowed(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide && width * height <= kMaxPixels;
}

// Whether any pixel of an RGBA buffer is less than fully opaque.
inline bool AnyTransparent(const std::vector<uint8_t>& rgba) {
  for (size_t i = 3; i < rgba.size(); i += 4) {
    if (rgba[i] != 255) return true;
  }
  return false;
}

// Each returns false for data it cannot decode completely; out is then unspecified.
bool DecodePng(std::span<const uint8_t> data, RgbaImage& out);
bool DecodeJpeg(std::span<const uint8_t> data, RgbaImage& out);
bool DecodeGif(std::span<const uint8_t> data, RgbaImage& out);
bool DecodeBmp(std::span<const uint8_t> data, RgbaImage& out);

// Picks the decoder by the file's signature.
bool DecodeImage(std::span<const uint8_t> data, RgbaImage& out);

// Area-averaged resize (premultiplied, so transparent pixels do not bleed their colour).
RgbaImage Resample(const RgbaImage& image, int width, int height);

}  // namespace zb::imgdecmp
