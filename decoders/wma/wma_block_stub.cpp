// Until the spectrum decoding is built, a block is a whole frame of silence: the frame machine,
// the packet walk and the module above it run with the right sample counts.
#include <cstring>

#include "wma_audio_internal.h"

int WmaDecodeBlock(WmaAudioDecoder* d) {
  const uint32_t n = 1u << d->frameBits;
  d->prevBits = d->curBits;
  d->curBits = d->nextBits;
  d->blockLength = static_cast<uint16_t>(n);
  d->framePosition = static_cast<uint8_t>(n / 32);
  // The first block after set-up only fills the overlap history.
  d->pcmCount = d->firstOutput == 3 ? 0 : n;
  d->firstOutput = 1;
  std::memset(d->pcm, 0, d->pcmCount * d->channels * sizeof d->pcm[0]);
  return 0;
}
