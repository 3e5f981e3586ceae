// SendMessageW and SendNotifyMessageW. A send to this thread's own window is a call; any other
// goes through a send slot of the shared segment to the owner thread, which runs it the next time
// it looks at its queue. The sender waits on its own queue's wake event, serving sends addressed
// to it meanwhile, so two threads (or processes) sending to each other, or a receiver that
// answers by sending back, never deadlock. WM_COPYDATA's data travels in the segment's arena.
#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "coredll/waitable.h"
#include "gwes/input_route.h"
#include "gwes/msg_core.h"
#include "gwes/wm_focus.h"
#include "gwes/wm_links.h"
#include "gwes/wm_paint.h"

namespace zb::wm {
namespace {

void FreeSend(Segment& s, SendSlot& m) {
  if (m.hasData) FreeChunks(s, m.firstChunk, m.chunks);
  m = SendSlot{};
}

// The kernel's record of a process this thread sends to, kept open so that each send can wait
// on it without looking it up again: it is signalled when that process ends.
std::optional<kernel::ObjectRef> ProcessRecord(const Target& target) {
  struct Open {
    unsigned generation;
    int32_t pid;
    uint64_t startTime;
    kernel::ObjectRef ref;
  };
  thread_local std::vector<Open> opened;
  const unsigned generation = CurrentSession().generation;
  for (const Open& o : opened) {
    if (o.generation == generation && o.pid == target.pid && o.startTime == target.startTime) return o.ref;
  }
  kernel::Created process = kernel::OpenProcessRecord(target.pid);
  if (process.status != kernel::Status::Ok) return std::nullopt;
  if (opened.size() >= 16) {
    kernel::Release(opened.front().ref);
    opened.erase(opened.begin());
  }
  opened.push_back({generation, target.pid, target.startTime, process.ref});
  return process.ref;
}

LRESULT RunIncoming(const SendSlot& m, std::vector<uint8_t>& data) {
  switch (m.kind) {
    case SendKind::Internal:
      RunInternal(static_cast<Internal>(m.message), m.hwnd, m.aux);
      return 0;
    case SendKind::Hook:
      return RunHook(m.aux, m.wParam);
    case SendKind::Send:
    case SendKind::Notify:
      break;
  }
  auto window = LocalWindow(reinterpret_cast<HWND>(m.hwnd));
  if (!window || window->tid != MyTid()) return 0;
  LPARAM lParam = static_cast<LPARAM>(m.lParam);
  COPYDATASTRUCT copy{};
  if (m.message == WM_COPYDATA && m.aux[1]) {
    copy.dwData = m.aux[0];
    copy.cbData = m.dataSize;
    copy.lpData = data.empty() ? nullptr : data.data();
    lParam = reinterpret_cast<LPARAM>(&copy);
  }
  return CallProc(window, m.message, static_cast<WPARAM>(m.wParam), lParam);
}

}  // namespace

uint32_t NowTick() { return static_cast<uint32_t>(kernel::NowMs()); }

LRESULT CallProc(const std::shared_ptr<Window>& window, UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC proc = window->proc.load();
  if (!proc) return DefWindowProcW(window->hwnd, message, wParam, lParam);
  return proc(window->hwnd, message, wParam, lParam);
}

Target TargetOf(Segment& s, const WindowSlot& w) {
  Target t;
  t.pid = w.pid;
  t.tid = w.tid;
  t.queue = w.queue;
  t.queueGen = w.queue < kMaxQueues ? s.queues[w.queue].gen : 0;
  t.startTime = w.queue < kMaxQueues ? s.queues[w.queue].startTime : 0;
  return t;
}

bool IsThisThread(const Target& t) { return t.pid == CurrentSession().pid && t.tid == MyTid(); }

bool SendTo(const Target& target, const Outgoing& out, LRESULT* result) {
  *result = 0;
  const bool answered = out.kind == SendKind::Send || out.kind == SendKind::Hook;
  ThreadQueue* me = MyQueue();
  if (answered && !me) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return false;
  }
  Segment& s = *CurrentSession().seg;
  uint32_t index = kNone;
  uint64_t seq = 0;
  {
    Locked lock(s);
    if (target.queue >= kMaxQueues || !s.queues[target.queue].live || s.queues[target.queue].gen != target.queueGen) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return false;
    }
    for (uint32_t i = 0; i < kMaxSends; ++i) {
      if (s.sends[i].state == SendState::Free) {
        index = i;
        break;
      }
    }
    if (index == kNone) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return false;
    }
    SendSlot& m = s.sends[index];
    m = SendSlot{};
    if (out.hasData && out.dataSize) {
      if (!AllocChunks(s, out.dataSize, &m.firstChunk, &m.chunks)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
      }
      std::memcpy(ChunkData(s, m.firstChunk), out.data, out.dataSize);
      m.hasData = 1;
      m.dataSize = out.dataSize;
    }
    m.kind = out.kind;
    m.seq = seq = ++s.seq;
    m.from = answered ? me->index : kNone;
    m.fromGen = answered ? me->gen : 0;
    m.to = target.queue;
    m.toGen = target.queueGen;
    m.fromPid = kernel::ThisPid();
    m.hwnd = out.hwnd;
    m.message = out.message;
    m.wParam = out.wParam;
    m.lParam = static_cast<uint64_t>(out.lParam);
    std::copy_n(out.aux, 4, m.aux);
    m.state = SendState::Pending;
    s.queues[target.queue].changed |= QS_SENDMESSAGE;
    WakeQueue(s, target.queue);
  }
  if (!answered) return true;

  // A process that dies before answering must not leave the sender waiting for ever.
  kernel::ObjectRef refs[2] = {me->wake, {}};
  size_t count = 1;
  if (target.pid != kernel::ThisPid()) {
    if (auto process = ProcessRecord(target)) refs[count++] = *process;
  }
  bool answeredOk = false, cancelled = false;
  for (;;) {
    DispatchIncoming(*me);
    {
      Locked lock(s);
      SendSlot& m = s.sends[index];
      if (m.seq != seq) break;  // swept with its target
      if (m.state == SendState::Done) {
        *result = static_cast<LRESULT>(m.result);
        answeredOk = m.from != kNone;
        FreeSend(s, m);
        break;
      }
    }
    kernel::WaitResult w = kernel::Wait({refs, count}, false, INFINITE, CancelMark());
    if (w.status == kernel::Status::Cancelled) {
      cancelled = true;
      Locked lock(s);
      SendSlot& m = s.sends[index];
      if (m.seq == seq) {
        if (m.state == SendState::Taken) {
          m.from = kNone;  // the receiver frees it
        } else {
          FreeSend(s, m);
        }
      }
      break;
    }
    if (w.status == kernel::Status::Ok && w.index == 1) {
      Locked lock(s);
      SweepDead(s);
    } else if (w.status != kernel::Status::Ok) {
      break;
    }
  }
  if (cancelled) EndIfCancelled(kernel::Status::Cancelled);  // a terminated thread ends here
  if (!answeredOk) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return answeredOk;
}

bool DispatchIncoming(ThreadQueue& q) {
  Segment& s = *CurrentSession().seg;
  bool any = false;
  for (;;) {
    SendSlot copy;
    uint32_t index = kNone;
    std::vector<uint8_t> data;
    {
      Locked lock(s);
      for (uint32_t i = 0; i < kMaxSends; ++i) {
        const SendSlot& m = s.sends[i];
        if (m.state == SendState::Pending && m.to == q.index && m.toGen == q.gen &&
            (index == kNone || m.seq < s.sends[index].seq))
          index = i;
      }
      if (index == kNone) break;
      SendSlot& m = s.sends[index];
      m.state = SendState::Taken;
      if (m.hasData) {
        const uint8_t* p = ChunkData(s, m.firstChunk);
        data.assign(p, p + m.dataSize);
        FreeChunks(s, m.firstChunk, m.chunks);
        m.hasData = 0;
      }
      copy = m;
    }
    any = true;
    LRESULT result = RunIncoming(copy, data);
    Locked lock(s);
    SendSlot& m = s.sends[index];
    if (m.seq != copy.seq) continue;
    bool answered = m.kind == SendKind::Send || m.kind == SendKind::Hook;
    if (answered && m.from != kNone && m.from < kMaxQueues && s.queues[m.from].live &&
        s.queues[m.from].gen == m.fromGen) {
      m.result = result;
      m.state = SendState::Done;
      WakeQueue(s, m.from);
    } else {
      FreeSend(s, m);
    }
  }
  return any;
}

void RunOrSendInternal(uint32_t queue, uint32_t queueGen, Internal op, uint64_t hwnd, uint64_t a0, uint64_t a1,
                       uint64_t a2) {
  uint64_t args[4] = {a0, a1, a2, 0};
  ThreadQueue* me = MyQueueIfAny();
  if (me && me->index == queue && me->gen == queueGen) {
    RunInternal(op, hwnd, args);
    return;
  }
  Target t;
  t.queue = queue;
  t.queueGen = queueGen;
  Outgoing out;
  out.kind = SendKind::Internal;
  out.hwnd = hwnd;
  out.message = static_cast<UINT>(op);
  std::copy_n(args, 4, out.aux);
  LRESULT ignored;
  SendTo(t, out, &ignored);
}

void RunInternal(Internal op, uint64_t hwnd, const uint64_t* args) {
  HWND window = reinterpret_cast<HWND>(hwnd);
  switch (op) {
    case Internal::Activate:
      ActivateHere(window);
      break;
    case Internal::Deactivate:
      DeactivateHere(window);
      break;
    case Internal::Invalidate: {
      RECT r{static_cast<LONG>(args[0] & 0xFFFFFFFF), static_cast<LONG>(args[0] >> 32),
             static_cast<LONG>(args[1] & 0xFFFFFFFF), static_cast<LONG>(args[1] >> 32)};
      InvalidateRect(window, args[2] & 2 ? nullptr : &r, (args[2] & 1) != 0);
      break;
    }
  }
}

}  // namespace zb::wm

using namespace zb::wm;

namespace {

// Resolves a window for a send: this thread's window gets a direct call.
bool Resolve(HWND hwnd, Target* target) {
  Segment& s = *CurrentSession().seg;
  Locked lock(s);
  WindowSlot* w = SlotOrFail(s, hwnd);
  if (!w) return false;
  *target = TargetOf(s, *w);
  return true;
}

Outgoing OutgoingFor(SendKind kind, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Outgoing out;
  out.kind = kind;
  out.hwnd = HwndValue(hwnd);
  out.message = message;
  out.wParam = wParam;
  out.lParam = lParam;
  if (message == WM_COPYDATA && lParam) {
    // The data is copied, so the receiver never reads the sender's memory.
    const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    out.aux[0] = copy->dwData;
    out.aux[1] = 1;  // a record came with it
    out.data = copy->lpData;
    out.dataSize = copy->lpData ? copy->cbData : 0;
    out.hasData = true;
    out.lParam = 0;
  }
  return out;
}

}  // namespace

extern "C" LRESULT SendMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  // This thread's own window: a call.
  if (auto window = LocalWindow(hwnd); window && window->tid == MyTid())
    return CallProc(window, message, wParam, lParam);
  Target t;
  if (!Resolve(hwnd, &t)) return 0;
  if (message == WM_COPYDATA && lParam) {
    const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (copy->cbData && !copy->lpData) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return 0;
    }
  }
  LRESULT result = 0;
  SendTo(t, OutgoingFor(SendKind::Send, hwnd, message, wParam, lParam), &result);
  return result;
}

extern "C" BOOL SendNotifyMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Target t;
  if (!Resolve(hwnd, &t)) return FALSE;
  if (IsThisThread(t)) {
    SendMessageW(hwnd, message, wParam, lParam);
    return TRUE;
  }
  LRESULT ignored;
  return SendTo(t, OutgoingFor(SendKind::Notify, hwnd, message, wParam, lParam), &ignored) ? TRUE : FALSE;
}
