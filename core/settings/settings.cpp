// The settings object's life (one object, made and loaded on first use, saved when destroyed)
// and its small operations: plug-in choices, the equaliser values and the skin per screen size.
#include "core/settings/settings.h"

#include <cstring>
#include <new>
#include <string>

#include "core/settings/button_table.h"
#include "core/player/player_core_link.h"
#include "core/settings/registry_values.h"
#include "core/settings/settings_values.h"
#include "settingsui/data_files.h"
#include "settingsui/shell_platform.h"
#include "settingsui/special_folders.h"
#include "skin/skin_file_types.h"
#include "string_tokenizer.h"

namespace {

CSettings* g_settings = nullptr;

constexpr size_t kSkinValueChars = 260;  // 520 bytes with the terminator

void CopyWithoutTrailingBackslash(const WCHAR* path, WCHAR* out) {
  wcscpy(out, path);
  size_t n = wcslen(out);
  if (n > 1 && out[n - 1] == u'\\') out[n - 1] = 0;
}

void CopyBounded(const WCHAR* text, WCHAR* out, size_t chars) {
  const size_t n = text ? wcsnlen(text, chars - 1) : 0;
  if (n) std::memcpy(out, text, n * sizeof(WCHAR));
  out[n] = 0;
}

LONG SavePluginChoice(const WCHAR* fileValue, const WCHAR* indexValue, const WCHAR* file, DWORD index) {
  RegKey key;
  LONG result = key.Create(HKEY_CURRENT_USER, kSettingsKey);
  if (result != ERROR_SUCCESS) return result;
  result = WriteRegText(key.get(), fileValue, file);
  if (result == ERROR_SUCCESS) result = WriteRegDword(key.get(), indexValue, index);
  return result;
}

void ResetCoreDspChoice(const WCHAR* caller) {
  if (IPlayerCoreLink* core = GetPlayerCoreLink(caller)) core->ResetDspChoice();
}

}  // namespace

CSettings::CSettings() {
  buttonSlotCount = GetButtonCount();
  buttonCommands = std::make_unique<DWORD[]>(static_cast<size_t>(buttonSlotCount));
  WCHAR folder[MAX_PATH];
  if (GetSpecialFolderPath(kApplicationDataFolderId, folder)) {
    CopyWithoutTrailingBackslash(folder, appDataFolder);
  } else {
    wcscpy(appDataFolder, u"\\Invalid");
  }
  if (GetTempPathW(MAX_PATH, folder) == 0) wcscpy(folder, u"\\Temp\\");
  CopyWithoutTrailingBackslash(folder, tempFolder);
  Load();
}

CSettings::~CSettings() {
  Save();
  if (g_settings == this) g_settings = nullptr;
}

CSettings* GetSettings() {
  if (!g_settings) g_settings = new (std::nothrow) CSettings;
  return g_settings;
}

void DestroySettings() { delete g_settings; }

LONG CSettings::SaveVisPlugin(const WCHAR* file, DWORD index) {
  CopyBounded(file, PluginFile, MAX_PATH);
  PluginIndex = index;
  return SavePluginChoice(u"PluginFile", u"PluginIndex", PluginFile, index);
}

DWORD CSettings::GetVisPlugin(WCHAR* out) const {
  if (out) wcscpy(out, PluginFile);
  return PluginIndex;
}

LONG CSettings::SaveDSPPlugin(const WCHAR* file, DWORD index) {
  CopyBounded(file, DSPPluginFile, MAX_PATH);
  DSPPluginIndex = index;
  LONG result = SavePluginChoice(u"DSPPluginFile", u"DSPPluginIndex", DSPPluginFile, index);
  if (result == ERROR_SUCCESS) ResetCoreDspChoice(u"CSettings::SaveDSPPlugin");
  return result;
}

DWORD CSettings::GetDSPPlugin(WCHAR* out) const {
  if (out) wcscpy(out, DSPPluginFile);
  return DSPPluginIndex;
}

void CSettings::SetDSPEnabled(DWORD value) {
  DSPEnabled = value;
  ResetCoreDspChoice(u"CSettings::SetDSPEnabled");
}

void CSettings::SetEqValues(const BYTE* bands) {
  if (bands) std::memcpy(eqValues, bands, sizeof eqValues);
}

const WCHAR* CSettings::DefaultTitleFormat() { return settings_values::kDefaultSongTitleFormat; }

void CSettings::GetSkinValueName(WCHAR* out, size_t size) const {
  WCHAR name[64];
  wsprintfW(name, u"skin.%d.%d", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  CopyBounded(name, out, size);
}

LONG CSettings::SaveSkin(const WCHAR* path, BOOL asIs) {
  if (!path) return ERROR_INVALID_PARAMETER;
  WCHAR valueName[64];
  GetSkinValueName(valueName, 64);
  WCHAR found[MAX_PATH] = {};
  if (!asIs) FindDataFileWithSuffix(found, path, nullptr, FALSE, FALSE);
  // A skin that the lookup cannot find is stored as given rather than as an empty choice.
  const WCHAR* stored = found[0] ? found : path;
  RegKey key;
  LONG result = key.Create(HKEY_CURRENT_USER, kSettingsKey);
  return result == ERROR_SUCCESS ? WriteRegText(key.get(), valueName, stored) : result;
}

void CSettings::LoadSkin(WCHAR* out) const {
  WCHAR valueName[64];
  GetSkinValueName(valueName, 64);
  RegKey key;
  key.Open(HKEY_CURRENT_USER, kSettingsKey, KEY_READ);
  if (!ReadRegText(key.get(), valueName, out, kSkinValueChars)) GetSkinPath(out);
}

void CSettings::GetSkinPath(WCHAR* out) const {
  WCHAR extension[16];
  GetSkinFileExtension(0, extension);
  GetSpecialFolderPath(kProgramFolderId, out);
  wcscat(out, u"default");
  if (IsSmartphonePlatform()) wcscat(out, u"_sp");
  wcscat(out, extension);
}
