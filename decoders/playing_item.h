// Tags that a decoder learns while a stream plays go to the item now playing: the player hands
// out a new empty item (message 4121), the decoder fills it, and the player merges it (4371).
#pragma once
#include <windows.h>

#include <functional>

#include "core/interface/dec_module.h"
#include "core/interface/player_messages.h"
#include "mediaitem.h"

// `fill` answers whether it set anything; nothing is sent otherwise. Without a player callback in
// the record nothing happens. `message` is the player's merge: 4371, or 4122 for the tags it tracks.
void MergeIntoPlayingItem(const DecModule& module, const std::function<bool(IMediaItem*)>& fill,
                          UINT message = PLAYER_MSG_COPY_STATE_TAGS);
