// Re-creating the writer's device after the device changed (a headset came or went): the audio
// still queued is kept aside, the device is opened again for the same stream, and the kept
// audio is written again when the device took the same format.
#include <algorithm>
#include <vector>

#include "core/output/wave_writer_state.h"

namespace {

constexpr size_t kMostKeptBytes = 2000000;

// The queued (not yet played) audio, oldest first, from the history of blocks.
std::vector<BYTE> KeepQueuedAudio(WaveWriterState& w) {
  const uint64_t played = PlayedFramesLocked(w);
  const uint64_t unplayed = w.framesQueued > played ? (w.framesQueued - played) * w.frameSize : 0;
  const size_t most = std::max<size_t>(kMostKeptBytes, w.deviceFormat.nAvgBytesPerSec);
  size_t wanted = static_cast<size_t>(std::min<uint64_t>(unplayed, most));
  std::vector<BYTE> kept;
  std::vector<WaveHistoryEntry> tail;
  size_t covered = 0;
  for (const WaveHistoryEntry& e : w.history) {  // newest first
    if (covered >= wanted) break;
    tail.push_back(e);
    covered += e.length;
  }
  wanted = std::min(wanted, covered);
  kept.reserve(wanted);
  size_t skip = covered - wanted;
  for (auto it = tail.rbegin(); it != tail.rend(); ++it) {
    const size_t from = std::min<size_t>(skip, it->length);
    skip -= from;
    kept.insert(kept.end(), it->data + from, it->data + it->length);
  }
  return kept;
}

}  // namespace

int WaveWriterReconfigure() {
  WaveWriterState& w = Writer();
  CSectionLock held(w.lock);
  if (!w.device) return 1;
  ServiceLocked(w, true);
  SendFilledBlocksLocked(w);  // what is kept is read from the history of sent blocks
  waveOutPause(w.device);
  HANDLE thread = GetCurrentThread();
  const int priority = GetThreadPriority(thread);
  SetThreadPriority(thread, 5);
  const std::vector<BYTE> kept = KeepQueuedAudio(w);
  const WAVEFORMATEX source = w.sourceFormat, oldDevice = w.deviceFormat;
  const bool paused = w.paused;
  const int64_t position = OutputTimeLocked(w);
  CloseDeviceLocked(w, true);
  const int opened = OpenLocked(w, source.nSamplesPerSec, source.nChannels, source.wBitsPerSample);
  int result = 0;
  if (opened > 0) {
    w.seekBaseMs = position;
    if (paused) {
      waveOutPause(w.device);
      w.paused = true;
    }
    const bool sameFormat = w.deviceFormat.nChannels == oldDevice.nChannels &&
                            w.deviceFormat.nSamplesPerSec == oldDevice.nSamplesPerSec &&
                            w.deviceFormat.wBitsPerSample == oldDevice.wBitsPerSample;
    if (sameFormat && !kept.empty()) {
      const DWORD room = ServiceLocked(w, false);
      std::vector<BYTE> again(kept.begin(), kept.begin() + std::min<size_t>(kept.size(), room));
      // Played from where playback stood: the times go on from there.
      PutLocked(w, again.data(), static_cast<DWORD>(again.size()));
    }
    result = 1;
  }
  SetThreadPriority(thread, priority);
  return result;
}
