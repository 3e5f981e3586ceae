// What a playlist asks of the player core that owns it: the shuffle and repeat switches, the
// advance setting, entry information, the playable types, the library look-ups and downloads by
// URL. The player core implements it; zbplaylist and the tests drive a scripted one.
#pragma once
#include <windows.h>

#include <string>

#include "mediaitem.h"
#include "medialibrary.h"  // IID_ILibraryItem: answered by the items FindLibraryItem hands out

class CPlaylist;

struct IPlaylistCore {
  virtual BOOL GetShuffle() = 0;
  virtual BOOL GetRepeat() = 0;
  // The switches as a restored playlist state gives them.
  virtual void SetShuffle(BOOL value) = 0;
  virtual void SetRepeat(BOOL value) = 0;
  // The setting "manualPlaylistAdvance": an entry that ends does not start the next one.
  virtual DWORD GetManualPlaylistAdvance() = 0;
  // Reads the entry's tags and length and reports back with SetItemInfo and MarkItemResult.
  virtual void ReadItemInfo(CPlaylist* playlist, int index, LPCWSTR path, int reserved, int flag) = 0;
  // The playable types as one upper-case pattern list, "*.MP3;*.OGG;...".
  virtual std::u16string GetPlayableExtensions() = 0;
  // Library hand-offs; items come with a reference for the caller, or null.
  virtual IMediaItem* FindLibraryItem(LPCWSTR source) = 0;
  virtual IMediaItem* GetLibraryItemForSource(LPCWSTR source) = 0;
  virtual HRESULT FindLibraryEntryForPlaylist(IMediaItem* item, LPCWSTR path) = 0;
  // Fetches the URL's content into the open file; 0 or more on success, negative on failure.
  virtual int DownloadToFile(LPCWSTR url, HANDLE file) = 0;

 protected:
  ~IPlaylistCore() = default;
};
