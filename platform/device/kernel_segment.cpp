// Mapping the kernel segment of the current device, its robust lock, and the futex calls.
// The file lives in the device's state folder; the first process to open it initialises it
// under flock, everybody else waits for that and maps the same bytes.
#include "device/kernel_segment.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <linux/futex.h>
#include <mutex>
#include <new>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "device/device.h"
#include "device/kernel_internal.h"

namespace zb::kernel {
namespace {

constexpr uint32_t kMagic = 0x5a424b53;  // "ZBKS"
constexpr uint32_t kVersion = 1;

std::mutex g_mapLock;
Segment* g_current = nullptr;
unsigned g_currentGeneration = 0;

void Initialise(Segment* s) {
  std::memset(static_cast<void*>(s), 0, offsetof(Segment, arena));
  pthread_mutexattr_t attr;
  pthread_mutexattr_init(&attr);
  pthread_mutexattr_setpshared(&attr, PTHREAD_PROCESS_SHARED);
  pthread_mutexattr_setrobust(&attr, PTHREAD_MUTEX_ROBUST);
  pthread_mutex_init(&s->lock, &attr);
  pthread_mutexattr_destroy(&attr);
  s->version = kVersion;
  s->size = sizeof(Segment);
  std::atomic_thread_fence(std::memory_order_release);
  s->magic = kMagic;
}

// A device folder that cannot hold the segment still gets working objects, only not shared
// with the device's other processes.
Segment* MapPrivate() {
  void* p = ::mmap(nullptr, sizeof(Segment), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) return nullptr;
  device::DebugLog("kernel: cannot share the device's kernel segment; objects stay in this process\r\n");
  Initialise(static_cast<Segment*>(p));
  return static_cast<Segment*>(p);
}

Segment* Map() {
  auto path = device::StateFolder() / "kernel-v1.seg";
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
  if (fresh || s->magic != kMagic || s->version != kVersion || s->size != sizeof(Segment)) Initialise(s);
  ::flock(fd, LOCK_UN);
  ::close(fd);  // the mapping keeps the file
  return s;
}

void DetachAtExit() {
  std::lock_guard mapLock(g_mapLock);
  if (!g_current) return;
  Locked lock(*g_current);
  EndProcessLocked(*g_current, ThisPid(), std::nullopt);
}

}  // namespace

Segment& Current() {
  unsigned generation = device::Generation();
  Segment* s;
  {
    std::lock_guard lock(g_mapLock);
    if (!g_current || g_currentGeneration != generation) {
      // Older mappings stay mapped: handles made on the previous device may still point there.
      Segment* mapped = Map();
      if (!mapped) {
        device::DebugLog("kernel: cannot map the device's kernel segment\r\n");
        std::abort();
      }
      static std::once_flag atExit;
      std::call_once(atExit, [] { std::atexit(DetachAtExit); });
      g_current = mapped;
      g_currentGeneration = generation;
    } else {
      return *g_current;
    }
    s = g_current;
  }
  {
    Locked lock(*s);
    RegisterProcessLocked(*s, ThisPid(), ProcessStartTime(ThisPid()));
  }
  return *s;
}

Locked::Locked(Segment& s) : s_(s) { Relock(); }

Locked::~Locked() {
  if (held_) Unlock();
}

void Locked::Unlock() {
  pthread_mutex_unlock(&s_.lock);
  held_ = false;
}

void Locked::Relock() {
  int r = pthread_mutex_lock(&s_.lock);
  held_ = true;
  if (r == EOWNERDEAD) {
    pthread_mutex_consistent(&s_.lock);
    device::DebugLog("kernel: recovered the segment lock from a process that died holding it\r\n");
    SweepDeadProcesses(s_);
  }
}

void FutexWait(std::atomic<uint32_t>& word, uint32_t expected, int64_t timeoutMs) {
  timespec ts{};
  timespec* pts = nullptr;
  if (timeoutMs >= 0) {
    ts.tv_sec = timeoutMs / 1000;
    ts.tv_nsec = (timeoutMs % 1000) * 1000000;
    pts = &ts;
  }
  ::syscall(SYS_futex, reinterpret_cast<uint32_t*>(&word), FUTEX_WAIT, expected, pts, nullptr, 0);
}

void FutexWakeAll(std::atomic<uint32_t>& word) {
  ::syscall(SYS_futex, reinterpret_cast<uint32_t*>(&word), FUTEX_WAKE, INT_MAX, nullptr, nullptr, 0);
}

int32_t ThisPid() { return static_cast<int32_t>(::getpid()); }
int32_t ThisTid() { return static_cast<int32_t>(::gettid()); }

}  // namespace zb::kernel
