// CMediaList: the ordered, editable list of media items behind IMediaList. Query results,
// exported playlists and the lists plug-ins hand back to be played are all of this kind.
#pragma once
#include <windows.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "com_object.h"
#include "listed_rows.h"
#include "medialist.h"

class CMediaLibrary;

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
  // A query's row, made into its item when first needed (CListedRows). Every row of one list
  // comes from one query: the library and the preloaded tag of the first call hold for all.
  void AddRow(CMediaLibrary* library, DWORD tag, DWORD mid, const ListedText& source, const ListedText& text);
  void SetNameText(LPCWSTR text);
  void SetFileNameText(LPCWSTR text);

 protected:
  CMediaList() = default;
  ~CMediaList() override;

 private:
  // An entry: its item, or while that is not made yet, its row in rows_. No two entries share
  // a row, so an item made for a row belongs to one entry.
  struct Slot {
    IMediaItem* item;  // one reference held
    size_t row;
  };

  bool InRange(LONG index) const { return index >= 0 && static_cast<size_t>(index) < items_.size(); }
  void Changed() { fileName_.clear(); }
  // The entry's item, made now if need be (null when it can't be); the list keeps the reference.
  IMediaItem* Item(size_t index);
  // The entry's source without making its item; false when it cannot be read.
  bool SourceAt(size_t index, std::u16string* source);

  std::vector<Slot> items_;
  std::unique_ptr<CListedRows> rows_;
  std::mutex making_;  // items made on demand may be asked for from several threads
  std::u16string name_;
  std::u16string fileName_;  // the playlist file the list stands for; any change forgets it
};

CMediaList* CreateMediaList();
