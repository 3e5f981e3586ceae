// A DSP plug-in library for the sample-chain tests, built as "dsp_fixture.dll": two modules.
// Module 0 adds 100 to every 16-bit sample (1 to every 8-bit one); module 1 adds 200 (2) and
// then plays every frame twice, so it hands back twice the frames it was given.
#include <windows.h>

#include <cstring>

#include "core/interface/dsp_module.h"

namespace {

template <int Step>
void AddStep(void* samples, int count, int channels, int bits) {
  if (bits == 16) {
    SHORT* s = static_cast<SHORT*>(samples);
    for (int i = 0; i < count * channels; ++i) s[i] = static_cast<SHORT>(s[i] + 100 * Step);
  } else if (bits == 8) {
    BYTE* s = static_cast<BYTE*>(samples);
    for (int i = 0; i < count * channels; ++i) s[i] = static_cast<BYTE>(s[i] + Step);
  }
}

int SameCount(int count, DSPModule*) { return count; }
int DoubleCount(int count, DSPModule*) { return 2 * count; }

int AddHundred(void* samples, int count, int channels, int bits, int) {
  AddStep<1>(samples, count, channels, bits);
  return count;
}

int AddTwoHundredTwice(void* samples, int count, int channels, int bits, int) {
  AddStep<2>(samples, count, channels, bits);
  const int frameBytes = channels * bits / 8;
  BYTE* s = static_cast<BYTE*>(samples);
  for (int i = count - 1; i >= 0; --i) {
    std::memmove(s + (2 * i + 1) * frameBytes, s + i * frameBytes, frameBytes);
    std::memmove(s + 2 * i * frameBytes, s + i * frameBytes, frameBytes);
  }
  return 2 * count;
}

DSPModule g_modules[] = {
    {DSP_MODULE_VERSION, 0, u"Add one hundred", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, SameCount,
     AddHundred, nullptr, 0, nullptr, nullptr, nullptr},
    {DSP_MODULE_VERSION, 0, u"Add two hundred, twice", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
     DoubleCount, AddTwoHundredTwice, nullptr, 0, nullptr, nullptr, nullptr},
};

}  // namespace

extern "C" __attribute__((visibility("default"))) DSPModule* ZonbrelGetDSPModule(HMODULE, int index) {
  return index >= 0 && index < 2 ? &g_modules[index] : nullptr;
}
