// Design of the time-domain equaliser: band values to shelf and peaking biquads, and the one
// published design. A design is never changed after it is published, so the decoder thread
// sees either the old design or the new one whole.
#include "core/output/equalizer.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>

#include "core/output/equalizer_published.h"

namespace {

constexpr double kDbPerStep = 0.3870967741935484;              // 12 dB over 31 steps
constexpr double kRadiansPerHz = 0.00014247585730565955;       // 2 pi / 44100
constexpr double kQ28 = 268435456.0;
constexpr double kPeakingAlphaPerSin = 0.25;                   // Q = 2
constexpr int kCentreHz[kEqStageCount] = {0, 60, 170, 310, 600, 1000, 3000, 6000, 12000, 14000, 16000};

LONG ToQ28(double value) {
  const double scaled = std::trunc(value * kQ28);
  // Clamped to the word: out-of-range doubles must not reach an integer conversion.
  constexpr double kMin = std::numeric_limits<LONG>::min(), kMax = std::numeric_limits<LONG>::max();
  return static_cast<LONG>(std::clamp(scaled, kMin, kMax));
}

int ClampValue(int value) { return std::clamp(value, 0, kEqMaxValue); }

// The five coefficients and 1/a0 of one stage, before scaling.
struct Section {
  double reciprocalA0 = 0, c1 = 0, c2 = 0, b0 = 0, b1 = 0, b2 = 0;
};

Section Shelf(bool high, double A, double s, double c) {
  const double beta = s * std::sqrt((A * A + 1) - (A - 1) * (A - 1));
  // The high shelf is the low shelf with the cosine's sign turned (and b1, c1 negated).
  const double sc = high ? -c : c;
  const double sign = high ? -1 : 1;
  const double a0 = (A + 1) + (A - 1) * sc + beta;
  Section out;
  out.reciprocalA0 = 1 / a0;
  out.c1 = sign * 2 * ((A - 1) + (A + 1) * sc) / a0;
  out.c2 = -((A + 1) + (A - 1) * sc - beta) / a0;
  out.b0 = A * ((A + 1) - (A - 1) * sc + beta) / a0;
  out.b1 = sign * 2 * A * ((A - 1) - (A + 1) * sc) / a0;
  out.b2 = A * ((A + 1) - (A - 1) * sc - beta) / a0;
  return out;
}

Section Peaking(double A, double s, double c) {
  const double alpha = s * kPeakingAlphaPerSin;
  const double a0 = 1 + alpha / A;
  Section out;
  out.reciprocalA0 = 1 / a0;
  out.c1 = -2 * c / a0;
  out.c2 = -(1 - alpha / A) / a0;
  out.b0 = (1 + alpha * A) / a0;
  out.b2 = (1 - alpha * A) / a0;
  return out;
}

EqStage Scaled(const Section& s) {
  return {ToQ28(s.reciprocalA0), ToQ28(s.c1), ToQ28(s.c2), ToQ28(s.b0), ToQ28(s.b1), ToQ28(s.b2)};
}

std::atomic<std::shared_ptr<const PublishedEqDesign>>& Published() {
  static std::atomic<std::shared_ptr<const PublishedEqDesign>> published{
      std::make_shared<const PublishedEqDesign>(PublishedEqDesign{ComputeEqDesign(nullptr, kEqFlatValue), 0})};
  return published;
}

}  // namespace

EqDesign ComputeEqDesign(const signed char* bands, int preamp) {
  EqDesign design{};
  design.bypass = TRUE;
  for (int i = 0; i < kEqStageCount; ++i) {
    const int value = ClampValue(i == 0 ? preamp : bands ? bands[i - 1] : kEqFlatValue);
    if (i > 0 && value != kEqFlatValue) design.bypass = FALSE;
    const double dB = (kEqFlatValue - value) * kDbPerStep;
    Section section;
    if (i == 0) {
      section.b0 = std::pow(10.0, dB * 0.05);
    } else {
      const double w = kCentreHz[i] * kRadiansPerHz;
      const double A = std::pow(10.0, dB * 0.025);
      if (i == 1 || i == kEqStageCount - 1) {
        section = Shelf(i != 1, A, std::sin(w), std::cos(w));
      } else {
        section = Peaking(A, std::sin(w), std::cos(w));
      }
    }
    design.stages[i] = Scaled(section);
  }
  return design;
}

void DesignEqFilter(int /*eqOn*/, const signed char* bands, int preamp) {
  static std::atomic<uint64_t> generations{0};
  auto next = std::make_shared<const PublishedEqDesign>(PublishedEqDesign{ComputeEqDesign(bands, preamp), ++generations});
  Published().store(std::move(next));
}

std::shared_ptr<const PublishedEqDesign> CurrentPublishedEqDesign() { return Published().load(); }

std::shared_ptr<const EqDesign> CurrentEqDesign() {
  std::shared_ptr<const PublishedEqDesign> published = CurrentPublishedEqDesign();
  return std::shared_ptr<const EqDesign>(published, &published->design);
}
