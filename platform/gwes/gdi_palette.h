// Logical palettes and the system palette. The system palette holds 20 static colours at its
// ends; realizing a logical palette on a palettized screen fills the free entries between them.
#pragma once
#include <vector>

#include "gwes/gdi_object.h"

namespace zb::gdi {

class Palette : public GdiObject {
 public:
  DWORD Type() const override { return OBJ_PAL; }
  int Describe(int size, void* buffer) const override;

  std::vector<PALETTEENTRY> entries;
};

// The stock DEFAULT_PALETTE (the 20 static colours), and the maker GetStockObject uses for it.
std::shared_ptr<Palette> DefaultPalette();
std::shared_ptr<Palette> MakeDefaultPalette();

// The 256 entries of the system palette as they stand now.
std::vector<RGBQUAD> SystemPaletteColours();
// Puts the logical palette's colours into the system palette; returns how many entries map.
UINT RealizeIntoSystemPalette(const Palette& palette);
// Back to the static colours and the standard colour cube (a new device).
void ResetSystemPalette();

}  // namespace zb::gdi
