// The device's power status, as its profile says, and the locale's time of day: the two
// figures a player's status strip shows.
#include <windows.h>

#include "device/profile.h"

extern "C" BOOL GetSystemPowerStatusEx(PSYSTEM_POWER_STATUS_EX status, BOOL) {
  if (!status) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const auto profile = zb::device::CurrentProfile();
  *status = SYSTEM_POWER_STATUS_EX{};
  status->ACLineStatus = static_cast<BYTE>(profile->acLineStatus);
  status->BatteryFlag = static_cast<BYTE>(profile->batteryFlag);
  status->BatteryLifePercent = static_cast<BYTE>(profile->batteryPercent);
  status->BatteryLifeTime = BATTERY_LIFE_UNKNOWN;
  status->BatteryFullLifeTime = BATTERY_LIFE_UNKNOWN;
  status->BackupBatteryFlag = BATTERY_FLAG_UNKNOWN;
  status->BackupBatteryLifePercent = BATTERY_PERCENTAGE_UNKNOWN;
  status->BackupBatteryLifeTime = BATTERY_LIFE_UNKNOWN;
  status->BackupBatteryFullLifeTime = BATTERY_LIFE_UNKNOWN;
  return TRUE;
}

extern "C" int WINAPI GetTimeFormatW(LCID, DWORD flags, const SYSTEMTIME* time, LPCWSTR format, LPWSTR text, int size) {
  if (format || size < 0 || (size > 0 && !text)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  SYSTEMTIME now{};
  if (!time) GetLocalTime(&now);
  const SYSTEMTIME& t = time ? *time : now;
  if (t.wHour > 23 || t.wMinute > 59 || t.wSecond > 59) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  // The user's English locale: "h:mm:ss tt", 12-hour, no leading zero for the hour.
  const bool h24 = (flags & TIME_FORCE24HOURFORMAT) != 0;
  const int hour = h24 ? t.wHour : (t.wHour % 12 == 0 ? 12 : t.wHour % 12);
  WCHAR out[32];
  int n = wsprintfW(out, u"%d", hour);
  if (!(flags & TIME_NOMINUTESORSECONDS)) {
    n += wsprintfW(out + n, u":%02d", t.wMinute);
    if (!(flags & TIME_NOSECONDS)) n += wsprintfW(out + n, u":%02d", t.wSecond);
  }
  if (!h24 && !(flags & TIME_NOTIMEMARKER)) n += wsprintfW(out + n, u" %s", t.wHour < 12 ? u"AM" : u"PM");
  if (size == 0) return n + 1;
  if (size < n + 1) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  for (int i = 0; i <= n; ++i) text[i] = out[i];
  return n + 1;
}
