// The key engine. Its memory between events is four words in the button block: the state
// (0 idle, 1 action key taken, 2 navigation, 3 key 91 swallowed, 4 the key after 91 taken,
// 5 that key taken by nobody, 6 the replayed combination passing, 7 key 92 swallowed), the state
// key, the held key (or the countdown of state 6) and the modifier count. Injected keys are
// sent after the event is judged, so an injection that comes straight back finds the state set.
#include "core/device/button_engine.h"

#include <utility>
#include <vector>

#include "core/device/button_block.h"
#include "core/modules/bound_function.h"
#include "core/settings/button_table.h"
#include "core/settings/settings.h"
#include "core/window/program_state.h"
#include "settingsui/shell_platform.h"

namespace {

constexpr DWORD kActionKey = 134;
constexpr DWORD kEnter = 13;
constexpr DWORD kModifierA = 131;  // modifier bit 32
constexpr DWORD kModifierB = 132;  // modifier bit 64
constexpr DWORD kWindowsKey = 91;
constexpr DWORD kWindowsKeyRight = 92;
constexpr DWORD kIgnoredKey = 223;
constexpr DWORD kVolumeMode = 128;
constexpr UINT kCaptureMessage = 1428;

bool IsArrow(DWORD key) { return key >= 37 && key <= 40; }
bool IsModifier(DWORD key) { return key == kModifierA || key == kModifierB; }
bool IsLockAction(DWORD action) { return action == 17 || action == 18 || action == 29; }

DWORD OsMajor() {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  return GetVersionExW(&version) ? version.dwMajorVersion : 0;
}

bool CaptureAlive() {
  HWND capture = ButtonState().captureWindow;
  return capture && IsWindow(capture);
}

struct Injection {
  BYTE key;
  DWORD flags;
};

// One event's flags (all clear at the start).
struct Event {
  DWORD key;
  bool press;
  bool consumed = false, taken = false, passing = false, replay = false, pressAndRelease = false, marker = false;
  DWORD mask = 0;
  DWORD excluded = 0;
  std::vector<Injection> injections;
};

void Navigation(Event& e) {
  ButtonBlock& b = ButtonState();
  if (!IsModifier(e.key) && !IsArrow(e.key)) {
    b.modifierCount = 0;
    return;
  }
  DWORD active = IsModifier(e.key) ? e.key : 0;
  const bool heldIsModifier = IsModifier(static_cast<DWORD>(b.heldKey));
  if (IsModifier(e.key)) {
    e.consumed = true;
    if (e.press && b.engineState != 2) {
      b.engineState = 2;
      b.stateKey = 0;
      if (b.heldKey == static_cast<LONG>(e.key)) {
        ++b.modifierCount;
      } else {
        b.heldKey = static_cast<LONG>(e.key);
        b.modifierCount = 1;
      }
    } else if (e.press) {
      if (b.heldKey == 0) {
        // The modifier came before the held-back arrow's marker: it qualifies that arrow.
        b.heldKey = static_cast<LONG>(e.key);
        if (b.stateKey != 0) {
          e.key = static_cast<DWORD>(b.stateKey);
          e.consumed = false;
          e.replay = true;
        }
      }
      if (b.modifierCount != 0) ++b.modifierCount;
    }
  } else if (e.press && b.engineState != 2) {
    b.engineState = 2;
    b.stateKey = static_cast<LONG>(e.key);
    if (b.modifierCount != 0 && heldIsModifier) {
      active = static_cast<DWORD>(b.heldKey);
    } else {
      if (b.modifierCount == 0) b.heldKey = 0;
      e.consumed = true;
      // Held back until this marker (a silent release of key 0) comes back or a modifier arrives.
      e.injections.push_back({0, KEYEVENTF_KEYUP | KEYEVENTF_SILENT});
    }
  } else if (e.press) {
    if (heldIsModifier) {
      active = static_cast<DWORD>(b.heldKey);
    } else {
      b.heldKey = static_cast<LONG>(e.key);
      if (e.marker) e.replay = true;
    }
  } else {
    if (b.engineState == 2 && b.heldKey == 0) {
      e.pressAndRelease = true;
      e.press = true;
    } else if ((b.engineState == 2 && b.heldKey != 0) || (b.engineState != 2 && b.modifierCount != 0)) {
      if (heldIsModifier) active = static_cast<DWORD>(b.heldKey);
      if (b.modifierCount != 0) --b.modifierCount;
    }
    b.engineState = 0;
  }
  const DWORD inUse = b.modifiersInUse;
  if (active == kModifierA && (inUse & 32)) e.mask = 32;
  if (active == kModifierB && (inUse & 64)) e.mask = 64;
}

// Step 3; false when step 4 is to be skipped.
bool States(Event& e, bool wasPress) {
  ButtonBlock& b = ButtonState();
  switch (b.engineState) {
    case 1:
      if (e.key == kEnter) e.consumed = true;
      if (!wasPress && e.key == kActionKey) {
        b.engineState = 0;
        return false;
      }
      break;
    case 4:
      if (!wasPress && e.key == kWindowsKey) e.consumed = true;
      if (!wasPress && static_cast<LONG>(e.key) == b.stateKey) b.engineState = 0;
      break;
    case 6:
      e.consumed = false;
      if (b.heldKey <= 0) {
        b.engineState = 0;
      } else if (!wasPress && static_cast<LONG>(e.key) == b.stateKey) {
        e.consumed = true;
      } else {
        e.passing = true;
      }
      --b.heldKey;
      break;
    case 5: {
      b.engineState = 6;
      b.heldKey = 4;
      e.consumed = true;
      if (OsMajor() < 4) {
        const BYTE key = static_cast<BYTE>(b.stateKey);
        e.injections.push_back({key, KEYEVENTF_KEYUP | KEYEVENTF_SILENT});
        e.injections.push_back({kWindowsKey, KEYEVENTF_SILENT});
        e.injections.push_back({key, KEYEVENTF_SILENT});
        e.injections.push_back({kWindowsKey, KEYEVENTF_KEYUP | KEYEVENTF_SILENT});
      }
      break;
    }
    default:
      break;
  }
  return true;
}

bool EntryMatches(const ButtonEntry& entry, const Event& e) {
  if (entry.key != e.key) return false;
  if (e.mask && (entry.modifiers & e.mask) != e.mask) return false;
  return !(entry.modifiers & e.excluded);
}

void Match(Event& e, bool locked) {
  ButtonBlock& b = ButtonState();
  const int count = GetButtonCount();
  if (CaptureAlive()) {
    for (int i = 0; i < count; ++i) {
      if (!EntryMatches(*GetButtonEntry(i), e)) continue;
      if (e.press) {
        PostMessageW(b.captureWindow, kCaptureMessage, static_cast<WPARAM>(i), 0);
        if (e.pressAndRelease) PostMessageW(b.captureWindow, kCaptureMessage, static_cast<WPARAM>(i), 2);
      } else {
        PostMessageW(b.captureWindow, kCaptureMessage, static_cast<WPARAM>(i), 2);
      }
      e.taken = true;
      break;
    }
  } else {
    CSettings* settings = GetSettings();
    for (int i = 0; i < count; ++i) {
      const ButtonEntry& entry = *GetButtonEntry(i);
      if (!EntryMatches(entry, e) || !entry.handler) continue;
      if (locked && !IsLockAction(entry.action) && !(settings && settings->IsLockSafeCommand(entry.action))) continue;
      if (e.press) {
        entry.handler(i, entry.action | 0x10000, entry.argument);
        if (e.pressAndRelease) entry.handler(i, entry.action | 0x20000, entry.argument);
      } else {
        entry.handler(i, entry.action | 0x20000, entry.argument);
      }
      e.taken = true;
      break;
    }
  }
  if (e.taken) e.consumed = true;
  if (locked) e.taken = e.consumed = true;  // a locked key reaches nobody
}

void WindowsKeyStates(Event& e, bool wasPress) {
  ButtonBlock& b = ButtonState();
  if (b.engineState == 3) {
    b.stateKey = static_cast<LONG>(e.key);
    if (e.taken) {
      b.engineState = 4;
    } else {
      b.engineState = 5;
      e.consumed = true;
      if (OsMajor() >= 4) {
        const BYTE key = static_cast<BYTE>(e.key);
        e.injections.push_back({kWindowsKey, KEYEVENTF_KEYUP | KEYEVENTF_SILENT});
        e.injections.push_back({key, KEYEVENTF_KEYUP | KEYEVENTF_SILENT});
        e.injections.push_back({kWindowsKey, KEYEVENTF_SILENT});
        e.injections.push_back({key, KEYEVENTF_SILENT});
      }
    }
  }
  if (e.taken && wasPress && e.key == kActionKey) b.engineState = 1;
  if (!e.taken && !e.passing) {
    if (wasPress && e.key == kWindowsKey) {
      b.engineState = 3;
      e.consumed = true;
    } else if (wasPress && e.key == kWindowsKeyRight) {
      b.engineState = 7;
      e.consumed = true;
    } else if (!wasPress && e.key == kWindowsKeyRight && b.engineState == 7) {
      b.engineState = 0;
      e.consumed = true;
    }
  }
}

// While locked, the Windows key brings the unlock buttons that are held down to the main window,
// as the system would have kept them for itself.
void ReplayHeldUnlockButtons() {
  const HWND main = Program().mainWindow;
  const int count = GetButtonCount();
  for (int i = 0; i < count; ++i) {
    const ButtonEntry& entry = *GetButtonEntry(i);
    if (!IsLockAction(entry.action) || !(GetAsyncKeyState(static_cast<int>(entry.key)) & 0x8000)) continue;
    if (entry.key < 160) {
      OnButtonKey(main, WM_KEYDOWN, entry.key, 0);
    } else {
      OnButtonKey(main, WM_HOTKEY, static_cast<WPARAM>(i), static_cast<LPARAM>(entry.key << 16 | 8));
    }
  }
}

}  // namespace

LRESULT CALLBACK ButtonEngine(int, WPARAM message, LPARAM lParam) {
  const auto* record = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
  if (!record) return -1;
  if (record->vkCode == kIgnoredKey) return 0;
  ButtonBlock& b = ButtonState();
  Event e{record->vkCode, message == WM_KEYDOWN};

  // 1. The marker: the held-back arrow comes back as a press, or a stale marker is dropped.
  if (!e.press && e.key == 0) {
    if (b.engineState == 2 && b.heldKey == 0) {
      e.key = static_cast<DWORD>(b.stateKey);
      e.press = true;
      b.heldKey = b.stateKey;
      e.marker = true;
    } else {
      e.consumed = true;
    }
  }
  // The event as it came (a press-and-release is judged as a press only when matching).
  Navigation(e);
  const bool wasPress = e.press && !e.pressAndRelease;
  if (States(e, wasPress)) {
    if (e.key == 117 || e.key == 118) {
      if (b.engineState == 3 || b.engineState == 7) {
        e.mask |= kVolumeMode;
      } else {
        e.excluded = kVolumeMode;
      }
    }
  }
  const bool locked = b.lockState && !CaptureAlive();
  if (!e.consumed && !e.passing) Match(e, locked);
  WindowsKeyStates(e, wasPress);
  CSettings* settings = GetSettings();
  if (locked && wasPress && e.key == kWindowsKey && settings && settings->trapAllWhenLocked) ReplayHeldUnlockButtons();
  if (!e.taken && e.replay && b.engineState == 2 && b.stateKey != 0)
    e.injections.push_back({static_cast<BYTE>(b.stateKey), KEYEVENTF_SILENT});
  const LRESULT result = e.consumed ? -1 : 0;
  for (const Injection& i : e.injections) keybd_event(i.key, 0, i.flags, 0);
  return result;
}

LRESULT OnButtonKey(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD key = 0;
  bool press = true;
  if (message == WM_KEYDOWN || message == WM_KEYUP) {
    key = static_cast<DWORD>(wParam);
    if (IsSmartphonePlatform() && key == kEnter && ((lParam >> 16) & 0xFF) != 0) key = kActionKey;
    press = message == WM_KEYDOWN;
    if (press && key >= 160) return 0;
  } else if (message == WM_HOTKEY) {
    key = HIWORD(lParam);
    if (key == 0) {
      const int id = static_cast<int>(wParam);
      if (id == 1023) {
        key = kModifierA;
      } else if (id == 1024) {
        key = kModifierB;
      } else if (const ButtonEntry* entry = GetButtonEntry(id - 1)) {
        key = entry->key;
      }
    }
    press = (lParam & 0x1000) == 0;
  } else {
    return 0;
  }
  KBDLLHOOKSTRUCT record{key, 0, 0, GetTickCount(), 0};
  return ButtonEngine(HC_ACTION, press ? WM_KEYDOWN : WM_KEYUP, reinterpret_cast<LPARAM>(&record)) == -1 ? 1 : 0;
}

int IsActionHeld(int action, BOOL reset) {
  LoadButtonsOnce();
  if (action < 1) return 0;
  const int count = GetButtonCount();
  bool enter = false, arrow = false, hardware = false;
  for (int i = 0; i < count; ++i) {
    const ButtonEntry& entry = *GetButtonEntry(i);
    if (entry.action != static_cast<DWORD>(action)) continue;
    DWORD key = entry.key;
    if (key == kActionKey && IsSmartphonePlatform()) key = kEnter;
    if (GetAsyncKeyState(static_cast<int>(key)) & 0x8000) return 1;
    enter |= key == kEnter || entry.key == kActionKey;
    arrow |= IsArrow(entry.key);
    hardware |= i >= 5 && i <= 14;
  }
  if (reset) {
    ButtonBlock& b = ButtonState();
    const LONG s = b.engineState;
    if ((s == 1 && enter) || (s == 2 && arrow) || ((s == 3 || s == 4 || s == 5 || s == 7) && hardware))
      b.engineState = 0;
  }
  return 0;
}

BOOL SetAllKeys(BOOL on) {
  using AllKeysFn = BOOL (*)(BOOL);
  auto allKeys = BoundFunction<AllKeysFn>(GetModuleHandleW(u"coredll"), u"AllKeys");
  return allKeys ? allKeys(on) : 0;
}

void SetCaptureWindow(HWND window) { ButtonState().captureWindow = window; }
HWND GetCaptureWindow() { return ButtonState().captureWindow; }

void ResetButtonEngine() {
  ButtonBlock& b = ButtonState();
  b.captureWindow = nullptr;
  b.lockState = 0;
  b.engineState = b.stateKey = b.heldKey = b.modifierCount = 0;
}
