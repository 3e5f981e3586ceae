// CScriptCore: a player core for playlists run from a script: switches and the advance setting
// as the script sets them, entry information and library tags the script hands out per path,
// and no media library behind them.
#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "playlist_core.h"

class CScriptCore : public IPlaylistCore {
 public:
  struct Info {
    std::u16string title;
    LONG length = -2;
  };

  BOOL shuffle = FALSE;
  BOOL repeat = FALSE;
  DWORD manualAdvance = 0;
  std::u16string extensions = u"*.MP3;*.OGG;*.WAV;*.WMA";
  std::map<std::u16string, Info> infos;  // what ReadItemInfo learns about a path
  std::map<std::u16string, std::vector<std::pair<DWORD, std::u16string>>> tags;  // the library's tags
  std::string* log = nullptr;  // calls the playlist made, when set

  BOOL GetShuffle() override { return shuffle; }
  BOOL GetRepeat() override { return repeat; }
  void SetShuffle(BOOL value) override { shuffle = value; }
  void SetRepeat(BOOL value) override { repeat = value; }
  DWORD GetManualPlaylistAdvance() override { return manualAdvance; }
  void ReadItemInfo(CPlaylist* playlist, int index, LPCWSTR path, int reserved, int flag) override;
  std::u16string GetPlayableExtensions() override { return extensions; }
  IMediaItem* FindLibraryItem(LPCWSTR source) override { return nullptr; }
  IMediaItem* GetLibraryItemForSource(LPCWSTR source) override { return nullptr; }
  HRESULT FindLibraryEntryForPlaylist(IMediaItem* item, LPCWSTR path) override;
  // A script fetches nothing: the call is logged and fails.
  int DownloadToFile(LPCWSTR url, HANDLE file) override;
};
