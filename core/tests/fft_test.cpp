// The fixed-point FFT: the 8-point worked case bit for bit, out-of-range orders that change
// nothing, and forward and inverse transforms of every size against a double-precision DFT.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <random>
#include <vector>

#include "core/output/fft.h"

namespace zb::testing {
namespace {

TEST(FixedFft, EightEqualPointsGiveTheWorkedResult) {
  std::vector<LONG> re(8, 16384), im(8, 0);
  EXPECT_EQ(FixedFft(re.data(), im.data(), 3, FALSE), 0);
  EXPECT_EQ(re, (std::vector<LONG>{16381, -1, 0, 0, 1, 1, 0, 0}));
  EXPECT_EQ(im, (std::vector<LONG>{0, -2, 0, -1, 0, 0, 0, 1}));
}

TEST(FixedFft, OrdersOutsideTheTableAnswerMinusOneAndChangeNothing) {
  for (int order : {11, 12, 31, -1, -30}) {
    std::vector<LONG> re(2048), im(2048);
    for (size_t i = 0; i < re.size(); ++i) {
      re[i] = static_cast<LONG>(i % 97) - 48;
      im[i] = static_cast<LONG>(i % 13);
    }
    const std::vector<LONG> re0 = re, im0 = im;
    EXPECT_EQ(FixedFft(re.data(), im.data(), order, FALSE), -1) << order;
    EXPECT_EQ(FixedFft(re.data(), im.data(), order, TRUE), -1) << order;
    EXPECT_EQ(re, re0);
    EXPECT_EQ(im, im0);
  }
  LONG one = 5;
  EXPECT_EQ(FixedFft(nullptr, &one, 3, FALSE), -1);
  EXPECT_EQ(FixedFft(&one, nullptr, 3, FALSE), -1);
  EXPECT_EQ(one, 5);
}

TEST(FixedFft, OnePointIsLeftAsItIs) {
  LONG re = 1234, im = -77;
  EXPECT_EQ(FixedFft(&re, &im, 0, FALSE), 0);
  EXPECT_EQ(re, 1234);
  EXPECT_EQ(im, -77);
}

using Spectrum = std::vector<std::complex<double>>;

Spectrum Dft(const std::vector<LONG>& re, const std::vector<LONG>& im, bool inverse) {
  const size_t n = re.size();
  Spectrum out(n);
  for (size_t k = 0; k < n; ++k) {
    std::complex<double> sum = 0;
    for (size_t t = 0; t < n; ++t) {
      const double angle = (inverse ? 2 : -2) * std::numbers::pi * double((k * t) % n) / double(n);
      sum += std::complex<double>(re[t], im[t]) * std::polar(1.0, angle);
    }
    out[k] = sum;
  }
  return out;
}

struct Signal {
  std::vector<LONG> re, im;
};

Signal RandomSignal(int order, int amplitude, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<LONG> value(-amplitude, amplitude);
  Signal s;
  for (int i = 0; i < (1 << order); ++i) {
    s.re.push_back(value(random));
    s.im.push_back(value(random));
  }
  return s;
}

double MaxError(const Signal& got, const Spectrum& want, double scale) {
  double worst = 0;
  for (size_t k = 0; k < want.size(); ++k)
    worst = std::max(worst, std::abs(std::complex<double>(got.re[k], got.im[k]) - want[k] * scale));
  return worst;
}

// Forward: the DFT divided by n, within one and a half units per stage (and one more). The
// flooring of every product and halving and the 15-bit twiddles are all the error there is.
TEST(FixedFft, ForwardTransformsAgreeWithTheDftDividedByN) {
  for (int order = 1; order <= kFftMaxOrder; ++order) {
    for (int amplitude : {32767, 16383, 2000, 300}) {
      Signal s = RandomSignal(order, amplitude, 100 + order);
      const Spectrum want = Dft(s.re, s.im, false);
      EXPECT_EQ(FixedFft(s.re.data(), s.im.data(), order, FALSE), 0);
      EXPECT_LE(MaxError(s, want, 1.0 / (1 << order)), 1.5 * (order + 1)) << "order " << order << ", amplitude " << amplitude;
    }
  }
}

TEST(FixedFft, ForwardTransformOfASineFindsItsBin) {
  std::vector<LONG> re(1024), im(1024, 0);
  for (int i = 0; i < 1024; ++i) re[i] = std::lround(16000 * std::cos(2 * std::numbers::pi * 37 * i / 1024));
  EXPECT_EQ(FixedFft(re.data(), im.data(), 10, FALSE), 0);
  // 16000 cos splits into two halves of 8000 at bins 37 and 1024 - 37.
  EXPECT_NEAR(re[37], 8000, 12);
  EXPECT_NEAR(re[1024 - 37], 8000, 12);
  for (int k = 0; k < 1024; ++k) {
    if (k != 37 && k != 1024 - 37) {
      EXPECT_LE(std::abs(re[k]) + std::abs(im[k]), 12) << k;
    }
  }
}

double Largest(const Spectrum& values, double scale) {
  double largest = 0;
  for (const auto& v : values) largest = std::max(largest, std::abs(v) * scale);
  return largest;
}

// Inverse: halved at the stages it reports, and then within 1% of the largest output plus a
// unit per stage. (Unhalved stages pass the flooring of earlier ones on doubled.)
TEST(FixedFft, InverseTransformsAgreeWithTheDftScaledByTheReportedStages) {
  for (int order = 1; order <= kFftMaxOrder; ++order) {
    for (int amplitude : {32767, 16383, 2000}) {
      Signal s = RandomSignal(order, amplitude, 900 + order);
      const Spectrum want = Dft(s.re, s.im, true);
      const int scaled = FixedFft(s.re.data(), s.im.data(), order, TRUE);
      ASSERT_GE(scaled, 0);
      ASSERT_LE(scaled, order);
      const double scale = 1.0 / (1 << scaled);
      EXPECT_LE(MaxError(s, want, scale), 0.01 * Largest(want, scale) + order + 1)
          << "order " << order << ", amplitude " << amplitude;
    }
  }
}

TEST(FixedFft, AnInverseThatStaysSmallIsNotScaled) {
  // An impulse transforms into a constant exactly: no product has a remainder to floor.
  std::vector<LONG> re(1024, 0), im(1024, 0);
  re[0] = 100;
  im[0] = -3;
  EXPECT_EQ(FixedFft(re.data(), im.data(), 10, TRUE), 0);
  EXPECT_EQ(re, std::vector<LONG>(1024, 100));
  EXPECT_EQ(im, std::vector<LONG>(1024, -3));
  // A stage halves only when some value lies beyond 16383, and says so: eight times 16384 is
  // halved at the first stage (16384), not at the second (16383 at most), and at the third.
  std::vector<LONG> big(8, 16384), zero(8, 0);
  EXPECT_EQ(FixedFft(big.data(), zero.data(), 3, TRUE), 2);
  EXPECT_NEAR(big[0], 8 * 16384 / 4, 8);
}

TEST(FixedFft, ValuesBeyondSixteenBitsDoNotOverflow) {
  std::vector<LONG> re(1024, 0x7FFFFFFF), im(1024, -0x7FFFFFFF - 1);
  EXPECT_EQ(FixedFft(re.data(), im.data(), 10, FALSE), 0);
  EXPECT_GE(FixedFft(re.data(), im.data(), 10, TRUE), 0);
}

}  // namespace
}  // namespace zb::testing
