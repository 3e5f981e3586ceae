// The audio decoder's packet and frame state machine: where each packet's frames begin (its
// header with the bit reservoir, the packet itself without), how a lost packet abandons the frame
// it cut and skips the tail of that frame in the next packet, and the walk through a frame's
// blocks, one block per call.
#include "wma_audio.h"
#include "wma_audio_internal.h"

namespace {

// Reservoir on: the packet's header says how many frames begin in it and where the first one
// starts; a sequence gap (and the first packet after a reset) drops the frame it cuts.
int StartReservoirPacket(WmaAudioDecoder* d) {
  while (!d->headerPending) {
    WmaBitClear(d);
    d->sequence = 255;
    WmaBitFetch(d);
    if (d->outOfData) return WMA_AUDIO_NO_DATA;
  }
  const uint32_t word = d->headerWord;
  bool lost = false;
  if (d->sequence != 255) {
    const int32_t step = static_cast<int32_t>(word >> 28) - d->lastSequence;
    lost = !(step == 0 || step == 1 || step == -15);
  }
  d->lastSequence = static_cast<int32_t>(word >> 28);
  d->framesInPacket = static_cast<uint8_t>((word >> 24) & 15);
  const uint32_t offsetBits = d->byteOffsetBits + 3;
  const uint32_t bitOffset = (word >> (24 - offsetBits)) & ((1u << offsetBits) - 1);
  d->headerPending = false;
  // The first frame that begins here starts behind the tail of the one the last packet began.
  // A frame that ran on into this packet ends there too, unless the data disagree: its tail is
  // then dropped rather than the next frame read from the wrong bit.
  WmaBitRealign(d);
  if (d->headerBits + bitOffset > d->payloadBytes * 8) {
    d->framesInPacket = 0;
    return WMA_AUDIO_OK;
  }
  WmaBitSkip(d, bitOffset);
  if (lost) {
    WmaClearHistory(d);
    d->discontinuity = 0;
  }
  d->reader.count = d->headerBits + bitOffset;
  return WMA_AUDIO_OK;
}

// Reservoir off: every packet is one frame. A packet the last frame ran into is read from its
// start; otherwise the packet just decoded is done and the next one is fetched.
int StartPlainPacket(WmaAudioDecoder* d) {
  if (d->payloadStart && static_cast<int32_t>(d->headerWord) != d->lastSequence) {
    WmaBitRealign(d);
  } else {
    WmaBitClear(d);
    WmaBitFetch(d);
    if (d->outOfData) return WMA_AUDIO_NO_DATA;
  }
  d->lastSequence = static_cast<int32_t>(d->headerWord);
  return WMA_AUDIO_OK;
}

}  // namespace

int WmaAudioReset(WmaAudioDecoder* d) {
  WmaBitClear(d);
  d->sequence = 255;
  d->payloadStart = nullptr;
  d->payloadBytes = 0;
  WmaClearHistory(d);
  d->discontinuity = 0;
  d->headerWord = 0;
  d->headerPending = false;
  d->lastSequence = -2;
  d->frameState = WMA_FRAME_NEW_PACKET;
  d->pcmCount = d->pcmPosition = 0;
  d->outOfData = 0;
  return -2;
}

int WmaAudioStartPacket(WmaAudioDecoder* d) {
  d->frameState = WMA_FRAME_NEW_PACKET;
  d->discontinuity = 0;
  d->framesInPacket = 1;
  return d->bitReservoir ? StartReservoirPacket(d) : StartPlainPacket(d);
}

int WmaAudioDecode(WmaAudioDecoder* d, uint32_t* samples) {
  if (samples) *samples = 0;
  const uint32_t frameUnits = (1u << d->frameBits) / 32;
  for (;;) {
    switch (d->frameState) {
      case WMA_FRAME_NEW_PACKET:
        d->resetBlockSizes = 1;
        if (d->framesInPacket == 0) return WMA_PACKET_DONE;
        d->framesLeft = d->bitReservoir ? d->framesInPacket : 1;
        d->frameState = WMA_FRAME_NEW;
        break;
      case WMA_FRAME_NEW:
        d->blockNumber = 1;
        d->framePosition = 0;
        d->discontinuity = 0;
        if (!d->outOfData) {
          d->frameState = WMA_FRAME_INSIDE;
        } else if (--d->framesLeft == 0) {
          d->frameState = WMA_FRAME_PACKET_DONE;
          return WMA_PACKET_DONE;
        }
        break;
      case WMA_FRAME_INSIDE:
        if (d->framePosition < frameUnits) {
          d->pcmCount = d->pcmPosition = 0;
          const int result = d->decodeBlock(d);
          if (d->outOfData) return WMA_PACKET_DONE;
          if (d->discontinuity) {
            d->pcmCount = 0;
            return WMA_PACKET_LOST;
          }
          if (result != 0) {
            d->pcmCount = 0;
            return WMA_MALFORMED;
          }
          if (samples) *samples = d->pcmCount;
          return WMA_DECODED;
        }
        if (!d->bitReservoir) WmaBitRealign(d);
        d->frameState = --d->framesLeft == 0 ? WMA_FRAME_PACKET_DONE : WMA_FRAME_NEW;
        break;
      default:
        return WMA_PACKET_DONE;
    }
  }
}

uint32_t WmaAudioIsOutOfData(const WmaAudioDecoder* d) { return d->outOfData; }
void WmaAudioSetOutOfData(WmaAudioDecoder* d) { d->outOfData = 1; }
void WmaAudioSetDiscontinuity(WmaAudioDecoder* d) { d->discontinuity = 1; }
uint32_t WmaAudioHeaderBits(const WmaAudioDecoder* d) { return d->bitReservoir ? d->headerBits : 0; }
