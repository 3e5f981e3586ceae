// The player core's bridge between playlist entries and the library: the item of an entry, of
// the file now playing or of any source, loaded from the library when it is there, otherwise read
// through the decoder that claims the file and stored. The core supplies the host.
#pragma once
#include <windows.h>

#include <string>

#include "mediaitem.h"

class CMediaItem;
class CMediaLibrary;

// What the bridge asks of the player core.
class IPlayerItemHost {
 public:
  // The item now playing, with a reference for the caller (null when none), and its path.
  virtual IMediaItem* CurrentItem() = 0;
  virtual std::u16string CurrentPath() = 0;
  // The path of playlist entry `index`; false when there is no such entry.
  virtual bool PlaylistEntryPath(int index, std::u16string* path) = 0;
  // Lets the decoder that claims the source read its tags into the item, as for playing, and
  // closes the source again. E_NOINTERFACE when no decoder claims it; else the read's result.
  virtual HRESULT ReadTags(LPCWSTR source, CMediaItem* item) = 0;
  // The setting "ensureBothArtistValues".
  virtual BOOL EnsureBothArtistValues() = 0;
  // Offers a message to the plug-ins' command hooks.
  virtual void OfferToHooks(UINT code, void* data, UINT size) = 0;

 protected:
  ~IPlayerItemHost() = default;
};

// The command-hook code with which plug-ins see an item before it is stored.
constexpr UINT kHookItemBeforeStore = 41;

// Each returns an item with a reference for the caller, or null.
IMediaItem* GetPlaylistItemInterface(IPlayerItemHost* host, CMediaLibrary* library, int index);
IMediaItem* FindLibraryItem(CMediaLibrary* library, LPCWSTR source);
IMediaItem* GetLibraryItemForSource(IPlayerItemHost* host, CMediaLibrary* library, LPCWSTR source);
void FixAlbumArtist(IPlayerItemHost* host, IMediaItem* item);
// Reads the file's tags afresh and stores them, replacing what the library held: the store's
// result, or a failure when the file could not be read (its entry, if any, stays as it was).
HRESULT RefreshLibraryEntry(IPlayerItemHost* host, CMediaLibrary* library, LPCWSTR source);
