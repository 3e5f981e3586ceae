// Volume, mute and balance of the bound decoder; the settings keep the last values.
#include <algorithm>

#include "core/player/player_core.h"
#include "core/settings/settings.h"
#include "core/output/system_volume.h"
#include "core/transport/transport_neighbours.h"

namespace {

constexpr int kStoredValue = -666;
constexpr int kMaxVolume = 255;
constexpr int kMaxPan = 128;

}  // namespace

void CPlayerCore::SetVolume(int volume) {
  if (volume == kStoredValue) {
    if (muted_) return;
    volume = ReadSystemVolume(this);
  }
  volume = std::clamp(volume, 0, kMaxVolume);
  volume_ = volume;
  DecModule* decoder = decoder_.load();
  if (decoder && decoder->SetVolume) decoder->SetVolume(muted_ ? 0 : volume);
  if (CSettings* settings = GetSettings()) settings->ourVolume = static_cast<DWORD>(volume);
  RefreshSkinElements(u"VOLUME");
}

void CPlayerCore::SetMute(BOOL muted) {
  muted_ = muted;
  SetVolume(volume_);
  RefreshSkinElements(u"MUTE");
}

void CPlayerCore::SetPan(int pan) {
  CSettings* settings = GetSettings();
  if (pan == kStoredValue) pan = settings ? settings->panning : 0;
  pan = std::clamp(pan, -kMaxPan, kMaxPan);
  if (settings) settings->panning = pan;
  DecModule* decoder = decoder_.load();
  if (decoder && decoder->SetPan) decoder->SetPan(pan);
}

int CPlayerCore::GetPanSetting() {
  CSettings* settings = GetSettings();
  return settings ? settings->panning : 0;
}
