// The end of a stream (the main window's message 1123): the play counts, the item stops, the
// playlist moves on (shuffle and repeat decide where), and the hooks hear how it ended: 1 the
// next item plays, 2 stopped, 3 stopped while the output still drains (timer 17 looks again).
// An early end (kind 1) and a failed play (kind 2) keep the item's resume position.
#include "core/window/main_window_protocol.h"
#include "core/player/player_core.h"
#include "core/interface/player_events.h"
#include "core/settings/settings.h"
#include "core/transport/transport_neighbours.h"
#include "core/output/wave_writer.h"
#include "playlist.h"

namespace {

constexpr UINT kDrainCheckMs = 50;
constexpr DWORD kEndPhaseNextPlays = 1;
constexpr DWORD kEndPhaseStopped = 2;
constexpr DWORD kEndPhaseDraining = 3;
constexpr DWORD kLibraryPlayingBit = 8;

}  // namespace

void CPlayerCore::OnStreamEnded(int kind) {
  CSettings* settings = GetSettings();
  const bool suspendLibrary = settings && settings->suspendLibraryWhilePlaying;
  if (kind < STREAM_ENDED_NORMAL || kind > STREAM_ENDED_DRAIN_CHECK) kind = STREAM_ENDED_NORMAL;
  if (kind == STREAM_ENDED_DRAIN_CHECK) {
    if (WaveOutWaitDrain(0) == 1) return;
    KillMainWindowTimer(MAIN_TIMER_DRAIN);
    DWORD phase = kEndPhaseStopped;
    DispatchToHooks(PLAYER_EVENT_END_OF_STREAM, &phase, sizeof phase, nullptr, nullptr);
    if (suspendLibrary) RequestLibraryFlush(0, kLibraryPlayingBit);
    return;
  }

  const std::u16string endedPath = GetCurrentPath();
  LONG keep = -1;
  DWORD advance = 1;
  if (kind == STREAM_ENDED_EARLY) {
    keep = lastPosition_;
    advance = 0;
  } else if (kind == STREAM_ENDED_PLAY_FAILED) {
    keep = GetResumePosition();
  }

  const DWORD saved = state_.load();
  DWORD phase = 0;
  DispatchToHooks(PLAYER_EVENT_END_OF_STREAM, &phase, sizeof phase, nullptr, nullptr);
  if (kind == STREAM_ENDED_NORMAL) RecordPlayCompleted();
  if (suspendLibrary) RequestLibraryFlush(kLibraryPlayingBit, kLibraryPlayingBit);

  lastPosition_ = -1;
  restartPosition_ = -1;
  Stop(FALSE);
  // The item counts as open while the next one is chosen, so that it is played, not just shown.
  if (saved & CORE_STATE_OPEN) AddStateBits(CORE_STATE_OPEN, CORE_STATE_STOPPED);

  UINT size = sizeof advance;
  DispatchToHooks(PLAYER_EVENT_END_OF_STREAM, &phase, sizeof phase, &advance, &size);
  const bool atEnd = !advance || !NextItem(FALSE);
  if (atEnd) {
    if (settings && settings->postStopWakeup) UpdatePowerIdle();
    SetVisMode(1);
    if (advance && settings && settings->autoResumePlaylists && IsSavablePlaylistName(playlistFileName_.c_str()))
      SetResumeEntry(playlistFileName_.c_str(), -1);
    if (saved & CORE_STATE_OPEN) AddStateBits(CORE_STATE_STOPPED, CORE_STATE_OPEN);
  }
  if (kind != STREAM_ENDED_NORMAL && keep >= 0) SetResumeEntry(endedPath.c_str(), keep);

  if (IsPlaying()) {
    phase = kEndPhaseNextPlays;
  } else if (WaveOutWaitDrain(0) == 1) {
    phase = kEndPhaseDraining;
    SetMainWindowTimer(MAIN_TIMER_DRAIN, kDrainCheckMs);
  } else {
    phase = kEndPhaseStopped;
  }
  DispatchToHooks(PLAYER_EVENT_END_OF_STREAM, &phase, sizeof phase, nullptr, nullptr);
  if (phase != kEndPhaseDraining && suspendLibrary) RequestLibraryFlush(0, kLibraryPlayingBit);
}
