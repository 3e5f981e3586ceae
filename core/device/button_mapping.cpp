// Running the button map: the key engine as the low-level keyboard hook, where the device has
// the hook and every button is to be mapped, else hot keys on the capture or the main window
// for the buttons the system would otherwise keep (keys from 160 up, volume-mode keys, the two
// modifier keys). Keys below 160 reach the engine through the main window's key messages.
#include "core/device/button_mapping.h"

#include <aygshell.h>

#include <algorithm>

#include "core/device/button_block.h"
#include "core/device/button_engine.h"
#include "core/modules/bound_function.h"
#include "core/settings/button_table.h"
#include "core/window/program_state.h"

namespace {

constexpr int kModifierAHotKey = 1023;
constexpr int kModifierBHotKey = 1024;
constexpr LPARAM kOverrideKey = 0x30003;
constexpr LPARAM kRestoreKey = 3;

HMODULE Coredll() { return GetModuleHandleW(u"coredll"); }

HWND MenuBarOf(HWND window) {
  using FindMenuBar = HWND (*)(HWND);
  auto find = BoundFunction<FindMenuBar>(GetModuleHandleW(u"aygshell"), u"SHFindMenuBar");
  return find && window ? find(window) : nullptr;
}

bool InstallHook() {
  using SetHook = HHOOK (*)(int, HOOKPROC, HINSTANCE, DWORD);
  using SetKMode = BOOL (*)(BOOL);
  auto setHook = BoundFunction<SetHook>(Coredll(), u"SetWindowsHookExW");
  if (!setHook) return false;
  if (auto kMode = BoundFunction<SetKMode>(Coredll(), u"SetKMode")) kMode(TRUE);
  ButtonState().hook = setHook(WH_KEYBOARD_LL, ButtonEngine, Program().instance, 0);
  return ButtonState().hook != nullptr;
}

void RegisterOnce(HWND window, int id, UINT modifiers, UINT key) {
  ButtonBlock& b = ButtonState();
  if (std::find(b.hotKeyIds.begin(), b.hotKeyIds.end(), id) != b.hotKeyIds.end()) return;
  if (RegisterHotKey(window, id, modifiers, key)) b.hotKeyIds.push_back(id);
}

void RegisterHotKeys(BOOL enable) {
  ButtonBlock& b = ButtonState();
  b.hotKeyWindow = b.captureWindow ? b.captureWindow : Program().mainWindow;
  const int count = GetButtonCount();
  for (int i = 0; i < count; ++i) {
    const ButtonEntry& entry = *GetButtonEntry(i);
    if (!entry.action && !enable) continue;
    if (entry.modifiers & 32) RegisterOnce(b.hotKeyWindow, kModifierAHotKey, 0, 131);
    if (entry.modifiers & 64) RegisterOnce(b.hotKeyWindow, kModifierBHotKey, 0, 132);
    if (entry.modifiers & 16) {
      if (HWND bar = MenuBarOf(b.hotKeyWindow)) {
        SendMessageW(bar, SHCMBM_OVERRIDEKEY, entry.key, kOverrideKey);
        b.overriddenKeys.push_back(entry.key);
      }
    } else if (entry.key >= 160 || (entry.modifiers & 128)) {
      UINT modifiers = entry.flags;
      if (!modifiers && (entry.key & 0xC0) == 0xC0) modifiers = MOD_WIN;
      RegisterOnce(b.hotKeyWindow, i + 1, modifiers, entry.key);
    }
  }
}

}  // namespace

void StartButtonMapping(BOOL mapAll, BOOL enable) {
  ButtonBlock& b = ButtonState();
  if (b.hook) return;
  if (b.mappingOn) {
    if (mapAll) return;
    StopButtonMapping();
  }
  b.modifiersInUse = 0;
  const int count = GetButtonCount();
  for (int i = 0; i < count; ++i) {
    const ButtonEntry& entry = *GetButtonEntry(i);
    if (entry.action || enable) b.modifiersInUse |= entry.modifiers;
  }
  if (!(mapAll && InstallHook())) RegisterHotKeys(enable);
  b.mappingOn = TRUE;
  b.enabled = TRUE;
}

void StopButtonMapping() {
  ButtonBlock& b = ButtonState();
  if (b.hook) {
    using Unhook = BOOL (*)(HHOOK);
    if (auto unhook = BoundFunction<Unhook>(Coredll(), u"UnhookWindowsHookEx")) unhook(b.hook);
    b.hook = nullptr;
  }
  for (int id : b.hotKeyIds) UnregisterHotKey(b.hotKeyWindow, id);
  b.hotKeyIds.clear();
  if (HWND bar = MenuBarOf(b.hotKeyWindow))
    for (DWORD key : b.overriddenKeys) SendMessageW(bar, SHCMBM_OVERRIDEKEY, key, kRestoreKey);
  b.overriddenKeys.clear();
  b.mappingOn = FALSE;
  b.enabled = FALSE;
}

BOOL IsButtonHookInstalled() { return ButtonState().hook != nullptr; }

ButtonBlock& ButtonState() {
  static ButtonBlock block;
  return block;
}
