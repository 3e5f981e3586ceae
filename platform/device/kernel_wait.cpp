// Waiting on objects of the kernel segment. A waiter registers a wait block and sleeps on its
// futex word; whoever changes an object's state rescans the blocks in arrival order and grants
// (and consumes) under the lock, so a pulse reaches exactly the waiters present at that moment.
#include <algorithm>
#include <vector>

#include "device/kernel_internal.h"

namespace zb::kernel {
namespace {

constexpr uint32_t kInfinite = 0xFFFFFFFF;
constexpr int64_t kProcessPollMs = 50;  // a process that dies unannounced is noticed this fast

struct Entry {
  uint32_t index, gen;
  bool writeEnd;
};

bool EntryReady(Segment& s, const Entry& e, int32_t pid, int32_t tid) {
  const Object& o = s.objects[e.index];
  return o.gen == e.gen && Ready(o, e.writeEnd, pid, tid);
}

// Consumes what the grant takes; reports whether a mutex came abandoned.
bool Consume(Object& o, int32_t pid, int32_t tid) {
  if (o.kind == Kind::Event && !o.manualReset) o.signalled = 0;
  if (o.kind != Kind::Mutex) return false;
  o.ownerPid = pid;
  o.ownerTid = tid;
  ++o.recursion;
  bool abandoned = o.abandoned;
  o.abandoned = 0;
  return abandoned;
}

// -1 when not satisfiable now; else the index granted (0 for all).
int32_t TrySatisfy(Segment& s, const Entry* entries, uint32_t count, bool all, int32_t pid, int32_t tid,
                   bool* abandoned) {
  *abandoned = false;
  if (all) {
    for (uint32_t i = 0; i < count; ++i)
      if (!EntryReady(s, entries[i], pid, tid)) return -1;
    for (uint32_t i = 0; i < count; ++i) *abandoned |= Consume(s.objects[entries[i].index], pid, tid);
    return 0;
  }
  for (uint32_t i = 0; i < count; ++i) {
    if (EntryReady(s, entries[i], pid, tid)) {
      *abandoned = Consume(s.objects[entries[i].index], pid, tid);
      return static_cast<int32_t>(i);
    }
  }
  return -1;
}

void EntriesOf(const WaitBlock& b, Entry* out) {
  for (uint32_t i = 0; i < b.count; ++i) out[i] = Entry{b.index[i], b.gen[i], b.writeEnd[i] != 0};
}

void Poke(WaitBlock& b) {
  b.wake.store(1);
  FutexWakeAll(b.wake);
}

}  // namespace

bool Ready(const Object& o, bool writeEnd, int32_t pid, int32_t tid) {
  switch (o.kind) {
    case Kind::Event:
    case Kind::Thread:
    case Kind::Process:
      return o.signalled != 0;
    case Kind::Mutex:
      return o.recursion == 0 || (o.ownerPid == pid && o.ownerTid == tid);
    case Kind::Queue:
      return writeEnd ? o.count < o.capacity : o.count > 0;
    case Kind::Free:
      break;
  }
  return false;
}

void Rescan(Segment& s) {
  WaitBlock* pending[kMaxWaiters];
  uint32_t n = 0;
  for (WaitBlock& b : s.waiters)
    if (b.inUse && b.result < 0) pending[n++] = &b;
  if (n == 0) return;
  std::sort(pending, pending + n, [](const WaitBlock* a, const WaitBlock* b) { return a->seq < b->seq; });
  Entry entries[kMaxWaitObjects];
  for (uint32_t i = 0; i < n; ++i) {
    WaitBlock& b = *pending[i];
    EntriesOf(b, entries);
    bool abandoned = false;
    int32_t got = TrySatisfy(s, entries, b.count, b.all != 0, b.pid, b.tid, &abandoned);
    if (got < 0) continue;
    b.result = got;
    b.abandoned = abandoned;
    Poke(b);
  }
}

void WakeThread(Segment& s, int32_t tid) {
  Locked lock(s);
  for (WaitBlock& b : s.waiters)
    if (b.inUse && b.pid == ThisPid() && b.tid == tid) Poke(b);
}

WaitResult Wait(std::span<const ObjectRef> refs, bool all, uint32_t timeoutMs, const std::atomic<bool>* cancel) {
  if (refs.size() > kMaxWaitObjects) return {Status::Invalid};
  Segment& s = refs.empty() ? Current() : *refs[0].segment;
  Entry entries[kMaxWaitObjects];
  bool hasProcess = false;
  const int32_t pid = ThisPid(), tid = ThisTid();
  Locked lock(s);
  for (size_t i = 0; i < refs.size(); ++i) {
    if (refs[i].segment != &s || !Valid(refs[i])) return {Status::Invalid};
    entries[i] = Entry{refs[i].index, refs[i].gen, refs[i].writeEnd};
    hasProcess |= refs[i].object().kind == Kind::Process;
  }
  const auto count = static_cast<uint32_t>(refs.size());
  if (cancel && cancel->load()) return {Status::Cancelled};
  bool abandoned = false;
  if (count) {
    int32_t got = TrySatisfy(s, entries, count, all, pid, tid, &abandoned);
    if (got >= 0) return {Status::Ok, static_cast<uint32_t>(got), abandoned};
  }
  if (timeoutMs == 0) return {Status::Timeout};

  WaitBlock* b = nullptr;
  for (WaitBlock& w : s.waiters) {
    if (!w.inUse) {
      b = &w;
      break;
    }
  }
  if (!b) return {Status::NoResources};
  b->inUse = 1;
  b->wake.store(0);
  b->pid = pid;
  b->tid = tid;
  b->seq = ++s.waitSeq;
  b->count = count;
  b->all = all;
  b->timed = timeoutMs != kInfinite;
  b->result = -1;
  b->abandoned = 0;
  for (uint32_t i = 0; i < count; ++i) {
    b->index[i] = entries[i].index;
    b->gen[i] = entries[i].gen;
    b->writeEnd[i] = entries[i].writeEnd;
  }

  bool testClock = false;
  uint64_t last = ClockNow(s, &testClock);
  int64_t remaining = timeoutMs;
  WaitResult result{Status::Timeout};
  for (;;) {
    int64_t sleepMs = -1;
    if (b->timed && !testClock) sleepMs = remaining;
    if (hasProcess) sleepMs = sleepMs < 0 ? kProcessPollMs : std::min(sleepMs, kProcessPollMs);
    lock.Unlock();
    FutexWait(b->wake, 0, sleepMs);
    lock.Relock();
    if (hasProcess && b->result < 0) {
      for (uint32_t i = 0; i < count; ++i) {
        Object& o = s.objects[entries[i].index];
        if (o.gen == entries[i].gen && o.kind == Kind::Process && !o.signalled && !ProcessAlive(o.pid, o.startTime))
          EndProcessLocked(s, o.pid, std::nullopt);
      }
    }
    if (b->result >= 0) {
      result = {Status::Ok, static_cast<uint32_t>(b->result), b->abandoned != 0};
      break;
    }
    if (cancel && cancel->load()) {
      result = {Status::Cancelled};
      break;
    }
    b->wake.store(0);
    if (b->timed) {
      bool nowTest = false;
      uint64_t now = ClockNow(s, &nowTest);
      if (nowTest == testClock) remaining -= static_cast<int64_t>(now - last);
      testClock = nowTest;
      last = now;
      if (remaining <= 0) break;
    }
  }
  b->inUse = 0;
  return result;
}

}  // namespace zb::kernel
