// The writer's upkeep and clocks: returning finished blocks, sending part-filled ones when the
// device runs short, the stall watch, the free room, the times, pause, flush and close.
#include <algorithm>
#include <climits>

#include "core/settings.h"
#include "core/wave_writer_state.h"

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

void WatchForStall(WaveWriterState& w, DWORD freeBytes) {
  const DWORD total = DWORD(w.blockCount) * kWaveBlockBytes;
  if (w.paused || freeBytes >= total) {
    w.stallWatch = false;
    return;
  }
  const DWORD now = GetTickCount();
  if (!w.stallWatch || freeBytes > w.stallFree) {
    w.stallWatch = true;
    w.stallTick = now;
    w.stallFree = freeBytes;
  } else if (now - w.stallTick > StallLimitMs(w)) {
    // The device took nothing for the length of 32 blocks: start it over where it stands.
    FlushLocked(w, OutputTimeLocked(w));
  }
}

int64_t LatencyMs(const WaveWriterState& w) {
  int64_t ms = FramesToMs(static_cast<uint64_t>(std::max<int64_t>(w.queuedBytes, 0)) / std::max<DWORD>(w.frameSize, 1),
                          w.deviceFormat.nSamplesPerSec);
  ms -= w.paused ? w.elapsedAtPause : GetTickCount() - w.timeBase;
  return std::max<int64_t>(ms, 0);
}

int ClampToInt(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX)); }

}  // namespace

void WriteBlockLocked(WaveWriterState& w, WaveBlock& b) {
  if (waveOutWrite(w.device, &b.header, sizeof b.header) != MMSYSERR_NOERROR) return;
  b.queued = true;
  w.history.push_front({reinterpret_cast<BYTE*>(b.header.lpData), b.header.dwBufferLength});
  if (w.history.size() > size_t(w.blockCount)) w.history.pop_back();
  w.timeBase = GetTickCount();
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
  int inDevice = 0;
  for (WaveBlock& b : w.blocks) {
    if (b.queued && (b.header.dwFlags & WHDR_DONE)) ClearBlock(w, b);
    if (b.queued) ++inDevice;
    if (!b.queued) freeBytes += kWaveBlockBytes - b.header.dwBufferLength;
    filled += b.header.dwBufferLength;
  }
  if (inDevice < w.blockCount / 4 + 1) {
    if (force || ++w.lowServices >= 2) {
      for (WaveBlock& b : w.blocks)
        if (!b.queued && b.preparedOn && b.header.dwBufferLength) WriteBlockLocked(w, b);
      w.lowServices = 0;
    }
  } else {
    w.lowServices = 0;
  }
  w.queuedBytes = filled - w.pendingCrossfade;
  w.freeBytes = freeBytes;
  WatchForStall(w, freeBytes);
  return w.freeBytes;
}

uint64_t PlayedFramesLocked(WaveWriterState& w) {
  if (!w.device) return 0;
  MMTIME t = {};
  t.wType = TIME_SAMPLES;
  if (waveOutGetPosition(w.device, &t, sizeof t) == MMSYSERR_NOERROR) {
    if (t.wType == TIME_SAMPLES) return t.u.sample;
    if (t.wType == TIME_MS) return MsToFrames(t.u.ms, w.deviceFormat.nSamplesPerSec);
    if (t.wType == TIME_BYTES) return t.u.cb / std::max<DWORD>(w.frameSize, 1);
  }
  // No position from the device: what was handed over less what is still queued.
  const uint64_t queuedFrames = static_cast<uint64_t>(std::max<int64_t>(w.queuedBytes, 0)) / std::max<DWORD>(w.frameSize, 1);
  return w.framesQueued > queuedFrames ? w.framesQueued - queuedFrames : 0;
}

int64_t OutputTimeLocked(WaveWriterState& w) {
  const DWORD rate = w.deviceFormat.nSamplesPerSec;
  const uint64_t played = PlayedFramesLocked(w);
  const uint64_t ours = played > w.streamStart ? std::min(played - w.streamStart, w.framesWritten) : 0;
  const int64_t byPosition = w.seekBaseMs + FramesToMs(ours, rate);
  const int64_t byLatency = w.seekBaseMs + FramesToMs(w.framesWritten, rate) - LatencyMs(w);
  // The device's position is exact; the latency estimate only stands in when they part by a second.
  return std::llabs(byPosition - byLatency) < 1000 || !w.device ? byPosition : byLatency;
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
  CHeldLock held(w.lock);
  CloseDeviceLocked(w, force != FALSE);
}

void WaveWriterClose() {
  WaveWriterState& w = Writer();
  const CSettings* s = GetSettings();
  CHeldLock held(w.lock);
  if (!w.device) return;
  ServiceLocked(w, false);
  const bool keepForNext =
      s && s->gaplessPlayback && (s->gaplessTransitions || (w.queuedBytes <= 0 && !w.paused));
  if (!keepForNext) CloseDeviceLocked(w, false);
}

int WaveWriterCanWrite() {
  WaveWriterState& w = Writer();
  CHeldLock held(w.lock);
  if (!w.device) return 0;
  uint64_t room = ServiceLocked(w, false);
  if (w.sourceFormat.nAvgBytesPerSec != w.deviceFormat.nAvgBytesPerSec)
    room = room * w.sourceFormat.nAvgBytesPerSec / w.deviceFormat.nAvgBytesPerSec;
  return ClampToInt(static_cast<int64_t>(room));
}

int WaveWriterIsPlaying() {
  WaveWriterState& w = Writer();
  const CSettings* s = GetSettings();
  CHeldLock held(w.lock);
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
  CHeldLock held(w.lock);
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
  CHeldLock held(w.lock);
  FlushLocked(w, positionMs);
}

int WaveWriterWrittenTime() {
  WaveWriterState& w = Writer();
  CHeldLock held(w.lock);
  return ClampToInt(w.seekBaseMs + FramesToMs(w.framesWritten, w.deviceFormat.nSamplesPerSec));
}

int WaveWriterOutputTime() {
  WaveWriterState& w = Writer();
  CHeldLock held(w.lock);
  if (!w.device) return ClampToInt(w.seekBaseMs);
  return ClampToInt(OutputTimeLocked(w));
}

int WaveOutWaitDrain(int ms) {
  WaveWriterState& w = Writer();
  const DWORD start = GetTickCount();
  for (;;) {
    {
      CHeldLock held(w.lock);
      if (!w.device) return 0;
      ServiceLocked(w, false);
      if (w.queuedBytes <= 0 && w.pendingCrossfade == 0) {
        CloseDeviceLocked(w, true);
        return 0;
      }
    }
    if (ms <= 0 || GetTickCount() - start > DWORD(ms)) return 1;
    Sleep(10);
  }
}
