// Writing to the writer: conversion in place, then pieces that fit the free room, each put
// under the lock; between pieces the writer sleeps without the lock, so pause, flush and close
// from the interface thread never wait behind it. A pending crossfade is mixed into the queued
// tail of the last stream before new blocks fill.
#include <algorithm>
#include <cstring>

#include "core/settings/settings.h"
#include "core/output/wave_writer_state.h"

namespace {

constexpr DWORD kWaitStepMs = 10;

// Where the byte `back` bytes before the end of the queued audio lies: history entry and offset.
bool Locate(const WaveWriterState& w, DWORD back, size_t* entry, DWORD* offset) {
  DWORD covered = 0;
  for (size_t i = 0; i < w.history.size(); ++i) {
    const DWORD length = w.history[i].length;
    if (covered + length >= back) {
      *entry = i;
      *offset = length - (back - covered);
      return true;
    }
    covered += length;
  }
  return false;
}

int32_t ReadPcm(const BYTE* p, bool eightBit) { return eightBit ? p[0] - 128 : static_cast<int16_t>(p[0] | p[1] << 8); }

void WritePcm(BYTE* p, bool eightBit, int32_t v) {
  if (eightBit) {
    p[0] = static_cast<BYTE>(v + 128);
  } else {
    p[0] = static_cast<BYTE>(v);
    p[1] = static_cast<BYTE>(v >> 8);
  }
}

// Mixes `overlap` bytes of new audio into the queued tail, the old fading out as the new fades
// in: weight w of the old runs from pending x 256 / length down toward 0.
void Mix(WaveWriterState& w, const BYTE* data, DWORD overlap) {
  size_t entry;
  DWORD offset;
  if (!Locate(w, w.pendingCrossfade, &entry, &offset)) return;
  const bool eightBit = w.deviceFormat.wBitsPerSample == 8;
  const DWORD sampleBytes = eightBit ? 1 : 2;
  for (DWORD done = 0; done + sampleBytes <= overlap; done += sampleBytes) {
    while (offset >= w.history[entry].length) {
      if (entry == 0) return;
      --entry;  // on to the next newer block
      offset = 0;
    }
    const int64_t weight = int64_t{w.pendingCrossfade - done} * 256 / std::max<DWORD>(w.crossfadeLength, 1);
    BYTE* old = w.history[entry].data + offset;
    const int64_t mixed = (256 - weight) * ReadPcm(data + done, eightBit) / 256 + weight * ReadPcm(old, eightBit) / 256;
    WritePcm(old, eightBit, static_cast<int32_t>(mixed));
    offset += sampleBytes;
  }
}

// The device played past the point where the new stream should have come in.
void HandleLateCrossfade(WaveWriterState& w, uint64_t played) {
  const DWORD rate = w.deviceFormat.nSamplesPerSec;
  if (w.mixingStarted) {
    w.streamStart = w.framesQueued - w.framesWritten;  // the rest follows the whole old tail
    w.pendingCrossfade = 0;
    return;
  }
  CSettings* s = GetSettings();
  const uint64_t overrunFrames = played - w.crossfadeMark;
  const int64_t overrunMs = std::clamp<int64_t>(FramesToMs(overrunFrames, rate), 250, 1999);
  const DWORD padding = static_cast<DWORD>(overrunMs * 3 + w.paddingMs + 250);
  if (s && padding < 10000) s->gaplessPadding = padding;
  const uint64_t needed = MsToFrames(int64_t{w.gaplessAdjustmentAtOpen} + padding / 2 + 1000, rate) * w.frameSize;
  if (needed <= uint64_t(w.blockCount) * kWaveBlockBytes) w.paddingMs = padding;
  const uint64_t drop = (overrunFrames + rate / 2) * w.frameSize;
  w.pendingCrossfade -= static_cast<DWORD>(std::min<uint64_t>(drop, w.pendingCrossfade));
  // The new stream now comes in that much later.
  w.streamStart = w.crossfadeMark + (w.crossfadeLength - w.pendingCrossfade) / w.frameSize;
}

// The block the next bytes go to: the one being filled, else the first empty one. Filling an
// emptied block first would play its bytes before the older ones of the part-filled block.
WaveBlock* NextBlock(WaveWriterState& w) {
  WaveBlock* empty = nullptr;
  for (WaveBlock& b : w.blocks) {
    if (b.queued || b.header.dwBufferLength >= kWaveBlockBytes) continue;
    if (b.header.dwBufferLength > 0) return &b;
    if (!empty) empty = &b;
  }
  return empty;
}

}  // namespace

DWORD PutLocked(WaveWriterState& w, BYTE* data, DWORD bytes) {
  DWORD left = bytes;
  bool mixed = false;
  while (left > 0) {
    if (w.pendingCrossfade > 0) {
      const uint64_t played = PlayedFramesLocked(w);
      const uint64_t mixPoint = w.crossfadeMark + (w.crossfadeLength - w.pendingCrossfade) / w.frameSize;
      if (played > mixPoint) {
        HandleLateCrossfade(w, played);
        continue;
      }
      const DWORD overlap = std::min(left, w.pendingCrossfade);
      Mix(w, data, overlap);
      w.mixingStarted = mixed = true;
      w.pendingCrossfade -= overlap;
      w.framesWritten += overlap / w.frameSize;
      w.queuedBytes += overlap;
      data += overlap;
      left -= overlap;
      continue;
    }
    WaveBlock* b = NextBlock(w);
    if (!b) break;
    if (!b->preparedOn) {
      if (waveOutPrepareHeader(w.device, &b->header, sizeof b->header) != MMSYSERR_NOERROR) break;
      b->preparedOn = w.device;
    }
    const DWORD n = std::min<DWORD>(left, kWaveBlockBytes - b->header.dwBufferLength);
    std::memcpy(b->header.lpData + b->header.dwBufferLength, data, n);
    b->header.dwBufferLength += n;
    w.framesWritten += n / w.frameSize;
    w.framesQueued += n / w.frameSize;
    w.queuedBytes += n;
    data += n;
    left -= n;
    if (b->header.dwBufferLength == kWaveBlockBytes || mixed) WriteBlockLocked(w, *b);
  }
  return bytes - left;
}

int WaveWriterWrite(void* buffer, int bytes) {
  if (!buffer || bytes <= 0) return 0;
  WaveWriterState& w = Writer();
  BYTE* data = static_cast<BYTE*>(buffer);
  DWORD converted = 0, done = 0;
  uint64_t generation = 0;
  for (bool first = true;; first = false) {
    {
      CSectionLock held(w.lock);
      if (first) {
        if (!w.device) return 0;
        converted = static_cast<DWORD>(WaveWriterConvert(data, bytes, w.sourceFormat, w.deviceFormat));
        generation = w.generation;
      }
      if (!w.device || w.generation != generation) break;  // closed while we waited
      const DWORD room = ServiceLocked(w, false);
      const DWORD piece = std::min(converted - done, room) / w.frameSize * w.frameSize;
      if (piece > 0) {
        const DWORD put = PutLocked(w, data + done, piece);
        done += put;
        if (put == 0) break;  // the device will not take a block
      }
      if (done == converted) break;
      if (piece > 0) continue;
    }
    Sleep(kWaitStepMs);
  }
  if (done == converted) return bytes;
  // Cut short by a close: the share of the caller's bytes that went out, in whole frames.
  const uint64_t share = converted ? uint64_t{done} * DWORD(bytes) / converted : 0;
  return static_cast<int>(share);
}
