// Merging a stream's tags into the item now playing, through the record's player callback.
#include "playing_item.h"

#include "core/interface/player_messages.h"

void MergeIntoPlayingItem(const DecModule& module, const std::function<bool(IMediaItem*)>& fill, UINT message) {
  if (!module.PlayerCallback) return;
  IMediaItem* item = nullptr;
  module.PlayerCallback(PLAYER_MSG_NEW_ITEM, nullptr, 0, &item, sizeof item);
  if (!item) return;
  if (fill(item)) module.PlayerCallback(message, item, sizeof item, nullptr, 0);
  item->Release();
}
