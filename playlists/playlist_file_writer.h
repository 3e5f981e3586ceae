// Writing playlist files in the layouts the reader takes back: PLS, M3U, ASX, the plain list and
// the binary PLT, chosen by the file name's ending. The one writer of the program: CPlaylist's
// SaveFile, the saver of a bound playlist, the player's state files and the media library's
// save-as-playlist all come here.
#pragma once
#include <windows.h>

#include <span>
#include <string>

#include "playlist_item.h"

// Writes the entries (path, title, length) to `path` in the layout its ending names: ".pls",
// ".dat" (PLS in UTF-8), ".m3u", ".m3u8", ".asx", ".wmwebasx", ".lst" and ".plt"; any other name
// gets ".m3u" appended and is written as M3U. The file is replaced whole or not at all.
// 1 when it was written; 0 when the name is refused (IsWritablePlaylistName) or the write failed,
// which leaves an earlier file of that name as it was (the reason is in the debug output and in
// GetLastError).
int WritePlaylistFile(LPCWSTR path, std::span<const PlaylistItem> entries);

// The name WritePlaylistFile writes for `path`: the path itself, or with ".m3u" appended when its
// ending names no layout.
std::u16string WrittenPlaylistName(LPCWSTR path);

// Whether WritePlaylistFile takes the name at all: 5 characters or more and no ".pspl" ending
// (smart playlists are queries, not lists to write).
bool IsWritablePlaylistName(LPCWSTR path);

// The text layouts, by ending; what WritePlaylistFile puts in a file before encoding it. `path`
// is the file's own name, which entries below its folder are written relative to.
enum PlaylistTextLayout { PLAYLIST_TEXT_PLS, PLAYLIST_TEXT_M3U, PLAYLIST_TEXT_ASX, PLAYLIST_TEXT_LIST };
std::u16string BuildPlaylistText(int layout, LPCWSTR path, std::span<const PlaylistItem> entries);
