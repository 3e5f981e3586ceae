// The two calling protocols every plug-in shares with the player: the player callback that the
// core writes into module records, and the event hooks that plug-ins register through it.
// Sizes count bytes; what the in and out pointers hold depends on the message or event.
#pragma once
#include <windows.h>

// (message id, in, in size, out, out size) -> result; -1 for an id the player does not know
// and for arguments that do not fit the id. The ids are in core/player_messages.h.
typedef int (*PlayerCallbackFn)(UINT id, void* in, UINT inSize, void* out, UINT outSize);

// (event, data, size, out, out size the hook may change) -> >= 0 when the hook handled it.
// With PLAYER_EVENT_QUERY or-ed into the event the hook only says whether it would handle it.
// Registered with PLAYER_MSG_ADD_EVENT_HOOK; the events are in core/player_events.h.
typedef int (*PlayerEventHook)(UINT event, void* data, UINT size, void* out, UINT* outSize);

// What modules are called with for player events and their own commands (the decoder's
// Command, the DSP module's OnEvent, the general-purpose command hook, a visualisation's
// notify): (code, in, in size, out, out size) -> int, -1 when not handled.
typedef int (*ModuleEventFn)(UINT code, void* in, UINT inSize, void* out, UINT outSize);
