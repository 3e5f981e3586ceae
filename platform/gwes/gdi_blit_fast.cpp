// The masked-copy kernels. Eight pixels share one mask byte, so a group is copied whole, skipped
// whole, or blended through a table of lane masks in 64-bit words; a colour key is a plain
// select per pixel. Both read and write the surfaces' bytes in place, without conversion.
#include "gwes/gdi_blit_fast.h"

#include <cstring>

namespace zb::gdi {
namespace {

// For each mask byte, its eight pixels as full lane masks of T (most significant bit first).
template <typename T>
struct LaneMasks {
  static constexpr int kWords = sizeof(T);  // eight lanes of T make sizeof(T) 64-bit words
  alignas(16) uint64_t words[256][kWords];
  LaneMasks() {
    for (int b = 0; b < 256; ++b) {
      T lanes[8];
      for (int k = 0; k < 8; ++k) lanes[k] = (b & (0x80 >> k)) ? static_cast<T>(~T{0}) : T{0};
      std::memcpy(words[b], lanes, sizeof lanes);
    }
  }
};

template <typename T>
const LaneMasks<T>& Lanes() {
  static const LaneMasks<T> table;
  return table;
}

// Sixteen bytes at a time: GCC's vector extension, which the compiler maps to the machine's SIMD.
typedef uint64_t Words2 __attribute__((vector_size(16)));

template <typename V>
V Load(const uint8_t* p) {
  V v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
template <typename V>
void Store(uint8_t* p, const V& v) {
  std::memcpy(p, &v, sizeof v);
}

// Eight mask bits from bit `bit` of the row on, the first in the top bit.
inline unsigned MaskByte(const uint8_t* row, int rowBytes, int bit) {
  const int at = bit >> 3, shift = bit & 7;
  if (shift == 0) return row[at];
  unsigned v = static_cast<unsigned>(row[at]) << 8;
  if (at + 1 < rowBytes) v |= row[at + 1];
  return (v << shift >> 8) & 0xFF;
}

// out = source where the lane mask is set, destination elsewhere, for one group of eight pixels.
template <int kWords>
inline void Blend(uint8_t* d, const uint8_t* s, const uint64_t* lanes) {
  if constexpr (kWords == 1) {
    const uint64_t dv = Load<uint64_t>(d), sv = Load<uint64_t>(s);
    Store(d, (sv & lanes[0]) | (dv & ~lanes[0]));
  } else {
    for (int k = 0; k < kWords; k += 2) {
      const Words2 m = Load<Words2>(reinterpret_cast<const uint8_t*>(lanes + k));
      const Words2 dv = Load<Words2>(d + 8 * k), sv = Load<Words2>(s + 8 * k);
      Store(d + 8 * k, (sv & m) | (dv & ~m));
    }
  }
}

template <typename T>
void MaskRow(uint8_t* d, const uint8_t* s, const uint8_t* m, int rowBytes, int bit, int n, bool copyWhereSet) {
  constexpr int kWords = LaneMasks<T>::kWords;
  const LaneMasks<T>& lanes = Lanes<T>();
  const unsigned flip = copyWhereSet ? 0 : 0xFF;
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    const unsigned take = MaskByte(m, rowBytes, bit + i) ^ flip;
    uint8_t* dp = d + i * sizeof(T);
    const uint8_t* sp = s + i * sizeof(T);
    if (take == 0) continue;
    if (take == 0xFF) {
      std::memcpy(dp, sp, 8 * sizeof(T));
      continue;
    }
    Blend<kWords>(dp, sp, lanes.words[take]);
  }
  for (; i < n; ++i) {
    const int b = bit + i;
    const bool set = (m[b >> 3] >> (7 - (b & 7))) & 1;
    if (set == copyWhereSet) std::memcpy(d + i * sizeof(T), s + i * sizeof(T), sizeof(T));
  }
}

// Sixteen bytes of pixels compared with the key at once; the rest one by one.
template <typename T>
void KeyRow(uint8_t* d, const uint8_t* s, int n, T key, T keyMask) {
  typedef T Lanes16 __attribute__((vector_size(16)));
  constexpr int kPerVector = 16 / sizeof(T);
  Lanes16 keys, masks;
  for (int k = 0; k < kPerVector; ++k) {
    keys[k] = key;
    masks[k] = keyMask;
  }
  int i = 0;
  for (; i + kPerVector <= n; i += kPerVector) {
    const Lanes16 sv = Load<Lanes16>(s + i * sizeof(T)), dv = Load<Lanes16>(d + i * sizeof(T));
    const Lanes16 take = reinterpret_cast<Lanes16>((sv & masks) != keys);
    Store(d + i * sizeof(T), (sv & take) | (dv & ~take));
  }
  for (; i < n; ++i) {
    T sv, dv;
    std::memcpy(&sv, s + i * sizeof(T), sizeof(T));
    std::memcpy(&dv, d + i * sizeof(T), sizeof(T));
    const T out = (sv & keyMask) == key ? dv : sv;
    std::memcpy(d + i * sizeof(T), &out, sizeof(T));
  }
}

}  // namespace

bool FastMaskedCopy::Row(Surface& dst, int dstX, int dstY, const Surface& src, int srcX, int srcY, int maskX,
                         int maskY, int n) const {
  const int bytes = dst.bpp / 8;
  uint8_t* d = dst.Row(dstY) + static_cast<size_t>(dstX) * bytes;
  const uint8_t* s = src.Row(srcY) + static_cast<size_t>(srcX) * bytes;
  if (kind_ == Kind::kColourKey) {
    switch (bytes) {
      case 1:
        KeyRow<uint8_t>(d, s, n, static_cast<uint8_t>(key_), static_cast<uint8_t>(keyMask_));
        break;
      case 2:
        KeyRow<uint16_t>(d, s, n, static_cast<uint16_t>(key_), static_cast<uint16_t>(keyMask_));
        break;
      default:
        KeyRow<uint32_t>(d, s, n, key_, keyMask_);
        break;
    }
    return true;
  }
  const Surface& mask = *mask_;
  if (maskY < 0 || maskY >= mask.height || maskX < 0 || maskX + n > mask.width) return false;
  const uint8_t* m = mask.Row(maskY);
  switch (bytes) {
    case 1:
      MaskRow<uint8_t>(d, s, m, mask.stride, maskX, n, copyWhereSet_);
      break;
    case 2:
      MaskRow<uint16_t>(d, s, m, mask.stride, maskX, n, copyWhereSet_);
      break;
    default:
      MaskRow<uint32_t>(d, s, m, mask.stride, maskX, n, copyWhereSet_);
      break;
  }
  return true;
}

}  // namespace zb::gdi
