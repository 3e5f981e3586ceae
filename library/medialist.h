// IMediaList and IMediaResult: an editable, sortable list of media items and a sorted set of
// distinct texts, the library's answers to queries. Included by the program and by plug-ins.
#pragma once
#include <unknwn.h>
#include <windows.h>

#include <oleauto.h>
#include "mediaitem.h"

DEFINE_GUID(IID_IMediaList, 0x46D49CCF, 0x1C31, 0x4442, 0xA5, 0x1A, 0x28, 0x34, 0x3D, 0x2D, 0xBE, 0x9D);
DEFINE_GUID(IID_IMediaList2, 0x46D49CCF, 0x1C33, 0x4442, 0xA5, 0x1A, 0x28, 0x34, 0x3D, 0x2D, 0xBE, 0x9D);
DEFINE_GUID(IID_IMediaResult, 0x4868A9F8, 0x8C94, 0x4A22, 0x87, 0x4E, 0x22, 0x81, 0xF3, 0x23, 0x3F, 0x51);

// Merge modes.
#define MEDIALIST_MERGE_NEW_SOURCES 0  // append items whose source is not in the list yet
#define MEDIALIST_MERGE_ALL 1          // append every item
#define MEDIALIST_MERGE_KEEP_SAME 2    // per item of the other list: drop items with another source
#define MEDIALIST_MERGE_REMOVE_SAME 3  // per item of the other list: drop items with its source

typedef void* MEDIARESULTPOS;

interface IMediaList : public IUnknown {
  STDMETHOD(GetCount)(DWORD* count) PURE;
  STDMETHOD(GetItem)(LONG index, IMediaItem** item) PURE;
  STDMETHOD(Sort)(const DWORD* tags, const DWORD* ascending, LONG count) PURE;
  STDMETHOD(Insert)(LONG index, IMediaItem* item) PURE;
  STDMETHOD(Add)(IMediaItem* item) PURE;
  STDMETHOD(RemoveAt)(LONG index) PURE;
  STDMETHOD(Clear)() PURE;
  STDMETHOD(Swap)(LONG first, LONG second) PURE;
  STDMETHOD(AppendList)(IUnknown* other, BOOL allowDuplicates) PURE;
  STDMETHOD(KeepIndices)(const LONG* indices, LONG count) PURE;
  STDMETHOD(GetName)(BSTR* name) PURE;
  STDMETHOD(SetName)(LPCWSTR name) PURE;
  STDMETHOD(Merge)(IMediaList* other, DWORD mode) PURE;
  STDMETHOD(IsPlaylistItem)(LONG index, BOOL* playlist) PURE;
  STDMETHOD(SaveAsPlaylist)(LPCWSTR path) PURE;
  STDMETHOD(Shuffle)() PURE;
  STDMETHOD(GetFileName)(BSTR* fileName) PURE;
  STDMETHOD(FindBySource)(LPCWSTR source, IMediaItem** item) PURE;
};

interface IMediaResult : public IUnknown {
  STDMETHOD(GetCount)(DWORD* count) PURE;
  STDMETHOD(GetFirst)(MEDIARESULTPOS* position, BSTR* text) PURE;
  STDMETHOD(GetNext)(MEDIARESULTPOS* position, BSTR* text) PURE;
};
