// Process records of the kernel segment: one per running process of the device, keyed by pid and
// start time so a reused pid is never mistaken for the old process. A process that ends, cleanly
// or not, has its references dropped, its mutexes abandoned and its record signalled.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "device/kernel_internal.h"

namespace zb::kernel {
namespace {

// Field 3 (state) and field 22 (start time) of /proc/<pid>/stat; the command name in field 2
// may hold blanks and parentheses, so parsing starts after its last ')'.
bool ReadStat(int32_t pid, char* state, uint64_t* startTime) {
  char path[64];
  std::snprintf(path, sizeof path, "/proc/%d/stat", pid);
  FILE* f = std::fopen(path, "re");
  if (!f) return false;
  char buf[1024];
  size_t n = std::fread(buf, 1, sizeof buf - 1, f);
  std::fclose(f);
  buf[n] = 0;
  const char* p = std::strrchr(buf, ')');
  if (!p) return false;
  unsigned long long start = 0;
  // After ") ": state, then fields 4..21 (18 numbers), then start time.
  if (std::sscanf(p + 2, "%c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %*u %*u %*d %*d %*d %*d %*d %*d %llu",
                  state, &start) != 2)
    return false;
  *startTime = start;
  return true;
}

}  // namespace

uint64_t ProcessStartTime(int32_t pid) {
  char state = 0;
  uint64_t start = 0;
  return pid > 0 && ReadStat(pid, &state, &start) ? start : 0;
}

bool ProcessAlive(int32_t pid, uint64_t startTime) {
  char state = 0;
  uint64_t start = 0;
  if (pid <= 0 || !ReadStat(pid, &state, &start)) return false;
  return start == startTime && state != 'Z' && state != 'X';
}

Created RegisterProcessLocked(Segment& s, int32_t pid, uint64_t startTime) {
  for (Object& o : s.objects) {
    if (o.kind == Kind::Process && o.pid == pid && o.startTime == startTime) {
      // A process registering itself takes over the reference its launcher made for it.
      bool selfHeld = false;
      for (const Ref& r : o.refs) selfHeld = selfHeld || (r.count && r.pid == pid);
      if (pid == ThisPid() && selfHeld) return {Status::Existed, RefTo(s, o)};
      if (!AddRefLocked(o, ThisPid(), false)) return {Status::NoResources, {}};
      return {Status::Existed, RefTo(s, o)};
    }
  }
  Object* o = AllocObject(s, Kind::Process, {});
  if (!o) return {Status::NoResources, {}};
  o->pid = pid;
  o->startTime = startTime;
  // The process holds its own record while it runs; the caller's reference is on top of that.
  if (pid != ThisPid()) AddRefLocked(*o, pid, false);
  return {Status::Ok, RefTo(s, *o)};
}

Created RegisterProcess(int32_t pid, uint64_t startTime) {
  Segment& s = Current();
  Locked lock(s);
  return RegisterProcessLocked(s, pid, startTime);
}

Created OpenProcessRecord(int32_t pid) {
  Segment& s = Current();
  Locked lock(s);
  SweepDeadProcesses(s);
  for (Object& o : s.objects) {
    if (o.kind == Kind::Process && o.pid == pid && !o.signalled) {
      if (!AddRefLocked(o, ThisPid(), false)) return {Status::NoResources, {}};
      return {Status::Ok, RefTo(s, o)};
    }
  }
  return {Status::Invalid, {}};
}

Created CreatePrimaryThreadRecord(const ObjectRef& process) {
  Segment& s = *process.segment;
  Locked lock(s);
  if (!Valid(process) || process.object().kind != Kind::Process) return {Status::Invalid, {}};
  Object* o = AllocObject(s, Kind::Thread, {});
  if (!o) return {Status::NoResources, {}};
  o->pid = o->tid = process.object().pid;  // the host's main thread id is the process id
  o->signalled = process.object().signalled;
  o->exitCode = process.object().exitCode;
  return {Status::Ok, RefTo(s, *o)};
}

void EndProcessLocked(Segment& s, int32_t pid, std::optional<uint32_t> exitCode) {
  for (Object& o : s.objects) {
    if (o.kind == Kind::Mutex && o.recursion && o.ownerPid == pid) {
      o.ownerPid = o.ownerTid = 0;
      o.recursion = 0;
      o.abandoned = 1;
    }
    if ((o.kind == Kind::Process || o.kind == Kind::Thread) && o.pid == pid && !o.signalled) {
      o.signalled = 1;
      if (exitCode) o.exitCode = *exitCode;
    }
  }
  for (WaitBlock& b : s.waiters) {
    if (b.inUse && b.pid == pid && pid != ThisPid()) b.inUse = 0;
  }
  DropAllRefsOf(s, pid);
  Rescan(s);
}

void EndProcess(Segment& s, int32_t pid, std::optional<uint32_t> exitCode) {
  Locked lock(s);
  EndProcessLocked(s, pid, exitCode);
}

void SweepDeadProcesses(Segment& s) {
  for (Object& o : s.objects) {
    if (o.kind == Kind::Process && !o.signalled && o.pid != ThisPid() && !ProcessAlive(o.pid, o.startTime))
      EndProcessLocked(s, o.pid, std::nullopt);
  }
}

void SetChannel(uint32_t slot, uint64_t value) {
  if (slot >= kChannels) return;
  Segment& s = Current();
  Locked lock(s);
  for (Object& o : s.objects) {
    if (o.kind == Kind::Process && o.pid == ThisPid() && !o.signalled) o.channel[slot] = value;
  }
}

std::optional<uint64_t> Channel(int32_t pid, uint32_t slot) {
  if (slot >= kChannels) return std::nullopt;
  Segment& s = Current();
  Locked lock(s);
  for (const Object& o : s.objects) {
    if (o.kind == Kind::Process && o.pid == pid && !o.signalled) return o.channel[slot];
  }
  return std::nullopt;
}

}  // namespace zb::kernel

namespace zb::kernel {

std::vector<int32_t> RunningProcesses() {
  Segment& s = Current();
  Locked lock(s);
  SweepDeadProcesses(s);
  std::vector<int32_t> pids;
  for (const Object& o : s.objects)
    if (o.kind == Kind::Process && !o.signalled && std::find(pids.begin(), pids.end(), o.pid) == pids.end())
      pids.push_back(o.pid);
  return pids;
}

}  // namespace zb::kernel
