// The system notification thread: power notifications (a resume tells the main window with
// 1357; going unattended while the player plays brings it forward) and audio device changes
// (1362 after the configured delay), read from two message queues until the stop event is set.
#pragma once
#include <windows.h>

// The thread procedure; `stopEvent` is the event that ends it. Returns 0.
DWORD WINAPI NotificationThread(LPVOID stopEvent);
// "AudioDeviceChangeDelay" of the platform player's preferences, 0 when missing.
DWORD GetAudioDeviceChangeDelay();
// The audio device class the thread asks device notifications for.
constexpr GUID kAudioDeviceClass = {0x25D535D0, 0x5D7A, 0x4A35, {0x97, 0x41, 0xEC, 0xD0, 0xB0, 0x9F, 0xDB, 0x46}};
