// MsgWaitForMultipleObjectsEx: waits on the caller's handles and on the thread's queue at once,
// by adding the queue's wake event to the kernel wait. Without MWMO_INPUTAVAILABLE only what
// arrived since the thread last looked at its queue counts; with it, anything waiting does.
#include "coredll/waitable.h"
#include "gwes/msg_core.h"
#include "gwes/msg_sources.h"
#include "gwes/wm_paint.h"

namespace {

using namespace zb::wm;

DWORD QueueBits(const ThreadQueue& q, bool available) {
  Segment& s = *CurrentSession().seg;
  DWORD bits = 0;
  {
    Locked lock(s);
    const QueueSlot& qs = s.queues[q.index];
    if (available) {
      for (uint32_t i = 0; i < qs.count; ++i) bits |= WakeBit(qs.ring[(qs.head + i) % kQueueMessages].kind);
      if (qs.quit) bits |= QS_POSTMESSAGE;
      for (const SendSlot& m : s.sends) {
        if (m.state == SendState::Pending && m.to == q.index && m.toGen == q.gen) bits |= QS_SENDMESSAGE;
      }
    } else {
      bits = qs.changed;
    }
  }
  if (HasPaint(q)) bits |= QS_PAINT;
  if (NextTimerDue(q) <= zb::kernel::NowMs()) bits |= QS_TIMER;
  return bits;
}

}  // namespace

extern "C" DWORD MsgWaitForMultipleObjectsEx(DWORD count, const HANDLE* handles, DWORD milliseconds, DWORD wakeMask,
                                             DWORD flags) {
  if (count > MAXIMUM_WAIT_OBJECTS - 1 || (count && !handles) || (flags & MWMO_WAITALL)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return WAIT_FAILED;
  }
  zb::kernel::ObjectRef refs[MAXIMUM_WAIT_OBJECTS];
  if (!zb::RefsOf({handles, count}, refs)) return WAIT_FAILED;
  ThreadQueue* q = MyQueue();
  if (!q) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return WAIT_FAILED;
  }
  refs[count] = q->wake;
  const bool available = (flags & MWMO_INPUTAVAILABLE) != 0;
  const uint64_t start = zb::kernel::NowMs();
  for (;;) {
    // Handles come first, by index, as the queue's wake is the last object of the wait.
    if (count) {
      zb::kernel::WaitResult r = zb::WaitAsThread({refs, count}, false, 0);
      if (r.status == zb::kernel::Status::Ok) return (r.abandoned ? WAIT_ABANDONED_0 : WAIT_OBJECT_0) + r.index;
    }
    if (QueueBits(*q, available) & wakeMask) return WAIT_OBJECT_0 + count;
    const uint64_t now = zb::kernel::NowMs();
    uint64_t timeout = INFINITE;
    if (milliseconds != INFINITE) {
      uint64_t spent = now - start;
      if (spent >= milliseconds && spent > 0) return WAIT_TIMEOUT;
      timeout = milliseconds - std::min<uint64_t>(spent, milliseconds);
    }
    if (wakeMask & QS_TIMER) {
      uint64_t due = NextTimerDue(*q);
      if (due != kNever) timeout = std::min<uint64_t>(timeout, due > now ? due - now : 0);
    }
    zb::kernel::WaitResult r = zb::WaitAsThread({refs, count + 1}, false, static_cast<DWORD>(timeout));
    switch (r.status) {
      case zb::kernel::Status::Ok:
        if (r.index < count) return (r.abandoned ? WAIT_ABANDONED_0 : WAIT_OBJECT_0) + r.index;
        break;  // the queue woke: look again
      case zb::kernel::Status::Timeout:
        if (milliseconds == 0) return WAIT_TIMEOUT;
        break;
      default:
        SetLastError(zb::ErrorOf(r.status));
        return WAIT_FAILED;
    }
  }
}
