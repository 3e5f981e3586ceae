// Handing out the samples of the block decoded last: interleaved or into two buffers, as many
// as the caller has room for, the rest kept for its next call.
#include <algorithm>
#include <cstring>

#include "wma_audio_internal.h"

uint32_t WmaAudioGetPcm(WmaAudioDecoder* d, int16_t* left, int16_t* right, uint32_t count) {
  const uint32_t n = std::min(count, d->pcmCount - d->pcmPosition);
  if (n == 0) return 0;
  const int16_t* from = d->pcm + d->pcmPosition * d->channels;
  if (d->channels == 1) {
    int16_t* out = right ? right : left;
    if (out) std::memcpy(out, from, n * sizeof *out);
  } else if (left && right == left + 1) {
    std::memcpy(left, from, 2 * n * sizeof *left);
  } else {
    for (uint32_t i = 0; i < n; ++i) {
      if (left) left[i] = from[2 * i];
      if (right) right[i] = from[2 * i + 1];
    }
  }
  d->pcmPosition += n;
  return n;
}

void WmaClearHistory(WmaAudioDecoder* d) {
  std::memset(d->history, 0, sizeof d->history);
  d->historyLength = 0;
}
