// ReadSystemVolume (see system_volume.h). A volume word holds the right channel in its high and
// the left channel in its low 16 bits.
#include "core/output/system_volume.h"

#include <mmsystem.h>

#include <algorithm>

#include "core/player/player_core.h"
#include "core/settings/settings.h"

namespace {

// Answers some devices give when they have no volume of their own.
constexpr DWORD kInvalidVolumes[] = {0xFFFFFFFF, 0xFFFF0000, 0x0000FFFF};
constexpr int kMaxVolume = 255;

bool IsValid(DWORD volume) { return std::find(std::begin(kInvalidVolumes), std::end(kInvalidVolumes), volume) == std::end(kInvalidVolumes); }

bool IsPocketPC() {
  WCHAR platform[64] = {};
  return !SystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof platform, platform, 0) || _wcsicmp(platform, u"PocketPC") == 0;
}

// The system's stored volume; `fallback` when the key or a number in it is missing.
DWORD RegistryVolume(DWORD fallback) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, u"ControlPanel\\Volume", 0, 0, &key) != ERROR_SUCCESS) return fallback;
  DWORD value = 0, size = sizeof value, type = 0;
  const bool read = RegQueryValueExW(key, u"Volume", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
                    type == REG_DWORD && size == sizeof value;
  RegCloseKey(key);
  return read ? value : fallback;
}

int LouderChannel(DWORD volume) { return std::max(HIWORD(volume), LOWORD(volume)) >> 8; }

}  // namespace

int ReadSystemVolume(CPlayerCore* core) {
  const DWORD own = static_cast<DWORD>(std::clamp(core ? core->GetVolume() : kMaxVolume, 0, kMaxVolume)) << 8;
  WAVEFORMATEX format = {WAVE_FORMAT_PCM, 1, 11025, 11025, 1, 8, 0};
  HWAVEOUT device = nullptr;
  if (waveOutOpen(&device, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) device = nullptr;
  DWORD volume = 0;
  const bool deviceRead = waveOutGetVolume(device, &volume) == MMSYSERR_NOERROR;
  OSVERSIONINFOW version = {};
  version.dwOSVersionInfoSize = sizeof version;
  if (!GetVersionExW(&version)) version.dwMajorVersion = 0;
  DWORD system = 0;
  const bool systemRead = waveOutGetVolume(nullptr, &system) == MMSYSERR_NOERROR;

  // An unread device volume counts as invalid like the placeholder answers.
  if (version.dwMajorVersion >= 4 && (!deviceRead || !IsValid(volume))) volume = system;
  if (version.dwMajorVersion == 3 && !IsPocketPC()) volume = system;
  if (!systemRead) volume = RegistryVolume(own);
  if (device) waveOutClose(device);

  CSettings* settings = GetSettings();
  if (version.dwMajorVersion >= 4 && settings && settings->useSystemVolume == 0)
    volume = std::min<DWORD>(settings->ourVolume, kMaxVolume) << 8;  // out of range stays a volume
  return LouderChannel(volume);
}
