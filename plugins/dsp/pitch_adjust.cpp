// Pitch Adjust: speed and pitch together, by nearest-sample resampling of each block; it hands
// back (n x (100000 / pitch)) / 1000 frames, which GetMaxSamples promises before the block comes,
// so a caller that sized its buffer by the promise is never written past.
#include "plugins/dsp/pitch_adjust.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "plugins/dsp/dsp_pages.h"
#include "plugins/dsp/dsp_records.h"
#include "plugins/dsp/dsp_settings.h"

namespace {

std::atomic<int> g_pitch{100};
SHORT* g_scratch = nullptr;
int64_t g_capacity = 0;  // samples

int ClampedPitch() {
  int pitch = g_pitch;
  const int clamped = std::clamp(pitch, 50, 200);
  if (clamped != pitch) g_pitch = clamped;
  return clamped;
}

int64_t FramesFor(int64_t n, int pitch) { return n * (100000 / pitch) / 1000; }

int PitchMaxSamples(int n, DSPModule*) {
  return static_cast<int>(std::min<int64_t>(FramesFor(n, ClampedPitch()), INT_MAX));
}

int PitchSamples(void* samples, int n, int channels, int bits, int) {
  if (g_pitch == 100 || bits != kDspBits || channels < 1 || n <= 0 || !samples) return n;
  const int pitch = ClampedPitch();
  const int64_t m = int64_t{n} * channels;
  if (g_capacity < m) {
    std::free(g_scratch);
    g_capacity = 0;
    g_scratch = static_cast<SHORT*>(std::malloc(static_cast<size_t>(m + 1) * sizeof(SHORT)));
    if (!g_scratch) return n;
    g_capacity = m + 1;
  }
  const int64_t frames = FramesFor(n, pitch);
  if (frames <= 0) return 0;  // too short a block to keep a frame of at this speed
  const int64_t step = int64_t{n} * 16384 / frames;
  std::memcpy(g_scratch, samples, static_cast<size_t>(m) * sizeof(SHORT));
  SHORT* out = static_cast<SHORT*>(samples);
  int64_t h = 0;
  for (int64_t i = 0; i < frames; ++i, h += step)
    std::memcpy(out + i * channels, g_scratch + (h >> 14) * channels, static_cast<size_t>(channels) * sizeof(SHORT));
  return static_cast<int>(frames);
}

void PitchInit() { g_pitch = kEchoSettings.Read(u"pitch", 100); }
void PitchQuit() {
  kEchoSettings.Write(u"pitch", ClampedPitch());
  std::free(g_scratch);
  g_scratch = nullptr;
  g_capacity = 0;
}
void PitchAbout(HWND owner) { ShowDspAbout(owner, u"Kestrane Pitch DSP Plugin"); }

}  // namespace

std::atomic<int>& PitchPercent() { return g_pitch; }

DSPModule g_pitchModule = {DSP_MODULE_VERSION, ZB_DSP_FLAG_CONFIG_PAGE, u"Pitch Adjust", nullptr, nullptr, nullptr,
                           PitchAbout, PitchInit, PitchQuit, PitchMaxSamples, PitchSamples, nullptr, 103, PitchPageProc,
                           nullptr, nullptr};
