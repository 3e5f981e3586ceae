// A platform critical section owned by an object, and a scope that holds it: the audio chain's
// locks are held only for bookkeeping, never across a sleep or a call into a module.
#pragma once
#include <windows.h>

class CCriticalLock {
 public:
  CCriticalLock() { InitializeCriticalSection(&section_); }
  ~CCriticalLock() { DeleteCriticalSection(&section_); }
  CCriticalLock(const CCriticalLock&) = delete;
  CCriticalLock& operator=(const CCriticalLock&) = delete;
  void Enter() { EnterCriticalSection(&section_); }
  void Leave() { LeaveCriticalSection(&section_); }

 private:
  CRITICAL_SECTION section_;
};

class CHeldLock {
 public:
  explicit CHeldLock(CCriticalLock& lock) : lock_(lock) { lock_.Enter(); }
  ~CHeldLock() { lock_.Leave(); }
  CHeldLock(const CHeldLock&) = delete;
  CHeldLock& operator=(const CHeldLock&) = delete;

 private:
  CCriticalLock& lock_;
};
