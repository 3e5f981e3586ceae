// The object table of the kernel segment: allocation, names, per-process references, and the
// state changes of events, mutexes and threads. Every change that can satisfy a waiter ends in
// Rescan, which hands the signal to the waiters registered at that moment.
#include <algorithm>
#include <cstring>

#include "device/kernel_internal.h"

namespace zb::kernel {

Object* AllocObject(Segment& s, Kind kind, std::u16string_view name) {
  for (Object& o : s.objects) {
    if (o.kind != Kind::Free) continue;
    uint32_t gen = o.gen + 1;
    std::memset(static_cast<void*>(&o), 0, sizeof o);
    o.gen = gen;
    o.kind = kind;
    std::copy(name.begin(), name.end(), o.name);
    o.refs[0] = Ref{ThisPid(), 1, 0};
    return &o;
  }
  return nullptr;
}

Object* FindNamed(Segment& s, Kind kind, std::u16string_view name, bool* wrongKind) {
  *wrongKind = false;
  if (name.empty()) return nullptr;
  auto sameSpace = [kind](Kind k) {
    bool queue = kind == Kind::Queue;
    return queue ? k == Kind::Queue : (k == Kind::Event || k == Kind::Mutex);
  };
  for (Object& o : s.objects) {
    if (o.kind == Kind::Free || !sameSpace(o.kind) || name != std::u16string_view(o.name)) continue;
    *wrongKind = o.kind != kind;
    return &o;
  }
  return nullptr;
}

bool AddRefLocked(Object& o, int32_t pid, bool writer) {
  Ref* spare = nullptr;
  for (Ref& r : o.refs) {
    if (r.count && r.pid == pid) {
      if (r.count == UINT16_MAX) return false;
      ++r.count;
      r.writers += writer;
      return true;
    }
    if (!r.count && !spare) spare = &r;
  }
  if (!spare) return false;
  *spare = Ref{pid, 1, static_cast<uint16_t>(writer)};
  return true;
}

void DropRefLocked(Segment& s, Object& o, int32_t pid, bool writer) {
  bool any = false;
  for (Ref& r : o.refs) {
    if (r.count && r.pid == pid) {
      --r.count;
      if (writer && r.writers) --r.writers;
      if (!r.count) r = Ref{};
      break;
    }
  }
  for (const Ref& r : o.refs) any = any || r.count;
  if (!any) {
    FreeObject(s, o);
  } else if (o.kind == Kind::Queue) {
    Rescan(s);  // a queue that lost its last peer may wake waiters on its other end
  }
}

void DropAllRefsOf(Segment& s, int32_t pid) {
  for (Object& o : s.objects) {
    if (o.kind == Kind::Free) continue;
    for (Ref& r : o.refs) {
      if (r.count && r.pid == pid) {
        r.count = 1;
        DropRefLocked(s, o, pid, r.writers != 0);
        break;
      }
    }
  }
}

void FreeObject(Segment& s, Object& o) {
  if (o.kind == Kind::Queue) QueueFreeChunks(s, o);
  uint32_t gen = o.gen + 1;
  std::memset(static_cast<void*>(&o), 0, sizeof o);
  o.gen = gen;
}

bool Valid(const ObjectRef& ref) {
  if (!ref.segment || ref.index >= kMaxObjects) return false;
  const Object& o = ref.object();
  return o.kind != Kind::Free && o.gen == ref.gen;
}

namespace {

Created CreateNamed(Kind kind, std::u16string_view name, bool writeEnd, void (*init)(Segment&, Object&, const void*),
                    const void* arg) {
  if (name.size() > kNameChars) return {Status::NameTooLong, {}};
  Segment& s = Current();
  Locked lock(s);
  if (!name.empty()) {
    bool wrongKind = false;
    Object* o = FindNamed(s, kind, name, &wrongKind);
    if (o && !wrongKind) {
      // A name left behind by a process that crashed does not count as present.
      SweepDeadProcesses(s);
      o = FindNamed(s, kind, name, &wrongKind);
    }
    if (o) {
      if (wrongKind) return {Status::WrongKind, {}};
      if (!AddRefLocked(*o, ThisPid(), writeEnd)) return {Status::NoResources, {}};
      return {Status::Existed, RefTo(s, *o, writeEnd)};
    }
  }
  Object* o = AllocObject(s, kind, name);
  if (!o) {
    SweepDeadProcesses(s);
    o = AllocObject(s, kind, name);
    if (!o) return {Status::NoResources, {}};
  }
  o->refs[0].writers = writeEnd;
  init(s, *o, arg);
  if (o->kind == Kind::Free) return {Status::NoResources, {}};  // init gave up (queue buffer)
  return {Status::Ok, RefTo(s, *o, writeEnd)};
}

}  // namespace

Created CreateNamedObject(Kind kind, std::u16string_view name, bool writeEnd,
                          void (*init)(Segment&, Object&, const void*), const void* arg) {
  return CreateNamed(kind, name, writeEnd, init, arg);
}

Created CreateEvent(std::u16string_view name, EventSpec spec) {
  return CreateNamed(Kind::Event, name, false, [](Segment&, Object& o, const void* a) {
    auto* spec = static_cast<const EventSpec*>(a);
    o.manualReset = spec->manualReset;
    o.signalled = spec->initialState;
  }, &spec);
}

Created CreateMutex(std::u16string_view name, bool initialOwner) {
  Created c = CreateNamed(Kind::Mutex, name, false, [](Segment&, Object& o, const void* a) {
    if (*static_cast<const bool*>(a)) {
      o.ownerPid = ThisPid();
      o.ownerTid = ThisTid();
      o.recursion = 1;
    }
  }, &initialOwner);
  return c;
}

Created OpenNamed(Kind kind, std::u16string_view name, bool writeEnd) {
  if (name.empty() || name.size() > kNameChars) return {Status::Invalid, {}};
  Segment& s = Current();
  Locked lock(s);
  SweepDeadProcesses(s);
  bool wrongKind = false;
  Object* o = FindNamed(s, kind, name, &wrongKind);
  if (!o) return {Status::Invalid, {}};
  if (wrongKind) return {Status::WrongKind, {}};
  if (!AddRefLocked(*o, ThisPid(), writeEnd)) return {Status::NoResources, {}};
  return {Status::Existed, RefTo(s, *o, writeEnd)};
}

Status AddRef(const ObjectRef& ref) {
  Locked lock(*ref.segment);
  if (!Valid(ref)) return Status::Invalid;
  return AddRefLocked(ref.object(), ThisPid(), ref.writeEnd) ? Status::Ok : Status::NoResources;
}

void Release(const ObjectRef& ref) {
  Locked lock(*ref.segment);
  if (Valid(ref)) DropRefLocked(*ref.segment, ref.object(), ThisPid(), ref.writeEnd);
}

Status ModifyEvent(const ObjectRef& ref, EventOp op) {
  Segment& s = *ref.segment;
  Locked lock(s);
  if (!Valid(ref) || ref.object().kind != Kind::Event) return Status::Invalid;
  Object& o = ref.object();
  if (op == EventOp::Reset) {
    o.signalled = 0;
    return Status::Ok;
  }
  o.signalled = 1;
  Rescan(s);
  // A pulse releases only who was waiting at this moment; nobody waiting means nothing happens.
  if (op == EventOp::Pulse) o.signalled = 0;
  return Status::Ok;
}

Status ReleaseMutex(const ObjectRef& ref) {
  Segment& s = *ref.segment;
  Locked lock(s);
  if (!Valid(ref) || ref.object().kind != Kind::Mutex) return Status::Invalid;
  Object& o = ref.object();
  if (o.recursion == 0 || o.ownerPid != ThisPid() || o.ownerTid != ThisTid()) return Status::NotOwner;
  if (--o.recursion == 0) {
    o.ownerPid = o.ownerTid = 0;
    Rescan(s);
  }
  return Status::Ok;
}

void AbandonMutexesOf(int32_t pid, int32_t tid) {
  Segment& s = Current();
  Locked lock(s);
  bool any = false;
  for (Object& o : s.objects) {
    if (o.kind != Kind::Mutex || o.recursion == 0 || o.ownerPid != pid || (tid && o.ownerTid != tid)) continue;
    o.ownerPid = o.ownerTid = 0;
    o.recursion = 0;
    o.abandoned = 1;
    any = true;
  }
  if (any) Rescan(s);
}

Created CreateThreadRecord(int32_t tid) {
  return CreateNamed(Kind::Thread, {}, false, [](Segment&, Object& o, const void* a) {
    o.pid = ThisPid();
    o.tid = *static_cast<const int32_t*>(a);
    o.refs[0].count = 2;  // the running thread holds one until it ends
  }, &tid);
}

void SetThreadTid(const ObjectRef& ref, int32_t tid) {
  Locked lock(*ref.segment);
  if (Valid(ref)) ref.object().tid = tid;
}

void EndThread(const ObjectRef& ref, uint32_t exitCode) {
  Segment& s = *ref.segment;
  Locked lock(s);
  if (!Valid(ref) || ref.object().signalled) return;
  Object& o = ref.object();
  o.exitCode = exitCode;
  o.signalled = 1;
  Rescan(s);
  DropRefLocked(s, o, o.pid, false);
}

std::optional<uint32_t> ThreadExitCode(const ObjectRef& ref) {
  Locked lock(*ref.segment);
  if (!Valid(ref) || !ref.object().signalled) return std::nullopt;
  return ref.object().exitCode;
}

}  // namespace zb::kernel
