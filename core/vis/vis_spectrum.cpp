// The built-in spectrum: fifteen logarithmic bands from 172 Hz to 22050 Hz over a 256-point
// transform, ten of them shown as bars whose level and held peak fall at rates set by visSpeed.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/output/fft.h"
#include "core/vis/vis_draw.h"

namespace {

int Bin(int frequency) {
  const int bin = ((frequency - 172) * 256) / 21878;
  return bin < 0 ? 0 : bin > 256 ? 256 : bin;
}

constexpr int kFirstShownBand = 3, kShownBars = 10;

}  // namespace

void MakeVisBandTable(VisSpectrumState& state) {
  for (int i = 0; i < kVisBands; ++i)
    state.bandEdges[i] = static_cast<int>(172.0 * std::pow(10.0, i * std::log10(22050.0 / 172.0) * (1.0 / 14)));
  state.bandEdges[0] = 1;
  for (int i = 0; i < kVisBands; ++i) {
    state.bandFirstBin[i] = i == 0 ? 0 : Bin((state.bandEdges[i - 1] + state.bandEdges[i]) / 2);
    state.bandEndBin[i] = i < kVisBands - 1 ? Bin((state.bandEdges[i] + state.bandEdges[i + 1]) / 2) : 256;
    state.barLevel[i] = state.barPeak[i] = state.peakAge[i] = 0;
  }
}

void DrawVisSpectrum(const VisSurface& s, const signed char* samples, int byteCount, const COLORREF* colours,
                     int visSpeed, int barMode, VisSpectrumState& state) {
  if (visSpeed <= 0) visSpeed = 1;
  int points = byteCount / 4;
  if (points > 512) points = 512;
  const int order = points == 512 ? 9 : 8;
  for (int k = 0; k < (1 << order); ++k) {
    state.re[k] = (samples[2 * k] + samples[2 * k + 1]) * 128;
    state.im[k] = 0;
  }
  FixedFft(state.re, state.im, order, FALSE);
  if (!state.ready) MakeVisBandTable(state);

  const int fall = 512 / (visSpeed / 4 + 1);
  const int hold = visSpeed / 2 + 1;
  for (int b = 0; b < kVisBands; ++b) {
    state.barLevel[b] = state.barLevel[b] > fall ? state.barLevel[b] - fall : 0;
    if (state.peakAge[b] >= hold) {
      state.barPeak[b] -= ((state.peakAge[b] - visSpeed / 2) * (512 / hold)) / 3;
      if (state.barPeak[b] < 0) state.barPeak[b] = 0;
    }
    ++state.peakAge[b];
  }

  const int W = s.width, H = s.height;
  for (int j = 0; j < kShownBars; ++j) {
    const int b = j + kFirstShownBand;
    int v = 0;
    for (int k = state.bandFirstBin[b]; k < state.bandEndBin[b]; ++k) v = std::max(v, static_cast<int>(std::labs(state.im[k])));
    v = std::min(v, 512);
    v = std::max(v, state.barLevel[b]);
    const int x0 = (j * W) / 10, x1 = ((j + 1) * W) / 10 - 1;
    if (v > 0 && H > 0 && barMode >= 0 && barMode <= 2) {
      const int top = std::max(0, H - ((H - 1) * v) / 512);
      for (int row = top; row < H; ++row) {
        const int idx = barMode == 0 ? (row * 14) / H : barMode == 1 ? ((row - top) * 14) / H : (top * 14) / H;
        for (int x = x0; x < x1; ++x) s.Put(x, row, colours[kVisColourBarTop + idx]);
      }
    }
    state.barLevel[b] = v;
    if (v > state.barPeak[b]) {
      state.barPeak[b] = v;
      state.peakAge[b] = 0;
    }
    if (state.barPeak[b] > 0) {
      const int row = H - ((H - 1) * state.barPeak[b]) / 512 - 1;
      for (int x = x0; x < x1; ++x) s.Put(x, row, colours[kVisColourPeak]);
    }
  }
  state.ready = 1;
}
