// The button table. The twenty fixed buttons are always there; LoadButtons appends one entry per
// DWORD value under the Buttons key, in the registry's enumeration order.
#include "core/settings/button_table.h"

#include <algorithm>
#include <string>
#include <vector>

#include "core/settings/button_defaults.h"
#include "core/device/button_mapping.h"
#include "core/settings/registry_values.h"

namespace {

constexpr DWORD kModifierMask = 0xFF0;
constexpr DWORD kHardwareButtonFirstKey = 0xC1;  // buttons 1-10 of the device, indices 5-14

struct FixedButton {
  DWORD key;
  DWORD modifiers;
  const WCHAR* name;  // null: the device's own name of a numbered hardware button
};

constexpr FixedButton kFixed[kFixedButtonCount] = {
    {134, 0, u"Action"}, {38, 0, u"Up"},     {40, 0, u"Down"},   {39, 0, u"Right"},  {37, 0, u"Left"},
    {0xC1, 0, nullptr},  {0xC2, 0, nullptr}, {0xC3, 0, nullptr}, {0xC4, 0, nullptr}, {0xC5, 0, nullptr},
    {0xC6, 0, nullptr},  {0xC7, 0, nullptr}, {0xC8, 0, nullptr}, {0xC9, 0, nullptr}, {0xCA, 0, nullptr},
    {13, 0, u"Enter"},   {38, 32, u"Up (Alternate)"}, {40, 32, u"Down (Alternate)"}, {39, 32, u"Right (Alternate)"},
    {37, 32, u"Left (Alternate)"},
};

struct Table {
  std::vector<ButtonEntry> entries;
  bool loaded = false;
};

Table& Buttons() {
  static Table table;
  if (table.entries.empty()) {
    for (const FixedButton& b : kFixed) table.entries.push_back({b.key, 0, b.modifiers, 0, nullptr, nullptr});
  }
  return table;
}

DWORD CodeOf(const ButtonEntry& e) { return e.key | (e.flags | e.modifiers) << 16; }

ButtonEntry EntryFromCode(DWORD code) {
  const DWORD high = code >> 16;
  return {code & 0xFFFF, high & ~kModifierMask, high & kModifierMask, 0, nullptr, nullptr};
}

bool IsRevisionValue(const WCHAR* name) { return _wcsicmp(name, kPresetRevisionValue) == 0; }

// Walks the DWORD values of the Buttons key (the revision value excluded) in enumeration order;
// `visit` returns false to stop.
template <class Visit>
void ForEachCustomValue(HKEY key, Visit visit) {
  for (DWORD i = 0;; ++i) {
    WCHAR name[MAX_PATH];
    DWORD nameLength = MAX_PATH, type = 0, code = 0, size = sizeof code;
    LONG result = RegEnumValueW(key, i, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(&code), &size);
    if (result == ERROR_NO_MORE_ITEMS) return;
    if (result != ERROR_SUCCESS || type != REG_DWORD || size != sizeof code || IsRevisionValue(name)) continue;
    if (!visit(name, code)) return;
  }
}

void CopyName(const WCHAR* name, WCHAR* out) {
  const size_t n = wcsnlen(name, MAX_PATH - 1);
  std::copy_n(name, n, out);
  out[n] = 0;
}

void HardwareButtonName(int number, WCHAR* out) {
  WCHAR keyName[64];
  wsprintfW(keyName, u"SOFTWARE\\Microsoft\\Shell\\Keys\\40C%d", number);
  RegKey key;
  key.Open(HKEY_LOCAL_MACHINE, keyName, KEY_READ);
  WCHAR name[MAX_PATH] = {};
  if (ReadRegText(key.get(), u"Name", name, MAX_PATH) && name[0]) {
    wcscpy(out, name);
  } else {
    wsprintfW(out, u"Button %d", number);
  }
}

bool CustomButtonName(DWORD code, WCHAR* out) {
  RegKey key;
  if (key.Open(HKEY_CURRENT_USER, kButtonsKey, KEY_READ) != ERROR_SUCCESS) return false;
  bool found = false;
  ForEachCustomValue(key.get(), [&](const WCHAR* name, DWORD value) {
    if (value != code) return true;
    CopyName(name, out);
    found = true;
    return false;
  });
  return found;
}

}  // namespace

void LoadButtons() {
  Table& table = Buttons();
  table.entries.resize(kFixedButtonCount);
  RegKey key;
  if (key.Create(HKEY_CURRENT_USER, kButtonsKey) == ERROR_SUCCESS) {
    WriteDefaultButtons(key.get());
    ForEachCustomValue(key.get(), [&](const WCHAR*, DWORD code) {
      table.entries.push_back(EntryFromCode(code));
      return true;
    });
  }
  table.loaded = true;
}

void LoadButtonsOnce() {
  if (!Buttons().loaded) LoadButtons();
}

void EndButtons() {
  StopButtonMapping();
  Table& table = Buttons();
  table.entries.resize(kFixedButtonCount);
  for (ButtonEntry& e : table.entries) e.action = 0, e.argument = nullptr, e.handler = nullptr;
  table.loaded = false;
}

int GetButtonCount() { return static_cast<int>(Buttons().entries.size()); }

const ButtonEntry* GetButtonEntry(int index) {
  if (index < 0 || index >= GetButtonCount()) return nullptr;
  return &Buttons().entries[static_cast<size_t>(index)];
}

int GetButtonName(int index, WCHAR* out) {
  const ButtonEntry* entry = GetButtonEntry(index);
  if (!entry || !out) return 0;
  if (index < kFixedButtonCount) {
    if (kFixed[index].name) {
      wcscpy(out, kFixed[index].name);
    } else {
      HardwareButtonName(static_cast<int>(kFixed[index].key - kHardwareButtonFirstKey) + 1, out);
    }
  } else if (!CustomButtonName(CodeOf(*entry), out)) {
    wsprintfW(out, u"Custom %d", index - (kFixedButtonCount - 1));
  }
  return 1;
}

int FindButtonByCode(DWORD code) {
  const std::vector<ButtonEntry>& entries = Buttons().entries;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (CodeOf(entries[i]) == code) return static_cast<int>(i);
  }
  return -1;
}

int FindButtonByKey(DWORD key) {
  const std::vector<ButtonEntry>& entries = Buttons().entries;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].key == key) return static_cast<int>(i);
  }
  return -1;
}

LONG GetButtonCode(int index) {
  const ButtonEntry* entry = GetButtonEntry(index);
  return entry ? static_cast<LONG>(CodeOf(*entry)) : -1;
}

void BindButton(int index, DWORD action, void* argument, ButtonHandler handler, BOOL mapAll) {
  Table& table = Buttons();
  if (!table.loaded) LoadButtons();
  if (index < 0 || index >= GetButtonCount()) return;
  ButtonEntry& entry = table.entries[static_cast<size_t>(index)];
  if (action) {
    entry.action = action;
    entry.argument = argument;
    entry.handler = handler;
    StartButtonMapping(mapAll, FALSE);
    return;
  }
  entry.action = 0;
  entry.handler = nullptr;
  for (const ButtonEntry& e : table.entries) {
    if (e.action) return;
  }
  StopButtonMapping();
}
