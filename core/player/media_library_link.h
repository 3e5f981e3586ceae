// What the player core does with the one media library object it holds: look an item up by its
// path, read the library's status, reopen it, and stop listening to its events. The library
// object itself belongs to the media library.
#pragma once
#include <windows.h>

#include "mediaitem.h"

class CMediaLibrary;

// The library's status record; `size` must be 16 on the way in.
struct MEDIA_LIBRARY_STATUS {
  DWORD size;
  DWORD open;
  DWORD writeSuspended;  // the library skips its database writes while set
  DWORD background;      // a background job runs
};

// A listener of the library's events: (event, text, context). Event 1: an item changed, the
// text is its source; event 8: the library became unavailable.
typedef void (*LibraryEventCallback)(int event, LPCWSTR text, void* context);
#define LIBRARY_EVENT_ITEM_CHANGED 1
#define LIBRARY_EVENT_UNAVAILABLE 8
#define LIBRARY_EVENT_OTHER 9

class IMediaLibraryLink {
 public:
  virtual HRESULT GetStatus(MEDIA_LIBRARY_STATUS* status) = 0;
  // A library-bound item of the path's row (a reference for the caller); E_FAIL without a row.
  virtual HRESULT FindItem(LPCWSTR path, IMediaItem** item, DWORD flags) = 0;
  // Closes and reopens the database in place.
  virtual void Reopen() = 0;
  // Sets the activity bits of `mask` to those of `bits` (1: playing, suspend the library's
  // background work; 8: a stream ends).
  virtual void RequestFlush(DWORD bits, DWORD mask) = 0;
  virtual HRESULT Unadvise(int event, LibraryEventCallback callback, void* context) = 0;
  virtual void Release() = 0;
  // The library object itself, for the core's own library work (its start-up, the entries of
  // the items it opens, the Local Content scan); null for a library that stands in for it.
  virtual CMediaLibrary* Object() { return nullptr; }
  // Shutdown maintenance: the library's worker stops; with `compact` the database gives back
  // free pages when its settings allow.
  virtual void Compact(BOOL compact) {}

 protected:
  ~IMediaLibraryLink() = default;
};

// The media library object for the core, made with the program instance and the Local Content
// scan's sink (core_media_library.cpp); null when memory runs out. It is the scan's host.
IMediaLibraryLink* CreateCoreMediaLibrary(HINSTANCE instance);
