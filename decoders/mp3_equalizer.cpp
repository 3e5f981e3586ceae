// The MP3 module's own equaliser: ten bands and a preamp turned into 32 subband gains by the
// area under a line through twelve points, applied to libmad's subband samples.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "mp3_play_state.h"

namespace {

signed char g_bands[10];
signed char g_preamp;
bool g_enabled;
LONG g_gains[32];

constexpr int kPointHz[12] = {0, 300, 750, 1350, 2100, 3000, 4050, 6000, 12000, 14000, 16000, 22050};

}  // namespace

const LONG* EqualizerGains() { return g_gains; }
bool EqualizerOn() { return g_enabled; }

void ComputeEqGains(bool enable, const signed char* bands, signed char preamp) {
  std::memcpy(g_bands, bands, sizeof g_bands);
  g_preamp = preamp;
  g_enabled = enable;
  const int p = preamp * 255 / 63;
  int value[12];
  for (int k = 0; k < 12; ++k) {
    const int band = k == 0 ? 0 : k == 11 ? 9 : k - 1;
    const int b = bands[band] * 255 / 63;
    value[k] = std::clamp(254 - b - p, -127, 127);
  }
  for (int j = 0; j < 32; ++j) {
    const long long lo = j * 22050ll / 32, hi = (j + 1) * 22050ll / 32;
    long long area = 0, width = 0;
    for (int s = 0; s < 11; ++s) {
      const long long x0 = kPointHz[s], x1 = kPointHz[s + 1];
      const long long a = std::max(lo, x0), b = std::min(hi, x1);
      if (b <= a) continue;
      const long long ya = value[s] + (value[s + 1] - value[s]) * (a - x0) / (x1 - x0);
      const long long yb = value[s] + (value[s + 1] - value[s]) * (b - x0) / (x1 - x0);
      area += (ya + yb) * (b - a) / 2;
      width += b - a;
    }
    if (width == 0) {
      g_gains[j] = 1 << 28;
      continue;
    }
    const long long q = area * 18 / (width * 127);
    g_gains[j] = static_cast<LONG>(std::pow(10.0, static_cast<double>(q) / 36.0) * 268435456.0 + 0.5);
  }
}

void RecomputeEqGains() { ComputeEqGains(g_enabled, g_bands, g_preamp); }
