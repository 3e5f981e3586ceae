// Device-wide shared memory for the layer's tables (the kernel's objects, the window system's
// windows): a file in the device's state folder that every process of the device maps, sized
// and initialised once under flock, started afresh when it holds another layout, and a private
// stand-in when the folder cannot hold it. Its lock is a process-shared robust mutex.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <pthread.h>
#include <string_view>

namespace zb::device {

// `current` tells whether a mapping holds this layout already; `init` lays it out (under the
// flock), `fresh` when the bytes are known to be zeros. `privateNote` goes to the debug log when
// the mapping has to stay private.
// Returns nullptr only when not even a private mapping can be had.
void* MapSharedFile(std::string_view fileName, size_t size, bool (*current)(const void*),
                    void (*init)(void*, bool fresh), std::string_view privateNote);

// The header every shared table starts with: magic, version, size, then its robust lock.
template <class Table>
bool HoldsLayout(const void* p, uint32_t magic, uint32_t version) {
  const auto* t = static_cast<const Table*>(p);
  return t->magic == magic && t->version == version && t->size == sizeof(Table);
}
void InitRobustMutex(pthread_mutex_t* mutex);
// Lays the header last, so a table is only taken for current once the rest is in place.
template <class Table>
void StampLayout(Table* t, uint32_t magic, uint32_t version) {
  InitRobustMutex(&t->lock);
  t->version = version;
  t->size = sizeof(Table);
  std::atomic_thread_fence(std::memory_order_release);
  t->magic = magic;
}

// Holds a table's lock. `recovered` runs under the lock when its previous owner died holding it,
// to sweep what that process left half done.
class RobustLock {
 public:
  RobustLock(pthread_mutex_t* mutex, void (*recovered)(void*), void* table);
  ~RobustLock();
  RobustLock(const RobustLock&) = delete;
  RobustLock& operator=(const RobustLock&) = delete;
  void Unlock();
  void Relock();

 private:
  pthread_mutex_t* mutex_;
  void (*recovered_)(void*);
  void* table_;
  bool held_ = false;
};

// Runs of free chunks in a bitmap of `chunks` bits (used = 1), for the tables' data arenas.
bool AllocChunkRun(uint32_t* bits, uint32_t chunks, uint32_t count, uint32_t* first);
void FreeChunkRun(uint32_t* bits, uint32_t first, uint32_t count);

}  // namespace zb::device
