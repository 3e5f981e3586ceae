// The table of hardware buttons: twenty fixed buttons, then the custom keys stored under
// "...\2.0\Buttons", with their names for the settings pages and the lookups by registry code
// and by key. Binding an action keeps the handler in the entry; the key engine that runs the
// mapping comes with the button engine.
#pragma once
#include <windows.h>

constexpr WCHAR kButtonsKey[] = u"Software\\Kestrane\\Zonbrel\\2.0\\Buttons";
constexpr WCHAR kPresetRevisionValue[] = u"PresetRevisionLevel";
constexpr DWORD kButtonPresetRevision = 0x10015;
constexpr int kFixedButtonCount = 20;

// Called for a bound button with (index, action | 0x10000 press or | 0x20000 release, argument).
typedef void (*ButtonHandler)(int index, DWORD code, void* argument);

struct ButtonEntry {
  DWORD key;        // virtual key code
  DWORD flags;      // the registry code's high 16 bits without bits 4-11
  DWORD modifiers;  // the registry code's high 16 bits AND 0xFF0
  DWORD action;
  void* argument;
  ButtonHandler handler;
};

// Writes the default custom keys when the stored revision is missing or older, then builds the
// table (a second call builds it anew).
void LoadButtons();
// LoadButtons when the table was not loaded yet.
void LoadButtonsOnce();
// Frees the table (program exit).
void EndButtons();

int GetButtonCount();
// 1 and the button's name copied into `out` (MAX_PATH characters), 0 for an unknown index.
int GetButtonName(int index, WCHAR* out);
int FindButtonByCode(DWORD code);
int FindButtonByKey(DWORD key);
// The registry code (key | (flags | modifiers) << 16), or -1 for an unknown index.
LONG GetButtonCode(int index);
// The entry, or null for an unknown index.
const ButtonEntry* GetButtonEntry(int index);

// Binds (action non-zero) or unbinds (action 0) a button; loads the table when needed.
void BindButton(int index, DWORD action, void* argument, ButtonHandler handler, BOOL mapAll);
