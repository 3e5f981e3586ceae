// CItemStream: the writable stream a detached item hands out for a blob tag. Bytes collect in a
// memory stream and become the tag's value when the last reference goes.
#pragma once
#include <objidl.h>
#include <windows.h>

#include "com_object.h"
#include "mediaitem.h"

class CItemStream : public CComObject<IStream> {
 public:
  // Null when the memory stream cannot be made.
  static CItemStream* Create(IMediaItem* item, DWORD tag, DWORD instance, DWORD reserved);

  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
  STDMETHODIMP Read(void* data, ULONG size, ULONG* done) override { return memory_->Read(data, size, done); }
  STDMETHODIMP Write(const void* data, ULONG size, ULONG* done) override { return memory_->Write(data, size, done); }
  STDMETHODIMP Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override {
    return memory_->Seek(move, origin, position);
  }
  STDMETHODIMP SetSize(ULARGE_INTEGER size) override { return memory_->SetSize(size); }
  STDMETHODIMP CopyTo(IStream* to, ULARGE_INTEGER size, ULARGE_INTEGER* read, ULARGE_INTEGER* written) override {
    return memory_->CopyTo(to, size, read, written);
  }
  STDMETHODIMP Commit(DWORD flags) override { return memory_->Commit(flags); }
  STDMETHODIMP Revert() override { return memory_->Revert(); }
  STDMETHODIMP LockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER size, DWORD type) override {
    return memory_->LockRegion(offset, size, type);
  }
  STDMETHODIMP UnlockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER size, DWORD type) override {
    return memory_->UnlockRegion(offset, size, type);
  }
  STDMETHODIMP Stat(STATSTG* stat, DWORD flags) override { return memory_->Stat(stat, flags); }
  STDMETHODIMP Clone(IStream** clone) override { return memory_->Clone(clone); }

 protected:
  ~CItemStream() override;

 private:
  CItemStream(IMediaItem* item, IStream* memory, DWORD tag, DWORD instance, DWORD reserved);

  IMediaItem* item_;
  IStream* memory_;
  DWORD tag_;
  DWORD instance_;
  DWORD reserved_;  // kept as given; nothing reads it
};
