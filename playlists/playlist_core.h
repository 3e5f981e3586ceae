// What a playlist asks of the player core that owns it: the shuffle and repeat switches, the
// advance setting, reading an entry's information, the playable types and the library look-ups.
// The player core implements it; zbplaylist and the tests drive a scripted one.
#pragma once
#include <windows.h>

#include <string>

#include "mediaitem.h"

class CPlaylist;

// Answered by the library's bound items (the items FindLibraryItem hands out).
DEFINE_GUID(IID_ILibraryItem, 0x3EC0A62B, 0x1B96, 0x4EC8, 0xA9, 0x13, 0x44, 0xF4, 0x4E, 0xE8, 0x99, 0x22);

struct IPlaylistCore {
  virtual BOOL GetShuffle() = 0;
  virtual BOOL GetRepeat() = 0;
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

 protected:
  ~IPlaylistCore() = default;
};
