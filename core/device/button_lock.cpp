// The button lock and its bubble. On a Smartphone the navigation bar says how to unlock instead
// of a bubble; older systems get Unlock and Dismiss buttons in the bubble itself.
#include "core/device/button_lock.h"

#include "core/device/button_block.h"
#include "core/device/button_engine.h"
#include "core/device/button_mapping.h"
#include "core/device/shell_notifications.h"
#include "core/settings/button_table.h"
#include "core/settings/settings.h"
#include "core/window/main_window_protocol.h"
#include "core/window/program_state.h"
#include "settingsui/shell_platform.h"

namespace {

constexpr WCHAR kTitle[] = u"Zonbrel";
constexpr int kLockIcon = 111;
constexpr UINT kUnlockCommand = 2399;
constexpr DWORD kBubbleDuration = 0x40000000;

DWORD OsMajor() {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  return GetVersionExW(&version) ? version.dwMajorVersion : 0;
}

int FindByAction(bool (*wanted)(DWORD)) {
  const int count = GetButtonCount();
  for (int i = 0; i < count; ++i)
    if (wanted(GetButtonEntry(i)->action)) return i;
  return -1;
}

std::u16string NameOf(int index) {
  WCHAR name[MAX_PATH] = {};
  return index >= 0 && GetButtonName(index, name) ? std::u16string(name) : std::u16string();
}

void RemoveLockBubble() {
  ButtonBlock& b = ButtonState();
  if (!b.bubbleShown) return;
  b.bubbleShown = FALSE;
  if (IsSmartphonePlatform()) {
    ShellSetNavBarText(Program().mainWindow, kTitle);
    return;
  }
  SHNOTIFICATIONDATA data{};
  data.cbStruct = sizeof data;
  if (SUCCEEDED(ShellNotificationGetData(kLockBubbleClsid, kBubbleId, &data))) {
    data.cbStruct = sizeof data;
    data.grfFlags = 2;
    ShellNotificationUpdate(SHNUM_PRIORITY, &data);
    ShellNotificationRemove(kLockBubbleClsid, kBubbleId);
  }
}

void ShowLockBubble(int unlock) {
  ButtonBlock& b = ButtonState();
  WriteNotificationOptions(kLockBubbleClsid);
  CSettings* settings = GetSettings();
  b.bubbleShown = TRUE;
  if (!settings || !settings->showLockNotificationIcon) return;
  const std::u16string unlockName = NameOf(unlock);
  if (IsSmartphonePlatform()) {
    ShellSetNavBarText(Program().mainWindow, (u"Unlock via " + unlockName + u".").c_str());
    return;
  }
  const int other = FindByAction([](DWORD action) { return action == 18; });
  const DWORD major = OsMajor();
  const std::u16string html = LockBubbleHtml(unlockName, other >= 0 ? NameOf(other) : std::u16string(), major);
  SHNOTIFICATIONDATA data{};
  data.cbStruct = sizeof data;
  data.dwID = kBubbleId;
  data.npPriority = SHNP_INFORM;
  data.csDuration = kBubbleDuration;
  data.hicon = LoadNotificationIcon(kLockIcon);
  data.clsid = kLockBubbleClsid;
  data.hwndSink = Program().mainWindow;
  data.pszHTML = html.c_str();
  data.pszTitle = kTitle;
  if (major >= 5) {
    data.rgskn[0] = SOFTKEYNOTIFY{u"Hide", {0, NOTIF_SOFTKEY_FLAGS_HIDE}};
    data.rgskn[1] = SOFTKEYNOTIFY{u"Unlock", {kUnlockCommand, NOTIF_SOFTKEY_FLAGS_DISMISS}};
  }
  ShellNotificationAdd(&data);
}

void Unlock() {
  ButtonBlock& b = ButtonState();
  CSettings* settings = GetSettings();
  RemoveLockBubble();
  if (settings && settings->trapAllWhenLocked) SetAllKeys(FALSE);
  const bool wasLocked = b.lockState != 0;
  b.lockState = 0;
  if (wasLocked) StartButtonMapping(settings ? settings->mapAllButtons : FALSE, FALSE);
  PostMessageW(Program().mainWindow, WM_ZB_HOLD_CHANGED, 0, 0);
}

}  // namespace

std::u16string LockBubbleHtml(const std::u16string& unlockName, const std::u16string& otherName, DWORD osMajor) {
  std::u16string html =
      u"<html><body><form method=\"POST\" action=><table width=100%><tr><td width=100% align=\"center\">All hardware "
      u"buttons are <b>locked</b>.  <BR><BR>To unlock, press and hold " +
      unlockName;
  if (!otherName.empty()) html += u" or press " + otherName;
  html += u".</td></tr></table><hr size=1>";
  if (osMajor < 5)
    html += u"<p align=\"right\"><input type=button name='zb-23' value='Unlock'>   <input type=button name='zb-24' "
            u"value='Dismiss'></p></body></html>";
  return html;
}

void SetButtonLock(int lock) {
  ButtonBlock& b = ButtonState();
  if (!lock) return Unlock();
  const int previous = b.lockState;
  if (previous) Unlock();
  LoadButtonsOnce();
  const int unlock = FindByAction([](DWORD action) { return action == 17 || action == 18 || action == 29; });
  if (unlock < 0) return;
  CSettings* settings = GetSettings();
  ShowLockBubble(unlock);
  if (settings && settings->trapAllWhenLocked) SetAllKeys(TRUE);
  if (!previous) StartButtonMapping(settings ? settings->mapAllButtons : FALSE, FALSE);
  b.lockState = 1;
  PostMessageW(Program().mainWindow, WM_ZB_HOLD_CHANGED, 1, 0);
}

int GetButtonLock() { return ButtonState().lockState; }
