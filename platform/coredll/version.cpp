// The version and platform queries, answered from the device profile: OS version, platform type
// ("PocketPC" or "SmartPhone"), OEM text, and the work area (the screen below the task bar).
#include <algorithm>
#include <string>
#include <windows.h>

#include "device/profile.h"

namespace {

constexpr LONG kTaskBarHeight = 26;  // at 96 dpi

BOOL CopyText(const std::u16string& text, UINT bytes, PVOID data) {
  if (bytes / sizeof(WCHAR) < text.size() + 1) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  auto* out = static_cast<WCHAR*>(data);
  std::copy(text.begin(), text.end(), out);
  out[text.size()] = 0;
  return TRUE;
}

}  // namespace

extern "C" BOOL GetVersionExW(LPOSVERSIONINFOW info) {
  if (!info || info->dwOSVersionInfoSize < sizeof(OSVERSIONINFOW)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  auto profile = zb::device::CurrentProfile();
  info->dwMajorVersion = profile->osMajor;
  info->dwMinorVersion = profile->osMinor;
  info->dwBuildNumber = profile->osBuild;
  info->dwPlatformId = VER_PLATFORM_WIN32_CE;
  info->szCSDVersion[0] = 0;
  return TRUE;
}

extern "C" BOOL SystemParametersInfoW(UINT action, UINT param, PVOID data, UINT) {
  if (!data) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  auto profile = zb::device::CurrentProfile();
  switch (action) {
    case SPI_GETPLATFORMTYPE:
      return CopyText(profile->platformType, param, data);
    case SPI_GETOEMINFO:
      return CopyText(profile->oemInfo, param, data);
    case SPI_GETWORKAREA: {
      auto* rect = static_cast<RECT*>(data);
      LONG bar = static_cast<LONG>(kTaskBarHeight * profile->dpi / 96);
      *rect = RECT{0, bar, static_cast<LONG>(profile->screenWidth), static_cast<LONG>(profile->screenHeight)};
      return TRUE;
    }
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
  }
}
