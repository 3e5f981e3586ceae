// Streams coded with line spectral pairs, on hand-built blocks: the polynomial made from the ten
// codebook values against its expansion in double precision; each coded level weighed by the
// envelope |A(e^iw)|^(-1/2) over its largest value, checked against the product form of the
// envelope evaluated in double precision from the published codebook; codes reused by a smaller
// block (its own positions) and by a larger one (the codes' values repeated, or its own positions
// with option bit 5); noise-coded bands and the noise under uncoded positions at their levels.
#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <map>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "wma_block_bands.h"
#include "wma_block_fixture.h"
#include "wma_tables.h"

namespace {

using namespace wma_test;
using Codes = std::array<int, kWmaLspCodes>;

constexpr int kCodeBits[kWmaLspCodes] = {3, 4, 4, 4, 4, 4, 4, 4, 3, 3};

// The published values (2 cos w) the codes pick.
std::array<double, kWmaLspCodes> Published(const Codes& codes) {
  std::array<double, kWmaLspCodes> v{};
  for (int i = 0, row = 0; i < kWmaLspCodes; row += 1 << kCodeBits[i], ++i) v[i] = Tables().lsp[row + codes[i]];
  return v;
}

// The envelope at w = pi i / grid, i < grid, from the pairs directly:
// |A|^2 = ((2 + x) prod_even (x - l)^2 + (2 - x) prod_odd (x - l)^2) / 4 with x = 2 cos w.
std::vector<double> Envelope(const Codes& codes, int grid) {
  const auto l = Published(codes);
  std::vector<double> e(grid);
  for (int i = 0; i < grid; ++i) {
    const double x = 2 * std::cos(M_PI * i / grid);
    double p = 0.5, q = 0.5;
    for (int j = 0; j < kWmaLspCodes; j += 2) p *= x - l[j], q *= x - l[j + 1];
    e[i] = std::pow(p * p * (2 + x) + q * q * (2 - x), -0.25);
  }
  return e;
}

std::vector<Codes> CodeSets() {
  std::vector<Codes> sets = {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                             {7, 15, 15, 15, 15, 15, 15, 15, 7, 7},
                             {3, 8, 8, 8, 8, 8, 8, 8, 4, 4},
                             {1, 2, 5, 9, 12, 6, 3, 14, 6, 2}};
  std::mt19937 random(31);
  for (int k = 0; k < 12; ++k) {
    Codes c{};
    for (int i = 0; i < kWmaLspCodes; ++i) c[i] = static_cast<int>(random() % (1u << kCodeBits[i]));
    sets.push_back(c);
  }
  return sets;
}

TEST(WmaLspPolynomial, IsTheMeanOfTheTwoPairProducts) {
  for (const Codes& codes : CodeSets()) {
    int32_t poly[kWmaLspCodes];
    const auto l = Published(codes);
    for (int i = 0, row = 0; i < kWmaLspCodes; row += 1 << kCodeBits[i], ++i) poly[i] = kWmaLspCodebook[row + codes[i]];
    WmaAudioLspToPolynomial(poly);
    // P = (1 + z^-1) prod_even (1 - l z^-1 + z^-2), Q = (1 - z^-1) prod_odd (...), A = (P + Q) / 2.
    std::vector<double> p = {1, 1}, q = {1, -1};
    for (int j = 0; j < kWmaLspCodes; ++j) {
      std::vector<double>& r = j % 2 == 0 ? p : q;
      std::vector<double> next(r.size() + 2, 0.0);
      for (size_t k = 0; k < r.size(); ++k) next[k] += r[k], next[k + 1] -= l[j] * r[k], next[k + 2] += r[k];
      r = next;
    }
    for (int k = 1; k <= kWmaLspCodes; ++k)
      EXPECT_NEAR(poly[k - 1] / 33554432.0, -(p[k] + q[k]), 1e-6) << "coefficient " << k << " of set " << codes[0];
  }
}

class WmaLsp : public WmaBlock {
 protected:
  void Write(const Codes& codes) {
    for (int i = 0; i < kWmaLspCodes; ++i) w_.Put(static_cast<uint32_t>(codes[i]), kCodeBits[i]);
  }
  // Levels 1 to 3 of both signs at every fifth position of a block of 2^bits, up to its coded end.
  std::map<int, int> Levels(int bits) {
    std::map<int, int> levels;
    const int end = 1864 >> (11 - bits);
    for (int k = 0, position = 4; position < end; ++k, position += 5) {
      const int level = 1 + k % 3;
      RunLevel(4, level, k % 2 == 0);
      levels[position] = k % 2 == 0 ? level : -level;
    }
    End();
    return levels;
  }
  // Every position holds its level times 16 10^(gain / 20) times the envelope ratio given, and
  // the others 0. Returns the largest error over the largest value.
  double Weighed(const std::map<int, int>& levels, uint32_t gain, const std::function<double(int)>& ratio) {
    const double unit = 16 * std::pow(10.0, gain / 20.0);
    double worst = 0, largest = 0;
    for (int i = 0; i < d_.blockLength; ++i) {
      const auto it = levels.find(i);
      if (it == levels.end()) {
        EXPECT_EQ(d_.spectrum[0][i], 0) << i;
        continue;
      }
      const double want = it->second * unit * ratio(i);
      worst = std::max(worst, std::fabs(d_.spectrum[0][i] - want));
      largest = std::max(largest, std::fabs(want));
    }
    return worst / largest;
  }
};

// Measured at first: at most 1.6e-5 of the largest value (-96 dB, below 16-bit output), most of
// it from the polynomial's Q25 coefficients near the sharpest peaks of the envelope.
constexpr double kWeighedBound = 3e-5;

TEST_F(WmaLsp, EachLevelIsWeighedByTheEnvelopeOverItsLargestValue) {
  for (const Codes& codes : CodeSets()) {
    d_ = WmaAudioDecoder{};
    w_ = BitWriter{};
    Init(1, 4000, 0);
    ASSERT_FALSE(d_.noiseCoding);
    w_.Put(1, 1);
    Gain(90);
    Write(codes);
    const auto levels = Levels(11);
    Load();
    ASSERT_EQ(DecodeSpectrum(), 0);
    const auto e = Envelope(codes, 2048);
    const double top = *std::max_element(e.begin(), e.end());
    EXPECT_LT(Weighed(levels, 90, [&](int i) { return e[i] / top; }), kWeighedBound) << "set " << codes[1];
  }
}

// Reservoir and three block sizes (2048, 1024, 512); no noise coding at this byte rate. Each case
// reads codes with its first block and reuses them in its last, at the envelope given.
TEST_F(WmaLsp, ReusedCodesServeSmallerAndLargerBlocks) {
  const Codes codes = {2, 5, 9, 3, 11, 7, 1, 13, 5, 2};
  const auto e512 = Envelope(codes, 512), e1024 = Envelope(codes, 1024);
  const double top512 = *std::max_element(e512.begin(), e512.end());
  const double top1024 = *std::max_element(e1024.begin(), e1024.end());
  const struct {
    const char* name;
    uint32_t options;
    std::vector<int> sizes;  // block-size indexes of the frame: the codes come with the first
    std::function<double(int)> ratio;
  } cases[] = {
      {"1024 then 512: its own positions", 0x0E, {1, 2, 2},
       [&](int i) { return e1024[2 * i] / top1024; }},
      {"512 then 1024: each value twice", 0x0E, {2, 2, 1},
       [&](int i) { return e512[i / 2] / top512; }},
      {"512 then 1024, option bit 5: its own positions", 0x2E, {2, 2, 1},
       [&](int i) { return e1024[i] / top512; }},
  };
  for (const auto& c : cases) {
    d_ = WmaAudioDecoder{};
    w_ = BitWriter{};
    Init(1, 3500, c.options);
    ASSERT_FALSE(d_.noiseCoding);
    ASSERT_EQ(d_.blockSizeCount, 2);
    std::map<int, int> levels;
    const size_t last = c.sizes.size() - 1;
    for (size_t b = 0; b <= last; ++b) {
      const int next = b < last ? c.sizes[b + 1] : 0;
      if (b == 0) {
        FirstBlock(0, c.sizes[0], next, 70, true);
        Write(codes);
      } else {
        w_.Put(static_cast<uint32_t>(next), 2);
        w_.Put(1, 1);
        Gain(70);
        w_.Put(0, 1);  // the codes are reused
      }
      if (b == last)
        levels = Levels(11 - c.sizes[b]);
      else
        End();
    }
    Load();
    for (size_t b = 0; b <= last; ++b) ASSERT_EQ(DecodeSpectrum(), 0) << c.name << ", block " << b;
    ASSERT_EQ(d_.blockLength, 2048 >> c.sizes[last]) << c.name;
    EXPECT_LT(Weighed(levels, 70, c.ratio), kWeighedBound) << c.name;
  }
}

TEST_F(WmaLsp, ReusingCodesNeverReadIsMalformed) {
  Init(1, 3500, 0x0E);
  FirstBlock(0, 1, 1, 50, false);
  Load();
  EXPECT_EQ(DecodeSpectrum(), WMA_MALFORMED);
}

// 44.1 kHz mono at 2000 bytes a second codes noise from 4410 Hz. Two high bands of the block of
// 2048 are noise-coded; no run-level value is coded, so the rest carries the small noise.
TEST_F(WmaLsp, NoiseFillsItsBandsAndTheUncodedPositionsAtTheirLevels) {
  Init(1, 2000, 0);
  ASSERT_TRUE(d_.noiseCoding);
  WmaBlockBands bands;
  ASSERT_TRUE(WmaBlockBandsFor(&d_, 11, &bands));
  const uint32_t hs = WmaHighBandStart(&d_, 11);
  const int first = bands.FirstAbove(hs);
  int lastBand = first;
  while (lastBand + 1 < bands.count && bands.Lower(lastBand + 1) < 1864) ++lastBand;
  const int noisy[2] = {first + 2, lastBand};
  const int gains[2] = {30, 38};
  const Codes codes = {3, 8, 6, 10, 4, 9, 2, 12, 3, 5};
  const uint32_t gain = 60;

  w_.Put(1, 1);
  Gain(gain);
  for (int i = first; i <= lastBand; ++i) w_.Put(i == noisy[0] || i == noisy[1], 1);
  w_.Put(gains[0] + 19, 7);
  Symbol("gain", gains[1] - gains[0] + 18);
  Write(codes);
  End();
  Load();
  ASSERT_EQ(DecodeSpectrum(), 0);
  ASSERT_EQ(d_.highBandStart, hs);

  const auto e = Envelope(codes, 2048);
  const double top = *std::max_element(e.begin(), e.end());
  auto meanSquare = [&](const std::function<double(int)>& f, int from, int to) {
    double sum = 0;
    for (int i = from; i < to; ++i) sum += f(i) * f(i);
    return sum / (to - from);
  };
  auto ratio = [&](int i) { return e[i] / top; };
  auto got = [&](int i) { return double(d_.spectrum[0][i]); };
  auto from = [&](int band) { return std::max<int>(hs, bands.Lower(band)); };
  auto to = [&](int band) { return std::min<int>(1864, bands.edges[band]); };
  // A noise band: unit noise under the envelope, at its gain and at the root of its envelope
  // power over the last noise band's.
  const double lastPower = meanSquare(ratio, from(noisy[1]), to(noisy[1]));
  for (int k = 0; k < 2; ++k) {
    const int b = noisy[k];
    const double power = meanSquare(ratio, from(b), to(b));
    const double want = 16 * std::pow(10.0, gains[k] / 20.0) * std::sqrt(power / lastPower) * std::sqrt(power);
    EXPECT_NEAR(std::sqrt(meanSquare(got, from(b), to(b))) / want, 1.0, 0.2) << "band " << b;
  }
  // Elsewhere 0.04 of the block's step under the envelope, up to the block's end.
  const double step = 16 * std::pow(10.0, gain / 20.0);
  for (const auto& range : {std::make_pair(0, static_cast<int>(hs)), std::make_pair(from(first + 1), to(first + 1)),
                            std::make_pair(1864, 2048)}) {
    const double want = 0.04 * step * std::sqrt(meanSquare(ratio, range.first, range.second));
    EXPECT_NEAR(std::sqrt(meanSquare(got, range.first, range.second)) / want, 1.0, 0.2) << range.first;
  }
}

}  // namespace
