// Row and run expansion for the BMP reader. Everything writes through PutIndex or a whole-row
// copy, both of which check the column, so no run, delta or escape can reach outside the image.
#include "skin/bmp_pixels.h"

#include <algorithm>
#include <cstring>

namespace zb::skin {
namespace {

void PutIndex(const BmpTarget& t, int x, int y, uint8_t index) {
  if (x < 0 || x >= t.width || y < 0 || y >= t.height) return;
  uint8_t* p = t.bits + static_cast<size_t>(y) * t.stride + static_cast<size_t>(x) * 3;
  const RGBQUAD& c = t.colours[index];
  p[0] = c.rgbBlue;
  p[1] = c.rgbGreen;
  p[2] = c.rgbRed;
}

}  // namespace

void PutBmpRow(const BmpTarget& target, int y, const uint8_t* row, int bitCount) {
  if (bitCount > 8) {
    std::memcpy(target.bits + static_cast<size_t>(y) * target.stride, row,
                static_cast<size_t>(target.width) * (bitCount / 8));
    return;
  }
  const int perByte = 8 / bitCount;
  const unsigned mask = (1u << bitCount) - 1;
  for (int x = 0; x < target.width; ++x) {
    const int shift = 8 - bitCount - (x % perByte) * bitCount;
    PutIndex(target, x, y, static_cast<uint8_t>((row[x / perByte] >> shift) & mask));
  }
}

void ExpandBmpRle(const BmpTarget& target, std::span<const uint8_t> data, bool rle4) {
  size_t at = 0;
  int x = 0, y = 0;
  auto more = [&](size_t n) { return data.size() - at >= n; };
  while (y < target.height && more(2)) {
    const uint8_t count = data[at], value = data[at + 1];
    at += 2;
    if (count > 0) {  // a run of one index, or of two alternating nibbles
      for (int i = 0; i < count && x < target.width; ++i, ++x) {
        const uint8_t index = rle4 ? static_cast<uint8_t>((i & 1) ? value & 0x0F : value >> 4) : value;
        PutIndex(target, x, y, index);
      }
      continue;
    }
    switch (value) {
      case 0:  // end of line
        x = 0;
        ++y;
        break;
      case 1:  // end of bitmap
        return;
      case 2: {  // delta: right and up (onward in the file's row order)
        if (!more(2)) return;
        x = std::min(x + data[at], target.width);  // past the edge nothing is drawn anyway
        y += data[at + 1];
        at += 2;
        break;
      }
      default: {  // absolute: `value` indices, padded to a 16-bit boundary
        const size_t bytes = rle4 ? (value + 1u) / 2 : value;
        if (!more(bytes)) return;
        for (int i = 0; i < value; ++i) {
          const uint8_t b = data[at + (rle4 ? i / 2 : i)];
          PutIndex(target, x + i, y, rle4 ? static_cast<uint8_t>((i & 1) ? b & 0x0F : b >> 4) : b);
        }
        x = std::min(x + value, target.width);
        at += bytes + (bytes & 1);
        break;
      }
    }
  }
}

}  // namespace zb::skin
