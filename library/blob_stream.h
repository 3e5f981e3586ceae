// CBlobStream: an IStream over one blob_data value. It holds one level of the library lock and
// an open transaction from its opening to its last release; a blob never grows through it.
#pragma once
#include <objidl.h>
#include <windows.h>

#include <memory>

#include "com_object.h"
#include "sql_database.h"

class CMediaLibrary;

class CBlobStream : public CComObject<IStream> {
 public:
  // Takes over the blob; the library's lock and transaction are already held for the stream.
  CBlobStream(CMediaLibrary* library, std::unique_ptr<CSqlBlob> blob, bool writable, DWORD mid, DWORD tag,
              DWORD instance);

  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
  STDMETHODIMP Read(void* data, ULONG size, ULONG* done) override;
  STDMETHODIMP Write(const void* data, ULONG size, ULONG* done) override;
  STDMETHODIMP Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override;
  STDMETHODIMP SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
  STDMETHODIMP CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override { return E_NOTIMPL; }
  STDMETHODIMP Commit(DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP Revert() override { return E_NOTIMPL; }
  STDMETHODIMP LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP Stat(STATSTG* stat, DWORD flags) override;
  STDMETHODIMP Clone(IStream** clone) override;

 protected:
  ~CBlobStream() override;

 private:
  CMediaLibrary* library_;
  std::unique_ptr<CSqlBlob> blob_;
  bool writable_;
  bool written_ = false;
  DWORD mid_, tag_, instance_;
  DWORD position_ = 0;
  DWORD size_;
};
