// The spin lock. A waiter sleeps a millisecond per poll; when it cannot read the owner's
// priority it runs at normal priority meanwhile, so a low-priority waiter cannot be starved by
// an owner it knows nothing about, and gets its own priority back before it retries.
#include "settingsui/spin_lock.h"

namespace {
constexpr int kWaitPriority = THREAD_PRIORITY_NORMAL;
}

void CSpinLock::Init(const WCHAR* name) {
  lockWord_ = 0;
  ownerId_ = kNoOwner;
  ownerHandle_ = kNoOwner;
  count_ = 0;
  const size_t n = name ? wcsnlen(name, 63) : 0;
  for (size_t i = 0; i < n; ++i) name_[i] = name[i];
  name_[n] = 0;
}

void CSpinLock::Lock() {
  const DWORD me = GetCurrentThreadId();
  if (lockWord_ != 0 && ownerId_.load(std::memory_order_relaxed) == me) {
    ++count_;
    return;
  }
  for (;;) {
    if (InterlockedTestExchange(&lockWord_, 0, 1) == 0) break;
    if (lockWord_ == 0) continue;  // released in the meantime
    const int own = GetThreadPriority(GetCurrentThread());
    const HANDLE owner = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(ownerHandle_.load(std::memory_order_relaxed)));
    const bool raised = GetThreadPriority(owner) == THREAD_PRIORITY_ERROR_RETURN;
    if (raised) SetThreadPriority(GetCurrentThread(), kWaitPriority);
    while (lockWord_ != 0) Sleep(1);
    if (raised) SetThreadPriority(GetCurrentThread(), own);
  }
  ownerId_.store(me, std::memory_order_relaxed);
  ownerHandle_.store(me, std::memory_order_relaxed);
  ++count_;
}

void CSpinLock::Unlock() {
  if (ownerId_.load(std::memory_order_relaxed) != GetCurrentThreadId()) return;
  if (--count_ > 0) return;
  count_ = 0;
  ownerId_.store(kNoOwner, std::memory_order_relaxed);
  ownerHandle_.store(kNoOwner, std::memory_order_relaxed);
  InterlockedExchange(&lockWord_, 0);
  Sleep(1);  // lets a waiting thread take the lock
}

void CSpinLock::Destroy() { Init(name_); }
