// Display driver escapes (ExtEscape): the query and the display's power management. Kept apart
// from wingdi.h so that only the code that drives the display's power sees them.
#pragma once
#include "wingdi.h"

#define QUERYESCSUPPORT 8
#define SETPOWERMANAGEMENT 6147
#define GETPOWERMANAGEMENT 6148

typedef enum _VIDEO_POWER_STATE { VideoPowerOn = 1, VideoPowerStandBy, VideoPowerSuspend, VideoPowerOff } VIDEO_POWER_STATE;

typedef struct _VIDEO_POWER_MANAGEMENT {
  ULONG Length;
  ULONG DPMSVersion;
  ULONG PowerState;
} VIDEO_POWER_MANAGEMENT, *PVIDEO_POWER_MANAGEMENT;

extern "C" {

int ExtEscape(HDC hdc, int escape, int inSize, LPCSTR in, int outSize, LPSTR out);

}  // extern "C"
