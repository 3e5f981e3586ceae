// Mapping the window system's segment of the current device and its robust lock. The file sits
// beside the kernel segment in the device's state folder; the first process to open it sizes it
// under flock, and a mapping of another layout is started afresh.
#include "gwes/wm_segment.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "device/device.h"

namespace zb::wm {
namespace {

constexpr uint32_t kMagic = 0x5a425753;  // "ZBWS"
constexpr uint32_t kVersion = 1;

std::mutex g_mapLock;
Segment* g_current = nullptr;
unsigned g_generation = 0;

void Initialise(Segment* s, bool fresh) {
  // A fresh file reads as zeros already; only a stale layout needs clearing.
  if (!fresh) std::memset(static_cast<void*>(s), 0, offsetof(Segment, arena));
  pthread_mutexattr_t attr;
  pthread_mutexattr_init(&attr);
  pthread_mutexattr_setpshared(&attr, PTHREAD_PROCESS_SHARED);
  pthread_mutexattr_setrobust(&attr, PTHREAD_MUTEX_ROBUST);
  pthread_mutex_init(&s->lock, &attr);
  pthread_mutexattr_destroy(&attr);
  s->topFirst = s->topLast = kNone;
  s->version = kVersion;
  s->size = sizeof(Segment);
  std::atomic_thread_fence(std::memory_order_release);
  s->magic = kMagic;
}

Segment* MapPrivate() {
  void* p = ::mmap(nullptr, sizeof(Segment), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) return nullptr;
  device::DebugLog("gwes: cannot share the device's window table; windows stay in this process\r\n");
  Initialise(static_cast<Segment*>(p), true);
  return static_cast<Segment*>(p);
}

Segment* Map() {
  auto path = device::StateFolder() / "gwes-v1.seg";
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return MapPrivate();
  ::flock(fd, LOCK_EX);
  struct stat st {};
  ::fstat(fd, &st);
  bool fresh = static_cast<uint64_t>(st.st_size) < sizeof(Segment);
  if (fresh && ::ftruncate(fd, sizeof(Segment)) != 0) {
    ::close(fd);
    return MapPrivate();
  }
  void* p = ::mmap(nullptr, sizeof(Segment), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  if (p == MAP_FAILED) {
    ::close(fd);
    return MapPrivate();
  }
  auto* s = static_cast<Segment*>(p);
  if (fresh || s->magic != kMagic || s->version != kVersion || s->size != sizeof(Segment))
    Initialise(s, fresh && st.st_size == 0);
  ::flock(fd, LOCK_UN);
  ::close(fd);
  return s;
}

bool UsedChunk(const Segment& s, uint32_t i) { return s.chunkUsed[i / 32] >> (i % 32) & 1; }
void MarkChunk(Segment& s, uint32_t i, bool used) {
  if (used) {
    s.chunkUsed[i / 32] |= 1u << (i % 32);
  } else {
    s.chunkUsed[i / 32] &= ~(1u << (i % 32));
  }
}

}  // namespace

Segment& Current() {
  std::lock_guard lock(g_mapLock);
  unsigned generation = device::Generation();
  if (!g_current || g_generation != generation) {
    // Older mappings stay mapped: windows of the previous device may still point there.
    Segment* mapped = Map();
    if (!mapped) {
      device::DebugLog("gwes: cannot map the device's window table\r\n");
      std::abort();
    }
    g_current = mapped;
    g_generation = generation;
  }
  return *g_current;
}

Locked::Locked(Segment& s) : s_(s) {
  if (pthread_mutex_lock(&s_.lock) == EOWNERDEAD) {
    pthread_mutex_consistent(&s_.lock);
    device::DebugLog("gwes: recovered the window table's lock from a process that died holding it\r\n");
    SweepDead(s_);
  }
}

Locked::~Locked() { pthread_mutex_unlock(&s_.lock); }

WindowSlot* Slot(Segment& s, HWND hwnd) {
  uint64_t v = HwndValue(hwnd);
  if (v == 0 || (v & 3) || v >= (1ull << 30)) return nullptr;
  uint32_t index = (v >> 2) & 0xFFF;
  if (index >= kMaxWindows) return nullptr;
  WindowSlot& w = s.windows[index];
  if (!w.live || (w.gen & 0xFFFF) != ((v >> 14) & 0xFFFF)) return nullptr;
  return &w;
}

bool AllocChunks(Segment& s, uint32_t bytes, uint32_t* first, uint32_t* count) {
  uint32_t n = (bytes + kChunkBytes - 1) / kChunkBytes;
  if (n == 0) n = 1;
  for (uint32_t start = 0; start + n <= kChunks; ++start) {
    uint32_t len = 0;
    while (len < n && !UsedChunk(s, start + len)) ++len;
    if (len == n) {
      for (uint32_t i = 0; i < n; ++i) MarkChunk(s, start + i, true);
      *first = start;
      *count = n;
      return true;
    }
    start += len;
  }
  return false;
}

void FreeChunks(Segment& s, uint32_t first, uint32_t count) {
  for (uint32_t i = 0; i < count && first + i < kChunks; ++i) MarkChunk(s, first + i, false);
}

}  // namespace zb::wm
