// CMediaList: the ordered, editable list of media items behind IMediaList. Query results,
// exported playlists and the lists plug-ins hand back to be played are all of this kind.
#pragma once
#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "com_object.h"
#include "medialist.h"

class CMediaList : public CComObject<IMediaList> {
 public:
  static CMediaList* Create();

  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;

  // IMediaList
  STDMETHODIMP GetCount(DWORD* count) override;
  STDMETHODIMP GetItem(LONG index, IMediaItem** item) override;
  STDMETHODIMP Sort(const DWORD* tags, const DWORD* ascending, LONG count) override;
  STDMETHODIMP Insert(LONG index, IMediaItem* item) override;
  STDMETHODIMP Add(IMediaItem* item) override;
  STDMETHODIMP RemoveAt(LONG index) override;
  STDMETHODIMP Clear() override;
  STDMETHODIMP Swap(LONG first, LONG second) override;
  STDMETHODIMP AppendList(IUnknown* other, BOOL allowDuplicates) override;
  STDMETHODIMP KeepIndices(const LONG* indices, LONG count) override;
  STDMETHODIMP GetName(BSTR* name) override;
  STDMETHODIMP SetName(LPCWSTR name) override;
  STDMETHODIMP Merge(IMediaList* other, DWORD mode) override;
  STDMETHODIMP IsPlaylistItem(LONG index, BOOL* playlist) override;
  STDMETHODIMP SaveAsPlaylist(LPCWSTR path) override;
  STDMETHODIMP Shuffle() override;
  STDMETHODIMP GetFileName(BSTR* fileName) override;
  STDMETHODIMP FindBySource(LPCWSTR source, IMediaItem** item) override;

  // For the query engine and the playlist export.
  void AddItem(IMediaItem* item);
  void SetNameText(LPCWSTR text);
  void SetFileNameText(LPCWSTR text);

 protected:
  CMediaList() = default;
  ~CMediaList() override;

 private:
  bool InRange(LONG index) const { return index >= 0 && static_cast<size_t>(index) < items_.size(); }
  void Changed() { fileName_.clear(); }

  std::vector<IMediaItem*> items_;  // one reference held on each
  std::u16string name_;
  std::u16string fileName_;  // the playlist file the list stands for; any change forgets it
};

CMediaList* CreateMediaList();
