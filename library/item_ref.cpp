// CItemRef: a read-only view of another item, handed to plug-in hooks and library listeners.
// Reads go to the wrapped item; every write is refused, so a listener can look but not change.
#include <new>

#include "com_object.h"
#include "library_item.h"
#include "tagnames.h"

namespace {

class CItemRef : public CComObject<IMediaItem> {
 public:
  explicit CItemRef(IMediaItem* item) : item_(item) {
    if (item_) item_->AddRef();
  }

  STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
    return Answer(riid, object, {IID_IMediaItem, IID_IMediaItemDirect});
  }

  STDMETHODIMP_(IMediaItem*) Clone() override { return new (std::nothrow) CItemRef(item_); }
  STDMETHODIMP Matches(IMediaItem* pattern, BOOL* matched) override { return Fwd(&IMediaItem::Matches, pattern, matched); }
  STDMETHODIMP GetSource(BSTR* source) override { return Fwd(&IMediaItem::GetSource, source); }
  STDMETHODIMP GetTagCount(DWORD* count) override { return Fwd(&IMediaItem::GetTagCount, count); }
  STDMETHODIMP GetTagName(DWORD id, BSTR* name) override { return Fwd(&IMediaItem::GetTagName, id, name); }
  STDMETHODIMP GetTagId(LPCWSTR name, DWORD* id) override { return Fwd(&IMediaItem::GetTagId, name, id); }
  STDMETHODIMP GetTagIdAt(LONG index, DWORD* id) override { return Fwd(&IMediaItem::GetTagIdAt, index, id); }
  STDMETHODIMP GetInstanceAt(LONG index, DWORD* instance) override {
    return Fwd(&IMediaItem::GetInstanceAt, index, instance);
  }
  STDMETHODIMP IndexOfTag(DWORD id, LONG* index) override { return Fwd(&IMediaItem::IndexOfTag, id, index); }
  STDMETHODIMP IndexOfTagNumber(DWORD number, LONG* index) override {
    return Fwd(&IMediaItem::IndexOfTagNumber, number, index);
  }
  STDMETHODIMP GetGuid(DWORD id, GUID* value) override { return Fwd(&IMediaItem::GetGuid, id, value); }
  STDMETHODIMP GetBytes(DWORD id, void* buffer, DWORD* size) override {
    return Fwd(&IMediaItem::GetBytes, id, buffer, size);
  }
  STDMETHODIMP GetSystemTime(DWORD id, SYSTEMTIME* value) override { return Fwd(&IMediaItem::GetSystemTime, id, value); }
  STDMETHODIMP GetFileTime(DWORD id, FILETIME* value) override { return Fwd(&IMediaItem::GetFileTime, id, value); }
  STDMETHODIMP GetFloat(DWORD id, float* value) override { return Fwd(&IMediaItem::GetFloat, id, value); }
  STDMETHODIMP GetInt(DWORD id, LONG* value) override { return Fwd(&IMediaItem::GetInt, id, value); }
  STDMETHODIMP GetString(DWORD id, BSTR* value) override { return Fwd(&IMediaItem::GetString, id, value); }
  STDMETHODIMP GetInstance(DWORD id, DWORD instance, void* buffer, DWORD* size) override {
    return Fwd(&IMediaItem::GetInstance, id, instance, buffer, size);
  }
  STDMETHODIMP GetGuidAt(LONG index, GUID* value) override { return Fwd(&IMediaItem::GetGuidAt, index, value); }
  STDMETHODIMP GetBytesAt(LONG index, void* buffer, DWORD* size) override {
    return Fwd(&IMediaItem::GetBytesAt, index, buffer, size);
  }
  STDMETHODIMP GetSystemTimeAt(LONG index, SYSTEMTIME* value) override {
    return Fwd(&IMediaItem::GetSystemTimeAt, index, value);
  }
  STDMETHODIMP GetFileTimeAt(LONG index, FILETIME* value) override {
    return Fwd(&IMediaItem::GetFileTimeAt, index, value);
  }
  STDMETHODIMP GetFloatAt(LONG index, float* value) override { return Fwd(&IMediaItem::GetFloatAt, index, value); }
  STDMETHODIMP GetIntAt(LONG index, LONG* value) override { return Fwd(&IMediaItem::GetIntAt, index, value); }
  STDMETHODIMP GetStringAt(LONG index, BSTR* value) override { return Fwd(&IMediaItem::GetStringAt, index, value); }

  STDMETHODIMP SetGuid(DWORD, REFGUID) override { return E_FAIL; }
  STDMETHODIMP SetBytes(DWORD, const void*, DWORD) override { return E_FAIL; }
  STDMETHODIMP SetSystemTime(DWORD, const SYSTEMTIME*) override { return E_FAIL; }
  STDMETHODIMP SetFileTime(DWORD, const FILETIME*) override { return E_FAIL; }
  STDMETHODIMP SetFloat(DWORD, float) override { return E_FAIL; }
  STDMETHODIMP SetInt(DWORD, LONG) override { return E_FAIL; }
  STDMETHODIMP SetString(DWORD, LPCWSTR) override { return E_FAIL; }
  STDMETHODIMP SetInstance(DWORD, DWORD, const void*, DWORD) override { return E_FAIL; }
  STDMETHODIMP Clear() override { return E_FAIL; }
  STDMETHODIMP RemoveTag(DWORD) override { return E_FAIL; }
  STDMETHODIMP RemoveAt(LONG) override { return E_FAIL; }
  STDMETHODIMP CreateBlobStream(DWORD, DWORD, IStream** stream, DWORD) override {
    if (stream) *stream = nullptr;
    return E_FAIL;
  }
  STDMETHODIMP RemoveInstance(DWORD, DWORD) override { return E_FAIL; }
  STDMETHODIMP IsReadOnlyAt(LONG, BOOL* readOnly) override {
    if (!readOnly) return E_POINTER;
    *readOnly = TRUE;
    return S_OK;
  }
  STDMETHODIMP GetTagIdByNumber(DWORD number, DWORD* id) override { return LookupTagIdByNumber(number, id); }

  // The later slots exist only on items that answer to the direct identifier.
  STDMETHODIMP OpenBlobStream(DWORD id, DWORD instance, IStream** stream) override {
    return Direct(&IMediaItem::OpenBlobStream, id, instance, stream);
  }
  STDMETHODIMP FormatTitle(DWORD mode, DWORD hint, LPCWSTR format, BSTR* title, LONG* missing) override {
    return Direct(&IMediaItem::FormatTitle, mode, hint, format, title, missing);
  }
  STDMETHODIMP IndexOfInstance(DWORD id, DWORD instance, LONG* index) override {
    return Direct(&IMediaItem::IndexOfInstance, id, instance, index);
  }
  STDMETHODIMP HasTag(DWORD id, BOOL* present) override { return Direct(&IMediaItem::HasTag, id, present); }
  STDMETHODIMP HasInstance(DWORD id, DWORD instance, BOOL* present) override {
    return Direct(&IMediaItem::HasInstance, id, instance, present);
  }

 protected:
  ~CItemRef() override {
    if (item_) item_->Release();
  }

 private:
  template <typename... Params, typename... Args>
  HRESULT Fwd(HRESULT (STDMETHODCALLTYPE IMediaItem::*slot)(Params...), Args... args) {
    return item_ ? (item_->*slot)(args...) : E_FAIL;
  }
  template <typename... Params, typename... Args>
  HRESULT Direct(HRESULT (STDMETHODCALLTYPE IMediaItem::*slot)(Params...), Args... args) {
    if (!item_) return E_FAIL;
    IMediaItem* direct = nullptr;
    const HRESULT asked = item_->QueryInterface(IID_IMediaItemDirect, reinterpret_cast<void**>(&direct));
    if (FAILED(asked) || !direct) return FAILED(asked) ? asked : E_FAIL;
    const HRESULT hr = (direct->*slot)(args...);
    direct->Release();
    return hr;
  }

  IMediaItem* item_;
};

}  // namespace

IMediaItem* CreateReadOnlyItem(IMediaItem* item) { return new (std::nothrow) CItemRef(item); }
