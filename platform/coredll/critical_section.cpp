// Critical sections: recursive host mutexes kept inside the caller's CRITICAL_SECTION record.
#include <pthread.h>
#include <windows.h>

#include "device/device.h"
#include "device/kernel_segment.h"

namespace {

static_assert(sizeof(pthread_mutex_t) <= sizeof(CRITICAL_SECTION::Storage));

pthread_mutex_t* HostLock(LPCRITICAL_SECTION section) { return reinterpret_cast<pthread_mutex_t*>(section->Storage); }

HANDLE ThisThread() { return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(zb::kernel::ThisTid())); }

// The owner field is read by threads that do not hold the section, so it is written atomically.
void TakeOwnership(LPCRITICAL_SECTION section) {
  ++section->LockCount;
  __atomic_store_n(&section->OwnerThread, ThisThread(), __ATOMIC_RELAXED);
}

}  // namespace

extern "C" void InitializeCriticalSection(LPCRITICAL_SECTION section) {
  section->LockCount = 0;
  section->OwnerThread = nullptr;
  pthread_mutexattr_t attr;
  pthread_mutexattr_init(&attr);
  pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
  pthread_mutex_init(HostLock(section), &attr);
  pthread_mutexattr_destroy(&attr);
}

extern "C" void DeleteCriticalSection(LPCRITICAL_SECTION section) { pthread_mutex_destroy(HostLock(section)); }

extern "C" void EnterCriticalSection(LPCRITICAL_SECTION section) {
  pthread_mutex_lock(HostLock(section));
  TakeOwnership(section);
}

extern "C" BOOL TryEnterCriticalSection(LPCRITICAL_SECTION section) {
  if (pthread_mutex_trylock(HostLock(section)) != 0) return FALSE;
  TakeOwnership(section);
  return TRUE;
}

extern "C" void LeaveCriticalSection(LPCRITICAL_SECTION section) {
  // Leaving a section this thread does not hold would release somebody else's lock: refuse.
  if (__atomic_load_n(&section->OwnerThread, __ATOMIC_RELAXED) != ThisThread()) {
    zb::device::DebugLog("LeaveCriticalSection: section not held by this thread; ignored\r\n");
    return;
  }
  if (--section->LockCount == 0) __atomic_store_n(&section->OwnerThread, HANDLE{}, __ATOMIC_RELAXED);
  pthread_mutex_unlock(HostLock(section));
}
