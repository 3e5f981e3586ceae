// The power manager: system power states and their broadcasts, the power of single devices
// (the keypad light, the display), and the power policy's notices.
#pragma once
#include "windef.h"

#define PBT_TRANSITION 0x00000001
#define PBT_RESUME 0x00000002
#define PBT_POWERSTATUSCHANGE 0x00000004
#define PBT_POWERINFOCHANGE 0x00000008
#define POWER_NOTIFY_ALL 0xFFFFFFFF

#define POWER_NAME 0x00000001
#define POWER_FORCE 0x00001000

#define POWER_STATE_ON 0x00010000
#define POWER_STATE_OFF 0x00020000
#define POWER_STATE_CRITICAL 0x00040000
#define POWER_STATE_BOOT 0x00080000
#define POWER_STATE_IDLE 0x00100000
#define POWER_STATE_SUSPEND 0x00200000
#define POWER_STATE_UNATTENDED 0x00400000
#define POWER_STATE_RESET 0x00800000
#define POWER_STATE_USERIDLE 0x01000000
#define POWER_STATE_BACKLIGHTON 0x02000000
#define POWER_STATE_PASSWORD 0x10000000

#define PPN_REEVALUATESTATE 0x0001
#define PPN_POWERCHANGE 0x0002
#define PPN_UNATTENDEDMODE 0x0003

typedef enum _CEDEVICE_POWER_STATE {
  PwrDeviceUnspecified = -1,
  D0 = 0,
  D1,
  D2,
  D3,
  D4,
  PwrDeviceMaximum
} CEDEVICE_POWER_STATE, *PCEDEVICE_POWER_STATE;

// One record of a power queue: the state name follows, Length bytes of it (no terminator).
typedef struct _POWER_BROADCAST {
  DWORD Message;
  DWORD Flags;
  DWORD Length;
  WCHAR SystemPowerState[1];
} POWER_BROADCAST, *PPOWER_BROADCAST;

extern "C" {

HANDLE RequestPowerNotifications(HANDLE queue, DWORD kinds);
BOOL StopPowerNotifications(HANDLE notifications);
DWORD SetSystemPowerState(LPCWSTR state, DWORD stateFlags, DWORD options);
DWORD GetSystemPowerState(LPWSTR buffer, DWORD chars, PDWORD stateFlags);
DWORD SetDevicePower(PVOID device, DWORD deviceFlags, CEDEVICE_POWER_STATE state);
DWORD GetDevicePower(PVOID device, DWORD deviceFlags, PCEDEVICE_POWER_STATE state);
BOOL PowerPolicyNotify(DWORD message, DWORD data);

}  // extern "C"
