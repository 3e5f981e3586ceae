// The player's named events ("Zonbrel/Stream/Title" and the rest) that tell other processes
// about its state. Raising pulses the manual-reset event of that name, which wakes every waiter
// of that moment, and sets every private client event registered for the name, so a client
// that was not waiting at the pulse still sees it.
#pragma once
#include <windows.h>

void RaiseNamedEvent(const WCHAR* name);
// A new client event for the name: its number n (the client opens the event named by the name
// followed by n in decimal), or 0 on failure.
DWORD RegisterEventWaiter(const WCHAR* name);
void UnregisterEventWaiter(DWORD number);
// Closes every client event (shutdown).
void CloseEventWaiters();
