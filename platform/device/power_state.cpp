// The device's power state and its notification queues (see power_state.h). A record that does
// not fit a queue's record size is cut, never dropped: a reader that asked for 44-byte records
// gets 44 bytes.
#include "device/power_state.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <pm.h>
#include <pnp.h>
#include <vector>

namespace zb::device::power {
namespace {

struct Subscription {
  uint32_t id;
  kernel::ObjectRef queue;
  uint32_t kinds;
  bool devices;
  GUID deviceClass;
};

struct State {
  std::mutex lock;
  std::vector<Subscription> subscriptions;
  uint32_t nextId = 1;
  bool deviceRequestsFail = false;
  std::u16string stateName = u"on";
  uint32_t stateFlags = POWER_STATE_ON;
  uint32_t requestedFlags = 0;
  bool displayEscapes = true;
  uint32_t displayPower = 1;
  std::map<std::u16string, int> devices;
  std::map<std::u16string, int> refused;
};

State& S() {
  static State* state = new State;  // outlives the threads that may still post at exit
  return *state;
}

uint32_t QueueRecordSize(const kernel::ObjectRef& queue) {
  auto info = kernel::QueueState(queue);
  return info ? info->maxSize : 0;
}

std::vector<Subscription> Matching(bool devices) {
  State& s = S();
  std::lock_guard<std::mutex> hold(s.lock);
  std::vector<Subscription> out;
  for (const Subscription& sub : s.subscriptions)
    if (sub.devices == devices) out.push_back(sub);
  return out;
}

}  // namespace

uint32_t SubscribePower(const kernel::ObjectRef& queue, uint32_t kinds) {
  State& s = S();
  std::lock_guard<std::mutex> hold(s.lock);
  s.subscriptions.push_back({s.nextId, queue, kinds, false, GUID{}});
  return s.nextId++;
}

uint32_t SubscribeDevices(const kernel::ObjectRef& queue, const GUID& deviceClass) {
  State& s = S();
  std::lock_guard<std::mutex> hold(s.lock);
  s.subscriptions.push_back({s.nextId, queue, 0, true, deviceClass});
  return s.nextId++;
}

bool Unsubscribe(uint32_t id, bool devices) {
  State& s = S();
  std::optional<kernel::ObjectRef> queue;
  {
    std::lock_guard<std::mutex> hold(s.lock);
    auto it = std::find_if(s.subscriptions.begin(), s.subscriptions.end(),
                           [&](const Subscription& sub) { return sub.id == id && sub.devices == devices; });
    if (it == s.subscriptions.end()) return false;
    queue = it->queue;
    s.subscriptions.erase(it);
  }
  kernel::Release(*queue);
  return true;
}

int Subscribers(bool devices) { return static_cast<int>(Matching(devices).size()); }

int Broadcast(uint32_t message, uint32_t flags, std::u16string_view state) {
  int written = 0;
  for (const Subscription& sub : Matching(false)) {
    if (!(sub.kinds & message)) continue;
    const uint32_t limit = QueueRecordSize(sub.queue);
    constexpr uint32_t kHead = offsetof(POWER_BROADCAST, SystemPowerState);
    if (limit < kHead) continue;
    const uint32_t nameBytes = std::min<uint32_t>(static_cast<uint32_t>(state.size() * 2), (limit - kHead) & ~1u);
    std::vector<uint8_t> record(kHead + nameBytes);
    POWER_BROADCAST head{message, flags, nameBytes, {0}};
    std::memcpy(record.data(), &head, kHead);
    std::memcpy(record.data() + kHead, state.data(), nameBytes);
    if (kernel::QueueWrite(sub.queue, record.data(), static_cast<uint32_t>(record.size()), 0, 0, nullptr) ==
        kernel::Status::Ok)
      ++written;
  }
  return written;
}

int AnnounceDevice(const GUID& deviceClass, std::u16string_view name, bool attached) {
  int written = 0;
  for (const Subscription& sub : Matching(true)) {
    if (std::memcmp(&sub.deviceClass, &deviceClass, sizeof(GUID)) != 0) continue;
    const uint32_t limit = QueueRecordSize(sub.queue);
    constexpr uint32_t kHead = offsetof(DEVDETAIL, szName);
    if (limit < kHead + 2) continue;
    const size_t chars = std::min<size_t>(name.size(), (limit - kHead) / 2 - 1);
    std::vector<uint8_t> record(kHead + (chars + 1) * 2);
    DEVDETAIL head{deviceClass, 0, attached ? TRUE : FALSE, static_cast<int>((chars + 1) * 2), {0}};
    std::memcpy(record.data(), &head, kHead);
    std::memcpy(record.data() + kHead, name.data(), chars * 2);
    if (kernel::QueueWrite(sub.queue, record.data(), static_cast<uint32_t>(record.size()), 0, 0, nullptr) ==
        kernel::Status::Ok)
      ++written;
  }
  return written;
}

void SetDeviceRequestsFail(bool fail) {
  std::lock_guard<std::mutex> hold(S().lock);
  S().deviceRequestsFail = fail;
}

bool DeviceRequestsFail() {
  std::lock_guard<std::mutex> hold(S().lock);
  return S().deviceRequestsFail;
}

void SetSystemState(std::u16string_view name, uint32_t flags) {
  std::lock_guard<std::mutex> hold(S().lock);
  S().stateName = name;
  S().stateFlags = flags;
}

std::u16string SystemStateName() {
  std::lock_guard<std::mutex> hold(S().lock);
  return S().stateName;
}

uint32_t SystemStateFlags() {
  std::lock_guard<std::mutex> hold(S().lock);
  return S().stateFlags;
}

uint32_t LastRequestedFlags() {
  std::lock_guard<std::mutex> hold(S().lock);
  return S().requestedFlags;
}

void NoteRequestedFlags(uint32_t flags) {
  std::lock_guard<std::mutex> hold(S().lock);
  S().requestedFlags = flags;
}

void SetDisplayEscapes(bool supported) {
  std::lock_guard<std::mutex> hold(S().lock);
  S().displayEscapes = supported;
}

bool DisplayEscapes() {
  std::lock_guard<std::mutex> hold(S().lock);
  return S().displayEscapes;
}

void SetDisplayPower(uint32_t state) {
  std::lock_guard<std::mutex> hold(S().lock);
  S().displayPower = state;
}

uint32_t DisplayPower() {
  std::lock_guard<std::mutex> hold(S().lock);
  return S().displayPower;
}

void SetDevicePowerState(std::u16string_view device, int state) {
  std::lock_guard<std::mutex> hold(S().lock);
  S().devices[std::u16string(device)] = state;
}

int DevicePowerState(std::u16string_view device) {
  std::lock_guard<std::mutex> hold(S().lock);
  auto it = S().devices.find(std::u16string(device));
  return it == S().devices.end() ? 0 : it->second;
}

void RefuseDeviceState(std::u16string_view device, std::optional<int> state) {
  std::lock_guard<std::mutex> hold(S().lock);
  if (state) {
    S().refused[std::u16string(device)] = *state;
  } else {
    S().refused.erase(std::u16string(device));
  }
}

bool RefusesDeviceState(std::u16string_view device, int state) {
  std::lock_guard<std::mutex> hold(S().lock);
  auto it = S().refused.find(std::u16string(device));
  return it != S().refused.end() && it->second == state;
}

void Reset() {
  State& s = S();
  std::vector<kernel::ObjectRef> queues;
  {
    std::lock_guard<std::mutex> hold(s.lock);
    for (const Subscription& sub : s.subscriptions) queues.push_back(sub.queue);
    s.subscriptions.clear();
    s.deviceRequestsFail = false;
    s.stateName = u"on";
    s.stateFlags = POWER_STATE_ON;
    s.requestedFlags = 0;
    s.displayEscapes = true;
    s.displayPower = 1;
    s.devices.clear();
    s.refused.clear();
  }
  for (const kernel::ObjectRef& q : queues) kernel::Release(q);
}

}  // namespace zb::device::power
