// The plug-in actions bound to button slots across runs: "Actions" under the settings key holds,
// for each action number a slot held at the last save, the library file and the action's name,
// so that the next run can find the number the same action got this time.
#include <set>
#include <string>
#include <vector>

#include "core/interface/player_events.h"
#include "core/player/player_core.h"
#include "core/settings/settings.h"

namespace {

constexpr WCHAR kActionsKey[] = u"Software\\Kestrane\\Zonbrel\\2.0\\Actions";
constexpr WCHAR kMax[] = u"Max";
constexpr DWORD kTextBytes = 260 * sizeof(WCHAR);

std::u16string ValueName(DWORD number, LPCWSTR part) {
  WCHAR name[64];
  wsprintfW(name, u"Action.%d.%s", static_cast<int>(number), part);
  return name;
}

bool ReadText(HKEY key, const std::u16string& name, std::u16string* text) {
  WCHAR buffer[kTextBytes / sizeof(WCHAR) + 1] = {};
  DWORD type = 0, size = kTextBytes;
  if (RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS ||
      type != REG_SZ)
    return false;
  *text = buffer;
  return true;
}

LONG WriteText(HKEY key, const std::u16string& name, const std::u16string& text) {
  return RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>((text.size() + 1) * sizeof(WCHAR)));
}

// "Action.<n>.Dll" and "Action.<n>.Name" give n; other names give 0.
DWORD ActionNumber(const std::u16string& name) {
  constexpr std::u16string_view kPrefix = u"Action.";
  if (name.compare(0, kPrefix.size(), kPrefix) != 0) return 0;
  DWORD number = 0;
  size_t at = kPrefix.size();
  for (; at < name.size() && name[at] >= u'0' && name[at] <= u'9'; ++at) number = number * 10 + (name[at] - u'0');
  return at < name.size() && name[at] == u'.' ? number : 0;
}

}  // namespace

LONG CSettings::LoadActions(CPlayerCore* core) {
  HKEY key = nullptr;
  const LONG opened = RegOpenKeyExW(HKEY_CURRENT_USER, kActionsKey, 0, KEY_ALL_ACCESS, &key);
  if (opened != ERROR_SUCCESS) {
    // Nothing was ever stored: the slots say what they mean already.
    if (opened == ERROR_FILE_NOT_FOUND) actionsMapped_ = true;
    return opened;
  }
  DWORD max = 0, type = 0, size = sizeof max;
  if (RegQueryValueExW(key, kMax, nullptr, &type, reinterpret_cast<BYTE*>(&max), &size) == ERROR_SUCCESS &&
      type == REG_DWORD) {
    // A damaged "Max" below the first action number must not clear the player's own commands.
    if (max < GEN_CMD_FIRST_ID) max = GEN_CMD_FIRST_ID;
    for (int slot = 0; slot < buttonSlotCount; ++slot) {
      const DWORD stored = buttonCommands[static_cast<size_t>(slot)];
      if (stored < max) continue;
      DWORD current = 0;
      std::u16string library, name;
      if (core && ReadText(key, ValueName(stored, u"Dll"), &library) && ReadText(key, ValueName(stored, u"Name"), &name))
        current = static_cast<DWORD>(core->FindCommand(library.c_str(), name.c_str()));
      SetButtonCommand(slot, current);
    }
    actionsMapped_ = true;
  }
  return RegCloseKey(key);
}

LONG CSettings::SaveActions(CPlayerCore* core) {
  if (!actionsMapped_) return ERROR_SUCCESS;
  HKEY key = nullptr;
  const LONG created = RegCreateKeyExW(HKEY_CURRENT_USER, kActionsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  if (created != ERROR_SUCCESS) return created;
  // The new set first: a write that fails leaves every earlier entry in place.
  const DWORD max = GEN_CMD_FIRST_ID;
  LONG result = RegSetValueExW(key, kMax, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&max), sizeof max);
  std::set<DWORD> kept;
  for (int slot = 0; result == ERROR_SUCCESS && slot < buttonSlotCount; ++slot) {
    const DWORD command = buttonCommands[static_cast<size_t>(slot)];
    if (command < GEN_CMD_FIRST_ID || !kept.insert(command).second) continue;
    WCHAR library[MAX_PATH] = {}, name[MAX_PATH] = {};
    if (core) core->GetCommandInfo(static_cast<int>(command), library, name);
    if (!library[0] && !name[0]) continue;  // not registered now: what the key says of it stays
    result = WriteText(key, ValueName(command, u"Dll"), library);
    if (result == ERROR_SUCCESS) result = WriteText(key, ValueName(command, u"Name"), name);
  }
  if (result == ERROR_SUCCESS) {
    // Then what the key holds besides.
    std::vector<std::u16string> stale;
    for (DWORD index = 0;; ++index) {
      WCHAR name[256];
      DWORD chars = 256;
      if (RegEnumValueW(key, index, name, &chars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      const std::u16string text(name, chars);
      if (text != kMax && !kept.count(ActionNumber(text))) stale.push_back(text);
    }
    for (const std::u16string& name : stale) RegDeleteValueW(key, name.c_str());
  }
  const LONG closed = RegCloseKey(key);
  return result != ERROR_SUCCESS ? result : closed;
}
