// The settings' registry values as one table: name, kind, field, default and how a stored value
// is adjusted. Load and Save both walk it, so a value cannot be read without being written.
#pragma once
#include <windows.h>

#include <span>

#include "core/settings/settings.h"

namespace settings_values {

// What the device-dependent defaults and the upgrades of stored values depend on.
struct LoadContext {
  DWORD storedVersion = 0;  // "version" as the last save wrote it, 0 when missing
  DWORD osMajor = 0;
  DWORD osMinor = 0;
  bool smartphone = false;
  bool oemWantsRedraw = false;  // the OEM text names a device that needs a redraw after undimming
};

enum class Kind { kNumber, kText, kBinary };

enum Flags : unsigned {
  kReadOnly = 1,  // read at load, never written by Save
  kOwnSave = 2,   // written only by its own save operation
};

struct SettingValue {
  const WCHAR* name;
  Kind kind;
  void* (*field)(CSettings&);
  DWORD size;  // bytes of the field
  DWORD number;  // default of a number; the byte every element of a binary field gets
  const WCHAR* text;  // default of a text
  DWORD (*deviceDefault)(const LoadContext&);  // overrides `number` when set
  DWORD (*adjust)(DWORD value, bool read, const LoadContext&);  // applied after the read
  unsigned flags;
};

std::span<const SettingValue> Values();

inline constexpr WCHAR kDefaultSongTitleFormat[] = u"%?5<%5 - %?7<%7|%3>|%?7<%7|%?9<%9|%3>>>";
inline constexpr WCHAR kDefaultStreamTitleFormat[] = u"%?26<%26 (%301)|%301>";

}  // namespace settings_values
