// IStream over a movable global memory block. The block always has the stream's exact size, so
// whoever takes it with GetHGlobalFromStream finds the data and its length in it; writing past
// the end grows it (zero-filling any gap), SetSize changes it. Clones share the block and its
// size and keep a position of their own; the block is freed with the last of them when the
// creator asked for that.
#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <objbase.h>
#include <windows.h>

#include "ole/com_object.h"

namespace zb::ole {
namespace {

constexpr ULONGLONG kLargest = 0xFFFFFFFFull;  // a stream on the device is 32-bit at most

struct SharedBlock {
  std::mutex lock;
  HGLOBAL memory = nullptr;
  ULONGLONG size = 0;
  bool deleteOnRelease = false;
  ~SharedBlock() {
    if (deleteOnRelease) GlobalFree(memory);
  }

  // Resizes the block to exactly `bytes`, zero-filling what grows. Holds `lock`.
  HRESULT Resize(ULONGLONG bytes) {
    if (bytes > kLargest) return STG_E_MEDIUMFULL;
    if (bytes == size) return S_OK;
    HGLOBAL moved = GlobalReAlloc(memory, static_cast<SIZE_T>(bytes), GMEM_MOVEABLE | GMEM_ZEROINIT);
    if (!moved) return E_OUTOFMEMORY;
    memory = moved;
    size = bytes;
    return S_OK;
  }
};

class HGlobalStream : public ComObject<IStream> {
 public:
  HGlobalStream(std::shared_ptr<SharedBlock> block, ULONGLONG position) : block_(std::move(block)), position_(position) {}

  HGLOBAL memory() const { return block_->memory; }

  STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
    return Answer(riid, object, {&IID_ISequentialStream, &IID_IStream});
  }

  STDMETHODIMP Read(void* data, ULONG size, ULONG* read) override {
    if (read) *read = 0;
    if (!data) return STG_E_INVALIDPOINTER;
    std::lock_guard guard(block_->lock);
    ULONG n = position_ >= block_->size ? 0 : static_cast<ULONG>(std::min<ULONGLONG>(size, block_->size - position_));
    if (n) {
      std::memcpy(data, static_cast<const char*>(GlobalLock(block_->memory)) + position_, n);
      GlobalUnlock(block_->memory);
    }
    position_ += n;
    if (read) *read = n;
    return S_OK;
  }

  STDMETHODIMP Write(const void* data, ULONG size, ULONG* written) override {
    if (written) *written = 0;
    if (!data) return STG_E_INVALIDPOINTER;
    if (size == 0) return S_OK;
    std::lock_guard guard(block_->lock);
    ULONGLONG end = position_ + size;
    if (end > block_->size) {
      if (HRESULT hr = block_->Resize(end); FAILED(hr)) return hr;
    }
    std::memcpy(static_cast<char*>(GlobalLock(block_->memory)) + position_, data, size);
    GlobalUnlock(block_->memory);
    position_ = end;
    if (written) *written = size;
    return S_OK;
  }

  STDMETHODIMP Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override {
    std::lock_guard guard(block_->lock);
    LONGLONG base;
    switch (origin) {
      case STREAM_SEEK_SET: base = 0; break;
      case STREAM_SEEK_CUR: base = static_cast<LONGLONG>(position_); break;
      case STREAM_SEEK_END: base = static_cast<LONGLONG>(block_->size); break;
      default: return STG_E_INVALIDFUNCTION;
    }
    const LONGLONG limit = static_cast<LONGLONG>(kLargest);
    if (move.QuadPart > limit || move.QuadPart < -limit) return STG_E_INVALIDFUNCTION;
    LONGLONG target = base + move.QuadPart;
    if (target < 0 || target > limit) return STG_E_INVALIDFUNCTION;  // before the start, or beyond 32 bits
    position_ = static_cast<ULONGLONG>(target);
    if (position) position->QuadPart = position_;
    return S_OK;
  }

  STDMETHODIMP SetSize(ULARGE_INTEGER size) override {
    std::lock_guard guard(block_->lock);
    if (size.QuadPart > kLargest) return STG_E_INVALIDFUNCTION;
    return block_->Resize(size.QuadPart);
  }

  STDMETHODIMP CopyTo(IStream* target, ULARGE_INTEGER size, ULARGE_INTEGER* read, ULARGE_INTEGER* written) override {
    if (read) read->QuadPart = 0;
    if (written) written->QuadPart = 0;
    if (!target) return STG_E_INVALIDPOINTER;
    ULONGLONG left = size.QuadPart, total = 0, stored = 0;
    char buffer[65536];
    while (left > 0) {
      ULONG got = 0, put = 0;
      HRESULT hr = Read(buffer, static_cast<ULONG>(std::min<ULONGLONG>(left, sizeof(buffer))), &got);
      if (FAILED(hr) || got == 0) break;
      total += got;
      hr = target->Write(buffer, got, &put);
      stored += put;
      if (FAILED(hr)) {
        if (read) read->QuadPart = total;
        if (written) written->QuadPart = stored;
        return hr;
      }
      left -= got;
    }
    if (read) read->QuadPart = total;
    if (written) written->QuadPart = stored;
    return S_OK;
  }

  STDMETHODIMP Commit(DWORD) override { return S_OK; }  // memory has nothing to commit to
  STDMETHODIMP Revert() override { return S_OK; }
  STDMETHODIMP LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return STG_E_INVALIDFUNCTION; }
  STDMETHODIMP UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return STG_E_INVALIDFUNCTION; }

  STDMETHODIMP Stat(STATSTG* stat, DWORD flags) override {
    if (!stat) return STG_E_INVALIDPOINTER;
    if (flags != STATFLAG_DEFAULT && flags != STATFLAG_NONAME) return STG_E_INVALIDFLAG;
    std::lock_guard guard(block_->lock);
    std::memset(stat, 0, sizeof(*stat));
    stat->type = STGTY_STREAM;
    stat->cbSize.QuadPart = block_->size;
    stat->grfMode = STGM_READWRITE;
    return S_OK;
  }

  STDMETHODIMP Clone(IStream** clone) override {
    if (!clone) return STG_E_INVALIDPOINTER;
    std::lock_guard guard(block_->lock);
    *clone = new HGlobalStream(block_, position_);
    return S_OK;
  }

 private:
  std::shared_ptr<SharedBlock> block_;
  ULONGLONG position_;
};

}  // namespace
}  // namespace zb::ole

extern "C" HRESULT CreateStreamOnHGlobal(HGLOBAL memory, BOOL deleteOnRelease, LPSTREAM* stream) {
  if (!stream) return E_INVALIDARG;
  *stream = nullptr;
  auto block = std::make_shared<zb::ole::SharedBlock>();
  if (memory) {
    SetLastError(NO_ERROR);
    SIZE_T size = GlobalSize(memory);
    if (size == 0 && GetLastError() == ERROR_INVALID_HANDLE) return E_INVALIDARG;
    block->memory = memory;
    block->size = size;
  } else {
    block->memory = GlobalAlloc(GMEM_MOVEABLE, 0);
    if (!block->memory) return E_OUTOFMEMORY;
  }
  block->deleteOnRelease = deleteOnRelease != FALSE;
  *stream = new zb::ole::HGlobalStream(std::move(block), 0);
  return S_OK;
}

extern "C" HRESULT GetHGlobalFromStream(LPSTREAM stream, HGLOBAL* memory) {
  if (!memory) return E_INVALIDARG;
  *memory = nullptr;
  auto* ours = dynamic_cast<zb::ole::HGlobalStream*>(stream);
  if (!ours) return E_INVALIDARG;
  *memory = ours->memory();
  return S_OK;
}
