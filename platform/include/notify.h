// User notifications: programs the system runs at an event (the device waking up, a time), kept
// in the device's notification database "DB_notify_events".
#pragma once
#include "windef.h"
#include "winbase.h"

#define CNT_EVENT 1
#define CNT_TIME 2
#define CNT_PERIOD 3
#define CNT_CLASSICTIME 4

#define NOTIFICATION_EVENT_NONE 0
#define NOTIFICATION_EVENT_TIME_CHANGE 1
#define NOTIFICATION_EVENT_SYNC_END 2
#define NOTIFICATION_EVENT_DEVICE_CHANGE 7
#define NOTIFICATION_EVENT_RS232_DETECTED 9
#define NOTIFICATION_EVENT_RESTORE_END 10
#define NOTIFICATION_EVENT_WAKEUP 11
#define NOTIFICATION_EVENT_TZ_CHANGE 12

typedef struct UserNotificationTrigger {
  DWORD dwSize;
  DWORD dwType;
  DWORD dwEvent;
  WCHAR* lpszApplication;
  WCHAR* lpszArguments;
  SYSTEMTIME stStartTime;
  SYSTEMTIME stEndTime;
} CE_NOTIFICATION_TRIGGER, *PCE_NOTIFICATION_TRIGGER;

typedef struct UserNotificationType {
  DWORD ActionFlags;
  WCHAR* pwszDialogTitle;
  WCHAR* pwszDialogText;
  WCHAR* pwszSound;
  DWORD nMaxSound;
  DWORD dwReserved;
} CE_USER_NOTIFICATION, *PCE_USER_NOTIFICATION;

// What CeGetUserNotification fills: this header, then the trigger and its texts.
typedef struct UserNotificationInfoHeader {
  HANDLE hNotification;
  DWORD dwStatus;
  CE_NOTIFICATION_TRIGGER* pcent;
  CE_USER_NOTIFICATION* pceun;
} CE_NOTIFICATION_INFO_HEADER, *PCE_NOTIFICATION_INFO_HEADER;

extern "C" {

HANDLE CeSetUserNotificationEx(HANDLE notification, CE_NOTIFICATION_TRIGGER* trigger, CE_USER_NOTIFICATION* user);
BOOL CeClearUserNotification(HANDLE notification);
BOOL CeGetUserNotificationHandles(HANDLE* handles, DWORD count, LPDWORD needed);
BOOL CeGetUserNotification(HANDLE notification, DWORD bufferSize, LPDWORD needed, LPBYTE buffer);

}  // extern "C"
