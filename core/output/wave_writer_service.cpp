// The writer's upkeep and clocks: returning finished blocks, sending part-filled ones when the
// device runs short, the stall watch, the free room, the times, pause, flush and close.
#include <algorithm>
#include <atomic>
#include <climits>

#include "core/settings/settings.h"
#include "core/output/wave_writer_state.h"

namespace {

constexpr int kStallBlocks = 32;

void ClearBlock(WaveWriterState& w, WaveBlock& b) {
  if (b.preparedOn) waveOutUnprepareHeader(b.preparedOn, &b.header, sizeof b.header);
  b.header.dwBufferLength = 0;
  b.header.dwFlags = 0;
  b.preparedOn = nullptr;
  b.queued = false;
}

DWORD StallLimitMs(const WaveWriterState& w) {
  const uint64_t frames = uint64_t{kWaveBlockBytes} * kStallBlocks / std::max<DWORD>(w.frameSize, 1);
  return static_cast<DWORD>(FramesToMs(frames, w.deviceFormat.nSamplesPerSec));
}

// A device that returns no block for the length of 32 blocks while it holds some has stalled.
// Progress is counted in blocks coming back, not in free bytes: a decoder that keeps the buffer
// full keeps the free bytes low while the device plays on.
void WatchForStall(WaveWriterState& w, int inDevice, int returned) {
  if (w.paused || inDevice == 0) {
    w.stallWatch = false;
    return;
  }
  const DWORD now = GetTickCount();
  if (!w.stallWatch || returned > 0) {
    w.stallWatch = true;
    w.stallTick = now;
  } else if (now - w.stallTick > StallLimitMs(w)) {
    FlushLocked(w, OutputTimeLocked(w));  // start it over where playback stands
  }
}

int64_t LatencyMs(const WaveWriterState& w) {
  int64_t ms = FramesToMs(static_cast<uint64_t>(std::max<int64_t>(w.queuedBytes, 0)) / std::max<DWORD>(w.frameSize, 1),
                          w.deviceFormat.nSamplesPerSec);
  ms -= w.paused ? w.elapsedAtPause : GetTickCount() - w.timeBase;
  return std::max<int64_t>(ms, 0);
}

int ClampToInt(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX)); }

// The device's worker flips the flags of queued headers while we look.
bool Done(WaveBlock& b) { return std::atomic_ref<DWORD>(b.header.dwFlags).load() & WHDR_DONE; }

}  // namespace

void WriteBlockLocked(WaveWriterState& w, WaveBlock& b) {
  if (waveOutWrite(w.device, &b.header, sizeof b.header) != MMSYSERR_NOERROR) return;
  b.queued = true;
  w.history.push_front({reinterpret_cast<BYTE*>(b.header.lpData), b.header.dwBufferLength});
  if (w.history.size() > size_t(w.blockCount)) w.history.pop_back();
  w.timeBase = GetTickCount();
}

void SendFilledBlocksLocked(WaveWriterState& w) {
  for (WaveBlock& b : w.blocks)
    if (!b.queued && b.preparedOn && b.header.dwBufferLength) WriteBlockLocked(w, b);
}

DWORD ServiceLocked(WaveWriterState& w, bool force) {
  if (!w.device) return 0;
  if (w.paused) {
    // Some drivers keep playing through a pause; pause them again while the position moves.
    const DWORD position = static_cast<DWORD>(PlayedFramesLocked(w));
    if (position != w.pausePosition) waveOutPause(w.device);
    w.pausePosition = position;
  }
  DWORD freeBytes = w.pendingCrossfade;
  int64_t filled = 0;
  int inDevice = 0, returned = 0;
  for (WaveBlock& b : w.blocks) {
    if (b.queued && Done(b)) {
      ClearBlock(w, b);
      ++returned;
    }
    if (b.queued) ++inDevice;
    if (!b.queued) freeBytes += kWaveBlockBytes - b.header.dwBufferLength;
    filled += b.header.dwBufferLength;
  }
  if (inDevice < w.blockCount / 4 + 1) {
    if (force || ++w.lowServices >= 2) {
      SendFilledBlocksLocked(w);
      w.lowServices = 0;
    }
  } else {
    w.lowServices = 0;
  }
  w.queuedBytes = filled - w.pendingCrossfade;
  w.freeBytes = freeBytes;
  WatchForStall(w, inDevice, returned);  // a flush there frees every block
  return w.freeBytes;
}

namespace {

// The device's own count of frames played since the open or the last flush.
bool DevicePosition(WaveWriterState& w, uint64_t* frames) {
  MMTIME t = {};
  t.wType = TIME_SAMPLES;
  if (!w.device || waveOutGetPosition(w.device, &t, sizeof t) != MMSYSERR_NOERROR) return false;
  switch (t.wType) {
    case TIME_SAMPLES:
      *frames = t.u.sample;
      return true;
    case TIME_MS:
      *frames = MsToFrames(t.u.ms, w.deviceFormat.nSamplesPerSec);
      return true;
    case TIME_BYTES:
      *frames = t.u.cb / std::max<DWORD>(w.frameSize, 1);
      return true;
    default:
      return false;
  }
}

int64_t EstimatedOutputMs(const WaveWriterState& w) {
  return w.seekBaseMs + FramesToMs(w.framesWritten, w.deviceFormat.nSamplesPerSec) - LatencyMs(w);
}

}  // namespace

uint64_t PlayedFramesLocked(WaveWriterState& w) {
  uint64_t frames = 0;
  if (DevicePosition(w, &frames)) return frames;
  // No position from the device: what was handed over less the latency estimate.
  const int64_t ms = EstimatedOutputMs(w) - w.seekBaseMs;
  const uint64_t ours = std::min<uint64_t>(MsToFrames(ms, w.deviceFormat.nSamplesPerSec), w.framesWritten);
  return w.streamStart + ours;
}

// From the device's position whenever it gives one. The latency estimate only stands in
// without it: it counts whole blocks and the time since the last one went out, so it can be a
// block (seconds at low rates) away from what is heard.
int64_t OutputTimeLocked(WaveWriterState& w) {
  uint64_t played = 0;
  if (!DevicePosition(w, &played)) return EstimatedOutputMs(w);
  const uint64_t ours = played > w.streamStart ? std::min(played - w.streamStart, w.framesWritten) : 0;
  return w.seekBaseMs + FramesToMs(ours, w.deviceFormat.nSamplesPerSec);
}

void FlushLocked(WaveWriterState& w, int64_t positionMs) {
  if (!w.device) return;
  waveOutReset(w.device);
  for (WaveBlock& b : w.blocks) ClearBlock(w, b);
  if (w.pages) std::fill(w.pages, w.pages + SIZE_T(w.blockCount) * kWaveBlockBytes, BYTE{0});
  w.history.clear();
  w.framesWritten = w.framesQueued = w.streamStart = 0;
  w.pendingCrossfade = 0;
  w.mixingStarted = false;
  w.queuedBytes = 0;
  w.seekBaseMs = positionMs;
  if (w.paused) {
    waveOutPause(w.device);
  } else {
    waveOutRestart(w.device);
  }
  w.timeBase = GetTickCount();
  w.elapsedAtPause = 0;
  w.pausePosition = 0;
  w.stallWatch = false;
  w.freeBytes = DWORD(w.blockCount) * kWaveBlockBytes;
}

void CloseDeviceLocked(WaveWriterState& w, bool force) {
  if (w.device) {
    waveOutPause(w.device);
    FlushLocked(w, 0);
    HWAVEOUT closing = w.device;
    waveOutClose(closing);
    w.device = nullptr;
    DWORD word = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(closing));
    NotifyHooks(&word, sizeof word, nullptr, 0);
  }
  if (w.pages) VirtualFree(w.pages, 0, MEM_RELEASE);
  w.pages = nullptr;
  w.blocks.clear();
  w.history.clear();
  w.blockCount = 0;
  w.paused = false;
  w.framesWritten = w.framesQueued = w.streamStart = 0;
  w.queuedBytes = 0;
  w.freeBytes = 0;
  if (force) {
    w.pendingCrossfade = w.crossfadeLength = 0;
    w.mixingStarted = false;
  }
  ++w.generation;
}

void WaveWriterCloseDevice(BOOL force) {
  WaveWriterState& w = Writer();
  CSectionLock held(w.lock);
  CloseDeviceLocked(w, force != FALSE);
}

void WaveWriterClose() {
  WaveWriterState& w = Writer();
  const CSettings* s = GetSettings();
  CSectionLock held(w.lock);
  if (!w.device) return;
  ServiceLocked(w, false);
  const bool keepForNext =
      s && s->gaplessPlayback && (s->gaplessTransitions || (w.queuedBytes <= 0 && !w.paused));
  if (!keepForNext) CloseDeviceLocked(w, false);
}

int WaveWriterCanWrite() {
  WaveWriterState& w = Writer();
  CSectionLock held(w.lock);
  if (!w.device) return 0;
  uint64_t room = ServiceLocked(w, false);
  if (w.sourceFormat.nAvgBytesPerSec != w.deviceFormat.nAvgBytesPerSec)
    room = room * w.sourceFormat.nAvgBytesPerSec / w.deviceFormat.nAvgBytesPerSec;
  return ClampToInt(static_cast<int64_t>(room));
}

int WaveWriterIsPlaying() {
  WaveWriterState& w = Writer();
  const CSettings* s = GetSettings();
  CSectionLock held(w.lock);
  if (!w.device) return 0;
  const DWORD freeBytes = ServiceLocked(w, false);
  uint64_t reserve = 0;
  if (s && s->gaplessPlayback)
    reserve = MsToFrames(int64_t{s->gaplessAdjustment} + w.paddingMs / 2, w.deviceFormat.nSamplesPerSec) * w.frameSize;
  const uint64_t total = uint64_t(w.blockCount) * kWaveBlockBytes;
  return freeBytes + reserve < total ? 1 : 0;
}

int WaveWriterPause(int pause) {
  WaveWriterState& w = Writer();
  CSectionLock held(w.lock);
  if (!w.device) return 0;
  if (pause) {
    if (w.paused) return 0;
    waveOutPause(w.device);
    w.paused = true;
    w.elapsedAtPause = GetTickCount() - w.timeBase;
    w.pausePosition = static_cast<DWORD>(PlayedFramesLocked(w));
  } else if (w.paused) {
    w.paused = false;
    waveOutRestart(w.device);
    w.timeBase = GetTickCount() - w.elapsedAtPause;
  }
  return 0;
}

void WaveWriterFlush(int positionMs) {
  WaveWriterState& w = Writer();
  CSectionLock held(w.lock);
  FlushLocked(w, positionMs);
}

int WaveWriterWrittenTime() {
  WaveWriterState& w = Writer();
  CSectionLock held(w.lock);
  return ClampToInt(w.seekBaseMs + FramesToMs(w.framesWritten, w.deviceFormat.nSamplesPerSec));
}

int WaveWriterOutputTime() {
  WaveWriterState& w = Writer();
  CSectionLock held(w.lock);
  if (!w.device) return ClampToInt(w.seekBaseMs);
  return ClampToInt(OutputTimeLocked(w));
}

int WaveOutWaitDrain(int ms) {
  WaveWriterState& w = Writer();
  const DWORD start = GetTickCount();
  for (;;) {
    {
      CSectionLock held(w.lock);
      if (!w.device) return 0;
      ServiceLocked(w, false);
      if (w.queuedBytes <= 0) {
        CloseDeviceLocked(w, true);
        return 0;
      }
    }
    if (ms <= 0 || GetTickCount() - start > DWORD(ms)) return 1;
    Sleep(10);
  }
}
