// The process-local side of the window system and each thread's queue. A thread gets its queue
// when it first needs one; when it ends, its queue goes with its windows, and when the process
// ends every queue of it goes, so no window of a finished thread or process stays findable.
#include "gwes/wm_session.h"

#include <algorithm>
#include <cstdlib>

#include "device/device.h"
#include "device/text.h"
#include "gwes/wm_links.h"

namespace zb::wm {
namespace {

std::mutex g_sessionLock;
std::atomic<Session*> g_session{nullptr};
// Sessions of earlier devices stay: threads may still hold them.
std::vector<std::unique_ptr<Session>> g_sessions;
thread_local std::unique_ptr<ThreadQueue> t_queue;

void ReleaseProcessQueues() {
  Session* session;
  {
    std::lock_guard lock(g_sessionLock);
    session = g_session.load();
  }
  if (!session) return;
  Locked lock(*session->seg);
  for (uint32_t q = 0; q < kMaxQueues; ++q) {
    if (session->seg->queues[q].live && session->seg->queues[q].pid == session->pid) ReleaseQueue(*session->seg, q);
  }
}

}  // namespace

int32_t MyTid() {
  thread_local const int32_t tid = kernel::ThisTid();
  return tid;
}

Session& CurrentSession() {
  unsigned generation = device::Generation();
  Session* current = g_session.load(std::memory_order_acquire);
  if (current && current->generation == generation) return *current;
  std::lock_guard lock(g_sessionLock);
  if (!g_session.load() || g_session.load()->generation != generation) {
    auto* s = g_sessions.emplace_back(std::make_unique<Session>()).get();
    s->seg = &Current();
    s->generation = generation;
    s->pid = kernel::ThisPid();
    s->startTime = kernel::ProcessStartTime(s->pid);
    {
      Locked segLock(*s->seg);
      SweepDead(*s->seg);
    }
    static bool atExit = (std::atexit(ReleaseProcessQueues), true);
    (void)atExit;
    g_session.store(s, std::memory_order_release);
  }
  return *g_session.load();
}

ThreadQueue::~ThreadQueue() {
  Session& session = CurrentSession();
  if (generation == session.generation && index != kNone) {
    {
      std::lock_guard lock(session.lock);
      for (auto it = session.windows.begin(); it != session.windows.end();) {
        if (it->second->queue == index) {
          if (it->second->cls) --it->second->cls->windows;
          it = session.windows.erase(it);
        } else {
          ++it;
        }
      }
      std::erase_if(session.timers, [&](const Timer& t) { return t.queue == index; });
    }
    Locked lock(*session.seg);
    if (session.seg->queues[index].live && session.seg->queues[index].gen == gen) ReleaseQueue(*session.seg, index);
  }
  kernel::Release(wake);
}

ThreadQueue* MyQueueIfAny() {
  if (!t_queue) return nullptr;
  if (t_queue->generation != device::Generation()) return nullptr;
  return t_queue.get();
}

ThreadQueue* MyQueue() {
  Session& session = CurrentSession();
  if (t_queue && t_queue->generation == session.generation) return t_queue.get();
  kernel::Created wake = kernel::CreateEvent(u"", kernel::EventSpec{false, false});
  if (wake.status != kernel::Status::Ok) return nullptr;
  auto queue = std::make_unique<ThreadQueue>();
  queue->wake = wake.ref;
  queue->tid = kernel::ThisTid();
  queue->generation = session.generation;
  {
    Segment& s = *session.seg;
    Locked lock(s);
    for (int attempt = 0; attempt < 2 && queue->index == kNone; ++attempt) {
      if (attempt) SweepDead(s);
      for (uint32_t q = 0; q < kMaxQueues; ++q) {
        QueueSlot& slot = s.queues[q];
        if (slot.live) continue;
        slot.live = 1;
        slot.pid = session.pid;
        slot.tid = queue->tid;
        slot.startTime = session.startTime;
        slot.wakeIndex = wake.ref.index;
        slot.wakeGen = wake.ref.gen;
        slot.head = slot.count = slot.quit = slot.changed = 0;
        slot.quitCode = 0;
        slot.active = slot.focus = 0;
        queue->index = q;
        queue->gen = slot.gen;
        break;
      }
    }
  }
  if (queue->index == kNone) {
    device::DebugLog("gwes: no room for another thread's message queue\r\n");
    return nullptr;  // the destructor releases the event
  }
  t_queue = std::move(queue);
  return t_queue.get();
}

std::shared_ptr<Window> LocalWindow(HWND hwnd) {
  Session& session = CurrentSession();
  std::lock_guard lock(session.lock);
  auto it = session.windows.find(HwndValue(hwnd));
  return it == session.windows.end() ? nullptr : it->second;
}

std::shared_ptr<Window> LocalWindowOrFail(HWND hwnd) {
  auto window = LocalWindow(hwnd);
  if (!window) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return window;
}

void ForgetWindow(HWND hwnd) {
  std::shared_ptr<void> control;  // let go of outside the lock: its end may free GDI objects
  HRGN region = nullptr;
  {
    Session& session = CurrentSession();
    std::lock_guard lock(session.lock);
    auto it = session.windows.find(HwndValue(hwnd));
    if (it == session.windows.end()) return;
    if (it->second->cls) --it->second->cls->windows;
    control = std::move(it->second->control);
    region = it->second->region;
    std::erase_if(session.timers, [&](const Timer& t) { return t.hwnd == hwnd; });
    session.windows.erase(it);
  }
  if (region) DeleteObject(region);
}

std::u16string UpperName(std::u16string_view name) {
  std::u16string out(name);
  for (char16_t& c : out) c = ToUpper(c);
  return out;
}

bool SameName(const char16_t* stored, std::u16string_view name) {
  return EqualNoCase(std::u16string_view(stored), name);
}

void CopyName(char16_t* out, size_t capacity, std::u16string_view name) {
  size_t n = std::min(name.size(), capacity);
  std::copy_n(name.data(), n, out);
  out[n] = 0;
}

}  // namespace zb::wm
