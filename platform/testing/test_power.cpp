// The test interface of the power and notification services (see test_power.h).
#include "testing/test_power.h"

#include <notify.h>
#include <string>

#include "device/notify_store.h"
#include "device/power_state.h"

namespace zb::testing {

namespace power = device::power;

void ResetPower() { power::Reset(); }

int BroadcastPower(DWORD message, DWORD flags, std::u16string_view state) {
  return power::Broadcast(message, flags, state);
}

int AnnounceDevice(const GUID& deviceClass, std::u16string_view name, bool attached) {
  return power::AnnounceDevice(deviceClass, name, attached);
}

void SetPowerState(std::u16string_view name, DWORD flags) { power::SetSystemState(name, flags); }
DWORD RequestedPowerFlags() { return power::LastRequestedFlags(); }
void FailDeviceNotifications(bool fail) { power::SetDeviceRequestsFail(fail); }
int PowerSubscribers(bool devices) { return power::Subscribers(devices); }

void SetDisplayEscapes(bool supported) { power::SetDisplayEscapes(supported); }
DWORD DisplayPower() { return power::DisplayPower(); }
void SetDisplayPower(DWORD state) { power::SetDisplayPower(state); }
int DevicePower(std::u16string_view device) { return power::DevicePowerState(device); }
void SetDevicePower(std::u16string_view device, int state) { power::SetDevicePowerState(device, state); }

std::vector<DWORD> RaiseWakeupEvent() {
  std::vector<DWORD> started;
  for (const device::notify::Record& r : device::notify::All()) {
    if (r.type != CNT_EVENT || r.event != NOTIFICATION_EVENT_WAKEUP) continue;
    std::u16string line = r.arguments;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(r.application.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr,
                        &info))
      continue;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    started.push_back(info.dwProcessId);
  }
  return started;
}

}  // namespace zb::testing
