// The player settings the skin engine reads while it loads and draws: the colour adjustment of
// skin images and whether free-text labels use the GDI font. The program copies them from its
// settings before a skin is applied, so the engine needs nothing of the settings store.
#pragma once
#include <windows.h>

struct SkinSettings {
  BOOL adjustColors = FALSE;
  int adjustColorsHue = 0;
  int adjustColorsSat = 0;
  BOOL useGDIFont = FALSE;
  BOOL showPlaylistOnWmpSkins = FALSE;  // sectioned descriptions get a playlist in their video area
};

SkinSettings& CurrentSkinSettings();
// Whether colours and images of a skin go through the hue and saturation adjustment.
inline bool SkinColoursAdjusted(const SkinSettings& s) {
  return s.adjustColors && (s.adjustColorsHue != 0 || s.adjustColorsSat != 0);
}
