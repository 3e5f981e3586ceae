// The smooth stretch: shrinking skin bitmaps by area averaging, so that scaled-down skins keep
// thin lines and text legible where StretchBlt would drop whole rows. Each destination pixel is
// the mean of the source pixels its footprint covers, edge pixels weighted by the part covered.
#include <algorithm>
#include <cmath>
#include <vector>

#include "skin/bitmap_helpers.h"
#include "skin/dib_pixels.h"

using namespace zb::skin;

namespace {

// The source indices and weights (in 1/256) under each destination index along one axis.
struct Footprint {
  int first = 0;
  std::vector<uint32_t> weights;
};

std::vector<Footprint> Footprints(int srcLength, int dstLength) {
  const int64_t step = static_cast<int64_t>(static_cast<double>(srcLength) * 65536.0 / dstLength);
  const int64_t limit = int64_t{srcLength} << 16;
  std::vector<Footprint> out(dstLength);
  for (int i = 0; i < dstLength; ++i) {
    const int64_t start = step * i, end = i == dstLength - 1 ? limit : std::min(limit, step * (i + 1));
    Footprint& f = out[i];
    f.first = static_cast<int>(start >> 16);
    for (int64_t k = f.first; (k << 16) < end; ++k) {
      const int64_t covered = std::min(end, (k + 1) << 16) - std::max(start, k << 16);
      f.weights.push_back(static_cast<uint32_t>(covered >> 8));
    }
  }
  return out;
}

HBITMAP SelectedBitmap(HDC dc) { return static_cast<HBITMAP>(GetCurrentObject(dc, OBJ_BITMAP)); }

bool AtOrigin(HDC dc) {
  POINT origin{};
  return GetViewportOrgEx(dc, &origin) && origin.x == 0 && origin.y == 0;
}

bool Inside(const DibPixels& p, int x, int y, int w, int h) {
  return x >= 0 && y >= 0 && w > 0 && h > 0 && x + w <= p.width && y + h <= p.height;
}

// Declines (false) unless both DCs hold DIB sections of one depth, 16 or 24 bits, and the copy
// shrinks, by no more than eight times, between rectangles that lie inside both bitmaps.
bool AreaShrink(HDC dstDc, int x, int y, int w, int h, HDC srcDc, int sx, int sy, int sw, int sh) {
  if (w == sw && h == sh) return false;
  if (w > sw || h > sh || w * 8 < sw || h * 8 < sh) return false;
  if (!AtOrigin(dstDc) || !AtOrigin(srcDc)) return false;
  std::optional<DibPixels> dst = DibPixels::Of(SelectedBitmap(dstDc)), src = DibPixels::Of(SelectedBitmap(srcDc));
  if (!dst || !src || dst->bpp != src->bpp || (dst->bpp != 16 && dst->bpp != 24)) return false;
  if (!Inside(*dst, x, y, w, h) || !Inside(*src, sx, sy, sw, sh)) return false;
  RECT clip{};
  if (GetClipBox(dstDc, &clip) == ERROR || clip.left > x || clip.top > y || clip.right < x + w || clip.bottom < y + h)
    return false;

  const bool sameLayout = std::equal(std::begin(dst->channel), std::end(dst->channel), std::begin(src->channel),
                                      [](const DibChannel& a, const DibChannel& b) { return a.mask == b.mask; });
  const std::vector<Footprint> cols = Footprints(sw, w), rows = Footprints(sh, h);
  std::vector<uint64_t> sums(static_cast<size_t>(w) * 3);
  for (int j = 0; j < h; ++j) {
    std::fill(sums.begin(), sums.end(), 0);
    uint64_t rowWeight = 0;
    for (size_t r = 0; r < rows[j].weights.size(); ++r) {
      const uint32_t wy = rows[j].weights[r];
      rowWeight += wy;
      const uint8_t* line = src->Row(sy + rows[j].first + static_cast<int>(r));
      for (int i = 0; i < w; ++i) {
        uint64_t* acc = &sums[static_cast<size_t>(i) * 3];
        for (size_t c = 0; c < cols[i].weights.size(); ++c) {
          const uint64_t weight = uint64_t{wy} * cols[i].weights[c];
          const uint32_t pixel = src->Get(line, sx + cols[i].first + static_cast<int>(c));
          for (int k = 0; k < 3; ++k) acc[k] += weight * src->channel[k].Get(pixel);
        }
      }
    }
    uint8_t* out = dst->Row(y + j);
    for (int i = 0; i < w; ++i) {
      uint64_t colWeight = 0;
      for (uint32_t wx : cols[i].weights) colWeight += wx;
      const uint64_t total = std::max<uint64_t>(1, rowWeight * colWeight);
      uint32_t pixel = 0;
      for (int k = 0; k < 3; ++k) {
        const uint32_t mean = static_cast<uint32_t>(sums[static_cast<size_t>(i) * 3 + k] / total);
        pixel |= dst->channel[k].Put(sameLayout ? mean : dst->channel[k].FromByte(src->channel[k].ToByte(mean)));
      }
      dst->Put(out, x + i, pixel);
    }
  }
  return true;
}

}  // namespace

BOOL StretchSmooth(int mode, HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, DWORD rop) {
  if (rop == SRCCOPY && mode != 0 && AreaShrink(dst, x, y, w, h, src, sx, sy, sw, sh)) return TRUE;
  return StretchBlt(dst, x, y, w, h, src, sx, sy, sw, sh, rop);
}
