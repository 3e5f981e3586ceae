// Mapping the kernel segment of the current device, its robust lock, and the futex calls.
// The file lives in the device's state folder; the first process to open it initialises it
// under flock, everybody else waits for that and maps the same bytes.
#include "device/kernel_segment.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <linux/futex.h>
#include <mutex>
#include <new>
#include <pthread.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "device/device.h"
#include "device/kernel_internal.h"
#include "device/shared_file.h"

namespace zb::kernel {
namespace {

constexpr uint32_t kMagic = 0x5a424b53;  // "ZBKS"
constexpr uint32_t kVersion = 1;

std::mutex g_mapLock;
Segment* g_current = nullptr;
unsigned g_currentGeneration = 0;

void Initialise(void* p, bool) {
  std::memset(p, 0, offsetof(Segment, arena));
  device::StampLayout(static_cast<Segment*>(p), kMagic, kVersion);
}

bool HoldsThisLayout(const void* p) { return device::HoldsLayout<Segment>(p, kMagic, kVersion); }

Segment* Map() {
  // A device folder that cannot hold the segment still gets working objects, only not shared
  // with the device's other processes.
  return static_cast<Segment*>(
      device::MapSharedFile("kernel-v1.seg", sizeof(Segment), HoldsThisLayout, Initialise,
                            "kernel: cannot share the device's kernel segment; objects stay in "
                            "this process\r\n"));
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

Locked::Locked(Segment& s)
    : RobustLock(&s.lock,
                 [](void* table) {
                   device::DebugLog("kernel: recovered the segment lock from a process that died holding it\r\n");
                   SweepDeadProcesses(*static_cast<Segment*>(table));
                 },
                 &s) {}

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
// Asked on every critical-section entry, so kept per thread instead of a system call each time;
// a forked child's thread has a new id, so the cache is dropped there.
namespace {
thread_local int32_t t_tid = 0;
void ForgetTid() { t_tid = 0; }
const int g_forgetAtFork = ::pthread_atfork(nullptr, nullptr, ForgetTid);
}  // namespace

int32_t ThisTid() {
  (void)g_forgetAtFork;
  if (t_tid == 0) t_tid = static_cast<int32_t>(::gettid());
  return t_tid;
}

}  // namespace zb::kernel
