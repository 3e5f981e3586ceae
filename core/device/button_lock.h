// The button lock ("hold mode"): every button but the unlock buttons (actions 17, 18 and 29,
// and the ones the settings allow while locked) is swallowed, while a bubble says how to unlock.
#pragma once
#include <windows.h>

#include <string>

// 1 locks (a lock while locked first unlocks), 0 unlocks; the main window hears 1336 either way.
// Locking is refused without an unlock button.
void SetButtonLock(int lock);
int GetButtonLock();
// The lock bubble's HTML for the unlock button names (second: the action-18 button, may be empty).
std::u16string LockBubbleHtml(const std::u16string& unlockName, const std::u16string& otherName, DWORD osMajor);

constexpr CLSID kLockBubbleClsid = {0x4A12308C, 0x1064, 0x4A40, {0xAF, 0xA2, 0xCD, 0x03, 0x51, 0xD5, 0xDE, 0x04}};
constexpr DWORD kBubbleId = 1023;
