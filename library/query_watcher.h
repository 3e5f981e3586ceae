// The cancel watcher of one query: a thread that polls the caller's cancel callback every 250 ms
// and raises the query's cancel flag when the callback asks. It never takes the library lock, so
// the callback may call into the library; the query stops it after letting the lock go.
#pragma once
#include <windows.h>

#include <atomic>
#include <memory>

#include "querytags.h"

class CQueryWatcher {
 public:
  static constexpr DWORD kPollMs = 250;

  // Starts polling when a callback is given; without one only the flag exists.
  CQueryWatcher(QueryCancelCallback callback, DWORD_PTR context);
  // Stops polling: waits up to a second for a callback still running, then leaves the thread
  // to end by itself (it owns what it touches), never terminating it inside the callback.
  ~CQueryWatcher();
  CQueryWatcher(const CQueryWatcher&) = delete;
  CQueryWatcher& operator=(const CQueryWatcher&) = delete;

  // The flag the query reads between rows and steps; filters raise it too.
  std::atomic<bool>& Flag() { return block_->cancelled; }

 private:
  struct Block {
    std::atomic<bool> cancelled{false};
    HANDLE stop = nullptr;
    QueryCancelCallback callback = nullptr;
    DWORD_PTR context = 0;
    ~Block();
  };
  static DWORD WINAPI Main(LPVOID parameter);

  std::shared_ptr<Block> block_;
  HANDLE thread_ = nullptr;
};
