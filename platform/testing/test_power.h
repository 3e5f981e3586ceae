// The test interface of the device's power and notification services: what the system would
// do (broadcast a resume, plug in a headset, wake up and run the programs registered for it)
// and what it shows (display power, keypad light, the power state a program asked for).
#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

#include <windows.h>

namespace zb::testing {

// Back to the start state: display on with escapes, keypad at D0, state "on", no subscriptions.
void ResetPower();

// POWER_BROADCAST records to every queue that asked (PBT_RESUME, PBT_TRANSITION ...).
int BroadcastPower(DWORD message, DWORD flags, std::u16string_view state);
// A DEVDETAIL record of the class to every queue that asked for it.
int AnnounceDevice(const GUID& deviceClass, std::u16string_view name, bool attached);
void SetPowerState(std::u16string_view name, DWORD flags);
DWORD RequestedPowerFlags();
void FailDeviceNotifications(bool fail);
// Open power (devices false) or device-class subscriptions.
int PowerSubscribers(bool devices);

void SetDisplayEscapes(bool supported);
DWORD DisplayPower();  // 1 on, 4 off
void SetDisplayPower(DWORD state);
int DevicePower(std::u16string_view device);
void SetDevicePower(std::u16string_view device, int state);

// The system's wake-up: starts every program registered for NOTIFICATION_EVENT_WAKEUP with its
// arguments as its command line; returns their process ids.
std::vector<DWORD> RaiseWakeupEvent();

}  // namespace zb::testing
