// Player callback messages about the player itself: event hooks and registered commands, keys
// forwarded to the main window, cue marks, the feature set, player values and user-interface
// commands.
#include "core/interface/player_events.h"
#include "core/interface/player_messages.h"
#include "core/player/player_core.h"
#include "core/player/player_message_table.h"
#include "core/settings/settings.h"
#include "core/window/main_window_neighbours.h"

namespace {

constexpr UINT kDeviceFormatSize = 18;  // a WAVEFORMATEX without extra bytes
constexpr int kBubbleHideForDialog = 0x1082;

int RegisterCommand(CPlayerCore& core, const PlayerMessage& m) {
  DWORD* id = OutAs<DWORD>(m);
  if (!m.in || !id) return -1;
  CSectionLock hold(core.MessageLock());
  *id = static_cast<DWORD>(core.RegisterCommand(static_cast<GenModule*>(m.in)));
  return -1;  // the plug-ins expect -1 with the id written
}

int AddEventHook(CPlayerCore& core, const PlayerMessage& m) {
  CSectionLock hold(core.MessageLock());
  core.AddEventHook(reinterpret_cast<PlayerEventHook>(m.in));
  return 0;
}

int RemoveEventHook(CPlayerCore& core, const PlayerMessage& m) {
  CSectionLock hold(core.MessageLock());
  core.RemoveEventHook(reinterpret_cast<PlayerEventHook>(m.in));
  return 0;
}

int QueryService(CPlayerCore& core, const PlayerMessage& m) {
  CSectionLock hold(core.MessageLock());
  UINT size = m.outSize;
  return core.DispatchToHooks(PLAYER_EVENT_QUERY_SERVICE, m.in, m.inSize, m.out, &size);
}

// Four forms: no in, no out, a word in and out, or two device formats.
int OutputDeviceHook(CPlayerCore& core, const PlayerMessage& m) {
  UINT size = m.outSize;
  if (!m.in) {
    if (!m.out || m.outSize != sizeof(DWORD)) return -1;
    CSectionLock hold(core.MessageLock());
    core.DispatchToHooks(PLAYER_EVENT_OUTPUT_DEVICE, nullptr, m.inSize, m.out, &size);
  } else if (!m.out) {
    if (m.inSize != sizeof(DWORD)) return -1;
    CSectionLock hold(core.MessageLock());
    core.DispatchToHooks(PLAYER_EVENT_OUTPUT_DEVICE, m.in, sizeof(DWORD), nullptr, &size);
  } else if (m.inSize == sizeof(DWORD) && m.outSize == sizeof(DWORD)) {
    CSectionLock hold(core.MessageLock());
    DWORD word = *static_cast<DWORD*>(m.in);
    if (core.DispatchToHooks(PLAYER_EVENT_OUTPUT_DEVICE, m.in, sizeof(DWORD), &word, &size) >= 0)
      *static_cast<DWORD*>(m.out) = word;
  } else if (m.inSize == kDeviceFormatSize && m.outSize == kDeviceFormatSize) {
    CSectionLock hold(core.MessageLock());
    core.DispatchToHooks(PLAYER_EVENT_OUTPUT_DEVICE, m.in, kDeviceFormatSize, m.out, &size);
  } else {
    return -1;
  }
  return 0;
}

// Keys a plug-in window received and the main window should see.
int ForwardKey(CPlayerCore& core, const PlayerMessage& m) {
  const MSG* key = InAs<MSG>(m);
  if (!key) return -1;
  CSectionLock hold(core.MessageLock());
  switch (key->message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_HOTKEY:
      SendMessageW(core.GetMainWindow(), key->message, key->wParam, key->lParam);
      break;
    default:
      break;
  }
  return 0;
}

// A key for the hardware-button handler; a plug-in window of the player hands the focus back.
int ButtonKey(CPlayerCore& core, const PlayerMessage& m) {
  const MSG* key = InAs<MSG>(m);
  DWORD* answer = OutAs<DWORD>(m);
  if (!key || !answer) return 0;
  CSectionLock hold(core.MessageLock());
  HWND main = core.GetMainWindow();
  const LRESULT result = HandleHardwareKey(main, key->message, key->wParam, key->lParam);
  if (main && key->hwnd && (key->hwnd == main || IsChild(main, key->hwnd))) SetFocus(main);
  *answer = static_cast<DWORD>(result);
  return 0;
}

int AddCueMark(CPlayerCore& core, const PlayerMessage& m) {
  const LONG* position = InAs<LONG>(m);
  DWORD* cookie = OutAs<DWORD>(m);
  if (!position || !cookie) return 0;
  CSectionLock hold(core.MessageLock());
  *cookie = core.GetCueMarks().Add(*position);
  return 0;
}

int RemoveCueMark(CPlayerCore& core, const PlayerMessage& m) {
  const DWORD* cookie = InAs<DWORD>(m);
  if (!cookie) return 0;
  CSectionLock hold(core.MessageLock());
  core.GetCueMarks().Remove(*cookie);
  return 0;
}

int QueryCategory(CPlayerCore& core, const PlayerMessage& m) {
  DWORD* answer = OutAs<DWORD>(m);
  if (!m.in || !answer) return -1;
  const GUID* feature = nullptr;
  if (m.inSize == sizeof(GUID))
    feature = static_cast<const GUID*>(m.in);
  else if (m.inSize == sizeof(DWORD))
    feature = &FeatureByIndex(*static_cast<const DWORD*>(m.in));
  else
    return -1;
  *answer = core.GetFeatures().Contains(*feature) ? 1 : 0;
  return -1;
}

int AddCategory(CPlayerCore& core, const PlayerMessage& m) {
  if (!m.in || m.inSize != sizeof(GUID)) return -1;
  core.GetFeatures().Add(*static_cast<const GUID*>(m.in));
  return -1;
}

int GetPlayerValue(CPlayerCore& core, const PlayerMessage& m) {
  const DWORD* code = InAs<DWORD>(m);
  DWORD* value = OutAs<DWORD>(m);
  if (!code || !value) return -1;
  CSettings* settings = GetSettings();
  switch (*code) {
    case 110: *value = static_cast<DWORD>(core.GetVolume()); break;
    case 134: *value = static_cast<DWORD>(settings ? settings->panning : 0); break;
    case 108: *value = core.GetShuffle() ? 1 : 0; break;
    case 112: *value = core.IsEqOn() ? 1 : 0; break;
    case 131: *value = core.IsMuted() ? 1 : 0; break;
    case 132: *value = settings ? settings->DSPEnabled : 0; break;
    default: return -1;
  }
  return 0;
}

int UiCommand29(CPlayerCore& core, const PlayerMessage& m) {
  CSectionLock hold(core.MessageLock());
  core.SendUiCommand(29, m.in);
  return 0;
}

int RunPlayerCommand(CPlayerCore& core, const PlayerMessage& m) {
  const DWORD* command = InAs<DWORD>(m);
  const DWORD* value = OutAs<DWORD>(m);
  if (!command || !value) return 0;
  CSectionLock hold(core.MessageLock());
  return core.SendUiCommand(static_cast<int>(*command), reinterpret_cast<void*>(static_cast<UINT_PTR>(*value)));
}

int BeforeModalDialog(CPlayerCore&, const PlayerMessage&) {
  ShowNotificationBubble(kBubbleHideForDialog);
  return 0;
}

int NoEffect(CPlayerCore&, const PlayerMessage&) { return -1; }

constexpr PlayerMessageEntry kEntries[] = {
    {PLAYER_MSG_REGISTER_COMMAND, RegisterCommand},
    {PLAYER_MSG_ADD_EVENT_HOOK, AddEventHook},
    {PLAYER_MSG_REMOVE_EVENT_HOOK, RemoveEventHook},
    {PLAYER_MSG_QUERY_SERVICE, QueryService},
    {PLAYER_MSG_HOOK_2301, OutputDeviceHook},
    {PLAYER_MSG_FORWARD_KEY, ForwardKey},
    {PLAYER_MSG_BUTTON_KEY, ButtonKey},
    {PLAYER_MSG_ADD_COOKIE, AddCueMark},
    {PLAYER_MSG_REMOVE_COOKIE, RemoveCueMark},
    {PLAYER_MSG_QUERY_CATEGORY, QueryCategory},
    {PLAYER_MSG_ADD_CATEGORY, AddCategory},
    {PLAYER_MSG_GET_PLAYER_VALUE, GetPlayerValue},
    {PLAYER_MSG_UI_COMMAND_29, UiCommand29},
    {PLAYER_MSG_RUN_PLAYER_COMMAND, RunPlayerCommand},
    {PLAYER_MSG_BEFORE_MODAL_DIALOG, BeforeModalDialog},
    {4107, NoEffect},
    {PLAYER_MSG_DIALOG_INIT, NoEffect},
};

}  // namespace

std::span<const PlayerMessageEntry> PlayerStateMessages() { return kEntries; }
