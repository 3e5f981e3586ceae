// The display control record and its operations (see display_control.h). The record is
// process-wide and cleared at start; the activity tick is written by the activity watcher's
// thread as well, which only ever stores a tick.
#include "core/device/display_control.h"

#include <pm.h>
#include <wingdi_escape.h>

#include <atomic>

#include "core/modules/bound_system_functions.h"
#include "core/settings/settings.h"
#include "core/window/command_target.h"
#include "core/window/main_window_protocol.h"
#include "core/window/main_window_state.h"

namespace {


struct DisplayFunctions {
  void (*start)(void** context);
  void (*end)(void** context);
  BOOL (*off)(void* context);
  BOOL (*on)(void* context);
  int (*query)(void* context);
};

struct DisplayRecord {
  std::atomic<DWORD> activityTick{0};
  std::atomic<bool> hasActivity{false};
  BOOL displayOff = FALSE;
  BOOL forcedOff = FALSE;
  void* context = nullptr;
  const DisplayFunctions* functions = nullptr;
  HWND window = nullptr;
  BOOL switchOnFailed = FALSE;
};

DisplayRecord& Record() {
  static DisplayRecord record;
  return record;
}

void MarkActivity() {
  Record().activityTick = GetTickCount();
  Record().hasActivity = true;
}

CSettings* S() { return GetSettings(); }
DWORD Setting(DWORD CSettings::*field) { return S() ? S()->*field : 0; }

// ---- The display driver's power escapes ----

HDC ContextDC(void* context) { return static_cast<HDC>(context); }

bool EscapeSupported(HDC dc) {
  DWORD code = SETPOWERMANAGEMENT;
  return ExtEscape(dc, QUERYESCSUPPORT, sizeof code, reinterpret_cast<LPCSTR>(&code), 0, nullptr) > 0;
}

ULONG CurrentPower(HDC dc) {
  VIDEO_POWER_MANAGEMENT record{sizeof record, 1, 0};
  if (ExtEscape(dc, GETPOWERMANAGEMENT, 0, nullptr, sizeof record, reinterpret_cast<LPSTR>(&record)) <= 0) return 1;
  return record.PowerState;
}

BOOL SwitchPower(HDC dc, ULONG from, ULONG to) {
  if (!EscapeSupported(dc)) return FALSE;
  if (!Setting(&CSettings::noDimStatusChecks) && CurrentPower(dc) != from) return FALSE;
  VIDEO_POWER_MANAGEMENT record{sizeof record, 1, to};
  ExtEscape(dc, SETPOWERMANAGEMENT, sizeof record, reinterpret_cast<LPCSTR>(&record), 0, nullptr);
  return TRUE;
}

constexpr DisplayFunctions kEscapeFunctions = {
    [](void** context) {
      if (!*context) *context = GetDC(nullptr);
    },
    [](void** context) {
      if (*context) ReleaseDC(nullptr, ContextDC(*context));
      *context = nullptr;
    },
    [](void* context) { return SwitchPower(ContextDC(context), 1, 4); },
    [](void* context) { return SwitchPower(ContextDC(context), 4, 1); },
    [](void* context) {
      HDC dc = ContextDC(context);
      if (!EscapeSupported(dc)) return 2;
      return CurrentPower(dc) == 1 ? 0 : 1;
    },
};

bool DimmingAllowedNow() {
  ICommandTarget* target = GetCommandTarget();
  if (!target || !target->IsPlaying()) return false;
  return Setting(&CSettings::dimWhilePaused) || !target->IsPaused();
}

// 1 on mains, 0 on battery, -1 when the status is not known.
int OnMains() {
  SYSTEM_POWER_STATUS_EX status{};
  if (!GetSystemPowerStatusEx(&status, TRUE)) return -1;
  return status.ACLineStatus == 1 ? 1 : 0;
}

}  // namespace

void ResetDisplayControl() {
  DisplayRecord& r = Record();
  if (r.functions && r.context) r.functions->end(&r.context);
  r.activityTick = 0;
  r.hasActivity = false;
  r.displayOff = r.forcedOff = r.switchOnFailed = FALSE;
  r.context = nullptr;
  r.functions = nullptr;
  r.window = nullptr;
}

void DetectPlatform() {
  ResetDisplayControl();
  MarkActivity();
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  const DWORD major = GetVersionExW(&version) ? version.dwMajorVersion : 0;
  WCHAR name[256] = {};
  if (!SystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof name, name, 0)) return;
  for (LPCWSTR known : {u"PalmPC2", u"Palm PC2", u"PocketPC", u"SmartPhone"}) {
    if (_wcsicmp(name, known) == 0 && major >= 3) return SelectDisplayControl();
  }
}

void SelectDisplayControl() {
  CSettings* settings = S();
  if (settings && !(settings->devicesDetectNoprompt & 0x100)) {
    settings->dimmingCapable = 0;
    if (!(settings->devicesDetected & 0x100)) {
      settings->devicesDetected |= 0x100;
      settings->enableDimming = 1;
    }
  }
  if (settings) settings->dimmingCapable = 1;
  Record().functions = &kEscapeFunctions;
}

void StartDisplayControl(HWND window) {
  DisplayRecord& r = Record();
  if (Setting(&CSettings::dimmingCapable)) {
    r.window = window;
    MarkActivity();
    if (r.functions) r.functions->start(&r.context);
  }
  RestoreLeftBacklightTimeouts();
  SetBacklightTimeouts(FALSE);
}

void EndDisplayControl() {
  DisplayRecord& r = Record();
  if (r.functions) r.functions->end(&r.context);
}

BOOL WakeDisplay(BOOL justMark) {
  DisplayRecord& r = Record();
  MarkActivity();
  r.switchOnFailed = FALSE;
  if (justMark) return FALSE;
  if (Setting(&CSettings::dimmingKeyboard)) SetKeypadLight(TRUE);
  BOOL result = FALSE;
  if (Setting(&CSettings::dimmingCapable) && r.displayOff) {
    r.displayOff = r.forcedOff = FALSE;
    if (r.functions && r.functions->on(r.context)) {
      result = TRUE;
    } else {
      r.switchOnFailed = TRUE;
    }
    if (Setting(&CSettings::redrawOnUndim) && r.window) PostMessageW(r.window, WM_ZB_REPAINT_ALL, 0, 0);
  }
  return result;
}

void SyncDisplayState() {
  DisplayRecord& r = Record();
  if (!Setting(&CSettings::dimmingCapable) || !r.functions) return;
  const int state = r.functions->query(r.context);
  if (state == 0 && r.displayOff) {
    r.switchOnFailed = FALSE;
    WakeDisplay(FALSE);
  } else if (state == 1 && !r.displayOff) {
    r.switchOnFailed = FALSE;
    ForceDisplayOff();
  }
}

BOOL IsDisplayOff() { return Record().displayOff; }
BOOL DidSwitchOnFail() { return Record().switchOnFailed; }

void DimCheck(BOOL force, BOOL display, BOOL keypad) {
  DisplayRecord& r = Record();
  if (keypad && Setting(&CSettings::dimmingKeyboard)) SetKeypadLight(FALSE);
  if (!display || !Setting(&CSettings::dimmingCapable)) return;
  if (!force && !Setting(&CSettings::enableDimming)) return;
  if (!force && !MainWindow().active && !Setting(&CSettings::dimInBackground)) return;
  if (!DimmingAllowedNow() && !force) {
    MarkActivity();
    return;
  }
  if (!force) {
    const DWORD limit = (Setting(&CSettings::dimmingTimeout) + 5) * 1000;
    if (!r.hasActivity || static_cast<DWORD>(GetTickCount() - r.activityTick) <= limit) return;
  }
  const BOOL allowOnMains = Setting(&CSettings::allowDimOnAC);
  if (r.displayOff) {
    if (r.forcedOff || force || allowOnMains) return;
    if (OnMains() == 1) WakeDisplay(FALSE);
    return;
  }
  if (force || allowOnMains || OnMains() != 1) {
    r.displayOff = TRUE;
    r.forcedOff = force;
    if (r.functions) r.functions->off(r.context);
  } else {
    MarkActivity();
  }
}

HRESULT SetKeypadLight(BOOL on) {
  WCHAR device[] = u"KYL0:";
  if (SetDevicePowerBound(device, POWER_NAME, on ? PwrDeviceUnspecified : D4) == ERROR_SUCCESS) return S_OK;
  if (SetDevicePowerBound(device, POWER_NAME, PwrDeviceUnspecified) == ERROR_SUCCESS) return S_OK;
  return E_FAIL;
}

HRESULT IsKeypadLightOn(BOOL* on) {
  WCHAR device[] = u"KYL0:";
  int state = 0;
  if (GetDevicePowerBound(device, POWER_NAME, &state) != ERROR_SUCCESS) return E_FAIL;
  if (on) *on = state == D4 ? FALSE : TRUE;
  return S_OK;
}
