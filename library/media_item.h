// CMediaItem: the detached media item, all tags in memory. It carries tag data between the tag
// readers, the library, the playlists, the skin and the plug-ins; the library's own item kinds
// derive from it or wrap it.
#pragma once
#include <windows.h>

#include <atomic>
#include <string>
#include <utility>
#include <vector>

#include "com_object.h"
#include "mediaitem.h"
#include "tag_value.h"
#include "title_format.h"

struct TagReadSource;

class CMediaItem : public CComObject<IMediaItem> {
 public:
  // Entries are ordered by instance (signed) first, then by tag id (unsigned), so all
  // single-valued tags come first; index-based access follows this order.
  struct Key {
    DWORD id;
    LONG instance;
    bool operator<(const Key& other) const {
      return instance != other.instance ? instance < other.instance : id < other.id;
    }
    bool operator==(const Key&) const = default;
  };
  using Entry = std::pair<Key, CTagValue>;

  static CMediaItem* Create();

  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;

  // IMediaItem
  STDMETHODIMP_(IMediaItem*) Clone() override;
  STDMETHODIMP Matches(IMediaItem* pattern, BOOL* matched) override;
  STDMETHODIMP GetSource(BSTR* source) override;
  STDMETHODIMP GetTagCount(DWORD* count) override;
  STDMETHODIMP GetTagName(DWORD id, BSTR* name) override;
  STDMETHODIMP GetTagId(LPCWSTR name, DWORD* id) override;
  STDMETHODIMP GetTagIdAt(LONG index, DWORD* id) override;
  STDMETHODIMP GetInstanceAt(LONG index, DWORD* instance) override;
  STDMETHODIMP IndexOfTag(DWORD id, LONG* index) override;
  STDMETHODIMP IndexOfTagNumber(DWORD number, LONG* index) override;
  STDMETHODIMP GetGuid(DWORD id, GUID* value) override;
  STDMETHODIMP GetBytes(DWORD id, void* buffer, DWORD* size) override;
  STDMETHODIMP GetSystemTime(DWORD id, SYSTEMTIME* value) override;
  STDMETHODIMP GetFileTime(DWORD id, FILETIME* value) override;
  STDMETHODIMP GetFloat(DWORD id, float* value) override;
  STDMETHODIMP GetInt(DWORD id, LONG* value) override;
  STDMETHODIMP GetString(DWORD id, BSTR* value) override;
  STDMETHODIMP GetInstance(DWORD id, DWORD instance, void* buffer, DWORD* size) override;
  STDMETHODIMP GetGuidAt(LONG index, GUID* value) override;
  STDMETHODIMP GetBytesAt(LONG index, void* buffer, DWORD* size) override;
  STDMETHODIMP GetSystemTimeAt(LONG index, SYSTEMTIME* value) override;
  STDMETHODIMP GetFileTimeAt(LONG index, FILETIME* value) override;
  STDMETHODIMP GetFloatAt(LONG index, float* value) override;
  STDMETHODIMP GetIntAt(LONG index, LONG* value) override;
  STDMETHODIMP GetStringAt(LONG index, BSTR* value) override;
  STDMETHODIMP SetGuid(DWORD id, REFGUID value) override;
  STDMETHODIMP SetBytes(DWORD id, const void* data, DWORD size) override;
  STDMETHODIMP SetSystemTime(DWORD id, const SYSTEMTIME* value) override;
  STDMETHODIMP SetFileTime(DWORD id, const FILETIME* value) override;
  STDMETHODIMP SetFloat(DWORD id, float value) override;
  STDMETHODIMP SetInt(DWORD id, LONG value) override;
  STDMETHODIMP SetString(DWORD id, LPCWSTR value) override;
  STDMETHODIMP SetInstance(DWORD id, DWORD instance, const void* data, DWORD size) override;
  STDMETHODIMP Clear() override;
  STDMETHODIMP RemoveTag(DWORD id) override;
  STDMETHODIMP RemoveAt(LONG index) override;
  STDMETHODIMP IsReadOnlyAt(LONG index, BOOL* readOnly) override;
  STDMETHODIMP OpenBlobStream(DWORD id, DWORD instance, IStream** stream) override;
  STDMETHODIMP CreateBlobStream(DWORD id, DWORD instance, IStream** stream, DWORD reserved) override;
  STDMETHODIMP GetTagIdByNumber(DWORD number, DWORD* id) override;
  STDMETHODIMP FormatTitle(DWORD mode, DWORD lengthHint, LPCWSTR format, BSTR* title, LONG* missing) override;
  STDMETHODIMP RemoveInstance(DWORD id, DWORD instance) override;
  STDMETHODIMP IndexOfInstance(DWORD id, DWORD instance, LONG* index) override;
  STDMETHODIMP HasTag(DWORD id, BOOL* present) override;
  STDMETHODIMP HasInstance(DWORD id, DWORD instance, BOOL* present) override;

  // Beyond the interface.
  void SetSource(LPCWSTR source);  // Reset, then the source (empty for null)
  void Reset();
  // Stores a value as it is, without conversion or checks (the library's row loader).
  void SetEntry(DWORD id, DWORD instance, const CTagValue& value);
  const std::vector<Entry>& Entries() const { return entries_; }
  const std::u16string& Source() const { return source_; }
  // Takes over entries [first, end) of another item (end -1: all); replace starts from its source.
  HRESULT CopyFrom(IMediaItem* other, LONG first, LONG end, BOOL replace);
  HRESULT ReadTagsFromFile(const TagReadSource* source);
  // A value read as text, stored in the byte form of the tag's type; nothing when it won't convert.
  HRESULT SetTagFromText(DWORD id, DWORD instance, std::u16string_view text);

  static bool IsProtectedTag(DWORD id);

 protected:
  CMediaItem();
  ~CMediaItem() override;

  const CTagValue* Find(DWORD id, DWORD instance) const;
  const CTagValue* At(LONG index) const;
  void Store(DWORD id, DWORD instance, CTagValue value);
  HRESULT StoreSingle(DWORD id, CTagValue value);
  bool Erase(DWORD id, DWORD instance);
  void MarkChanged() { changed_ = TRUE; }

 private:
  std::vector<Entry>::const_iterator Lookup(DWORD id, DWORD instance) const;

  std::vector<Entry> entries_;
  std::u16string source_;
  TitleCache title_;
  BOOL changed_ = TRUE;
};

CMediaItem* CreateMediaItem();
