// The waveOut writer's state, one instance under its critical section, and the steps the slot
// functions share. Every step here expects the lock to be held.
#pragma once
#include <windows.h>

#include <cstdint>
#include <deque>
#include <mmsystem.h>
#include <vector>

#include "core/common/critical_section.h"
#include "core/output/wave_writer.h"

struct WaveBlock {
  WAVEHDR header = {};          // lpData into the page buffer; dwBufferLength = bytes filled
  HWAVEOUT preparedOn = nullptr;  // null while the block is empty
  bool queued = false;          // handed to the device, not yet returned
};

struct WaveHistoryEntry {
  BYTE* data;
  DWORD length;
};

struct WaveWriterState {
  CCriticalSection lock;
  HWAVEOUT device = nullptr;
  uint64_t generation = 0;  // moves at every close, so a waiting write sees its device go
  int blockCount = 0;
  BYTE* pages = nullptr;
  std::vector<WaveBlock> blocks;
  std::deque<WaveHistoryEntry> history;  // blocks handed to the device, newest first
  WAVEFORMATEX deviceFormat = {}, sourceFormat = {};
  DWORD frameSize = 0;  // of the device format

  // Positions are device frames in 64 bits: frames x 1000 outgrows 32 bits within minutes.
  int64_t seekBaseMs = 0;
  uint64_t framesWritten = 0;  // frames of this stream taken
  uint64_t framesQueued = 0;   // device frames handed over that were not mixed into older audio
  uint64_t streamStart = 0;    // device frame at which this stream's first frame plays
  DWORD pendingCrossfade = 0;  // bytes of the new stream still to mix into the queued tail
  DWORD crossfadeLength = 0;
  uint64_t crossfadeMark = 0;  // device frame where the mixing starts
  bool mixingStarted = false;

  DWORD freeBytes = 0;
  int64_t queuedBytes = 0;
  int lowServices = 0;  // services in a row that found the device short of blocks

  int volume = 255;
  int pan = 0;
  bool panLoaded = false;
  bool paused = false;
  DWORD timeBase = 0;
  DWORD elapsedAtPause = 0;
  DWORD pausePosition = 0;
  bool stallWatch = false;
  DWORD stallTick = 0;  // when a block last came back from the device
  DWORD paddingMs = 4000;
  DWORD gaplessAdjustmentAtOpen = 0;
};

WaveWriterState& Writer();

// Returns finished blocks, flushes part-filled ones when the device runs short, runs the stall
// watch; answers the free bytes (device format).
DWORD ServiceLocked(WaveWriterState& w, bool force);
uint64_t PlayedFramesLocked(WaveWriterState& w);
void FlushLocked(WaveWriterState& w, int64_t positionMs);
void CloseDeviceLocked(WaveWriterState& w, bool force);
int OpenLocked(WaveWriterState& w, int rate, int channels, int bits);
void ApplyVolumeLocked(WaveWriterState& w);
int64_t OutputTimeLocked(WaveWriterState& w);
// Writes device-format bytes into the blocks (mixing first while a crossfade is pending) and
// answers how many it took: fewer when the blocks run out or the device refuses one.
DWORD PutLocked(WaveWriterState& w, BYTE* data, DWORD bytes);
void WriteBlockLocked(WaveWriterState& w, WaveBlock& block);
// Hands the part-filled block to the device, so that all taken audio is in the history.
void SendFilledBlocksLocked(WaveWriterState& w);
void NotifyHooks(void* in, UINT inSize, void* out, UINT outSize);

int64_t FramesToMs(uint64_t frames, DWORD rate);
uint64_t MsToFrames(int64_t ms, DWORD rate);
