// Calls every run-time-bound system function once, with harmless arguments, and prints
// "<wrapper> <result in hex>" per line: the core's tests read what a device of a given profile
// answers, in a process where nothing was bound before.
#include <windows.h>

#include <cstdio>

#include "core/modules/bound_system_functions.h"

namespace {

void Print(const char* name, unsigned long long value) { std::printf("%s %llx\n", name, value); }
unsigned long long Bits(const void* handle) { return reinterpret_cast<uintptr_t>(handle); }

}  // namespace

int main() {
  MSGQUEUEOPTIONS options = {sizeof options, 0, 4, 16, TRUE};
  HANDLE queue = BoundCreateMsgQueue(nullptr, &options);
  Print("BoundCreateMsgQueue", queue ? 1 : 0);
  BYTE buffer[16];
  DWORD got = 0, flags = 0;
  Print("BoundReadMsgQueue", static_cast<unsigned>(BoundReadMsgQueue(queue, buffer, sizeof buffer, &got, 0, &flags)));
  Print("BoundCloseMsgQueue", static_cast<unsigned>(BoundCloseMsgQueue(queue)));
  Print("BoundRequestDeviceNotifications", Bits(BoundRequestDeviceNotifications(nullptr, nullptr, TRUE)));
  Print("BoundStopDeviceNotifications", static_cast<unsigned>(BoundStopDeviceNotifications(nullptr)));
  Print("BoundSetSystemPowerState", BoundSetSystemPowerState(nullptr, 0, 0));
  WCHAR state[32];
  DWORD stateFlags = 0;
  Print("BoundGetSystemPowerState", BoundGetSystemPowerState(state, 32, &stateFlags));
  Print("BoundRequestPowerNotifications", Bits(BoundRequestPowerNotifications(nullptr, 0)));
  Print("BoundStopPowerNotifications", static_cast<unsigned>(BoundStopPowerNotifications(nullptr)));
  HANDLE notification = nullptr;
  Print("BoundRegistryNotifyWindow", static_cast<unsigned>(BoundRegistryNotifyWindow(
                                         HKEY_CURRENT_USER, u"Software", u"x", nullptr, 0, 0, nullptr, &notification)));
  Print("BoundRegistryCloseNotification", static_cast<unsigned>(BoundRegistryCloseNotification(notification)));
  HANDLE log = nullptr;
  DWORD index = 0;
  Print("BoundPhoneOpenCallLog", static_cast<unsigned>(BoundPhoneOpenCallLog(&log)));
  Print("BoundPhoneSeekCallLog", static_cast<unsigned>(BoundPhoneSeekCallLog(log, CALLLOG_SEEK_END, 0, &index)));
  Print("BoundPhoneCloseCallLog", static_cast<unsigned>(BoundPhoneCloseCallLog(log)));
  ResetShellIdleTimer();
  Print("ResetShellIdleTimer", 0);
  Print("SetDevicePowerBound", SetDevicePowerBound(nullptr, 0, 0));
  int power = 0;
  Print("GetDevicePowerBound", GetDevicePowerBound(nullptr, 0, &power));
  return 0;
}
