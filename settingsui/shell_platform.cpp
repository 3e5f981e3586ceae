// The platform test. Older Smartphone releases refuse the platform-type query with
// ERROR_ACCESS_DENIED; those are recognised by their version instead.
#include "settingsui/shell_platform.h"

namespace {

BOOL AskPlatform() {
  WCHAR type[64] = {};
  if (SystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof type, type, 0)) return _wcsicmp(type, u"SmartPhone") == 0;
  if (GetLastError() != ERROR_ACCESS_DENIED) return FALSE;
  OSVERSIONINFOW version = {};
  version.dwOSVersionInfoSize = sizeof version;
  if (!GetVersionExW(&version)) return FALSE;
  return version.dwMajorVersion > 3 || (version.dwMajorVersion == 3 && version.dwMinorVersion >= 1);
}

}  // namespace

BOOL IsSmartphonePlatform() {
  static const BOOL smartphone = AskPlatform();
  return smartphone;
}
