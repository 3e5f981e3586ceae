// Uncompressed Windows bitmaps (1, 4, 8, 16, 24 and 32 bits, plain or with bit fields, core or
// info headers). Every offset and size is checked against the data before it is read.
#include <bit>
#include <cstring>

#include "imgdecmp/image_decoder.h"

namespace zb::imgdecmp {
namespace {

uint32_t U16(const uint8_t* p) { return p[0] | (p[1] << 8); }
uint32_t U32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }

uint8_t Channel(uint32_t value, uint32_t mask) {
  if (!mask) return 0;
  const int shift = std::countr_zero(mask), bits = std::popcount(mask);
  uint32_t v = (value & mask) >> shift;
  if (bits >= 8) return static_cast<uint8_t>(v >> (bits - 8));
  uint32_t out = v << (8 - bits);
  for (int have = bits; have < 8; have += bits) out |= out >> bits;
  return static_cast<uint8_t>(out);
}

}  // namespace

bool DecodeBmp(std::span<const uint8_t> data, RgbaImage& out) {
  const size_t size = data.size();
  const uint8_t* d = data.data();
  if (size < 14 + 12 || d[0] != 'B' || d[1] != 'M') return false;
  const uint64_t pixelOffset = U32(d + 10);
  const uint32_t headerSize = U32(d + 14);
  if (headerSize != 12 && (headerSize < 40 || headerSize > 1024)) return false;
  if (14 + static_cast<uint64_t>(headerSize) > size) return false;
  const uint8_t* h = d + 14;
  int64_t width, height;
  uint32_t bpp, compression = 0, used = 0;
  if (headerSize == 12) {
    width = U16(h + 4);
    height = static_cast<int16_t>(U16(h + 6));
    bpp = U16(h + 10);
  } else {
    width = static_cast<int32_t>(U32(h + 4));
    height = static_cast<int32_t>(U32(h + 8));
    bpp = U16(h + 14);
    compression = U32(h + 16);
    used = U32(h + 32);
  }
  const bool topDown = height < 0;
  if (topDown) height = -height;
  if (!SizeAllowed(width, height)) return false;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;
  if (compression != 0 && !(compression == 3 && (bpp == 16 || bpp == 32))) return false;  // no run lengths

  uint32_t masks[3] = {0, 0, 0};
  if (compression == 3) {
    const uint64_t at = headerSize >= 52 ? 14 + 40 : 14 + static_cast<uint64_t>(headerSize);
    if (at + 12 > size) return false;
    for (int i = 0; i < 3; ++i) masks[i] = U32(d + at + 4 * i);
  } else if (bpp == 16) {
    masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
  } else if (bpp == 32) {
    masks[0] = 0x00FF0000, masks[1] = 0x0000FF00, masks[2] = 0x000000FF;
  }

  std::vector<uint8_t> palette;  // RGB triples
  if (bpp <= 8) {
    const uint32_t count = used && used <= (1u << bpp) ? used : (1u << bpp);
    const uint32_t entry = headerSize == 12 ? 3 : 4;
    const uint64_t at = 14 + static_cast<uint64_t>(headerSize) + (compression == 3 ? 12 : 0);
    if (at + static_cast<uint64_t>(count) * entry > size) return false;
    palette.assign(3u << bpp, 0);
    for (uint32_t i = 0; i < count; ++i) {
      const uint8_t* q = d + at + i * entry;
      palette[3 * i] = q[2];
      palette[3 * i + 1] = q[1];
      palette[3 * i + 2] = q[0];
    }
  }

  const uint64_t stride = ((static_cast<uint64_t>(width) * bpp + 31) / 32) * 4;
  if (pixelOffset < 14 + static_cast<uint64_t>(headerSize) || pixelOffset + stride * height > size) return false;
  out.width = static_cast<int>(width);
  out.height = static_cast<int>(height);
  out.rgba.assign(static_cast<size_t>(width) * height * 4, 255);
  out.transparent = false;
  for (int y = 0; y < out.height; ++y) {
    const uint8_t* row = d + pixelOffset + stride * (topDown ? y : out.height - 1 - y);
    uint8_t* px = out.rgba.data() + static_cast<size_t>(y) * out.width * 4;
    for (int x = 0; x < out.width; ++x, px += 4) {
      if (bpp <= 8) {
        const uint32_t index = (row[x * bpp / 8] >> (8 - bpp - (x * bpp) % 8)) & ((1u << bpp) - 1);
        std::memcpy(px, &palette[3 * index], 3);
      } else if (bpp == 24) {
        px[0] = row[3 * x + 2];
        px[1] = row[3 * x + 1];
        px[2] = row[3 * x];
      } else {
        const uint32_t v = bpp == 16 ? U16(row + 2 * x) : U32(row + 4 * x);
        px[0] = Channel(v, masks[0]);
        px[1] = Channel(v, masks[1]);
        px[2] = Channel(v, masks[2]);
      }
    }
  }
  return true;
}

}  // namespace zb::imgdecmp
