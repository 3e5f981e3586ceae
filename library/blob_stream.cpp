// CBlobStream's reads, writes and seeks, and its end: a written blob takes the size and the
// checksum of the bytes it holds at that moment (however they were written, in order or not).
#include "blob_stream.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "blob_checksum.h"
#include "media_library.h"

CBlobStream::CBlobStream(CMediaLibrary* library, std::unique_ptr<CSqlBlob> blob, bool writable, DWORD mid, DWORD tag,
                         DWORD instance)
    : library_(library), blob_(std::move(blob)), writable_(writable), mid_(mid), tag_(tag), instance_(instance),
      size_(static_cast<DWORD>(blob_->Size())) {
  library_->AddRef();
}

CBlobStream::~CBlobStream() {
  DWORD crc = 0;
  if (writable_) {
    std::vector<BYTE> bytes(size_);
    if (size_ > 0 && blob_->Read(bytes.data(), static_cast<int>(size_), 0) == static_cast<int>(size_)) {
      crc = BlobChecksum(bytes.data(), size_);
    }
  }
  const LONG blobId = blob_->RowId();
  blob_->Close();
  library_->CloseBlobStream(blobId, writable_, size_, crc, mid_, tag_, instance_);
  library_->Unlock();  // the level taken when the stream opened
  library_->Release();
}

STDMETHODIMP CBlobStream::QueryInterface(REFIID riid, void** object) {
  return Answer(riid, object, {IID_IStream, IID_ISequentialStream});
}

STDMETHODIMP CBlobStream::Read(void* data, ULONG size, ULONG* done) {
  if (done) *done = 0;
  if (!data && size) return E_POINTER;
  const DWORD count = std::min<DWORD>(size, size_ - position_);
  if (count > 0 && blob_->Read(data, static_cast<int>(count), static_cast<int>(position_)) != static_cast<int>(count))
    return S_FALSE;
  position_ += count;
  if (done) *done = count;
  return S_OK;
}

STDMETHODIMP CBlobStream::Write(const void* data, ULONG size, ULONG* done) {
  if (done) *done = 0;
  if (!writable_) return STG_E_ACCESSDENIED;
  if (!data && size) return E_POINTER;
  const DWORD count = std::min<DWORD>(size, size_ - position_);
  if (count > 0 && blob_->Write(data, static_cast<int>(count), static_cast<int>(position_)) != static_cast<int>(count))
    return S_FALSE;
  written_ = written_ || count > 0;
  position_ += count;
  if (done) *done = count;
  // A blob never grows: the caller learns how much of its write fitted.
  return S_OK;
}

STDMETHODIMP CBlobStream::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) {
  LONGLONG base;
  switch (origin) {
    case STREAM_SEEK_SET: base = 0; break;
    case STREAM_SEEK_CUR: base = position_; break;
    case STREAM_SEEK_END: base = size_; break;
    default: return E_INVALIDARG;
  }
  const LONGLONG target = base + move.QuadPart;
  if (target < 0) position_ = 0;
  else if (target <= static_cast<LONGLONG>(size_)) position_ = static_cast<DWORD>(target);
  if (position) position->QuadPart = position_;
  return S_OK;
}

STDMETHODIMP CBlobStream::Stat(STATSTG* stat, DWORD flags) {
  if (flags != 0) return E_INVALIDARG;
  if (!stat) return E_POINTER;
  std::memset(stat, 0, sizeof *stat);
  stat->cbSize.QuadPart = size_;
  return S_OK;
}

STDMETHODIMP CBlobStream::Clone(IStream** clone) {
  if (clone) *clone = nullptr;
  return E_NOTIMPL;
}
