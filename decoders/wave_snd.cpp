// Sun/NeXT ".snd" files as WAVE: the header's encodings as format tags and sample sizes, and
// their samples in WAVE's byte order and sign.
#include <algorithm>
#include <utility>

#include "wave_chunks.h"

namespace {

#define WAVE_FORMAT_G721_ADPCM 0x0040

struct SndEncoding {
  DWORD encoding;
  WORD tag;
  WORD bits;
};

constexpr SndEncoding kEncodings[] = {
    {1, WAVE_FORMAT_MULAW, 8},       {2, WAVE_FORMAT_PCM, 8},         {3, WAVE_FORMAT_PCM, 16},
    {4, WAVE_FORMAT_PCM, 24},        {5, WAVE_FORMAT_PCM, 32},        {6, WAVE_FORMAT_IEEE_FLOAT, 32},
    {7, WAVE_FORMAT_IEEE_FLOAT, 64}, {23, WAVE_FORMAT_G721_ADPCM, 4},  // G.721 ADPCM: 4 bits a sample
};

}  // namespace

int SndToWaveFormat(WAVEFORMATEX* format, DWORD encoding, DWORD sampleRate, DWORD channels) {
  format->nChannels = static_cast<WORD>(channels);
  format->nSamplesPerSec = sampleRate;
  format->cbSize = 0;
  for (const SndEncoding& e : kEncodings) {
    if (e.encoding != encoding) continue;
    format->wFormatTag = e.tag;
    format->wBitsPerSample = e.bits;
    // Counted in bits, so that 4-bit G.721 keeps its rate: a byte holds two mono samples.
    format->nBlockAlign = static_cast<WORD>(std::max(e.bits * format->nChannels / 8, 1));
    format->nAvgBytesPerSec = static_cast<DWORD>(static_cast<ULONGLONG>(e.bits) * format->nChannels * sampleRate / 8);
    return 1;
  }
  return 0;
}

void SndSamplesToWave(BYTE* data, DWORD bytes, const WAVEFORMATEX& format) {
  if (format.wFormatTag != WAVE_FORMAT_PCM) return;
  const DWORD size = format.wBitsPerSample / 8;
  if (size == 1) {
    for (DWORD i = 0; i < bytes; ++i) data[i] ^= 0x80;
    return;
  }
  if (size < 2 || size * 8 != format.wBitsPerSample) return;
  for (DWORD at = 0; at + size <= bytes; at += size)
    for (DWORD i = 0; i < size / 2; ++i) std::swap(data[at + i], data[at + size - 1 - i]);
}
