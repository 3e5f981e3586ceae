// Row kernels for the masked copies a skin draws with on every frame: MaskBlt whose ROP4 copies
// the source under one mask value and keeps the destination under the other, and an unstretched
// TransparentImage, between surfaces of one byte-aligned layout. The general engine does the rest.
#pragma once
#include <cstdint>
#include <optional>

#include "gwes/gdi_surface.h"

namespace zb::gdi {

class FastMaskedCopy {
 public:
  enum class Kind { kMask, kColourKey };

  // A kernel for a mask whose set bits copy the source (copyWhereSet) or keep the destination.
  static FastMaskedCopy Masked(const Surface& mask, bool copyWhereSet) {
    return FastMaskedCopy(Kind::kMask, &mask, copyWhereSet, 0, 0);
  }
  // A kernel that copies every source pixel whose (value & keyMask) is not key.
  static FastMaskedCopy ColourKey(uint32_t key, uint32_t keyMask) {
    return FastMaskedCopy(Kind::kColourKey, nullptr, false, key, keyMask);
  }
  // Whether the kernels can take a copy between these two surfaces.
  static bool Supports(const Surface& dst, const Surface& src) {
    return dst.bpp == src.bpp && (dst.bpp == 8 || dst.bpp == 16 || dst.bpp == 32) && dst.SameLayout(src);
  }

  // Draws n pixels of row dstY from column dstX, taking the source at (srcX, srcY) and the mask
  // at (maskX, maskY). False, having drawn nothing, when the mask does not cover the whole span.
  bool Row(Surface& dst, int dstX, int dstY, const Surface& src, int srcX, int srcY, int maskX, int maskY,
           int n) const;

 private:
  FastMaskedCopy(Kind kind, const Surface* mask, bool copyWhereSet, uint32_t key, uint32_t keyMask)
      : kind_(kind), mask_(mask), copyWhereSet_(copyWhereSet), key_(key), keyMask_(keyMask) {}

  Kind kind_;
  const Surface* mask_;
  bool copyWhereSet_;
  uint32_t key_, keyMask_;
};

}  // namespace zb::gdi
