// The player callback's message table, split by what the messages reach: each group file holds
// the handlers of its ids and a table of them; CPlayerCore::HandleMessage looks the id up.
// Handlers check their own arguments first and take the message lock only for the work.
#pragma once
#include <windows.h>

#include <span>
#include <string>
#include <string_view>

class CPlayerCore;
class CPlaylist;
struct IMediaList;

struct PlayerMessage {
  void* in;
  UINT inSize;
  void* out;
  UINT outSize;
};

typedef int (*PlayerMessageHandler)(CPlayerCore& core, const PlayerMessage& message);

struct PlayerMessageEntry {
  UINT id;
  PlayerMessageHandler handler;
};

std::span<const PlayerMessageEntry> PlayerStateMessages();   // hooks, commands, keys, values
std::span<const PlayerMessageEntry> PlaylistMessages();
std::span<const PlayerMessageEntry> LibraryMessages();
std::span<const PlayerMessageEntry> StateTagMessages();
std::span<const PlayerMessageEntry> DecoderMessages();       // decoders, sources, text
std::span<const PlayerMessageEntry> DialogMessages();        // dialogs, menus, drawing
std::span<const PlayerMessageEntry> ItemListMessages();      // item lists and album art

// Argument checks. A buffer the id needs is there and at least as large as its value.
template <class T>
T* InAs(const PlayerMessage& m) {
  return m.in && m.inSize >= sizeof(T) ? static_cast<T*>(m.in) : nullptr;
}
template <class T>
T* OutAs(const PlayerMessage& m) {
  return m.out && m.outSize >= sizeof(T) ? static_cast<T*>(m.out) : nullptr;
}
// In as a zero-terminated wide text. With an in size the terminator must lie within it; a
// size of 0 leaves the text's end to the caller.
LPCWSTR InText(const PlayerMessage& m);

// Copies as much of the text as the out size (bytes) holds, always terminated; a size below one
// character writes nothing. True when the whole text went in.
bool CopyText(std::u16string_view text, void* out, UINT outBytes);
// Copies only when the whole text with its terminator fits; true when copied.
bool CopyTextIfFits(std::u16string_view text, void* out, UINT outBytes);

// The playlist's entries as library items, appended to the caller's list while the library knows
// an export is on; E_FAIL when nothing could be exported.
HRESULT ExportPlaylistInto(CPlayerCore& core, CPlaylist* playlist, IMediaList* target);
