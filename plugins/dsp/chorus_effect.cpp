// Chorus Effect: each channel of a 16-bit stereo block mixed with its own past input, read from a
// delay line at a delay a triangle LFO sweeps between delay - depth and delay + depth. Settings
// that leave no table or delay line to index (only the registry can give them) pass blocks on.
#include "plugins/dsp/chorus_effect.h"

#include <cmath>
#include <vector>

#include "plugins/dsp/dsp_pages.h"
#include "plugins/dsp/dsp_records.h"
#include "plugins/dsp/dsp_settings.h"

namespace {

struct Voice {
  int level = 0;          // Q16
  float delayMs = 0, depthMs = 0, rateHz = 0;
  int64_t lfoPosition = 0;
  std::vector<int32_t> lfo;  // delay in samples for each LFO step
};

struct Channel {
  int outputGain = 0;  // Q16
  Voice voice;         // one voice per channel
  int64_t writePosition = 0;
  std::vector<int32_t> line;
};

struct ChorusValues {
  int delay = 20, depth = 10, gain = 600, decay = 666;
};

std::atomic<int> g_speed{250};
std::atomic<int> g_delay{20};
Channel g_channels[2];
int g_rate = 0;         // rate of the last setup; negated when it failed
int g_setupSpeed = 0;   // chorusSpeed the tables were built for
ChorusValues g_held;    // the registry-only values as last read

ChorusValues ReadValues() {
  return {kEchoSettings.Read(u"chorusDelay", 20), kEchoSettings.Read(u"chorusDepth", 10),
          kEchoSettings.Read(u"chorusGain", 600), kEchoSettings.Read(u"chorusDecay", 666)};
}

void Prepare(const ChorusValues& v, int speed) {
  g_held = v;
  g_delay = v.delay;
  for (Channel& c : g_channels) {
    c = Channel{};
    c.outputGain = static_cast<int>(static_cast<float>(v.gain) * 65.536f);
    c.voice.level = static_cast<int>(static_cast<float>(v.decay) * 65.536f);
    c.voice.delayMs = static_cast<float>(v.delay);
    c.voice.depthMs = static_cast<float>(v.depth);
    c.voice.rateHz = static_cast<float>(speed) * 0.001f;
  }
}

// The triangle: from top - 2d up to about top and back down, over T steps.
bool BuildVoice(Voice& v, int rate, int64_t* maxDelay) {
  *maxDelay = static_cast<int64_t>((v.delayMs + v.depthMs) * rate * 0.001);
  const int64_t depth = static_cast<int64_t>(v.depthMs * rate * 0.001);
  if (!(v.rateHz > 0)) return false;
  const double length = rate / v.rateHz;
  if (!(length >= 1.0) || length > 1e8 || *maxDelay < 1) return false;
  const int64_t T = static_cast<int64_t>(length);
  const int64_t top = *maxDelay - 1, base = top - 2 * depth;
  try {
    v.lfo.resize(static_cast<size_t>(T));
  } catch (const std::bad_alloc&) {
    return false;
  }
  const int64_t half = T / 2;
  for (int64_t i = 0; i < half; ++i) v.lfo[i] = static_cast<int32_t>(base + 4 * i * depth / T);
  for (int64_t k = T - half, i = half; k >= 1; --k, ++i) v.lfo[i] = static_cast<int32_t>(base + 4 * k * depth / T);
  return true;
}

bool Setup(int rate) {
  Prepare(ReadValues(), g_speed);
  for (Channel& c : g_channels) {
    int64_t maxDelay = 0;
    if (!BuildVoice(c.voice, rate, &maxDelay)) return false;
    try {
      c.line.assign(static_cast<size_t>(maxDelay), 0);
    } catch (const std::bad_alloc&) {
      return false;
    }
  }
  return true;
}

void Run(Channel& c, SHORT* s, int n) {
  const int64_t L = static_cast<int64_t>(c.line.size());
  Voice& v = c.voice;
  const int64_t T = static_cast<int64_t>(v.lfo.size());
  for (int i = 0; i < n; ++i, s += 2) {
    const int32_t x = *s;
    int64_t y = x;
    int64_t index = c.writePosition + L - v.lfo[v.lfoPosition];
    if (index >= L) index -= L;
    if (index >= L || index < 0) index = ((index % L) + L) % L;  // a sweep deeper than its delay
    y += (int64_t{v.level} * c.line[index]) >> 16;
    *s = Saturate16((y * c.outputGain) >> 16);
    c.line[c.writePosition] = x;
    if (++c.writePosition == L) c.writePosition = 0;
    if (++v.lfoPosition == T) v.lfoPosition = 0;
  }
}

int ChorusSamples(void* samples, int n, int channels, int bits, int rate) {
  const int speed = g_speed;
  if (speed == 0 || g_delay == 0 || channels != 2 || bits != kDspBits || n <= 0 || !samples || rate <= 0) return n;
  // The speed a setup used is recorded with it, so the block after the first setup keeps the
  // delay line it began filling.
  if ((rate != g_rate && rate != -g_rate) || speed != g_setupSpeed) {
    g_setupSpeed = speed;
    g_rate = Setup(rate) ? rate : -rate;
  }
  if (g_rate < 0) return n;
  SHORT* s = static_cast<SHORT*>(samples);
  Run(g_channels[0], s, n);
  Run(g_channels[1], s + 1, n);
  return n;
}

void ReleaseTables() {
  for (Channel& c : g_channels) c = Channel{};
}

void ChorusInit() {
  ReleaseTables();
  g_speed = kEchoSettings.Read(u"chorusSpeed", 250);
  Prepare(ReadValues(), g_speed);
  g_rate = 0;
  g_setupSpeed = 0;
}

void ChorusQuit() {
  const ChorusValues v = g_held;
  kEchoSettings.Write(u"chorusSpeed", g_speed);
  kEchoSettings.Write(u"chorusDelay", v.delay);
  kEchoSettings.Write(u"chorusDepth", v.depth);
  kEchoSettings.Write(u"chorusGain", v.gain);
  kEchoSettings.Write(u"chorusDecay", v.decay);
  ReleaseTables();
}

void ChorusAbout(HWND owner) { ShowDspAbout(owner, u"Kestrane Chorus DSP Plugin"); }

}  // namespace

std::atomic<int>& ChorusSpeed() { return g_speed; }

DSPModule g_chorusModule = {DSP_MODULE_VERSION, ZB_DSP_FLAG_CONFIG_PAGE, u"Chorus Effect", nullptr, nullptr, nullptr,
                            ChorusAbout, ChorusInit, ChorusQuit, SameSampleCount, ChorusSamples, nullptr, 103, ChorusPageProc,
                            nullptr, nullptr};
