// Wave formats by their four numbers, for the sound tests: block align and byte rate follow.
#pragma once
#include <mmreg.h>

namespace zb::mm::testing {

inline WAVEFORMATEX Format(WORD tag, WORD channels, DWORD rate, WORD bits) {
  WAVEFORMATEX f{};
  f.wFormatTag = tag;
  f.nChannels = channels;
  f.nSamplesPerSec = rate;
  f.wBitsPerSample = bits;
  f.nBlockAlign = static_cast<WORD>(static_cast<DWORD>(channels) * bits / 8);
  f.nAvgBytesPerSec = rate * f.nBlockAlign;
  return f;
}

inline WAVEFORMATEX Pcm(WORD channels, DWORD rate, WORD bits) { return Format(WAVE_FORMAT_PCM, channels, rate, bits); }

}  // namespace zb::mm::testing
