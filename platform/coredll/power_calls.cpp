// The power manager's calls: notification requests on a program's read queue (the platform
// keeps a write end of it), the system power state, single devices' power, and the power
// policy's notices. The state itself is the device's (device/power_state.h).
#include <msgqueue.h>
#include <pm.h>
#include <pnp.h>
#include <string>

#include "coredll/waitable.h"
#include "device/power_state.h"

namespace power = zb::device::power;

namespace {

// Handles of subscriptions are small numbers apart from every other handle kind.
constexpr uintptr_t kPowerTag = 0x50570000;
constexpr uintptr_t kDeviceTag = 0x44560000;

std::optional<zb::kernel::ObjectRef> WriteEndOf(HANDLE queue) {
  auto ref = zb::RefOf(queue, zb::kernel::Kind::Queue);
  if (!ref || ref->writeEnd) return std::nullopt;
  zb::kernel::ObjectRef writer = *ref;
  writer.writeEnd = true;
  if (zb::kernel::AddRef(writer) != zb::kernel::Status::Ok) return std::nullopt;
  return writer;
}

uint32_t IdOf(HANDLE handle, uintptr_t tag) {
  const auto value = reinterpret_cast<uintptr_t>(handle);
  return (value & ~uintptr_t{0xFFFF}) == tag ? static_cast<uint32_t>(value & 0xFFFF) : 0;
}

std::u16string DeviceName(PVOID device, DWORD flags) {
  if (!device || !(flags & POWER_NAME)) return {};
  return std::u16string(static_cast<const char16_t*>(device));
}

}  // namespace

extern "C" HANDLE RequestPowerNotifications(HANDLE queue, DWORD kinds) {
  auto writer = WriteEndOf(queue);
  if (!writer) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return reinterpret_cast<HANDLE>(kPowerTag | power::SubscribePower(*writer, kinds));
}

extern "C" BOOL StopPowerNotifications(HANDLE notifications) {
  const uint32_t id = IdOf(notifications, kPowerTag);
  if (!id || !power::Unsubscribe(id, false)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

extern "C" HANDLE RequestDeviceNotifications(const GUID* deviceClass, HANDLE queue, BOOL) {
  if (power::DeviceRequestsFail()) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return nullptr;
  }
  if (!deviceClass) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto writer = WriteEndOf(queue);
  if (!writer) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return reinterpret_cast<HANDLE>(kDeviceTag | power::SubscribeDevices(*writer, *deviceClass));
}

extern "C" BOOL StopDeviceNotifications(HANDLE notifications) {
  const uint32_t id = IdOf(notifications, kDeviceTag);
  if (!id || !power::Unsubscribe(id, true)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

extern "C" DWORD GetSystemPowerState(LPWSTR buffer, DWORD chars, PDWORD stateFlags) {
  const std::u16string name = power::SystemStateName();
  if (stateFlags) *stateFlags = power::SystemStateFlags();
  if (!buffer) return ERROR_SUCCESS;
  if (chars < name.size() + 1) return ERROR_INSUFFICIENT_BUFFER;
  name.copy(buffer, name.size());
  buffer[name.size()] = 0;
  return ERROR_SUCCESS;
}

extern "C" DWORD SetSystemPowerState(LPCWSTR state, DWORD stateFlags, DWORD) {
  if (!state && !stateFlags) return ERROR_INVALID_PARAMETER;
  power::NoteRequestedFlags(stateFlags);
  return ERROR_SUCCESS;
}

extern "C" DWORD SetDevicePower(PVOID device, DWORD deviceFlags, CEDEVICE_POWER_STATE state) {
  const std::u16string name = DeviceName(device, deviceFlags);
  if (name.empty() || state < PwrDeviceUnspecified || state >= PwrDeviceMaximum) return ERROR_INVALID_PARAMETER;
  // Unspecified hands the device back to the power manager: it is on again.
  const int wanted = state == PwrDeviceUnspecified ? D0 : state;
  if (power::RefusesDeviceState(name, state)) return ERROR_GEN_FAILURE;
  power::SetDevicePowerState(name, wanted);
  return ERROR_SUCCESS;
}

extern "C" DWORD GetDevicePower(PVOID device, DWORD deviceFlags, PCEDEVICE_POWER_STATE state) {
  const std::u16string name = DeviceName(device, deviceFlags);
  if (name.empty() || !state) return ERROR_INVALID_PARAMETER;
  *state = static_cast<CEDEVICE_POWER_STATE>(power::DevicePowerState(name));
  return ERROR_SUCCESS;
}

extern "C" BOOL PowerPolicyNotify(DWORD, DWORD) { return TRUE; }

// The kernel mode switch of old systems: every thread already reaches all memory here.
extern "C" BOOL SetKMode(BOOL) { return TRUE; }

// Whether every key reaches the hooks, even those the system keeps for itself.
extern "C" BOOL AllKeys(BOOL all) {
  static BOOL current = FALSE;
  const BOOL previous = current;
  current = all;
  return previous;
}
