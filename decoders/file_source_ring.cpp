// The ring buffer of the file source: sized from the settings, taken over from the one large
// buffer kept between opens so that track changes do not allocate megabytes anew, and halved
// when memory is short, but never below a floor and never above a ceiling whatever the file says.
#include <algorithm>
#include <cstdlib>
#include <mutex>

#include "core/interface/input_source.h"
#include "core/settings/settings.h"
#include "file_reader_state.h"

namespace {

constexpr long long kTagReaderRing = 16384;
constexpr long long kMinRing = 16384;
constexpr long long kMaxRing = 64ll << 20;
constexpr long long kPageBound = 1 << 20;  // from here on whole pages
constexpr DWORD kWholeFile = 21;           // fileCacheSize: the whole file plus 64 KiB

std::mutex g_sharedLock;
BYTE* g_sharedBuffer = nullptr;
int g_sharedSize = 0;
bool g_sharedInUse = false;

bool MemoryAllows(long long size) {
  if (size < kPageBound) return true;
  MEMORYSTATUS status{};
  status.dwLength = sizeof status;
  GlobalMemoryStatus(&status);
  const long long need = size * 3 / 2 + 524288;
  if (static_cast<long long>(status.dwAvailPhys) <= need) return false;
  return size >= 2 * kPageBound || static_cast<long long>(status.dwAvailVirtual) > need;
}

BYTE* AllocateBytes(long long size) {
  if (!MemoryAllows(size)) return nullptr;
  if (size < kPageBound) return static_cast<BYTE*>(std::malloc(static_cast<size_t>(size)));
  return static_cast<BYTE*>(VirtualAlloc(nullptr, static_cast<SIZE_T>(size), MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
}

void FreeBytes(BYTE* buffer, long long size) {
  if (!buffer) return;
  if (size < kPageBound) std::free(buffer);
  else VirtualFree(buffer, 0, MEM_RELEASE);
}

long long WantedSize(const FileReaderState* state) {
  const CSettings* settings = GetSettings();
  long long kib = settings ? settings->fileCacheSize : 64;
  if (kib == kWholeFile) kib = static_cast<long long>(std::min<ULONGLONG>(state->fileSize / 1024, kMaxRing / 1024)) + 64;
  if (state->network && settings && settings->networkCacheSize != 0) kib = settings->networkCacheSize;
  const long long bytes = std::clamp(kib * 1024, kMinRing, kMaxRing);
  return (bytes + 4095) / 4096 * 4096;
}

// Halves the size after each failed try, down to the floor.
bool AllocateHalving(FileReaderState* state, long long size) {
  for (; size >= kMinRing; size /= 2) {
    if (BYTE* buffer = AllocateBytes(size)) {
      state->buffer = buffer;
      state->bufferSize = static_cast<int>(size);
      return true;
    }
  }
  return false;
}

}  // namespace

bool AllocateRing(FileReaderState* state, DWORD openFlags) {
  if (openFlags & INPUT_OPEN_SINGLE_SHOT) {
    if (!AllocateHalving(state, kTagReaderRing)) return false;
  } else {
    const long long wanted = WantedSize(state);
    std::lock_guard hold(g_sharedLock);
    if (g_sharedBuffer && !g_sharedInUse) {
      if (g_sharedSize >= wanted) {
        state->buffer = g_sharedBuffer;
        state->bufferSize = g_sharedSize;
        state->sharedBuffer = true;
        g_sharedInUse = true;
        return true;
      }
      FreeBytes(g_sharedBuffer, g_sharedSize);
      g_sharedBuffer = nullptr;
      g_sharedSize = 0;
    }
    if (!AllocateHalving(state, wanted)) return false;
  }
  if (openFlags != INPUT_OPEN_SINGLE_SHOT) {
    std::lock_guard hold(g_sharedLock);
    if (!g_sharedBuffer || !g_sharedInUse) {
      FreeBytes(g_sharedBuffer, g_sharedSize);
      g_sharedBuffer = state->buffer;
      g_sharedSize = state->bufferSize;
      g_sharedInUse = true;
      state->sharedBuffer = true;
    }
  }
  return true;
}

void ReleaseRing(FileReaderState* state) {
  if (state->sharedBuffer) {
    std::lock_guard hold(g_sharedLock);
    if (g_sharedBuffer == state->buffer) g_sharedInUse = false;
  } else {
    FreeBytes(state->buffer, state->bufferSize);
  }
  state->buffer = nullptr;
  state->sharedBuffer = false;
}
