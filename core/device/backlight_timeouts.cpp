// The system's backlight and display timeouts while a video-capable decoder plays: long ones
// are written and the user's own are kept in the registry under "ZBOld...", so that a run that
// ends without putting them back (a crash, a power loss) is repaired at the next start.
#include "core/device/display_control.h"

#include "core/settings/registry_values.h"
#include "core/settings/settings.h"

namespace {

constexpr WCHAR kPowerKey[] = u"ControlPanel\\Power";
constexpr WCHAR kBacklightKey[] = u"ControlPanel\\Backlight";
constexpr DWORD kDisplayUnknown = 18000;
constexpr DWORD kBacklightUnknown = 18000000;

struct Timeout {
  const WCHAR* key;
  const WCHAR* value;
  const WCHAR* oldValue;
  DWORD marker;  // the long value written, and "unknown" for the saved one
};

constexpr Timeout kTimeouts[] = {
    {kPowerKey, u"Display", u"ZBOldDisplay", kDisplayUnknown},
    {kBacklightKey, u"BatteryTimeout", u"ZBOldBatteryTimeout", kBacklightUnknown},
    {kBacklightKey, u"ACTimeout", u"ZBOldACTimeout", kBacklightUnknown},
};

struct BacklightState {
  int state = 0;
  DWORD saved[3] = {kDisplayUnknown, kBacklightUnknown, kBacklightUnknown};
};

BacklightState& State() {
  static BacklightState state;
  return state;
}

void SignalBacklightChange() {
  HANDLE event = CreateEventW(nullptr, FALSE, FALSE, u"BackLightChangeEvent");
  if (!event) return;
  EventModify(event, EVENT_SET);
  CloseHandle(event);
}

// Puts one value back: the saved one, or (unknown) the one kept under its "ZBOld" name.
void RestoreOne(HKEY key, const Timeout& t, DWORD saved) {
  if (saved == t.marker) ReadRegDword(key, t.oldValue, &saved);
  RegDeleteValueW(key, t.oldValue);
  if (saved != t.marker) WriteRegDword(key, t.value, saved);
}

}  // namespace

BOOL SetBacklightTimeouts(BOOL keepOn) {
  BacklightState& s = State();
  if (s.state == 1 && keepOn) {
    WakeDisplay(FALSE);
    return FALSE;
  }
  if (s.state == 0 && !keepOn) return FALSE;
  if (keepOn) {
    s.state = 1;
    WakeDisplay(FALSE);
    CSettings* settings = GetSettings();
    if (!settings || !settings->videoScreenPowerOn) return TRUE;
    for (int i = 0; i < 3; ++i) {
      const Timeout& t = kTimeouts[i];
      RegKey key;
      if (key.Open(HKEY_CURRENT_USER, t.key) != ERROR_SUCCESS) continue;
      s.saved[i] = t.marker;
      ReadRegDword(key.get(), t.value, &s.saved[i]);
      WriteRegDword(key.get(), t.value, t.marker);
      if (s.saved[i] != t.marker) WriteRegDword(key.get(), t.oldValue, s.saved[i]);
    }
    SignalBacklightChange();
    return TRUE;
  }
  s.state = 0;
  for (int i = 0; i < 3; ++i) {
    const Timeout& t = kTimeouts[i];
    RegKey key;
    if (key.Open(HKEY_CURRENT_USER, t.key) != ERROR_SUCCESS) return TRUE;
    RestoreOne(key.get(), t, s.saved[i]);
    s.saved[i] = t.marker;
  }
  SignalBacklightChange();
  return TRUE;
}

BOOL RestoreLeftBacklightTimeouts() {
  if (State().state != 0) return FALSE;
  BOOL restored = FALSE;
  for (const Timeout& t : kTimeouts) {
    RegKey key;
    DWORD left = 0;
    if (key.Open(HKEY_CURRENT_USER, t.key) != ERROR_SUCCESS || !ReadRegDword(key.get(), t.oldValue, &left)) continue;
    RestoreOne(key.get(), t, t.marker);
    restored = TRUE;
  }
  if (restored) SignalBacklightChange();
  return restored;
}

BOOL IsBacklightHeld() { return State().state == 1; }
