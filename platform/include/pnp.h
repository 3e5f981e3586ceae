// Device notifications: a program asks with a message queue for the arrivals and removals of a
// device class, and gets one DEVDETAIL record per device.
#pragma once
#include "windef.h"

typedef struct _DEVDETAIL {
  GUID guidDevClass;
  DWORD dwReserved;
  BOOL fAttached;
  int cbName;  // bytes of szName, terminator included
  WCHAR szName[1];
} DEVDETAIL, *PDEVDETAIL;

extern "C" {

HANDLE RequestDeviceNotifications(const GUID* deviceClass, HANDLE queue, BOOL all);
BOOL StopDeviceNotifications(HANDLE notifications);

}  // extern "C"
