// The device's power as the player sees it: the system power state and its broadcasts to the
// queues programs gave, the device-class notifications, the display's power through the display
// driver's escapes, and the power of single devices such as the keypad light. Kept per process;
// tests and zbdev change it through zb::testing (test_power.h).
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "device/kernel_objects.h"

struct _GUID;

namespace zb::device::power {

// Subscriptions: `queue` is a write end this module keeps (and releases on Unsubscribe).
uint32_t SubscribePower(const kernel::ObjectRef& queue, uint32_t kinds);
uint32_t SubscribeDevices(const kernel::ObjectRef& queue, const _GUID& deviceClass);
bool Unsubscribe(uint32_t id, bool devices);
// How many power (or device) subscriptions are open.
int Subscribers(bool devices);
// Writes one POWER_BROADCAST to every power queue that asked for `message`; the name is cut
// to what each queue's record size takes. Returns the queues written.
int Broadcast(uint32_t message, uint32_t flags, std::u16string_view state);
// Writes one DEVDETAIL to every device queue of that class.
int AnnounceDevice(const _GUID& deviceClass, std::u16string_view name, bool attached);

// Device notifications can be made to fail, as on a device without the service.
void SetDeviceRequestsFail(bool fail);
bool DeviceRequestsFail();

// The system power state: name and POWER_STATE_ flags ("on" and POWER_STATE_ON at start).
void SetSystemState(std::u16string_view name, uint32_t flags);
std::u16string SystemStateName();
uint32_t SystemStateFlags();
// Set by SetSystemPowerState: the flags a program asked for last (0 when none asked).
uint32_t LastRequestedFlags();
void NoteRequestedFlags(uint32_t flags);

// The display: whether the driver takes the power escapes, and its power state (1 on, 4 off).
void SetDisplayEscapes(bool supported);
bool DisplayEscapes();
void SetDisplayPower(uint32_t state);
uint32_t DisplayPower();

// Single devices by name ("KYL0:"): D0..D4 (0..4); unknown devices are at D0. A device can be
// made to refuse one state.
void SetDevicePowerState(std::u16string_view device, int state);
int DevicePowerState(std::u16string_view device);
void RefuseDeviceState(std::u16string_view device, std::optional<int> state);
bool RefusesDeviceState(std::u16string_view device, int state);

// Back to the start state (tests, between cases).
void Reset();

}  // namespace zb::device::power
