// Default custom keys, written once per revision: letters, digits, punctuation, media and
// application keys, and renames of keys that older revisions stored under other names.
#include "core/settings/button_defaults.h"

#include <string>

#include "core/settings/button_table.h"
#include "settingsui/shell_platform.h"

namespace {

struct DefaultKey {
  const WCHAR* name;
  DWORD code;  // 0: delete the value
};

constexpr DefaultKey kDefaults[] = {
    {u"Space", 0x20},
    {u"Backspace", 8},
    {u"Tab", 9},
    {u"Shift", 0x10},
    {u"Delete", 0x2E},
    {u"Semicolon", 0xBA},
    {u"Equal", 0xBB},
    {u"Comma", 0xBC},
    {u"Hyphen", 0xBD},
    {u"Period", 0xBE},
    {u"Slash", 0xBF},
    {u"Backquote", 0xC0},
    {u"Left Bracket", 0xDB},
    {u"Backslash", 0xDC},
    {u"Right Bracket", 0xDD},
    {u"Apostrophe", 0xDE},
    {u"Next (Loox Remote)", 0},
    {u"Prev (Loox Remote)", 0},
    {u"Stop (Loox Remote)", 0},
    {u"Play (Loox Remote)", 0},
    {u"Media Next Track", 0xB0},
    {u"Media Previous Track", 0xB1},
    {u"Media Stop", 0xB2},
    {u"Media Play/Pause", 0xB3},
    {u"Application 1", 0xB6},
    {u"Application 2", 0xB7},
    {u"Volume Up (IPAQ)", 0},
    {u"Volume Up", 0x100075},
    {u"Volume Down (IPAQ)", 0},
    {u"Volume Down", 0x100076},
    {u"* (Star)", 0x77},
    {u"# (Pound)", 0x78},
    {u"OK/Close", 0x10880075},
    {u"Talk", 0x100072},
};

void Put(HKEY key, const WCHAR* name, DWORD code) {
  if (code == 0) {
    RegDeleteValueW(key, name);
  } else {
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&code), sizeof code);
  }
}

// "'A' Button" to "'Z' Button", "'0' Button" to "'9' Button".
void PutCharacterRange(HKEY key, WCHAR first, WCHAR last) {
  for (WCHAR c = first; c <= last; ++c) {
    const std::u16string name = std::u16string(u"'") + c + u"' Button";
    Put(key, name.c_str(), c);
  }
}

}  // namespace

void WriteDefaultButtons(HKEY buttons) {
  DWORD revision = 0, type = 0, size = sizeof revision;
  if (RegQueryValueExW(buttons, kPresetRevisionValue, nullptr, &type, reinterpret_cast<BYTE*>(&revision), &size) ==
          ERROR_SUCCESS &&
      type == REG_DWORD && size == sizeof revision && revision >= kButtonPresetRevision) {
    return;
  }
  PutCharacterRange(buttons, u'A', u'Z');
  PutCharacterRange(buttons, u'0', u'9');
  if (IsSmartphonePlatform()) {
    Put(buttons, u"Back", 0x10001B);
  } else {
    Put(buttons, u"Escape", 0x1B);
  }
  for (const DefaultKey& entry : kDefaults) Put(buttons, entry.name, entry.code);
  Put(buttons, kPresetRevisionValue, kButtonPresetRevision);
}
