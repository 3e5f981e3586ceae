// What the feed parsers ask of the player, through the player callback: whether a decoder takes a
// MIME type or an extension, and the media library's query items and queries for smart playlists.
// Tools and tests that run the parsers without a player core hand in a callback of their own.
#pragma once
#include <windows.h>

#include "core/interface/player_callback.h"
#include "mediaitem.h"
#include "medialist.h"

// The callback the parsers use; null goes back to the player core's.
void SetFeedPlayerCallback(PlayerCallbackFn callback);

// 1 when a decoder takes the MIME type, 0 when none does, -1 when the player gave no answer.
int AskPlayableMime(LPCWSTR mime);
// Whether a decoder claims files with the extension (".mp3"); no answer counts as no.
bool IsPlayableExtension(LPCWSTR extension);
// A new empty query item, or null; the caller releases it.
IMediaItem* CreateQueryItem();
// The library's items that match the query, or null; the caller releases the list.
IMediaList* QueryMedia(IMediaItem* query);
