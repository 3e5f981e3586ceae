// A platform critical section owned by an object, and a scoped hold of it. The core's locks are
// critical sections (recursive, as on the device); these keep enter and leave paired.
#pragma once
#include <windows.h>

class CCriticalSection {
 public:
  CCriticalSection() { InitializeCriticalSection(&section_); }
  ~CCriticalSection() { DeleteCriticalSection(&section_); }
  CCriticalSection(const CCriticalSection&) = delete;
  CCriticalSection& operator=(const CCriticalSection&) = delete;

  void Enter() { EnterCriticalSection(&section_); }
  void Leave() { LeaveCriticalSection(&section_); }

 private:
  CRITICAL_SECTION section_;
};

class CSectionLock {
 public:
  explicit CSectionLock(CCriticalSection& section) : section_(section) { section_.Enter(); }
  ~CSectionLock() { section_.Leave(); }
  CSectionLock(const CSectionLock&) = delete;
  CSectionLock& operator=(const CSectionLock&) = delete;

 private:
  CCriticalSection& section_;
};
