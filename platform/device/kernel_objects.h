// Operations on the kernel segment's objects, for coredll's handles and for the rooms that wait
// on them (the window room adds its thread's queue event to a wait as one more object).
// Every call takes the segment lock itself; references count per process so a crashed
// process's share is reclaimed by the next sweep.
#pragma once
#include <atomic>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "device/kernel_segment.h"

namespace zb::kernel {

// Names an object of one segment; writeEnd picks a queue's writing side.
struct ObjectRef {
  Segment* segment = nullptr;
  uint32_t index = 0;
  uint32_t gen = 0;
  bool writeEnd = false;
  Object& object() const { return segment->objects[index]; }
};

enum class Status {
  Ok,
  Existed,       // a named object of that name was opened instead
  WrongKind,     // the name belongs to another kind of object
  NameTooLong,
  NoResources,   // object, waiter or queue-buffer table full
  Invalid,       // stale reference or bad argument
  NotOwner,
  Timeout,
  Cancelled,     // the waiting thread was marked for cancellation
  Broken,        // queue without a peer and not allowed to be broken
  TooBig,        // queue record larger than the buffer or the queue's record size
  Full,
};

struct Created {
  Status status;
  ObjectRef ref;
};

struct EventSpec {
  bool manualReset = false;
  bool initialState = false;
};
struct QueueSpec {
  uint32_t maxMessages = 0;  // 0: no limit of the platform's own; the buffer still bounds it
  uint32_t maxSize = 0;
  bool allowBroken = false;
  bool writeEnd = false;
};

// Named objects are found by exact (case-sensitive) name within the device; an empty name makes
// an anonymous object. Queues have a namespace of their own.
Created CreateEvent(std::u16string_view name, EventSpec spec);
Created CreateMutex(std::u16string_view name, bool initialOwner);
Created CreateQueue(std::u16string_view name, QueueSpec spec);
// Opens an existing named object (Status::Invalid when there is none).
Created OpenNamed(Kind kind, std::u16string_view name, bool writeEnd = false);

// Another handle in this process on the same object (duplicating, OpenProcess).
Status AddRef(const ObjectRef& ref);
void Release(const ObjectRef& ref);

enum class EventOp { Set, Reset, Pulse };
Status ModifyEvent(const ObjectRef& ref, EventOp op);
Status ReleaseMutex(const ObjectRef& ref);
// Marks the mutexes that a thread still owns as abandoned and hands them on.
void AbandonMutexesOf(int32_t pid, int32_t tid);

// Thread records: created running for this process; End signals waiters and records the code.
Created CreateThreadRecord(int32_t tid);
void SetThreadTid(const ObjectRef& ref, int32_t tid);
void EndThread(const ObjectRef& ref, uint32_t exitCode);
std::optional<uint32_t> ThreadExitCode(const ObjectRef& ref);  // none while running

// Process records. RegisterProcess finds or makes the record of (pid, start time); this process
// registers itself on attach. OpenProcessRecord finds a running process of the device by id.
Created RegisterProcess(int32_t pid, uint64_t startTime);
Created OpenProcessRecord(int32_t pid);
// A record for the primary thread of a process this one started; it ends with the process.
Created CreatePrimaryThreadRecord(const ObjectRef& process);
// Marks a process of the segment ended (its launcher saw it end, with its exit status).
void EndProcess(Segment& s, int32_t pid, std::optional<uint32_t> exitCode);
uint64_t ProcessStartTime(int32_t pid);  // 0 when the process does not exist
bool ProcessAlive(int32_t pid, uint64_t startTime);
void SweepDeadProcesses(Segment& s);
// The ids of the device's processes that are running now.
std::vector<int32_t> RunningProcesses();
// Slots on this process's record for the window room (main window, queue channel).
void SetChannel(uint32_t slot, uint64_t value);
std::optional<uint64_t> Channel(int32_t pid, uint32_t slot);

// Waits on up to kMaxWaitObjects objects: any (index of the first granted) or all (index 0).
// The grant consumes: an auto-reset event resets, a mutex becomes the caller's. timeoutMs of
// 0xFFFFFFFF waits unbounded; timed waits follow the test clock while a test holds it.
// `cancel`, when given, ends the wait with Status::Cancelled once set and WakeThread is called.
struct WaitResult {
  Status status;
  uint32_t index = 0;
  bool abandoned = false;
};
WaitResult Wait(std::span<const ObjectRef> refs, bool all, uint32_t timeoutMs,
                const std::atomic<bool>* cancel = nullptr);
// Wakes the waits of one thread of this process so they look at their cancel flag.
void WakeThread(Segment& s, int32_t tid);
// Checks and hands on signals after a state change; callers hold the lock.
void Rescan(Segment& s);

// Message queues. A read takes one whole record; a buffer too small for it leaves the record
// queued and reports TooBig with its size in `size`.
Status QueueWrite(const ObjectRef& ref, const void* data, uint32_t size, uint32_t timeoutMs,
                  uint32_t flags, const std::atomic<bool>* cancel);
Status QueueRead(const ObjectRef& ref, void* buffer, uint32_t capacity, uint32_t* size, uint32_t timeoutMs,
                 uint32_t* flags, const std::atomic<bool>* cancel);
struct QueueInfo {
  uint32_t maxMessages, maxSize, current, readers, writers;
};
std::optional<QueueInfo> QueueState(const ObjectRef& ref);

// The device clock in milliseconds: the host's monotonic clock, or the test clock while a test
// holds it. Taking it over, advancing it and releasing it wake every timed waiter to re-check.
uint64_t NowMs();
void TakeOverClock(uint64_t startMs);
void AdvanceClock(uint64_t ms);
void ReleaseClock();
uint32_t TimedWaiters();

}  // namespace zb::kernel
