// IMediaLibrary: the one media library of the player as the program and the plug-ins see it,
// with its events, the status record and the identifiers of its interfaces.
#pragma once
#include <unknwn.h>
#include <windows.h>

#include "mediaitem.h"
#include "medialist.h"

DEFINE_GUID(IID_IMediaLibrary, 0xF43DAB0E, 0x20D4, 0x43E9, 0x80, 0x18, 0x44, 0x40, 0x4C, 0x92, 0xD7, 0x1E);
// Marks an item as bound to a library row.
DEFINE_GUID(IID_ILibraryItem, 0x3EC0A62B, 0x1B96, 0x4EC8, 0xA9, 0x13, 0x44, 0xF4, 0x4E, 0xE8, 0x99, 0x22);

// Events that listeners register for with Advise.
#define LIBEVENT_ITEM_ADDED 0
#define LIBEVENT_TAGS_CHANGED 1
#define LIBEVENT_ITEMS_REMOVED 2
#define LIBEVENT_MARKED_VALID 3
#define LIBEVENT_MARKED_INVALID 4
#define LIBEVENT_VALUE_ADDED 5
#define LIBEVENT_VALUE_REMOVED 6
#define LIBEVENT_OPENED 7
#define LIBEVENT_SUSPENDED 8
#define LIBEVENT_CLOSED 9
#define LIBEVENT_COUNT 10

// The information record of an event, the device's nine words as named fields (pointers are
// pointer-sized here); size holds sizeof. Fields without a meaning for the event are 0.
struct LIBEVENTINFO {
  DWORD size;
  DWORD kind;  // 0 set, 1 deleted
  DWORD tag;
  DWORD instance;
  DWORD blobSize;      // a written blob's size
  LPCWSTR valueText;   // events 5 and 6: the string value
  DWORD reserved[2];
  IMediaItem* item;    // event 0: the stored item, released after the call
};

// Listeners are called with the context they registered; it can carry a pointer.
typedef void (*LibraryEventListener)(DWORD event, DWORD_PTR context, LPCWSTR text, const LIBEVENTINFO* info);

// GetStatus's record; size must be 16.
struct MEDIALIBRARYSTATUS {
  DWORD size;
  DWORD open;
  DWORD suspended;
  DWORD busy;
};

// OpenItem forms and dispositions.
#define LIBITEM_DETACHED 0
#define LIBITEM_BOUND 1
#define LIBOPEN_CREATE_NEW 1
#define LIBOPEN_CREATE_ALWAYS 2
#define LIBOPEN_OPEN_EXISTING 3
#define LIBOPEN_OPEN_ALWAYS 4
#define LIBOPEN_TRUNCATE_EXISTING 5

interface IMediaLibrary : public IUnknown {
  STDMETHOD(GetStatus)(MEDIALIBRARYSTATUS* status) PURE;
  STDMETHOD(ItemExists)(LPCWSTR source) PURE;
  STDMETHOD(OpenItem)(LPCWSTR source, DWORD form, DWORD disposition, IMediaItem** item) PURE;
  STDMETHOD(StoreItem)(IMediaItem* item) PURE;
  STDMETHOD(DeleteItems)(LPCWSTR pattern) PURE;
  STDMETHOD(OpenServiceItem)(LPCWSTR name, IMediaItem** item, BOOL* created) PURE;
  STDMETHOD(DeleteServiceItem)(LPCWSTR name) PURE;
  STDMETHOD(CreateItem)(IMediaItem** item) PURE;
  STDMETHOD(QueryValues)(IMediaItem* query, IMediaResult** result) PURE;
  STDMETHOD(QueryMedia)(IMediaItem* query, IMediaList** result) PURE;
  STDMETHOD(Advise)(DWORD event, DWORD tagFilter, LibraryEventListener callback, DWORD_PTR context) PURE;
  STDMETHOD(Unadvise)(DWORD event, DWORD tagFilter, LibraryEventListener callback, DWORD_PTR context) PURE;
};
