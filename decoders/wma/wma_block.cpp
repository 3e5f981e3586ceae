// One block from header to PCM: each channel's spectrum (mid and side turned into left and right),
// its inverse transform, and the overlap of its rising half with the falling half the last block
// left, under sine slopes as long as the shorter of the two blocks. The first block after set-up
// only leaves its falling half.
#include <algorithm>
#include <cstring>

#include "wma_audio_internal.h"
#include "wma_tables.h"

namespace {

// The sine slope of 2^bits values, sin((i + 1/2) pi / 2^(bits+1)) in Q31, walked from its table
// of steps: each step gives one value from each end.
void SineSlope(int bits, int32_t* w) {
  const int length = 1 << bits;
  const uint16_t* steps = kWmaSineSlopes + 4096 - 2 * length;
  uint32_t s = 0, c = 0x7FFFFFFF;
  for (int k = 0; k < length / 2; ++k) {
    s += static_cast<uint32_t>(steps[2 * k]) << 9;
    c -= static_cast<uint32_t>(steps[2 * k + 1]) << 9;
    w[k] = static_cast<int32_t>(s);
    w[length - 1 - k] = static_cast<int32_t>(c);
  }
}

inline int32_t Weigh(int32_t v, int32_t w) { return static_cast<int32_t>((static_cast<int64_t>(v) * w + (1 << 30)) >> 31); }

inline int16_t ToPcm(int64_t v) {
  v = (v + 2048) >> 12;
  return static_cast<int16_t>(std::clamp<int64_t>(v, -32768, 32767));
}

// The full 2N-sample inverse transform, from the middle half h that the transform leaves.
inline int32_t Rising(const int32_t* h, int n, int i) { return i < n / 2 ? -h[n / 2 - 1 - i] : h[i - n / 2]; }
inline int32_t Falling(const int32_t* h, int n, int i) { return i < n / 2 ? h[n / 2 + i] : h[3 * n / 2 - 1 - i]; }

// The block's samples of one channel into every `stride`-th slot of `out`; returns how many.
uint32_t OverlapChannel(WmaAudioDecoder* d, int channel, const int32_t* rise, const int32_t* fall, int16_t* out,
                        int stride) {
  const int n = d->blockLength;
  const int m = std::min(n, 1 << d->prevBits), next = std::min(n, 1 << d->nextBits);
  const int32_t* h = d->spectrum[channel];
  int32_t* tail = d->history[channel];
  uint32_t count = 0;
  if (d->outputStage != 4) {
    const int flat = (n - m) / 2;
    for (int i = 0; i < m; ++i)
      out[stride * count++] = ToPcm(static_cast<int64_t>(tail[i]) + Weigh(Rising(h, n, flat + i), rise[i]));
    for (int i = 0; i < flat; ++i) out[stride * count++] = ToPcm(Rising(h, n, flat + m + i));
  }
  const int flat = (n - next) / 2;
  for (int i = 0; i < flat; ++i) out[stride * count++] = ToPcm(Falling(h, n, i));
  for (int i = 0; i < next; ++i) tail[i] = Weigh(Falling(h, n, flat + i), fall[next - 1 - i]);
  return count;
}

}  // namespace

int WmaDecodeBlock(WmaAudioDecoder* d) {
  d->prevBits = d->curBits;
  d->curBits = d->nextBits;
  const int header = WmaAudioReadBlockHeader(d);
  if (header) return header;
  const int n = d->blockLength;
  const int channels = d->channels;
  for (int ch = 0; ch < channels; ++ch) {
    if (d->channelCoded & (2 >> ch)) {
      const int result = WmaCoefDecode(d, ch);
      if (result) return result;
    } else {
      std::memset(d->spectrum[ch], 0, n * sizeof d->spectrum[ch][0]);
    }
    if (d->version == 1 && channels == 2) WmaBitAlign(d);
  }
  if (d->discontinuity) return WMA_PACKET_LOST;
  if (channels == 2 && d->midSide) {
    for (int i = 0; i < n; ++i) {
      const uint32_t mid = static_cast<uint32_t>(d->spectrum[0][i]), side = static_cast<uint32_t>(d->spectrum[1][i]);
      d->spectrum[0][i] = static_cast<int32_t>(mid + side);
      d->spectrum[1][i] = static_cast<int32_t>(mid - side);
    }
  }
  const bool anyCoded = d->channelCoded != 0;
  for (int ch = 0; ch < channels; ++ch)
    if ((d->channelCoded & (2 >> ch)) || (d->midSide && anyCoded))
      WmaInverseTransform(d->spectrum[ch], d->work, d->curBits, d->version);

  // The history holds the last block's falling half toward a block of this size; anything else
  // (a clear, or sizes that a packet start read afresh) overlaps with silence.
  const int m = std::min(n, 1 << d->prevBits);
  if (d->historyLength != m) {
    std::memset(d->history, 0, sizeof d->history);
    d->historyLength = static_cast<uint16_t>(m);
  }
  int32_t rise[kWmaMaxBlock], fall[kWmaMaxBlock];
  SineSlope(std::min(d->prevBits, d->curBits), rise);
  SineSlope(std::min(d->curBits, d->nextBits), fall);
  for (int ch = 0; ch < channels; ++ch) d->pcmCount = OverlapChannel(d, ch, rise, fall, d->pcm + ch, channels);
  d->historyLength = static_cast<uint16_t>(std::min(n, 1 << d->nextBits));
  d->outputStage = 5;
  return 0;
}
