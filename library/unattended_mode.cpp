// Unattended mode while playing: play and unpause enter it, stop and pause leave it, each only
// when the state changes. PowerPolicyNotify is looked up in the core library at every call; a
// device without it is left as it is.
#include "unattended_mode.h"

#include "core/settings/settings.h"

namespace {

constexpr UINT kQuery = 0x8000;
constexpr UINT kStop = 3, kPlay = 4, kPause = 5, kUnpause = 6;
constexpr DWORD kPowerPolicyUnattendedMode = 0x0003;  // PPN_UNATTENDEDMODE
constexpr DWORD kButtonFlagUnattended = 2;

LONG g_unattended = 0;

using PowerPolicyNotifyFn = BOOL (*)(DWORD message, DWORD data);

void NotifyPowerPolicy(BOOL on) {
  HMODULE core = GetModuleHandleW(u"coredll.dll");
  auto notify = core ? reinterpret_cast<PowerPolicyNotifyFn>(reinterpret_cast<void (*)()>(GetProcAddressW(core, u"PowerPolicyNotify"))) : nullptr;
  if (notify) notify(kPowerPolicyUnattendedMode, on);
}

// Switches the flag from `from` to the other state; tells the power policy when it changed.
void Switch(LONG from) {
  const LONG to = from ? 0 : 1;
  if (InterlockedCompareExchange(&g_unattended, to, from) == from) NotifyPowerPolicy(to);
}

}  // namespace

int UnattendedModeHook(UINT code, void* in, UINT inSize, void* out, UINT outSize) {
  if (code & kQuery) {
    const UINT asked = code & ~kQuery;
    return asked == 0 || (asked >= kStop && asked <= kUnpause) ? S_OK : E_FAIL;
  }
  if (code == kPlay || code == kUnpause) Switch(0);
  if (code == kStop || code == kPause) Switch(1);
  return E_FAIL;  // the command is still carried out by the others
}

bool WantsUnattendedModeHook(const CSettings& settings) { return (settings.buttonFlags & kButtonFlagUnattended) != 0; }

bool InUnattendedMode() { return InterlockedCompareExchange(&g_unattended, 0, 0) != 0; }
