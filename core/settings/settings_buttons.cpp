// The settings' button slots: one command number per button of the hardware-button table, the
// default assignments, and the binding of every slot to the button map.
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "core/window/button_command_callback.h"
#include "core/settings/button_table.h"
#include "core/settings/registry_values.h"
#include "core/settings/settings.h"

namespace {

constexpr int kStoredSlots = 20;  // "buttoncommands" holds the fixed buttons' slots

// A default assignment: a fixed slot, or the first button with a virtual key.
struct DefaultCommand {
  bool byKey;
  DWORD slotOrKey;
  DWORD command;
};

constexpr DefaultCommand kDefaultCommands[] = {
    {false, 0, 1},     {false, 15, 1},    {false, 4, 6},     {false, 3, 5},     {true, 0xB3, 1},
    {true, 0xB1, 6},   {true, 0xB0, 5},   {false, 1, 8},     {false, 16, 8},    {false, 2, 9},
    {false, 17, 9},    {true, '1', 21},   {true, '2', 4},    {true, '3', 11},   {true, '0', 7},
    {true, 0x77, 13},  {true, 0x78, 12},  {true, 'R', 21},   {true, 'S', 4},    {true, 'V', 11},
    {true, 'M', 7},
};

constexpr DWORD kLockSafeCommands[] = {1, 5, 6, 8, 9, 19, 20};

int SlotOf(const DefaultCommand& d) { return d.byKey ? FindButtonByKey(d.slotOrKey) : static_cast<int>(d.slotOrKey); }

}  // namespace

DWORD CSettings::GetButtonCommand(int slot) const {
  return slot >= 0 && slot < buttonSlotCount ? buttonCommands[static_cast<size_t>(slot)] : 0;
}

bool CSettings::HasButtonCommand(DWORD command) const { return FindButtonCommand(command, 0) >= 0; }

int CSettings::FindButtonCommand(DWORD command, int fromSlot) const {
  for (int slot = fromSlot < 0 ? 0 : fromSlot; slot < buttonSlotCount; ++slot) {
    if (buttonCommands[static_cast<size_t>(slot)] == command) return slot;
  }
  return -1;
}

void CSettings::SetButtonCommand(int slot, DWORD command) {
  if (slot < 0 || slot >= buttonSlotCount) return;
  buttonCommands[static_cast<size_t>(slot)] = command;
  BindButton(slot, command, this, ButtonCommandCallback, mapAllButtons);
}

void CSettings::ApplyButtonCommands(BOOL enable) {
  for (int slot = 0; slot < buttonSlotCount; ++slot) {
    BindButton(slot, enable ? buttonCommands[static_cast<size_t>(slot)] : 0, this, ButtonCommandCallback,
               mapAllButtons);
  }
}

void CSettings::ResetButtonCommands() {
  for (int slot = 0; slot < buttonSlotCount; ++slot) buttonCommands[static_cast<size_t>(slot)] = 0;
  for (const DefaultCommand& d : kDefaultCommands) {
    int slot = SlotOf(d);
    if (slot >= 0) SetButtonCommand(slot, d.command);
  }
}

int CSettings::AssignCommandDefaults(DWORD command) {
  int assigned = 0;
  for (const DefaultCommand& d : kDefaultCommands) {
    if (d.command != command) continue;
    int slot = SlotOf(d);
    if (slot < 0) continue;
    SetButtonCommand(slot, command);
    ++assigned;
  }
  return assigned ? assigned : static_cast<int>(command) - 1;
}

bool CSettings::IsLockSafeCommand(DWORD command) const {
  if (!permitActions) return false;
  for (DWORD safe : kLockSafeCommands) {
    if (safe == command) return true;
  }
  return false;
}

void CSettings::LoadButtonCommands(HKEY key) {
  LoadButtons();
  // The table now holds the custom buttons too; every one of them gets a slot.
  const int slots = GetButtonCount();
  if (slots != buttonSlotCount) {
    auto grown = std::make_unique<DWORD[]>(static_cast<size_t>(slots));
    std::memcpy(grown.get(), buttonCommands.get(), sizeof(DWORD) * static_cast<size_t>(std::min(slots, buttonSlotCount)));
    buttonCommands = std::move(grown);
    buttonSlotCount = slots;
  }
  std::vector<BYTE> pairs;
  if (ReadRegBinary(key, u"customcommands", &pairs)) {
    for (size_t at = 0; at + 8 <= pairs.size(); at += 8) {
      DWORD code, command;
      std::memcpy(&code, &pairs[at], 4);
      std::memcpy(&command, &pairs[at + 4], 4);
      int slot = FindButtonByCode(code);
      if (slot >= 0) SetButtonCommand(slot, command);
    }
  }
  std::vector<BYTE> stored;
  if (ReadRegBinary(key, u"buttoncommands", &stored) && stored.size() == kStoredSlots * sizeof(DWORD)) {
    std::memcpy(buttonCommands.get(), stored.data(), stored.size());
  } else {
    ResetButtonCommands();
  }
  ApplyButtonCommands(TRUE);
}

LONG CSettings::SaveButtonCommands(HKEY key) const {
  LONG result = WriteRegBinary(key, u"buttoncommands", buttonCommands.get(), kStoredSlots * sizeof(DWORD));
  if (buttonSlotCount <= kStoredSlots) return result;
  std::vector<BYTE> pairs;
  for (int slot = kStoredSlots; slot < buttonSlotCount; ++slot) {
    const DWORD code = static_cast<DWORD>(GetButtonCode(slot));
    const DWORD command = buttonCommands[static_cast<size_t>(slot)];
    const BYTE* c = reinterpret_cast<const BYTE*>(&code);
    const BYTE* m = reinterpret_cast<const BYTE*>(&command);
    pairs.insert(pairs.end(), c, c + 4);
    pairs.insert(pairs.end(), m, m + 4);
  }
  LONG custom = WriteRegBinary(key, u"customcommands", pairs.data(), static_cast<DWORD>(pairs.size()));
  return result != ERROR_SUCCESS ? result : custom;
}
