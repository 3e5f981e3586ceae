// The file types the open dialog offers and the specification it hands back. A filter is a list
// of pairs of zero-terminated texts, a description then a pattern list ("*.MP3;*.MP2"), ended by
// an empty text, as the platform's open dialog takes it; types named in the setting `omitting`
// are left out. An open result is a path specification for CPlayerCore::AddFilesFromPath.
#pragma once
#include <windows.h>

#include <span>
#include <string>
#include <utility>
#include <vector>

#include "core/interface/dec_module.h"

enum : DWORD {
  OPEN_FILTER_MEDIA = 0x1,       // every decoder's types
  OPEN_FILTER_SUPPORTED = 0x2,   // "All supported types": media types and playlist files in one
  OPEN_FILTER_PLAYLISTS = 0x4,   // one entry per playlist format
  OPEN_FILTER_PLAYLIST_ALL = 0x8,  // "Playlist files" in one
  OPEN_FILTER_ALL_FILES = 0x10,  // "All files (*.*)"
};

// The filter for the flags over the given decoders, into `buffer` when it is not null; its
// length in characters with the closing zero.
size_t BuildOpenFilterFrom(std::span<DecModule* const> decoders, DWORD flags, LPWSTR buffer);
size_t BuildOpenFilter(DWORD flags, LPWSTR buffer);
// The pattern lists of a filter (the texts that begin with '*') joined with ';', upper-cased.
std::u16string UpperExtensionList(LPCWSTR filter);

// A specification from open-dialog results: each file with "*" in front; each folder with "**"
// when its subfolders are wanted, else "*?" (empty names are skipped).
std::u16string FileSpec(std::span<const std::u16string> files);
std::u16string FolderSpec(std::span<const std::pair<std::u16string, bool>> folders);

// Asks the user: mode 1 files, 2 folders, 3 a URL, 0 files or folders by the setting
// `useOpenFolder`. The specification, empty when cancelled.
std::u16string ShowOpenFileDialog(int mode, HWND parent);
