// Echo Effect: every sample mixed at half level with the sample 2304 frames before it (four runs
// of 576 frames, about 52 ms at 44.1 kHz). The history is a ring of frames, so the delay holds
// for any block size; a new channel count starts it silent, since old frames no longer line up.
#include <cstring>

#include "plugins/dsp/dsp_records.h"

namespace {

constexpr int kEchoFrames = 4 * 576;
constexpr int kHistorySamples = 131072 / sizeof(SHORT);
constexpr int kMaxChannels = kHistorySamples / kEchoFrames;  // 28

SHORT g_history[kHistorySamples];
int g_position = 0;  // frame of the ring written next, which holds the echo of that frame
int g_channels = 0;

void Clear() {
  std::memset(g_history, 0, sizeof g_history);
  g_position = 0;
}

int EchoSamples(void* samples, int n, int channels, int bits, int) {
  if (bits != kDspBits || channels < 1 || channels > kMaxChannels || n <= 0 || !samples) return n;
  if (channels != g_channels) {
    Clear();
    g_channels = channels;
  }
  SHORT* s = static_cast<SHORT*>(samples);
  for (int frame = 0; frame < n; ++frame, s += channels) {
    SHORT* echo = g_history + g_position * channels;
    for (int c = 0; c < channels; ++c) {
      const SHORT input = s[c];
      s[c] = Saturate16(echo[c] / 2 + input / 2);
      echo[c] = input;
    }
    g_position = (g_position + 1) % kEchoFrames;
  }
  return n;
}

void EchoInit() {
  Clear();
  g_channels = 0;
}
void EchoQuit() {}
void EchoConfig(HWND owner) { MessageBoxW(owner, u"Nothing to configure.", u"Echo DSP", MB_OK | MB_SETFOREGROUND); }
void EchoAbout(HWND owner) { ShowDspAbout(owner, u"Kestrane Echo DSP Plugin"); }

}  // namespace

DSPModule g_echoModule = {DSP_MODULE_VERSION, 0, u"Echo Effect", nullptr, nullptr, EchoConfig, EchoAbout, EchoInit,
                          EchoQuit, SameSampleCount, EchoSamples, nullptr, 0, nullptr, nullptr, nullptr};
