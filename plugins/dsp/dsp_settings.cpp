// CDspSettingsKey: each read and write opens the key on its own, so a module's values never
// depend on a handle kept open across the player's life.
#include "plugins/dsp/dsp_settings.h"

int CDspSettingsKey::Read(const WCHAR* name, int fallback) const {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path_, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return fallback;
  DWORD value = 0, type = 0, size = sizeof value;
  const LONG result = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(key);
  return result == ERROR_SUCCESS && size == sizeof value ? static_cast<int>(value) : fallback;
}

void CDspSettingsKey::Write(const WCHAR* name, int value) const {
  HKEY key = nullptr;
  DWORD disposition = 0;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, path_, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, &disposition) != ERROR_SUCCESS)
    return;
  const DWORD number = static_cast<DWORD>(value);
  RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
  RegCloseKey(key);
}
