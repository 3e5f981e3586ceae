// The equaliser's sections worked out again in double precision for the tests, from the
// textbook shelf and peaking formulas in their a0..a2 / b0..b2 form, and their response.
#pragma once
#include <cmath>
#include <complex>
#include <numbers>

namespace zb::testing {

struct ReferenceBiquad {
  double b0, b1, b2, a0, a1, a2;

  double Gain(double hz, double rate = 44100) const {
    const std::complex<double> z1 = std::polar(1.0, -2 * std::numbers::pi * hz / rate);
    const std::complex<double> z2 = z1 * z1;
    return std::abs((b0 + b1 * z1 + b2 * z2) / (a0 + a1 * z1 + a2 * z2));
  }
};

constexpr double kReferenceCentres[11] = {0, 60, 170, 310, 600, 1000, 3000, 6000, 12000, 14000, 16000};

inline double ValueToDb(int value) { return (31 - value) * 12.0 / 31.0; }

// Stage 1..10 for a band value 0..63 (stage 1 low shelf, 10 high shelf, between them Q = 2 peaks).
inline ReferenceBiquad ReferenceSection(int stage, int value) {
  const double A = std::pow(10.0, ValueToDb(value) / 40);
  const double w = 2 * std::numbers::pi * kReferenceCentres[stage] / 44100;
  const double cw = std::cos(w), sw = std::sin(w);
  if (stage == 1 || stage == 10) {
    const double k = sw * std::sqrt(2 * A);  // 2 sqrt(A) alpha with shelf slope 1
    const double s = stage == 1 ? 1 : -1;    // high shelf: the cosine terms change sign
    return {A * ((A + 1) - s * (A - 1) * cw + k), s * 2 * A * ((A - 1) - s * (A + 1) * cw),
            A * ((A + 1) - s * (A - 1) * cw - k), (A + 1) + s * (A - 1) * cw + k,
            -s * 2 * ((A - 1) + s * (A + 1) * cw), (A + 1) + s * (A - 1) * cw - k};
  }
  const double alpha = sw / (2 * 2.0);
  return {1 + alpha * A, -2 * cw, 1 - alpha * A, 1 + alpha / A, -2 * cw, 1 - alpha / A};
}

inline double PreampGain(int value) { return std::pow(10.0, ValueToDb(value) / 20); }

}  // namespace zb::testing
