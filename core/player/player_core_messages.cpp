// The player callback's handler. The ids that reach the event hooks and the registered
// commands are served here; the handler's other services are not built yet and answer -1.
#include "core/player/core_seam.h"
#include "core/player/player_core.h"
#include "core/interface/player_events.h"
#include "core/interface/player_messages.h"

namespace {

constexpr UINT kWordSize = sizeof(DWORD);
constexpr UINT kDeviceFormatSize = 18;  // a WAVEFORMATEX without extra bytes

}  // namespace

int CPlayerCore::HandleMessage(UINT id, void* in, UINT inSize, void* out, UINT outSize) {
  switch (id) {
    case PLAYER_MSG_REGISTER_COMMAND: {
      // Answers -1 even when the id was written.
      if (!in || !out || outSize < kWordSize) return -1;
      CSectionLock hold(messageLock_);
      *static_cast<DWORD*>(out) = static_cast<DWORD>(RegisterCommand(static_cast<GenModule*>(in)));
      return -1;
    }
    case PLAYER_MSG_ADD_EVENT_HOOK: {
      CSectionLock hold(messageLock_);
      AddEventHook(reinterpret_cast<PlayerEventHook>(in));
      return 0;
    }
    case PLAYER_MSG_REMOVE_EVENT_HOOK: {
      CSectionLock hold(messageLock_);
      RemoveEventHook(reinterpret_cast<PlayerEventHook>(in));
      return 0;
    }
    case PLAYER_MSG_QUERY_SERVICE: {
      CSectionLock hold(messageLock_);
      UINT size = outSize;
      return DispatchToHooks(PLAYER_EVENT_QUERY_SERVICE, in, inSize, out, &size);
    }
    case PLAYER_MSG_HOOK_2301: {
      // Four forms: no in, no out, a word in and out, or two device formats.
      UINT size = outSize;
      if (!in) {
        if (!out || outSize != kWordSize) return -1;
        CSectionLock hold(messageLock_);
        DispatchToHooks(PLAYER_EVENT_OUTPUT_DEVICE, nullptr, inSize, out, &size);
      } else if (!out) {
        if (inSize != kWordSize) return -1;
        CSectionLock hold(messageLock_);
        DispatchToHooks(PLAYER_EVENT_OUTPUT_DEVICE, in, kWordSize, nullptr, &size);
      } else if (inSize == kWordSize && outSize == kWordSize) {
        CSectionLock hold(messageLock_);
        DWORD word = *static_cast<DWORD*>(in);
        if (DispatchToHooks(PLAYER_EVENT_OUTPUT_DEVICE, in, kWordSize, &word, &size) >= 0) *static_cast<DWORD*>(out) = word;
      } else if (inSize == kDeviceFormatSize && outSize == kDeviceFormatSize) {
        CSectionLock hold(messageLock_);
        DispatchToHooks(PLAYER_EVENT_OUTPUT_DEVICE, in, kDeviceFormatSize, out, &size);
      } else {
        return -1;
      }
      return 0;
    }
    case PLAYER_MSG_IS_CURRENT_SOURCE: {
      if (!in || !out || outSize != kWordSize) return 0;
      CSectionLock hold(messageLock_);
      DecModule* decoder = GetDecoder();
      *static_cast<DWORD*>(out) = decoder && decoder->source == in ? 1 : 0;
      return 0;
    }
    case PLAYER_MSG_SHOW_STREAM_STATUS: {
      CSectionLock hold(messageLock_);
      SendUiCommand(29, in);
      return 0;
    }
    default:
      LogSeam(u"CPlayerCore::HandleMessage for this id");
      return -1;
  }
}
