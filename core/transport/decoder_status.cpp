// What the decoder thread reports through HostDecoderStatus (every code first reaches the hooks
// as event 70 + code), the shuffle and repeat switches, and the visualisation's view mode and
// toggle, with the backlight rule while playing.
#include "core/common/named_events.h"
#include "core/player/player_core.h"
#include "core/interface/player_events.h"
#include "core/settings/settings.h"
#include "core/transport/transport_neighbours.h"
#include "core/output/wave_writer.h"
#include "playlist.h"

namespace {

enum : UINT {
  kStatusRunning = 0,
  kStatusStopped = 1,
  kStatusLastForVis = 3,
  kStatusVisFullscreen = 4,
  kStatusSetVisFullscreen = 5,
  kStatusVideoFullscreen = 6,
  kStatusVideoStretch = 7,
};

// The codes that answer a setting in their out word.
struct StatusSetting {
  UINT code;
  DWORD CSettings::*setting;
};
constexpr StatusSetting kStatusSettings[] = {
    {kStatusVisFullscreen, &CSettings::visFullscreen},
    {kStatusVideoFullscreen, &CSettings::videoFullscreenMode},
    {kStatusVideoStretch, &CSettings::videoStretchMode},
};

}  // namespace

DWORD CPlayerCore::OnDecoderStatus(UINT code, void* in, UINT inSize, void* out, UINT outSize) {
  UINT size = outSize;
  DispatchToHooks(PLAYER_EVENT_DECODER_STATUS + code, in, inSize, out, &size);
  CSettings* settings = GetSettings();
  if (code == kStatusRunning) {
    AddStateBits(CORE_STATE_RUNNING, 0);
    HoldBacklightForPlayback(true);
    WaveOutWaitDrain(-1);
  } else if (code == kStatusStopped) {
    AddStateBits(0, CORE_STATE_RUNNING);
    HoldBacklightForPlayback(false);
  }
  if (code <= kStatusLastForVis) return visHost_->OnDecoderStatus(code, in, inSize, out, outSize);
  for (const StatusSetting& entry : kStatusSettings) {
    if (entry.code != code) continue;
    if (out && outSize >= sizeof(DWORD)) *static_cast<DWORD*>(out) = settings ? settings->*entry.setting : 0;
    return 1;
  }
  if (code == kStatusSetVisFullscreen) {
    if (in && inSize >= sizeof(DWORD) && settings && *static_cast<const DWORD*>(in) != settings->visFullscreen)
      visHost_->ToggleMode();
    return 1;
  }
  return 0;
}

void CPlayerCore::SetShuffle(BOOL value) {
  shuffle_ = value;
  RefreshSkinElements(u"REPEAT");
  RefreshSkinElements(u"SHUFFLE");
  if (value) playlist_->ClearHistory();
}

void CPlayerCore::SetRepeat(BOOL value) {
  repeat_ = value;
  RefreshSkinElements(u"REPEAT");
  RefreshSkinElements(u"SHUFFLE");
  if (shuffle_) playlist_->ClearHistory();
}

void CPlayerCore::SetVisMode(int value) {
  visHost_->RecreateWindow(value);
  SetStreamInfo(0, 0, 0);
}

int CPlayerCore::HoldBacklightWhilePlaying() {
  if (!(state_.load() & CORE_STATE_RUNNING)) return 0;
  HoldBacklightForPlayback(IsPaused() == 0);
  return 1;
}

int CPlayerCore::ToggleVisualization(BOOL large, int) {
  TogglePlaylistView(this, large);
  CSettings* settings = GetSettings();
  ResetSkinTexts(large && settings && settings->visFullscreen ? FALSE : TRUE);
  DecModule* decoder = decoder_.load();
  if (IsPlaying() && decoder && decoder->Command) decoder->Command(PLAYER_EVENT_VIS_TOGGLED, nullptr, 0, nullptr, 0);
  RaiseNamedEvent(u"Zonbrel/Visualization/Toggled");
  return 1;
}
