// The device's volume as the player takes it over at start-up, and the check the waveOut module
// makes for a volume changed by someone else: the open device's, the system's, the registry's or
// the player's own, by system version, platform and the `useSystemVolume` setting.
#pragma once
#include <windows.h>

class CPlayerCore;

// 0..255: the louder channel of the volume the device, the system or the settings give.
int ReadSystemVolume(CPlayerCore* core);
