// Image sources over files, memory and stream objects, and the callbacks that hand them to the
// BMP reader and to the decompressor. Seeks outside a source's 32-bit range are refused.
#include "skin/image_sources.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "core/interface/input_source.h"

namespace zb::skin {
namespace {

// A memory block read by the BMP reader: its own cursor, made at open.
struct MemoryCursor {
  MemoryImageSource source;
};

HANDLE OpenMemory(const void* source) {
  const auto* memory = static_cast<const ImageMemory*>(source);
  if (!memory || (!memory->data && memory->size)) return INVALID_HANDLE_VALUE;
  return reinterpret_cast<HANDLE>(new MemoryCursor{MemoryImageSource(*memory)});
}
BOOL ReadMemory(HANDLE h, void* buffer, DWORD count, DWORD* got) {
  *got = reinterpret_cast<MemoryCursor*>(h)->source.Read(buffer, count);
  return TRUE;
}
DWORD SeekMemory(HANDLE h, LONG offset, DWORD origin) {
  DWORD position = 0;
  return reinterpret_cast<MemoryCursor*>(h)->source.Seek(offset, origin, &position) ? position : 0xFFFFFFFF;
}
void CloseMemory(HANDLE h) { delete reinterpret_cast<MemoryCursor*>(h); }

HANDLE OpenStream(const void* source) {
  return source ? reinterpret_cast<HANDLE>(const_cast<void*>(source)) : INVALID_HANDLE_VALUE;
}
BOOL ReadStream(HANDLE h, void* buffer, DWORD count, DWORD* got) {
  StreamImageSource stream(reinterpret_cast<InputSource*>(h));
  *got = stream.Read(buffer, count);
  return TRUE;
}
DWORD SeekStream(HANDLE h, LONG offset, DWORD origin) {
  StreamImageSource stream(reinterpret_cast<InputSource*>(h));
  DWORD position = 0;
  return stream.Seek(offset, origin, &position) ? position : 0xFFFFFFFF;
}
void CloseStream(HANDLE) {}  // the stream belongs to the caller

// A new position from a base and an offset, inside 0 ... limit.
bool Move(int64_t base, LONG offset, int64_t limit, DWORD* position) {
  const int64_t to = base + offset;
  if (to < 0 || to > limit) return false;
  *position = static_cast<DWORD>(to);
  return true;
}

}  // namespace

DWORD FileImageSource::Read(void* buffer, DWORD count) {
  DWORD got = 0;
  if (file_ == INVALID_HANDLE_VALUE || !ReadFile(file_, buffer, count, &got, nullptr)) return 0;
  return got;
}

bool FileImageSource::Seek(LONG offset, DWORD origin, DWORD* position) {
  if (file_ == INVALID_HANDLE_VALUE) return false;
  SetLastError(NO_ERROR);
  const DWORD to = SetFilePointer(file_, offset, nullptr, origin);
  if (to == 0xFFFFFFFF && GetLastError() != NO_ERROR) return false;
  *position = to;
  return true;
}

DWORD MemoryImageSource::Read(void* buffer, DWORD count) {
  const DWORD n = std::min(count, memory_.size - position_);
  if (n) std::memcpy(buffer, memory_.data + position_, n);
  position_ += n;
  return n;
}

bool MemoryImageSource::Seek(LONG offset, DWORD origin, DWORD* position) {
  const int64_t base = origin == FILE_BEGIN ? 0 : origin == FILE_CURRENT ? position_ : memory_.size;
  if (origin > FILE_END || !Move(base, offset, memory_.size, position)) return false;
  position_ = *position;
  return true;
}

DWORD StreamImageSource::Read(void* buffer, DWORD count) {
  if (!stream_ || !stream_->Read || count > static_cast<DWORD>(std::numeric_limits<int>::max())) return 0;
  const int got = stream_->Read(stream_, buffer, 1, static_cast<int>(count));
  return got > 0 ? std::min(static_cast<DWORD>(got), count) : 0;
}

bool StreamImageSource::Seek(LONG offset, DWORD origin, DWORD* position) {
  if (!stream_ || !stream_->Seek || origin > FILE_END) return false;
  if (stream_->Seek(stream_, static_cast<int>(origin), offset) != 0) return false;
  const int at = stream_->Tell ? stream_->Tell(stream_) : 0;
  if (at < 0) return false;
  *position = static_cast<DWORD>(at);
  return true;
}

const BmpSourceCallbacks kBmpMemoryCallbacks = {OpenMemory, ReadMemory, SeekMemory, CloseMemory};
const BmpSourceCallbacks kBmpStreamCallbacks = {OpenStream, ReadStream, SeekStream, CloseStream};

DWORD CALLBACK ReadImageData(LPSTR buffer, DWORD count, LPARAM lParam) {
  auto* context = reinterpret_cast<ImageContext*>(lParam);
  if (!context || !context->source || !buffer) return 0;
  return context->source->Read(buffer, count);
}

HRESULT CALLBACK SeekImageData(LONGLONG offset, DWORD origin, DWORD* position, LPARAM lParam) {
  auto* context = reinterpret_cast<ImageContext*>(lParam);
  if (!context || !context->source || !position || offset < std::numeric_limits<LONG>::min() ||
      offset > std::numeric_limits<LONG>::max()) {
    return E_FAIL;
  }
  return context->source->Seek(static_cast<LONG>(offset), origin, position) ? S_OK : E_FAIL;
}

void CALLBACK KeepImageRender(IImageRender* render, BOOL complete, LPARAM lParam) {
  auto* context = reinterpret_cast<ImageContext*>(lParam);
  if (!context || !context->wantMask || !complete || !render || context->render) return;
  render->AddRef();
  context->render = render;
}

}  // namespace zb::skin
