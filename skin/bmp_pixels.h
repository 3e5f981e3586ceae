// The pixel stage of the BMP reader: the limits every header value is held to, and the
// expansion of uncompressed and run-length rows into the DIB section the reader made.
#pragma once
#include <windows.h>

#include <cstdint>
#include <span>

namespace zb::skin {

inline constexpr int kBmpMaxSide = 16384;
inline constexpr int64_t kBmpMaxPixels = int64_t{16} << 20;
inline constexpr DWORD kBmpMaxCompressed = DWORD{64} << 20;
inline constexpr DWORD kBmpMaxColours = 256;

// The image being filled: rows of `stride` bytes in the file's order, colours for 1 to 8 bits.
struct BmpTarget {
  uint8_t* bits;
  int stride;
  int width;
  int height;  // rows, always positive
  const RGBQUAD* colours;  // 256 entries; the ones the file did not give are black
};

// Bytes of one uncompressed row of the file.
inline size_t BmpRowBytes(int width, int bitCount) { return ((static_cast<size_t>(width) * bitCount + 31) / 32) * 4; }

// Puts one file row into row `y` of the target: indices through the colour table into 24-bit
// pixels, deeper pixels as they are.
void PutBmpRow(const BmpTarget& target, int y, const uint8_t* row, int bitCount);

// Expands RLE8 (or, with rle4, RLE4) data. Runs are cut at the row's end, a delta or a line end
// past the last row stops the expansion, and pixels the data never reaches stay as they were.
void ExpandBmpRle(const BmpTarget& target, std::span<const uint8_t> data, bool rle4);

}  // namespace zb::skin
