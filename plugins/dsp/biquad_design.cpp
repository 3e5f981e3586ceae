// The filter designs: the usual shelf, pass, notch and peaking forms with the shelves at slope 1,
// computed in double precision and converted to the fixed point the filter runs in.
#include "plugins/dsp/biquad_design.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// A coefficient beyond these bounds would overflow the filter's 64-bit products; real designs in
// range stay well inside them (at most about 2 x 316 for the feed-forward side, 2 for feedback).
constexpr double kMaxFeedForward = 1024.0;
constexpr double kMaxFeedback = 4.0;

BiquadDesign Normalised(double a0, double b0, double b1, double b2, double a1, double a2) {
  return {b0 / a0, b1 / a0, b2 / a0, a1 / a0, a2 / a0};
}

int64_t Q24(double value, double bound) {
  if (!std::isfinite(value)) return 0;
  return static_cast<int64_t>(std::clamp(value, -bound, bound) * 16777216.0);
}

}  // namespace

BiquadDesign DesignBiquad(int type, int rate, int frequency, int gainDb, double q) {
  if (rate <= 0) return {};
  const double gain = std::clamp(gainDb, -kBiquadMaxGainDb, kBiquadMaxGainDb);
  const double nyquistBelow = rate * 0.4999;
  const double f = std::clamp(static_cast<double>(frequency), 1.0, std::max(1.0, nyquistBelow));
  const double w0 = 2.0 * std::numbers::pi * f / rate;
  const double sn = std::sin(w0), cs = std::cos(w0);
  if (q < 0.1) q = 1.0;
  const double alpha = sn / (2.0 * q);
  const double G = std::pow(10.0, gain * 0.05);
  const double A = std::pow(10.0, gain * 0.025);
  const double beta = std::sqrt((A * A + 1.0) - (A - 1.0) * (A - 1.0));
  switch (type) {
    case BIQUAD_LOWPASS: {
      const double b1 = G * (1.0 - cs);
      return Normalised(1.0 + alpha, b1 / 2.0, b1, b1 / 2.0, -2.0 * cs, 1.0 - alpha);
    }
    case BIQUAD_HIGHPASS:
      return Normalised(1.0 + alpha, G * (1.0 + cs) / 2.0, -G * (1.0 + cs), G * (1.0 + cs) / 2.0, -2.0 * cs, 1.0 - alpha);
    case BIQUAD_BANDPASS:
      return Normalised(1.0 + alpha, G * alpha, 0.0, -G * alpha, -2.0 * cs, 1.0 - alpha);
    case BIQUAD_NOTCH:
      return Normalised(1.0 + alpha, G, -2.0 * G * cs, G, -2.0 * cs, 1.0 - alpha);
    case BIQUAD_LOWSHELF:
      return Normalised((A + 1.0) + (A - 1.0) * cs + beta * sn, A * ((A + 1.0) - (A - 1.0) * cs + beta * sn),
                        2.0 * A * ((A - 1.0) - (A + 1.0) * cs), A * ((A + 1.0) - (A - 1.0) * cs - beta * sn),
                        -2.0 * ((A - 1.0) + (A + 1.0) * cs), (A + 1.0) + (A - 1.0) * cs - beta * sn);
    case BIQUAD_HIGHSHELF:
      return Normalised((A + 1.0) - (A - 1.0) * cs + beta * sn, A * ((A + 1.0) + (A - 1.0) * cs + beta * sn),
                        -2.0 * A * ((A - 1.0) + (A + 1.0) * cs), A * ((A + 1.0) + (A - 1.0) * cs - beta * sn),
                        2.0 * ((A - 1.0) - (A + 1.0) * cs), (A + 1.0) - (A - 1.0) * cs - beta * sn);
    case BIQUAD_PEAKING:
      return Normalised(1.0 + alpha / A, 1.0 + alpha * A, -2.0 * cs, 1.0 - alpha * A, -2.0 * cs, 1.0 - alpha / A);
    default:
      return {G, 0.0, 0.0, 0.0, 0.0};
  }
}

BiquadQ24 ToQ24(const BiquadDesign& d) {
  return {Q24(d.b0, kMaxFeedForward), Q24(d.b1, kMaxFeedForward), Q24(d.b2, kMaxFeedForward),
          Q24(d.a1, kMaxFeedback), Q24(d.a2, kMaxFeedback)};
}
