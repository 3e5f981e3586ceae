// The writer's formats: the fallback ladder it walks when the device refuses a format, and the
// one-pass conversion of a block in place to what the device was opened with.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "core/output/wave_writer.h"

namespace {

constexpr DWORD kLadderRates[] = {44100, 22050, 11025, 8000};

int32_t ReadSample(const BYTE* p, int bytes) {
  switch (bytes) {
    case 1:
      return p[0] - 128;
    case 2:
      return static_cast<int16_t>(p[0] | p[1] << 8);
    case 3:  // as a 32-bit value, so the mean keeps the top three bytes
      return static_cast<int32_t>(static_cast<uint32_t>(p[0]) << 8 | static_cast<uint32_t>(p[1]) << 16 |
                                  static_cast<uint32_t>(p[2]) << 24);
    default:
      return static_cast<int32_t>(p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24);
  }
}

void WriteSample(BYTE* p, int bytes, int32_t v) {
  const uint32_t u = static_cast<uint32_t>(v);
  switch (bytes) {
    case 1:
      p[0] = static_cast<BYTE>(v + 128);
      break;
    case 2:
      p[0] = static_cast<BYTE>(u);
      p[1] = static_cast<BYTE>(u >> 8);
      break;
    case 3:
      p[0] = static_cast<BYTE>(u >> 8);
      p[1] = static_cast<BYTE>(u >> 16);
      p[2] = static_cast<BYTE>(u >> 24);
      break;
    default:
      std::memcpy(p, &u, 4);
  }
}

// Each pair becomes its mean, rounded toward zero (32-bit samples summed in 64 bits).
int ToMono(BYTE* data, int frames, int sampleBytes) {
  for (int i = 0; i < frames; ++i) {
    const BYTE* in = data + i * 2 * sampleBytes;
    const int64_t sum = int64_t{ReadSample(in, sampleBytes)} + ReadSample(in + sampleBytes, sampleBytes);
    WriteSample(data + i * sampleBytes, sampleBytes, static_cast<int32_t>(sum / 2));
  }
  return frames * sampleBytes;
}

// Keeps the top bytes of each sample; to 8 bits the top byte is made unsigned.
int ToFewerBits(BYTE* data, int samples, int fromBytes, int toBytes) {
  for (int i = 0; i < samples; ++i) {
    const BYTE* in = data + i * fromBytes;
    BYTE* out = data + i * toBytes;
    if (toBytes == 1) {
      out[0] = static_cast<BYTE>(in[fromBytes - 1] ^ 0x80);
    } else {
      std::memmove(out, in + fromBytes - toBytes, toBytes);
    }
  }
  return samples * toBytes;
}

// Output frame i takes input frame floor(i x from / to).
int ToLowerRate(BYTE* data, int frames, int frameBytes, DWORD from, DWORD to) {
  const int out = static_cast<int>((uint64_t(frames) * to + from - 1) / from);
  for (int i = 0; i < out; ++i) {
    const uint64_t source = uint64_t(i) * from / to;
    std::memmove(data + i * frameBytes, data + source * frameBytes, frameBytes);
  }
  return out * frameBytes;
}

}  // namespace

WAVEFORMATEX MakePcmFormat(int channels, int sampleRate, int bitsPerSample) {
  WAVEFORMATEX f = {};
  f.wFormatTag = WAVE_FORMAT_PCM;
  f.nChannels = static_cast<WORD>(channels);
  f.nSamplesPerSec = static_cast<DWORD>(sampleRate);
  f.wBitsPerSample = static_cast<WORD>(bitsPerSample);
  f.nBlockAlign = static_cast<WORD>(channels * bitsPerSample / 8);
  f.nAvgBytesPerSec = f.nBlockAlign * f.nSamplesPerSec;
  return f;
}

bool WaveWriterFallbackFormat(WAVEFORMATEX* device, const WAVEFORMATEX& source) {
  for (DWORD rate : kLadderRates) {
    if (rate < device->nSamplesPerSec) {
      *device = MakePcmFormat(device->nChannels, rate, device->wBitsPerSample);
      return true;
    }
  }
  if (device->nChannels > 1) {
    *device = MakePcmFormat(1, source.nSamplesPerSec, device->wBitsPerSample);
    return true;
  }
  if (device->wBitsPerSample > 8) {
    *device = MakePcmFormat(source.nChannels, source.nSamplesPerSec, device->wBitsPerSample - 8);
    return true;
  }
  return false;
}

int WaveWriterConvert(BYTE* data, int bytes, const WAVEFORMATEX& source, const WAVEFORMATEX& device) {
  if (!data || bytes <= 0 || !source.nBlockAlign) return 0;
  const int sourceBytes = source.wBitsPerSample / 8, deviceBytes = device.wBitsPerSample / 8;
  int channels = source.nChannels;
  int frames = bytes / source.nBlockAlign;
  int size = frames * source.nBlockAlign;
  if (channels == 2 && device.nChannels == 1) {
    size = ToMono(data, frames, sourceBytes);
    channels = 1;
  }
  if (deviceBytes < sourceBytes) size = ToFewerBits(data, frames * channels, sourceBytes, deviceBytes);
  const int frameBytes = channels * std::min(sourceBytes, deviceBytes);
  if (device.nSamplesPerSec < source.nSamplesPerSec && device.nSamplesPerSec > 0)
    size = ToLowerRate(data, frames, frameBytes, source.nSamplesPerSec, device.nSamplesPerSec);
  return size;
}
