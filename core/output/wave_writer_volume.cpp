// The writer's volume and pan: one 16-bit level per channel, the pan taking from the far side,
// applied to the device and, on old systems or when asked, to the system volume as well.
#include <algorithm>

#include "core/settings/registry_values.h"
#include "core/settings/settings.h"
#include "core/output/wave_writer_state.h"

namespace {

constexpr int kMaxVolume = 255, kMaxPan = 128;

DWORD OsMajorVersion() {
  OSVERSIONINFOW info = {};
  info.dwOSVersionInfoSize = sizeof info;
  return GetVersionExW(&info) ? info.dwMajorVersion : 0;
}

void StoreSystemVolume(DWORD value) {
  waveOutSetVolume(nullptr, value);
  RegKey key;
  if (key.Create(HKEY_CURRENT_USER, u"ControlPanel\\Volume") == ERROR_SUCCESS)
    RegSetValueExW(key.get(), u"Volume", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

}  // namespace

void ApplyVolumeLocked(WaveWriterState& w) {
  const CSettings* s = GetSettings();
  if (!w.panLoaded && s) {
    w.pan = std::clamp<int>(s->panning, -kMaxPan, kMaxPan);
    w.panLoaded = true;
  }
  const DWORD level = DWORD(w.volume) * 257;
  DWORD left = level, right = level;
  if (!(w.device && w.deviceFormat.nChannels == 1)) {
    if (w.pan < 0) right = (right * DWORD(w.pan + kMaxPan)) >> 7;
    if (w.pan > 0) left = (left * DWORD(kMaxPan - w.pan)) >> 7;
  }
  const DWORD value = left | right << 16;
  const bool systemVolume = s && s->useSystemVolume;
  const DWORD major = OsMajorVersion();
  if (w.device) waveOutSetVolume(w.device, major >= 4 && systemVolume ? 0xFFFFFFFF : value);
  if (major < 4 || systemVolume) StoreSystemVolume(value);
}

void WaveWriterSetVolume(int volume) {
  WaveWriterState& w = Writer();
  const CSettings* s = GetSettings();
  CSectionLock held(w.lock);
  if (volume == OUTPUT_STORED_VALUE && s) volume = static_cast<int>(s->ourVolume);
  if (volume >= 0 && volume <= kMaxVolume) w.volume = volume;
  ApplyVolumeLocked(w);
}

void WaveWriterSetPan(int pan) {
  WaveWriterState& w = Writer();
  const CSettings* s = GetSettings();
  {
    CSectionLock held(w.lock);
    if (pan == OUTPUT_STORED_VALUE && s) pan = s->panning;
    if (pan >= -kMaxPan && pan <= kMaxPan) {
      w.pan = pan;
      w.panLoaded = true;
    }
  }
  WaveWriterSetVolume(-1);
}
