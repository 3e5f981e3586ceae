// Loading the settings. Every value falls back to its default when it cannot be read; a few
// steps then upgrade what older versions stored (see the value table for the per-value ones).
#include <windows.h>

#include <cstring>
#include <string>

#include "core/settings/associations.h"
#include "core/settings/registry_values.h"
#include "core/settings/settings.h"
#include "core/settings/settings_values.h"
#include "core/common/text_search.h"
#include "settingsui/shell_platform.h"
#include "settingsui/special_folders.h"
#include "string_tokenizer.h"

using namespace settings_values;

namespace {

constexpr DWORD kLibraryVersion = 7;
constexpr DWORD kTitleHashSeed = 0x12345678;
constexpr size_t kPathListChars = 259;  // 520 bytes with the terminator

LoadContext MakeContext(HKEY key) {
  LoadContext c;
  ReadRegDword(key, u"version", &c.storedVersion);
  OSVERSIONINFOW version = {};
  version.dwOSVersionInfoSize = sizeof version;
  if (GetVersionExW(&version)) {
    c.osMajor = version.dwMajorVersion;
    c.osMinor = version.dwMinorVersion;
  }
  c.smartphone = IsSmartphonePlatform() != FALSE;
  WCHAR oem[256] = {};
  if (SystemParametersInfoW(SPI_GETOEMINFO, sizeof oem - sizeof(WCHAR), oem, 0)) {
    c.oemWantsRedraw = WStrFindNoCase(oem, u"PAQ h22") != nullptr;
  }
  return c;
}

void ReadValue(HKEY key, const SettingValue& entry, const LoadContext& context, CSettings& settings) {
  void* field = entry.field(settings);
  switch (entry.kind) {
    case Kind::kNumber: {
      DWORD value = 0;
      const bool read = ReadRegDword(key, entry.name, &value);
      if (!read) value = entry.deviceDefault ? entry.deviceDefault(context) : entry.number;
      if (entry.adjust) value = entry.adjust(value, read, context);
      std::memcpy(field, &value, sizeof value);
      break;
    }
    case Kind::kText:
      if (!ReadRegText(key, entry.name, static_cast<WCHAR*>(field), entry.size / sizeof(WCHAR))) {
        wcscpy(static_cast<WCHAR*>(field), entry.text);
      }
      break;
    case Kind::kBinary: {
      std::vector<BYTE> data;
      if (ReadRegBinary(key, entry.name, &data) && data.size() == entry.size) {
        std::memcpy(field, data.data(), entry.size);
      } else {
        std::memset(field, static_cast<int>(entry.number), entry.size);
      }
      break;
    }
  }
}

// A library of another version formats titles differently: its title formats go back to the
// defaults.
void UpgradeTitleFormats(HKEY key) {
  DWORD version = 0;
  ReadRegDword(key, u"libraryVersion", &version);
  if (!key || version == kLibraryVersion) return;
  RegDeleteValueW(key, u"streamTitleFormat");
  RegDeleteValueW(key, u"songTitleFormat");
  WriteRegDword(key, u"libraryVersion", kLibraryVersion);
}

DWORD TitleFormatHash(const WCHAR* song, const WCHAR* stream) {
  DWORD hash = kTitleHashSeed;
  for (const WCHAR* format : {song, stream}) {
    for (size_t i = 0; format[i]; ++i) hash ^= static_cast<DWORD>(format[i]) << ((i + 1) % 16);
  }
  return hash;
}

// The library's info cache holds titles made with the formats; other formats make it stale.
void CheckTitleFormatHash(HKEY key, const CSettings& s) {
  DWORD stored = 0;
  ReadRegDword(key, u"songTitleHash", &stored);
  const DWORD hash = TitleFormatHash(s.songTitleFormat, s.streamTitleFormat);
  if (stored != hash) {
    WCHAR path[MAX_PATH];
    GetSpecialFolderPath(kProgramFolderId, path);
    wcscat(path, u"infocache.dat");
    DeleteFileW(path);
  }
  if (key) WriteRegDword(key, u"songTitleHash", hash);
}

std::unique_ptr<CStringTokenizer> ReadPathList(HKEY key, const WCHAR* name) {
  std::u16string text;
  if (!ReadRegText(key, name, &text, kPathListChars)) return nullptr;
  auto list = std::make_unique<CStringTokenizer>(text, u'|');
  for (int i = 1; i <= list->GetCount(); ++i) {
    if (!list->GetToken(i).empty()) return list;
  }
  return nullptr;
}

// The list is kept with ";" before and behind, so every entry is enclosed by separators.
void ReadOmittedExtensions(HKEY key, WCHAR* field) {
  std::u16string text;
  if (ReadRegText(key, u"omitting", &text, MAX_PATH - 3)) {
    text = u";" + text + u";";
  } else {
    text = u".lst;";
  }
  wcscpy(field, text.c_str());
}

}  // namespace

void CSettings::Load() {
  // Without the key every read fails and every field takes its default.
  RegKey opened;
  opened.Create(HKEY_CURRENT_USER, kSettingsKey);
  const HKEY key = opened.get();
  const LoadContext context = MakeContext(key);
  UpgradeTitleFormats(key);
  for (const SettingValue& entry : Values()) ReadValue(key, entry, context, *this);
  restrictExclude = ReadPathList(key, u"restrictExclude");
  restrictInclude = ReadPathList(key, u"restrictInclude");
  includeMediaPath = ReadPathList(key, u"includeMediaPath");
  includePlaylistPath = ReadPathList(key, u"includePlaylistPath");
  if (fileAssociationsEnforced) ReapplyAssociations(this);
  CheckTitleFormatHash(key, *this);
  ReadOmittedExtensions(key, omittedExtensions);
  LoadButtonCommands(key);
}
