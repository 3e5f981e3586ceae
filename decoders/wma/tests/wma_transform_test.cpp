// The numeric core against double precision: the quantiser step against 10^(d/16 + g/20), and
// the inverse transform of every block size and both versions' scaling against the direct sum of
// the inverse MDCT.
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "wma_audio_internal.h"

namespace {

TEST(WmaQuantStep, IsTenToTheExponentSixteenthsAndGainTwentieths) {
  for (const int base : {13, 14})
    for (int gain = -19; gain <= 150; ++gain)
      for (int d = -100; d <= 16; ++d) {
        const WmaStep step = WmaQuantStep(d, gain, base);
        const double want = std::pow(10.0, d / 16.0 + gain / 20.0) * std::ldexp(1.0, base - 9);
        if ((d >> 4) + (gain >= 0 ? gain / 20 : -((19 - gain) / 20)) + 2 < 0) {
          EXPECT_EQ(step.mantissa, 0u) << d << " " << gain;
          continue;
        }
        ASSERT_GE(step.mantissa, 0x80000000u) << "normalised";
        const double got = std::ldexp(static_cast<double>(step.mantissa), step.shift - 32);
        ASSERT_NEAR(got / want, 1.0, 2e-7) << "d " << d << " gain " << gain << " base " << base;
      }
}

TEST(WmaQuantStep, SaturatesBeyondThirtyTwoBits) {
  const WmaStep step = WmaQuantStep(0, 300, 13);
  EXPECT_EQ(step.mantissa, 0xFFFFFFFFu);
  EXPECT_EQ(WmaScaleLevel(step, 1), 0u) << "a shift past 31 gives nothing, not a wrapped value";
}

// y[n] = -sum X[k] cos(pi / N (n + 1/2 + N/2)(k + 1/2)), the middle half n = N/2 .. 3N/2 - 1,
// for coefficients that carry 2^(3 + b) (version 2) or 32 sqrt(N / 2) (version 1; for an even b
// its step has already taken the odd half bit, leaving 2^(4 + b/2)).
TEST(WmaInverseTransform, MatchesTheDirectSumAtEveryBlockSize) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> value(-1000.0, 1000.0);
  for (const int version : {1, 2})
    for (int bits = 7; bits <= 11; ++bits) {
      const int n = 1 << bits;
      const double scale = version == 2 ? std::ldexp(1.0, 3 + bits)
                           : (bits & 1)   ? std::ldexp(1.0, 5 + (bits - 1) / 2)
                                          : std::ldexp(1.0, 4 + bits / 2);
      std::vector<double> x(n);
      std::vector<int32_t> data(n), work(n);
      for (int k = 0; k < n; ++k) {
        x[k] = k < n / 2 ? value(random) / (1 + k / 8) : 0.0;  // falling, as music does
        data[k] = static_cast<int32_t>(std::lround(x[k] * scale));
      }
      WmaInverseTransform(data.data(), work.data(), bits, version);
      double error = 0, signal = 0;
      for (int i = 0; i < n; ++i) {
        double y = 0;
        for (int k = 0; k < n; ++k) y -= x[k] * std::cos(M_PI / n * (i + n / 2 + 0.5 + n / 2.0) * (k + 0.5));
        y *= 4096;  // Q12
        error += (y - data[i]) * (y - data[i]);
        signal += y * y;
      }
      EXPECT_GT(10 * std::log10(signal / error), 95.0) << "version " << version << ", " << n;
    }
}

}  // namespace
