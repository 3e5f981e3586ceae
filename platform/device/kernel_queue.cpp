// Point-to-point message queues in the kernel segment: a ring of fixed-size slots per queue in
// the segment's chunk arena, each slot holding one record with its exact length and flags.
// The read end is signalled while records wait, the write end while there is room.
#include <algorithm>
#include <cstring>

#include "device/kernel_internal.h"
#include "device/shared_file.h"

namespace zb::kernel {
namespace {

constexpr uint32_t kSlotHeader = 8;                 // record length, flags
constexpr uint32_t kUnboundedBytes = 64 * 1024;     // room of a queue created without a limit
constexpr uint32_t kInfinite = 0xFFFFFFFF;

uint32_t SlotBytes(uint32_t maxSize) { return (kSlotHeader + maxSize + 7) & ~7u; }

uint8_t* Slot(Segment& s, const Object& o, uint32_t i) {
  return s.arena + static_cast<size_t>(o.firstChunk) * kChunkBytes + static_cast<size_t>(i) * SlotBytes(o.maxSize);
}

void Peers(const Object& o, uint32_t* readers, uint32_t* writers) {
  *readers = *writers = 0;
  for (const Ref& r : o.refs) {
    *writers += r.writers;
    *readers += r.count - r.writers;
  }
}

void InitQueue(Segment& s, Object& o, const void* arg) {
  auto* spec = static_cast<const QueueSpec*>(arg);
  uint64_t slot = SlotBytes(spec->maxSize);
  uint64_t capacity = spec->maxMessages ? spec->maxMessages : std::max<uint64_t>(1, kUnboundedBytes / slot);
  uint64_t chunks = (capacity * slot + kChunkBytes - 1) / kChunkBytes;
  uint32_t first = 0;
  if (chunks > kChunks || !device::AllocChunkRun(s.chunkUsed, kChunks, static_cast<uint32_t>(chunks), &first)) {
    FreeObject(s, o);
    return;
  }
  o.capacity = static_cast<uint32_t>(capacity);
  o.maxSize = spec->maxSize;
  o.queueFlags = spec->allowBroken;
  o.firstChunk = first;
  o.chunks = static_cast<uint32_t>(chunks);
}

// Runs `attempt` under the lock until it stops asking to wait, waiting on the queue's end
// between tries for what is left of the time-out.
template <class Attempt>
Status Retry(const ObjectRef& ref, uint32_t timeoutMs, const std::atomic<bool>* cancel, Attempt attempt) {
  const uint64_t start = NowMs();
  for (;;) {
    {
      Locked lock(*ref.segment);
      if (!Valid(ref) || ref.object().kind != Kind::Queue) return Status::Invalid;
      Status st = attempt(ref.object());
      if (st != Status::Full) return st;
    }
    uint32_t left = timeoutMs;
    if (timeoutMs != kInfinite) {
      uint64_t spent = NowMs() - start;
      if (spent >= timeoutMs) return Status::Timeout;
      left = static_cast<uint32_t>(timeoutMs - spent);
    }
    WaitResult w = Wait({&ref, 1}, false, left, cancel);
    if (w.status != Status::Ok) return w.status;
  }
}

}  // namespace

void QueueFreeChunks(Segment& s, Object& o) {
  device::FreeChunkRun(s.chunkUsed, o.firstChunk, o.chunks);
  o.chunks = 0;
}

Created CreateQueue(std::u16string_view name, QueueSpec spec) {
  if (spec.maxSize == 0 || spec.maxSize > kChunks * kChunkBytes) return {Status::Invalid, {}};
  return CreateNamedObject(Kind::Queue, name, spec.writeEnd, InitQueue, &spec);
}

Status QueueWrite(const ObjectRef& ref, const void* data, uint32_t size, uint32_t timeoutMs, uint32_t flags,
                  const std::atomic<bool>* cancel) {
  if (!ref.writeEnd) return Status::Invalid;
  Segment& s = *ref.segment;
  return Retry(ref, timeoutMs, cancel, [&](Object& o) {
    if (size > o.maxSize) return Status::TooBig;
    uint32_t readers, writers;
    Peers(o, &readers, &writers);
    if (!readers && !(o.queueFlags & 1)) return Status::Broken;
    if (o.count >= o.capacity) return Status::Full;
    uint8_t* slot = Slot(s, o, (o.head + o.count) % o.capacity);
    std::memcpy(slot, &size, 4);
    std::memcpy(slot + 4, &flags, 4);
    if (size) std::memcpy(slot + kSlotHeader, data, size);
    ++o.count;
    Rescan(s);
    return Status::Ok;
  });
}

Status QueueRead(const ObjectRef& ref, void* buffer, uint32_t capacity, uint32_t* size, uint32_t timeoutMs,
                 uint32_t* flags, const std::atomic<bool>* cancel) {
  if (ref.writeEnd) return Status::Invalid;
  Segment& s = *ref.segment;
  return Retry(ref, timeoutMs, cancel, [&](Object& o) {
    if (o.count == 0) {
      uint32_t readers, writers;
      Peers(o, &readers, &writers);
      return !writers && !(o.queueFlags & 1) ? Status::Broken : Status::Full;
    }
    const uint8_t* slot = Slot(s, o, o.head);
    uint32_t length, recordFlags;
    std::memcpy(&length, slot, 4);
    std::memcpy(&recordFlags, slot + 4, 4);
    *size = length;
    if (length > capacity) return Status::TooBig;  // the record stays for a bigger buffer
    if (length) std::memcpy(buffer, slot + kSlotHeader, length);
    if (flags) *flags = recordFlags;
    o.head = (o.head + 1) % o.capacity;
    --o.count;
    Rescan(s);
    return Status::Ok;
  });
}

std::optional<QueueInfo> QueueState(const ObjectRef& ref) {
  Locked lock(*ref.segment);
  if (!Valid(ref) || ref.object().kind != Kind::Queue) return std::nullopt;
  const Object& o = ref.object();
  QueueInfo info{o.capacity, o.maxSize, o.count, 0, 0};
  Peers(o, &info.readers, &info.writers);
  return info;
}

}  // namespace zb::kernel
