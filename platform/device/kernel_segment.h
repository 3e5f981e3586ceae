// The device's kernel segment: one shared-memory file per device holding every waitable object
// (events, mutexes, threads, processes, message queues), the waiters, and the test clock, so that
// objects of all the device's processes can be waited on together through one mechanism.
#pragma once
#include <atomic>
#include <cstdint>
#include <pthread.h>

#include "device/shared_file.h"

namespace zb::kernel {

inline constexpr uint32_t kMaxObjects = 2048;
inline constexpr uint32_t kMaxWaiters = 512;
inline constexpr uint32_t kMaxWaitObjects = 64;
inline constexpr uint32_t kMaxRefs = 16;     // processes holding handles to one object
inline constexpr uint32_t kNameChars = 260;  // MAX_PATH
inline constexpr uint32_t kChunkBytes = 4096;
inline constexpr uint32_t kChunks = 512;     // message-queue ring buffers share these
inline constexpr uint32_t kChannels = 4;

enum class Kind : uint8_t { Free, Event, Mutex, Thread, Process, Queue };

// One process's share of an object: handles it holds, and how many of them write (queues).
struct Ref {
  int32_t pid;
  uint16_t count;
  uint16_t writers;
};

struct Object {
  uint32_t gen;  // bumped on free, so a stale reference never reaches a newer object
  Kind kind;
  uint8_t manualReset;
  uint8_t abandoned;  // mutex whose owner ended without releasing it
  uint8_t queueFlags;
  uint32_t signalled;  // event state; threads and processes set it when they end
  int32_t ownerPid, ownerTid;
  uint32_t recursion;
  int32_t pid, tid;     // thread and process records
  uint64_t startTime;   // process start (clock ticks since boot), defeats pid reuse
  uint32_t exitCode;
  uint32_t capacity, maxSize, head, count, firstChunk, chunks;  // queue ring buffer
  uint64_t channel[kChannels];  // process record: slots for the window room's queue channel
  char16_t name[kNameChars + 1];
  Ref refs[kMaxRefs];
};

// A waiter's registration. It stays in the table for the whole wait, so set, pulse and
// auto-reset hand the signal to blocks present at that moment, and the grant is made under the
// segment lock (never lost, never given twice).
struct WaitBlock {
  std::atomic<uint32_t> wake;  // futex word: 1 = look again
  uint32_t inUse;
  int32_t pid, tid;
  uint64_t seq;  // arrival order: first come, first granted
  uint32_t count;
  uint32_t all;
  uint32_t timed;  // has a finite timeout (the test clock's waiters)
  int32_t result;  // -1 while pending; else the index granted
  uint32_t abandoned;
  uint32_t index[kMaxWaitObjects];
  uint32_t gen[kMaxWaitObjects];
  uint8_t writeEnd[kMaxWaitObjects];
};

struct Segment {
  uint32_t magic;
  uint32_t version;
  uint64_t size;
  pthread_mutex_t lock;  // process-shared and robust
  uint64_t waitSeq;
  uint32_t clockActive;
  uint64_t clockMs;
  uint32_t chunkUsed[kChunks / 32];
  Object objects[kMaxObjects];
  WaitBlock waiters[kMaxWaiters];
  alignas(4096) uint8_t arena[kChunkBytes * kChunks];
};

// The segment of the current device, mapped on first use (and again after the device changes;
// an older mapping stays valid for handles that still point into it).
Segment& Current();

// Holds the segment lock. A process that died holding it leaves it to the next taker, which
// makes it consistent and sweeps the dead process's objects.
class Locked : public device::RobustLock {
 public:
  explicit Locked(Segment& s);
};

// Futex on a word in the shared mapping (so not FUTEX_PRIVATE). timeoutMs < 0 waits unbounded.
void FutexWait(std::atomic<uint32_t>& word, uint32_t expected, int64_t timeoutMs);
void FutexWakeAll(std::atomic<uint32_t>& word);

// Calling thread's and process's ids as the device reports them.
int32_t ThisPid();
int32_t ThisTid();

}  // namespace zb::kernel
