// OutputDebugStringW: the device's debugger output goes to the device's debug log, as UTF-8,
// exactly as given (callers end their lines with "\r\n" themselves).
#include <windows.h>

#include "device/device.h"
#include "device/text.h"

extern "C" void OutputDebugStringW(LPCWSTR lpOutputString) {
  if (lpOutputString) zb::device::DebugLog(zb::ToUtf8(lpOutputString));
}
