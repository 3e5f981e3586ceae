// The fit of a skin to its target size, shared by the player and zbskin's renderings. The
// scale factors go to the skin as fractions over the background's area.
#include "skin/skin_fit.h"

#include <cstdlib>

#include "skin/skin.h"

BOOL FitSkinToSize(CSkin* skin, int width, int height) {
  BITMAP bm{};
  HBITMAP background = skin ? skin->GetBackgroundBitmap() : nullptr;
  if (!background || !GetObjectW(background, sizeof bm, &bm)) return FALSE;
  const int bw = bm.bmWidth, bh = std::abs(bm.bmHeight);
  if (bw <= 1 || bh <= 1 || width <= 0 || height <= 0) return FALSE;
  if (std::abs(bw - width) <= 3 && std::abs(bh - height) <= 3) return FALSE;
  skin->Rescale(TRUE, width * bh, height * bw, bw * bh);
  return TRUE;
}
