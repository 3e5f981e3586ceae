// The parsers' questions to the player, each one player-callback message with its buffers.
#include "feed_player.h"

#include "core/interface/player_messages.h"
#include "core/player/player_core.h"

namespace {

PlayerCallbackFn g_callback = nullptr;

int Send(UINT id, const void* in, UINT inSize, void* out, UINT outSize) {
  PlayerCallbackFn callback = g_callback ? g_callback : PlayerCallback;
  return callback(id, const_cast<void*>(in), inSize, out, outSize);
}

// Wide text with its terminator, as the player takes it.
UINT TextSize(LPCWSTR text) { return static_cast<UINT>((wcslen(text) + 1) * sizeof(WCHAR)); }

// A 4-byte answer the player did not write keeps this value.
constexpr DWORD kNoAnswer = 0xFFFFFFFF;

}  // namespace

void SetFeedPlayerCallback(PlayerCallbackFn callback) { g_callback = callback; }

int AskPlayableMime(LPCWSTR mime) {
  if (!mime || !*mime) return -1;
  DWORD playable = kNoAnswer;
  Send(PLAYER_MSG_IS_PLAYABLE_MIME, mime, TextSize(mime), &playable, sizeof playable);
  return playable == kNoAnswer ? -1 : (playable ? 1 : 0);
}

bool IsPlayableExtension(LPCWSTR extension) {
  if (!extension || !*extension) return false;
  DWORD playable = kNoAnswer;
  Send(PLAYER_MSG_IS_PLAYABLE_EXTENSION, extension, TextSize(extension), &playable, sizeof playable);
  return playable != kNoAnswer && playable != 0;
}

IMediaItem* CreateQueryItem() {
  IMediaItem* item = nullptr;
  Send(PLAYER_MSG_CREATE_QUERY_ITEM, nullptr, 0, &item, sizeof item);
  return item;
}

IMediaList* QueryMedia(IMediaItem* query) {
  if (!query) return nullptr;
  IMediaList* list = nullptr;
  Send(PLAYER_MSG_QUERY_MEDIA, query, sizeof query, &list, sizeof list);
  return list;
}
