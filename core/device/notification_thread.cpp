// The notification thread. It touches no player state: it reads the registry, reads the
// unattended-play flag and posts to the main window. A device whose device notifications cannot
// be had still gets its power notifications; a storm of wake-ups (more than 100 in a second)
// ends the thread rather than let it spin.
#include "core/device/notification_thread.h"

#include <pm.h>
#include <pnp.h>

#include <cstring>

#include "core/modules/bound_system_functions.h"
#include "core/settings/registry_values.h"
#include "core/window/main_window_protocol.h"
#include "core/window/program_state.h"
#include "unattended_mode.h"

namespace {

constexpr DWORD kDeviceRecordSize = 160;
constexpr DWORD kPowerRecordSize = 44;
constexpr DWORD kStormLimit = 100;
constexpr DWORD kSleepyStates = POWER_STATE_OFF | POWER_STATE_IDLE | POWER_STATE_SUSPEND | POWER_STATE_UNATTENDED;
// Records still queued after this many reads wait for the next wake-up.
constexpr int kReadsPerWake = 64;

HANDLE CreateReadQueue(DWORD recordSize) {
  MSGQUEUEOPTIONS options{sizeof options, 0, 0, recordSize, TRUE};
  return BoundCreateMsgQueue(nullptr, &options);
}

// One record; false when the queue is empty. A record too large for the buffer counts as read.
bool ReadRecord(HANDLE queue, BYTE* buffer, DWORD size, DWORD* got) {
  DWORD flags = 0;
  *got = 0;
  if (BoundReadMsgQueue(queue, buffer, size, got, 0, &flags)) return true;
  return GetLastError() == ERROR_INSUFFICIENT_BUFFER;
}

void OnPowerQueue(HANDLE queue) {
  alignas(POWER_BROADCAST) BYTE buffer[kPowerRecordSize];
  DWORD got = 0;
  for (int reads = 0; reads < kReadsPerWake && ReadRecord(queue, buffer, sizeof buffer, &got); ++reads) {
    if (got < offsetof(POWER_BROADCAST, SystemPowerState)) continue;
    POWER_BROADCAST record;
    std::memcpy(&record, buffer, offsetof(POWER_BROADCAST, SystemPowerState));
    if (record.Message == PBT_RESUME) {
      WCHAR state[64] = {};
      DWORD flags = 0;
      if (BoundGetSystemPowerState(state, 64, &flags) == ERROR_SUCCESS && !(flags & kSleepyStates))
        PostMessageW(Program().mainWindow, WM_ZB_SUSPEND, 0, 0);
    } else if (record.Message == PBT_TRANSITION && (record.Flags & POWER_STATE_UNATTENDED) && InUnattendedMode()) {
      BoundSetSystemPowerState(nullptr, POWER_STATE_IDLE, 0);
      ShowWindow(Program().mainWindow, SW_SHOW);
      SetForegroundWindow(Program().mainWindow);
    }
  }
}

struct AudioDevice {
  bool seen = false;
  WCHAR name[(kDeviceRecordSize - offsetof(DEVDETAIL, szName)) / sizeof(WCHAR) + 1] = {};
};

void OnDeviceQueue(HANDLE queue, AudioDevice& last, bool& firstRound) {
  DWORD delay = GetAudioDeviceChangeDelay();
  alignas(DEVDETAIL) BYTE buffer[kDeviceRecordSize];
  DWORD got = 0;
  bool changed = false;
  for (int reads = 0; reads < kReadsPerWake && ReadRecord(queue, buffer, sizeof buffer, &got); ++reads) {
    if (got < offsetof(DEVDETAIL, szName)) continue;
    DEVDETAIL head;
    std::memcpy(&head, buffer, offsetof(DEVDETAIL, szName));
    if (std::memcmp(&head.guidDevClass, &kAudioDeviceClass, sizeof(GUID)) != 0 || !head.fAttached) continue;
    // The name as sent, cut at the record's end and always terminated.
    WCHAR name[sizeof last.name / sizeof(WCHAR)] = {};
    const DWORD nameBytes = got - static_cast<DWORD>(offsetof(DEVDETAIL, szName));
    std::memcpy(name, buffer + offsetof(DEVDETAIL, szName), std::min<size_t>(nameBytes, sizeof name - sizeof(WCHAR)));
    if (firstRound || !last.seen) {
      wcscpy(last.name, name);
      last.seen = true;
      if (firstRound) delay = GetAudioDeviceChangeDelay();
    } else if (_wcsicmp(last.name, name) != 0) {
      wcscpy(last.name, name);
      changed = true;
    }
  }
  firstRound = false;
  if (changed) {
    Sleep(delay + 100);
    PostMessageW(Program().mainWindow, WM_ZB_OUTPUT_CHANGED, 0, 0);
  }
}

}  // namespace

DWORD GetAudioDeviceChangeDelay() {
  RegKey key;
  DWORD value = 0;
  if (key.Open(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Microsoft\\MediaPlayer\\Preferences", KEY_READ) != ERROR_SUCCESS ||
      !ReadRegDword(key.get(), u"AudioDeviceChangeDelay", &value))
    return 0;
  return value;
}

DWORD WINAPI NotificationThread(LPVOID parameter) {
  HANDLE stop = static_cast<HANDLE>(parameter);
  SetThreadPriority(GetCurrentThread(), 1);  // the highest priority of the device's scale
  HANDLE deviceQueue = CreateReadQueue(kDeviceRecordSize);
  HANDLE powerQueue = CreateReadQueue(kPowerRecordSize);
  if (!deviceQueue || !powerQueue) {
    if (deviceQueue) BoundCloseMsgQueue(deviceQueue);
    if (powerQueue) BoundCloseMsgQueue(powerQueue);
    return 0;
  }
  HANDLE devices = BoundRequestDeviceNotifications(&kAudioDeviceClass, deviceQueue, TRUE);
  HANDLE power = BoundRequestPowerNotifications(powerQueue, PBT_TRANSITION | PBT_RESUME);
  if (devices || power) {
    // Only the queues whose requests succeeded are waited on.
    HANDLE handles[3] = {stop};
    DWORD count = 1;
    if (devices) handles[count++] = deviceQueue;
    if (power) handles[count++] = powerQueue;
    AudioDevice last;
    bool firstRound = true;
    DWORD secondStart = GetTickCount(), wakes = 0;
    for (;;) {
      const DWORD result = WaitForMultipleObjects(count, handles, FALSE, INFINITE);
      const DWORD now = GetTickCount();
      if (now - secondStart >= 1000) {
        secondStart = now;
        wakes = 0;
      }
      if (++wakes > kStormLimit) break;
      if (result == WAIT_OBJECT_0 || WaitForSingleObject(stop, 0) == WAIT_OBJECT_0) break;
      if (result >= WAIT_OBJECT_0 + count) break;  // a wait that failed would fail again at once
      const HANDLE woke = handles[result - WAIT_OBJECT_0];
      if (woke == powerQueue) OnPowerQueue(powerQueue);
      if (woke == deviceQueue) OnDeviceQueue(deviceQueue, last, firstRound);
    }
  }
  if (devices) BoundStopDeviceNotifications(devices);
  if (power) BoundStopPowerNotifications(power);
  BoundCloseMsgQueue(deviceQueue);
  BoundCloseMsgQueue(powerQueue);
  return 0;
}
