// Saving the settings: "version", every value of the table that is not read-only or saved by an
// operation of its own, the omitted extensions and the button commands. The first failed write
// is reported rather than lost behind a successful close.
#include <windows.h>

#include <cstring>
#include <string>

#include "core/settings/registry_values.h"
#include "core/settings/settings.h"
#include "core/settings/settings_values.h"

using namespace settings_values;

namespace {

LONG WriteValue(HKEY key, const SettingValue& entry, CSettings& settings) {
  void* field = entry.field(settings);
  switch (entry.kind) {
    case Kind::kNumber: {
      DWORD value = 0;
      std::memcpy(&value, field, sizeof value);
      return WriteRegDword(key, entry.name, value);
    }
    case Kind::kText: {
      const auto* text = static_cast<const WCHAR*>(field);
      const std::u16string bounded(text, wcsnlen(text, entry.size / sizeof(WCHAR) - 1));
      return WriteRegText(key, entry.name, bounded.c_str());
    }
    case Kind::kBinary:
      return WriteRegBinary(key, entry.name, field, entry.size);
  }
  return ERROR_INVALID_PARAMETER;
}

// Load puts ";" before and behind the stored list; they are taken off again here, or the list
// would grow by two separators with every save until it no longer fits and is lost.
std::u16string StoredOmittedExtensions(const WCHAR* field) {
  std::u16string text(field, wcsnlen(field, MAX_PATH - 1));
  const size_t first = text.find_first_not_of(u';');
  if (first == std::u16string::npos) return {};
  return text.substr(first, text.find_last_not_of(u';') - first + 1);
}

}  // namespace

LONG CSettings::Save() {
  RegKey opened;
  LONG result = opened.Create(HKEY_CURRENT_USER, kSettingsKey);
  if (result != ERROR_SUCCESS) return result;
  const HKEY key = opened.get();
  LONG firstError = WriteRegDword(key, u"version", CurrentVersion());
  auto keep = [&firstError](LONG r) {
    if (firstError == ERROR_SUCCESS) firstError = r;
  };
  for (const SettingValue& entry : Values()) {
    if (!(entry.flags & (kReadOnly | kOwnSave))) keep(WriteValue(key, entry, *this));
  }
  keep(WriteRegText(key, u"omitting", StoredOmittedExtensions(omittedExtensions).c_str()));
  keep(SaveButtonCommands(key));
  result = opened.Close();
  return firstError != ERROR_SUCCESS ? firstError : result;
}
