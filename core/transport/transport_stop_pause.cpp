// Pause, unpause and stop of the open item. Stop keeps the resume entry of a seekable item from
// the position of the last now-playing refresh: past 7.5 s that position, without a refresh
// since the item opened none at all; within the first 7.5 s the entry stays as it was.
#include "core/settings/bookmark_list.h"
#include "core/player/player_core.h"
#include "core/interface/player_events.h"
#include "core/settings/settings.h"
#include "core/transport/transport_neighbours.h"

namespace {

constexpr int kResumeThresholdMs = 7500;
constexpr int kDspEventStop = 2;

}  // namespace

void CPlayerCore::TogglePause() {
  DecModule* decoder = decoder_.load();
  if (!IsPlaying() || !decoder) return;
  CSettings* settings = GetSettings();
  if (decoder->IsPaused && decoder->IsPaused()) {
    if (settings && settings->suspendLibraryWhilePlaying) RequestLibraryFlush(1, 1);
    if (DispatchToHooks(PLAYER_EVENT_UNPAUSE, nullptr, 0, nullptr, nullptr) < 0 && decoder->UnPause) decoder->UnPause();
  } else {
    if (DispatchToHooks(PLAYER_EVENT_PAUSE, nullptr, 0, nullptr, nullptr) < 0 && decoder->Pause) decoder->Pause();
    RequestLibraryFlush(0, 1);
  }
}

void CPlayerCore::Stop(BOOL userStop) {
  if (!IsPlaying()) {
    RequestLibraryFlush(0, 1);
    return;
  }
  DWORD phase = 0;
  if (DispatchToHooks(PLAYER_EVENT_STOP, &phase, sizeof phase, nullptr, nullptr) >= 0) return;
  CSettings* settings = GetSettings();
  if (userStop) {
    // Paused first, so the sound ends at once rather than when the decoder has wound down.
    if (IsPlaying() && !IsPaused()) TogglePause();
    if (settings && settings->postStopWakeup) UpdatePowerIdle();
  }
  AddStateBits(CORE_STATE_STOPPED, CORE_STATE_OPEN);
  DecModule* decoder = decoder_.load();
  if (decoder && (decoder->flags & DEC_FLAG_SEEKABLE) && (lastPosition_ == -1 || lastPosition_ > kResumeThresholdMs))
    SetResumeEntry(GetCurrentPath().c_str(), lastPosition_);
  if (decoder && decoder->Stop) decoder->Stop();
  SetVisMode(userStop);
  RefreshNowPlaying();
  NotifyDspOfTransport(kDspEventStop);
  phase = 1;
  if (DispatchToHooks(PLAYER_EVENT_STOP, &phase, sizeof phase, nullptr, nullptr) < 0) RequestLibraryFlush(0, 1);
}
