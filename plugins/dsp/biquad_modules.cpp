// The filter's processing for both modules: a design check per block, then a Q24 biquad over
// 16-bit mono or stereo. Products and sums run in 64 bits; the output memory is held to the
// 32-bit range so a loud design saturates rather than wraps.
#include "plugins/dsp/biquad_modules.h"

#include <cstdint>
#include <limits>

#include "plugins/dsp/biquad_design.h"
#include "plugins/dsp/dsp_pages.h"
#include "plugins/dsp/dsp_records.h"
#include "plugins/dsp/dsp_settings.h"

namespace {

constexpr int kMarkerNone = -1, kMarkerVariable = 0, kMarkerBoost = 1;

struct Memory {
  int32_t x1 = 0, x2 = 0, y1 = 0, y2 = 0;
};

struct DesignInputs {
  int marker = kMarkerNone, rate = 0, frequency = 0, gain = 0, type = -1;
  double q = 0;
  bool operator==(const DesignInputs&) const = default;
};

BiquadSettings g_values;
DesignInputs g_used;
BiquadQ24 g_q24;
Memory g_memory[2];

void Redesign(const DesignInputs& inputs) {
  g_used = inputs;
  const int type = inputs.marker == kMarkerBoost ? BIQUAD_LOWSHELF : inputs.type;
  g_q24 = ToQ24(DesignBiquad(type, inputs.rate, inputs.frequency, inputs.gain, inputs.q));
  g_memory[0] = g_memory[1] = Memory{};
}

// One channel of the block with its memory and the coefficients held locally, so the loop keeps
// them in registers.
void FilterChannel(SHORT* s, int64_t count, int stride, Memory& memory) {
  const BiquadQ24 q = g_q24;
  Memory m = memory;
  for (int64_t i = 0; i < count; i += stride) {
    const int32_t x = int32_t{s[i]} * 256;
    const int64_t acc = q.b0 * x + q.b1 * m.x1 + q.b2 * m.x2 - q.a1 * m.y1 - q.a2 * m.y2;
    const int32_t y = static_cast<int32_t>(
        std::clamp<int64_t>(acc >> 24, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
    m.x2 = m.x1, m.x1 = x, m.y2 = m.y1, m.y1 = y;
    s[i] = Saturate16(y >> 8);
  }
  memory = m;
}

int Filter(int marker, void* samples, int n, int channels, int bits, int rate) {
  if (bits != kDspBits || channels < 1 || channels > 2 || n <= 0 || !samples || rate <= 0) return n;
  DesignInputs now{marker, rate, g_values.frequency, g_values.gain, kMarkerNone, 0.0};
  if (marker == kMarkerVariable) now.type = g_values.type, now.q = g_values.q;
  if (!(now == g_used)) Redesign(now);
  SHORT* s = static_cast<SHORT*>(samples);
  const int64_t count = int64_t{n} * channels;
  for (int c = 0; c < channels; ++c) FilterChannel(s + c, count - c, channels, g_memory[c]);
  return n;
}

int BoostSamples(void* samples, int n, int channels, int bits, int rate) {
  return Filter(kMarkerBoost, samples, n, channels, bits, rate);
}
int VariableSamples(void* samples, int n, int channels, int bits, int rate) {
  return Filter(kMarkerVariable, samples, n, channels, bits, rate);
}

void BoostInit() {
  g_values.frequency = kBoostSettings.Read(u"frequency", 60);
  g_values.gain = kBoostSettings.Read(u"gain", 15);
}
void VariableInit() {
  g_values.q = static_cast<double>(static_cast<float>(kBoostSettings.Read(u"q", 100)) * 0.01f);
  g_values.type = kBoostSettings.Read(u"type", 0);
}
void BiquadQuit() {
  kBoostSettings.Write(u"frequency", g_values.frequency);
  kBoostSettings.Write(u"gain", g_values.gain);
  kBoostSettings.Write(u"q", static_cast<int>(g_values.q * 100.0));
  kBoostSettings.Write(u"type", g_values.type);
}

void BoostAbout(HWND owner) { ShowDspAbout(owner, u"Kestrane Bass Boost DSP Plugin. (60Hz/15dB defaults)"); }
void VariableAbout(HWND owner) { ShowDspAbout(owner, u"Kestrane Variable Filters DSP Plugin"); }

}  // namespace

BiquadSettings& BiquadValues() { return g_values; }


DSPModule g_bassBoostModule = {DSP_MODULE_VERSION, ZB_DSP_FLAG_CONFIG_PAGE, u"Bass Boost", nullptr, nullptr, nullptr,
                               BoostAbout, BoostInit, BiquadQuit, SameSampleCount, BoostSamples, nullptr, 101,
                               BoostPageProc, nullptr, nullptr};
DSPModule g_variableFiltersModule = {DSP_MODULE_VERSION, ZB_DSP_FLAG_CONFIG_PAGE, u"Variable Filters", nullptr, nullptr,
                                     nullptr, VariableAbout, VariableInit, BiquadQuit, SameSampleCount, VariableSamples,
                                     &g_values.q, 102, VariablePageProc, nullptr, nullptr};
