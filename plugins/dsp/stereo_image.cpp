// Stereo Balance (separation, panning, panned mono downmix) and Surround (the side signal added
// to each channel), on 16-bit stereo in integer arithmetic. Values that only the registry can put
// out of range are clamped when they are set, so no division by zero and no unsaturated overflow.
#include "plugins/dsp/stereo_image.h"

#include <atomic>
#include <cmath>

#include "plugins/dsp/dsp_pages.h"
#include "plugins/dsp/dsp_records.h"
#include "plugins/dsp/dsp_settings.h"

namespace {

std::atomic<int> g_separation{0}, g_separationGain{255}, g_panning{0}, g_mode{0};
std::atomic<int> g_surround{0}, g_surroundGain{255};

bool StereoBlock(void* samples, int n, int channels, int bits) {
  return samples && n > 0 && channels == 2 && bits == kDspBits;
}

void Separate(SHORT* s, int n, int amount, int g) {
  for (int i = 0; i < n; ++i, s += 2) {
    const int L = s[0], R = s[1];
    s[0] = Saturate16(((L - (amount * R) / 510) * g) / 255);
    s[1] = Saturate16(((R - (amount * L) / 510) * g) / 255);
  }
}

void Pan(SHORT* s, int n, int panning, bool downmix) {
  int left = 100, right = 100;
  PanningPercents(panning, &left, &right);
  for (int i = 0; i < n; ++i, s += 2) {
    int L = s[0], R = s[1];
    if (panning < 0) {
      R = (R * right) / 100;
    } else {
      L = (L * left) / 100;
    }
    if (downmix) L = R = Saturate16(((L + R) * 100) / (left + right));
    s[0] = static_cast<SHORT>(L), s[1] = static_cast<SHORT>(R);
  }
}

int StereoSamples(void* samples, int n, int channels, int bits, int) {
  const int amount = g_separation;
  if (amount == 0 || !StereoBlock(samples, n, channels, bits)) return n;
  SHORT* s = static_cast<SHORT*>(samples);
  switch (g_mode) {
    case 0: Separate(s, n, amount, g_separationGain); break;
    case 1: Pan(s, n, g_panning, false); break;
    case 2: Pan(s, n, g_panning, true); break;
    default: break;
  }
  return n;
}

int SurroundSamples(void* samples, int n, int channels, int bits, int) {
  const int amount = g_surround;
  if (amount == 0 || !StereoBlock(samples, n, channels, bits)) return n;
  const int g = g_surroundGain;
  SHORT* s = static_cast<SHORT*>(samples);
  for (int i = 0; i < n; ++i, s += 2) {
    const int L = s[0], R = s[1];
    const int c = amount * (L - R);
    s[0] = Saturate16(((L + c / 255) * g) / 255);
    s[1] = Saturate16(((R + (-c) / 255) * g) / 255);
  }
  return n;
}

void StereoInit() {
  SetStereoSeparation(kEchoSettings.Read(u"stereo", 0));
  SetStereoPanning(kEchoSettings.Read(u"stereo_panning", 0));
  SetStereoMode(kEchoSettings.Read(u"stereo_mode", 0));
}
void StereoQuit() {
  kEchoSettings.Write(u"stereo", g_separation);
  kEchoSettings.Write(u"stereo_panning", g_panning);
  kEchoSettings.Write(u"stereo_mode", g_mode);
}
void SurroundInit() { SetSurroundAmount(kEchoSettings.Read(u"surround", 0)); }
void SurroundQuit() { kEchoSettings.Write(u"surround", g_surround); }

void StereoAbout(HWND owner) { ShowDspAbout(owner, u"Kestrane Stereo DSP Plugin"); }
void SurroundAbout(HWND owner) { ShowDspAbout(owner, u"Kestrane Surround DSP Plugin"); }

}  // namespace

int StereoAttenuation(int amount) {
  return static_cast<int>(255.0 * std::pow(10.0, -0.0006905539570811028 * amount));
}

StereoBalanceValues StereoBalance() { return {g_separation, g_panning, g_mode}; }

void SetStereoSeparation(int amount) {
  amount = std::clamp(amount, 0, 255);
  g_separationGain = StereoAttenuation(amount);
  g_separation = amount;
}
void SetStereoPanning(int panning) { g_panning = std::clamp(panning, -100, 100); }
void SetStereoMode(int mode) { g_mode = mode; }

void PanningPercents(int panning, int* left, int* right) {
  if (panning < 0) {
    *left = 100, *right = panning + 100;
  } else {
    *left = 100 - panning, *right = 100;
  }
}

int SurroundAmount() { return g_surround; }
void SetSurroundAmount(int amount) {
  amount = std::clamp(amount, 0, 255);
  g_surroundGain = StereoAttenuation(amount);
  g_surround = amount;
}

DSPModule g_stereoModule = {DSP_MODULE_VERSION, ZB_DSP_FLAG_CONFIG_PAGE, u"Stereo Balance", nullptr, nullptr, nullptr,
                            StereoAbout, StereoInit, StereoQuit, SameSampleCount, StereoSamples, nullptr, 105,
                            StereoPageProc, nullptr, nullptr};
DSPModule g_surroundModule = {DSP_MODULE_VERSION, ZB_DSP_FLAG_CONFIG_PAGE, u"Surround", nullptr, nullptr, nullptr,
                              SurroundAbout, SurroundInit, SurroundQuit, SameSampleCount, SurroundSamples, nullptr,
                              103, SurroundPageProc, nullptr, nullptr};
