// Test support for the effects: a fresh device per test (the modules' registry values live there),
// a module run over a signal in the player's way (blocks of a given size, each into a buffer of
// the size GetMaxSamples promises), and the spectrum measures the references are compared with.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

#include "plugins/dsp/dsp_records.h"
#include "plugins/dsp/dsp_settings.h"
#include "testing/test_device.h"

namespace zb::testing {

using Samples = std::vector<SHORT>;

// Runs `module` over interleaved `input` in blocks of `block` frames; the frames it handed back.
inline Samples RunModule(DSPModule& module, const Samples& input, int channels, int rate, int block,
                         int bits = 16) {
  Samples out;
  const int frames = static_cast<int>(input.size()) / channels;
  for (int first = 0; first < frames; first += block) {
    const int n = std::min(block, frames - first);
    const int room = std::max(n, module.GetMaxSamples(n, &module));
    Samples buffer(static_cast<size_t>(room) * channels);
    std::copy_n(input.begin() + first * channels, n * channels, buffer.begin());
    const int got = module.ModifySamples(buffer.data(), n, channels, bits, rate);
    EXPECT_LE(got, room) << "more frames than promised";
    out.insert(out.end(), buffer.begin(), buffer.begin() + std::clamp(got, 0, room) * channels);
  }
  return out;
}

// One channel of an interleaved signal.
inline std::vector<double> Channel(const Samples& s, int channels, int channel) {
  std::vector<double> out;
  for (size_t i = channel; i < s.size(); i += channels) out.push_back(s[i]);
  return out;
}

// The discrete-time Fourier transform of `x` at `hz`.
inline std::complex<double> Dtft(const std::vector<double>& x, double hz, int rate) {
  std::complex<double> sum;
  const double w = -2.0 * std::numbers::pi * hz / rate;
  for (size_t n = 0; n < x.size(); ++n) sum += x[n] * std::polar(1.0, w * static_cast<double>(n));
  return sum;
}

inline double Db(double magnitude) { return 20.0 * std::log10(std::max(magnitude, 1e-12)); }

// The frequency of the largest spectral magnitude between `from` and `to` Hz, in `step` Hz steps.
inline double PeakHz(const std::vector<double>& x, int rate, double from, double to, double step) {
  double best = from, most = -1;
  for (double f = from; f <= to; f += step) {
    const double m = std::abs(Dtft(x, f, rate));
    if (m > most) most = m, best = f;
  }
  return best;
}

inline Samples Sine(double hz, int frames, int channels, int rate, double amplitude) {
  Samples s;
  for (int i = 0; i < frames; ++i)
    for (int c = 0; c < channels; ++c)
      s.push_back(static_cast<SHORT>(std::lround(amplitude * std::sin(2.0 * std::numbers::pi * hz * i / rate))));
  return s;
}

}  // namespace zb::testing
