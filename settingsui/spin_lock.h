// CSpinLock: the program's light recursive lock, embedded in what it guards (the file source's
// read-ahead buffers, the visualisation host). It never blocks in the kernel: a waiting thread
// polls with one-millisecond sleeps. Init must run before any other operation.
#pragma once
#include <windows.h>

#include <atomic>

class CSpinLock {
 public:
  void Init(const WCHAR* name);
  // Takes the lock; the owner may take it again (each Lock needs its Unlock).
  void Lock();
  // Releases one level; a call from a thread that does not own the lock does nothing.
  void Unlock();
  // Ends the lock's life; it must not be held.
  void Destroy();

  DWORD OwnerThreadId() const { return ownerId_.load(std::memory_order_relaxed); }
  LONG RecursionCount() const { return count_; }
  bool IsHeld() const { return lockWord_ != 0; }
  const WCHAR* Name() const { return name_; }

  static constexpr DWORD kNoOwner = static_cast<DWORD>(-1);

 private:
  LONG volatile lockWord_ = 0;                 // 0 free, 1 held; changed only atomically
  std::atomic<DWORD> ownerId_{kNoOwner};       // read by waiters, written by the owner
  LONG count_ = 0;                             // the owner's unreleased Lock calls
  std::atomic<DWORD> ownerHandle_{kNoOwner};   // the owner's id, used as a handle for its priority
  WCHAR name_[64] = {};
};
