// The player callback's handler: finds the id in the group tables and runs its handler on the
// caller's thread. Ids in no table answer -1 without any effect.
#include "core/player/player_core.h"
#include "core/player/player_message_table.h"

namespace {

using TableFn = std::span<const PlayerMessageEntry> (*)();
constexpr TableFn kTables[] = {PlayerStateMessages, PlaylistMessages, LibraryMessages, StateTagMessages,
                               DecoderMessages,     DialogMessages,   ItemListMessages};

PlayerMessageHandler FindHandler(UINT id) {
  for (TableFn table : kTables)
    for (const PlayerMessageEntry& entry : table())
      if (entry.id == id) return entry.handler;
  return nullptr;
}

}  // namespace

int CPlayerCore::HandleMessage(UINT id, void* in, UINT inSize, void* out, UINT outSize) {
  PlayerMessageHandler handler = FindHandler(id);
  return handler ? handler(*this, PlayerMessage{in, inSize, out, outSize}) : -1;
}
