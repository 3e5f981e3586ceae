// BMP files made by the tests byte by byte, in every layout the reader takes: core or info
// header, colour tables, bit-field masks, and pixel data the test writes itself (rows or runs).
#pragma once
#include <windows.h>

#include <array>
#include <cstdint>
#include <vector>

namespace zb::testing {

struct BmpLayout {
  BmpLayout(int w = 1, int h = 1, int bits = 24, DWORD c = BI_RGB) : width(w), height(h), bitCount(bits), compression(c) {}
  int width = 1;
  int height = 1;  // negative: top-down
  int bitCount = 24;
  DWORD compression = BI_RGB;
  bool core = false;                  // a 12-byte core header with 3-byte colour entries
  std::vector<RGBQUAD> colours;       // written as given
  std::array<DWORD, 3> masks{};       // written after the header for BI_BITFIELDS
  std::vector<uint8_t> pixels;        // the data after the table, exactly as given
  DWORD sizeImage = 0;
};

inline void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

inline std::vector<uint8_t> MakeBmp(const BmpLayout& l) {
  std::vector<uint8_t> header;
  if (l.core) {
    Put32(header, 12);
    Put16(header, static_cast<uint32_t>(l.width));
    Put16(header, static_cast<uint32_t>(l.height));
    Put16(header, 1);
    Put16(header, static_cast<uint32_t>(l.bitCount));
  } else {
    Put32(header, 40);
    Put32(header, static_cast<uint32_t>(l.width));
    Put32(header, static_cast<uint32_t>(l.height));
    Put16(header, 1);
    Put16(header, static_cast<uint32_t>(l.bitCount));
    Put32(header, l.compression);
    Put32(header, l.sizeImage);
    Put32(header, 2835);
    Put32(header, 2835);
    Put32(header, static_cast<uint32_t>(l.colours.size()));
    Put32(header, 0);
    if (l.compression == BI_BITFIELDS)
      for (DWORD m : l.masks) Put32(header, m);
  }
  for (const RGBQUAD& c : l.colours) {
    header.insert(header.end(), {c.rgbBlue, c.rgbGreen, c.rgbRed});
    if (!l.core) header.push_back(0);
  }
  std::vector<uint8_t> out{'B', 'M'};
  Put32(out, static_cast<uint32_t>(14 + header.size() + l.pixels.size()));
  Put32(out, 0);
  Put32(out, static_cast<uint32_t>(14 + header.size()));
  out.insert(out.end(), header.begin(), header.end());
  out.insert(out.end(), l.pixels.begin(), l.pixels.end());
  return out;
}

// Uncompressed rows of palette indices or pixel values (given in file order), each padded to
// 32 bits.
inline std::vector<uint8_t> PackRows(const std::vector<std::vector<uint32_t>>& rows, int bitCount) {
  std::vector<uint8_t> out;
  for (const std::vector<uint32_t>& row : rows) {
    std::vector<uint8_t> bytes(((row.size() * bitCount + 31) / 32) * 4, 0);
    for (size_t x = 0; x < row.size(); ++x) {
      if (bitCount < 8) {
        const size_t bit = x * bitCount;
        bytes[bit / 8] |= static_cast<uint8_t>(row[x] << (8 - bitCount - bit % 8));
      } else {
        for (int k = 0; k < bitCount / 8; ++k) bytes[x * (bitCount / 8) + k] = static_cast<uint8_t>(row[x] >> (8 * k));
      }
    }
    out.insert(out.end(), bytes.begin(), bytes.end());
  }
  return out;
}

}  // namespace zb::testing
