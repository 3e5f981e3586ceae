// The waveOut writer's record and its small slots: start and end, the hook notifications, and
// the conversions between frames and milliseconds, taken in 64 bits.
#include "core/output/wave_writer.h"

#include <atomic>

#include "core/output/output_registry.h"
#include "core/interface/player_messages.h"
#include "core/output/wave_writer_state.h"

namespace {

std::atomic<PlayerCallbackFn> g_callback{nullptr};

}  // namespace

WaveWriterState& Writer() {
  static WaveWriterState* state = new WaveWriterState;  // outlives every decoder thread
  return *state;
}

void SetWaveWriterPlayerCallback(PlayerCallbackFn callback) { g_callback = callback; }

void NotifyHooks(void* in, UINT inSize, void* out, UINT outSize) {
  if (PlayerCallbackFn callback = g_callback) callback(PLAYER_MSG_HOOK_2301, in, inSize, out, outSize);
}

int64_t FramesToMs(uint64_t frames, DWORD rate) { return rate ? static_cast<int64_t>(frames * 1000 / rate) : 0; }

uint64_t MsToFrames(int64_t ms, DWORD rate) { return ms > 0 ? static_cast<uint64_t>(ms) * rate / 1000 : 0; }

int WaveWriterInit(int) {
  WaveWriterState& w = Writer();
  CSectionLock held(w.lock);
  w.volume = 255;
  w.panLoaded = false;
  return 0;
}

int WaveWriterQuit(int previous) {
  WaveWriterCloseDevice(TRUE);
  return previous;
}

OutputModule WaveWriterModule = {OUTPUT_MODULE_VERSION, u"waveOut writer", nullptr, nullptr,
                                 output_slots::NoDialog, output_slots::NoDialog,
                                 WaveWriterInit, WaveWriterQuit, WaveWriterOpen, WaveWriterClose, WaveWriterWrite,
                                 WaveWriterCanWrite, WaveWriterIsPlaying, WaveWriterPause, WaveWriterSetVolume,
                                 WaveWriterSetPan, WaveWriterFlush, WaveWriterOutputTime, WaveWriterWrittenTime};
