// Sent and posted messages between threads, as traces: sends are served before anything posted,
// a thread waiting in SendMessageW still serves sends addressed to it (so threads that send to
// each other never deadlock), and the queue's filters pick exactly what they name.
#include <atomic>
#include <thread>

#include "gwes/wm_segment.h"
#include "window_support.h"

namespace {

using namespace wtest;

constexpr UINT U(int n) { return WM_USER + n; }

// Sends waiting to be served anywhere on the device.
int PendingSends() {
  zb::wm::Segment& s = zb::wm::Current();
  zb::wm::Locked lock(s);
  int n = 0;
  for (const auto& m : s.sends) n += m.state == zb::wm::SendState::Pending;
  return n;
}

bool WaitFor(const std::function<bool()>& done) {
  for (int i = 0; i < 20000; ++i) {
    if (done()) return true;
    Sleep(1);
  }
  return false;
}

// A window on a thread of its own, which pumps its queue on request.
class Worker {
 public:
  explicit Worker(std::function<void(HWND)> body = {}) : body_(std::move(body)) {
    go_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    thread_ = std::thread([this] {
      hwnd_ = Make(0);
      ready_ = true;
      WaitForSingleObject(go_, 20000);
      if (body_) body_(hwnd_);
      Pump();
      done_ = true;
      WaitForSingleObject(go_, 20000);  // the window lives until the test lets go
      DestroyWindow(hwnd_);
    });
    WaitFor([this] { return ready_.load(); });
  }
  ~Worker() {
    if (!done_) Run();
    SetEvent(go_);
    thread_.join();
    CloseHandle(go_);
  }
  HWND hwnd() const { return hwnd_; }
  void Run() {
    SetEvent(go_);
    WaitFor([this] { return done_.load(); });
  }

 private:
  std::function<void(HWND)> body_;
  HANDLE go_;
  std::atomic<HWND> hwnd_{nullptr};
  std::atomic<bool> ready_{false}, done_{false};
  std::thread thread_;
};

std::vector<UINT> Messages(const std::vector<Entry>& trace) {
  std::vector<UINT> out;
  for (const Entry& e : trace) {
    if (e.message >= WM_USER) out.push_back(e.message);
  }
  return out;
}

class MessageOrderTest : public WindowTest {};

TEST_F(MessageOrderTest, SendsAreServedBeforeEverythingPosted) {
  Worker worker;
  HWND w = worker.hwnd();
  PostMessageW(w, U(1), 0, 0);
  PostMessageW(w, U(2), 0, 0);
  LRESULT sent = 0;
  std::thread sender([&] { sent = SendMessageW(w, U(3), 0, 0); });
  ASSERT_TRUE(WaitFor([] { return PendingSends() == 1; }));
  PostMessageW(w, U(4), 0, 0);
  worker.Run();
  sender.join();
  EXPECT_EQ(sent, 3) << "the sender gets the procedure's answer";
  EXPECT_EQ(Messages(TheTrace().Take()), (std::vector<UINT>{U(3), U(1), U(2), U(4)}));
}

TEST_F(MessageOrderTest, SameThreadSendIsACallWhilePostedWaitsForThePump) {
  HWND a = Make(0);
  TheTrace().Take();
  PostMessageW(a, U(1), 0, 0);
  EXPECT_EQ(SendMessageW(a, U(2), 0, 0), 2);
  EXPECT_EQ(Messages(TheTrace().Take()), (std::vector<UINT>{U(2)}));
  Pump();
  EXPECT_EQ(Messages(TheTrace().Take()), (std::vector<UINT>{U(1)}));
}

// Two windows on two threads that answer a message by sending one to the other window.
struct Pair {
  HWND other = nullptr;
};
thread_local Pair t_pair;

LRESULT CALLBACK Bouncer(HWND hwnd, UINT m, WPARAM w, LPARAM l) {
  if (m == U(1)) {
    TheTrace().Add({hwnd, m, 0, 0});
    return SendMessageW(t_pair.other, U(2), 0, 0) + 100;  // nested: the first sender is waiting
  }
  if (m == U(2)) {
    TheTrace().Add({hwnd, m, 0, 0});
    return 7;
  }
  return DefWindowProcW(hwnd, m, w, l);
}

TEST_F(MessageOrderTest, SenderServesASendBackWhileItWaits) {
  RegisterTraced(0, Bouncer, u"Bouncer");
  HWND mine = Make(0, nullptr, {0, 0, 1, 1}, u"Bouncer");
  std::atomic<HWND> theirs{nullptr};
  HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread other([&] {
    t_pair.other = mine;
    theirs = Make(0, nullptr, {0, 0, 1, 1}, u"Bouncer");
    MSG msg;
    while (MsgWaitForMultipleObjectsEx(1, &stop, 20000, QS_ALLINPUT, 0) != WAIT_OBJECT_0) {
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
  });
  ASSERT_TRUE(WaitFor([&] { return theirs.load() != nullptr; }));
  t_pair.other = theirs;
  // We send U(1) to them; they send U(2) back to us while we wait; we answer 7; they add 100.
  EXPECT_EQ(SendMessageW(theirs, U(1), 0, 0), 107);
  std::vector<Entry> expected = {{theirs, U(1), 0, 0}, {mine, U(2), 0, 0}};
  EXPECT_EQ(TheTrace().Take(), expected);
  SetEvent(stop);
  other.join();
  CloseHandle(stop);
}

TEST_F(MessageOrderTest, TwoThreadsSendingToEachOtherAtOnceBothComplete) {
  RegisterTraced(0, Bouncer, u"Bouncer");
  std::atomic<HWND> windows[2] = {nullptr, nullptr};
  std::atomic<int> arrived{0};
  LRESULT results[2] = {0, 0};
  auto body = [&](int i) {
    windows[i] = Make(0, nullptr, {0, 0, 1, 1}, u"Bouncer");
    WaitFor([&] { return windows[1 - i].load() != nullptr; });
    t_pair.other = windows[1 - i];
    ++arrived;
    WaitFor([&] { return arrived.load() == 2; });
    // Both send U(2) at the same moment; each serves the other's send while waiting.
    results[i] = SendMessageW(windows[1 - i], U(2), 0, 0);
    ++arrived;
    // Keep serving until the other one is done as well.
    MSG msg;
    WaitFor([&] {
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
      return arrived.load() == 4;
    });
    DestroyWindow(windows[i]);
  };
  std::thread a(body, 0), b(body, 1);
  a.join();
  b.join();
  EXPECT_EQ(results[0], 7);
  EXPECT_EQ(results[1], 7);
  EXPECT_EQ(TheTrace().Take().size(), 2u);
}

struct FilterCase {
  const char* name;
  int filter;  // 0 none, 1 the parent, 2 the child, 3 thread messages only
  UINT min, max;
  std::vector<UINT> taken;  // in the order PeekMessageW gives them
};

TEST_F(MessageOrderTest, PeekMessageTakesOnlyWhatItsFiltersName) {
  const FilterCase cases[] = {
      {"everything", 0, 0, 0, {U(1), U(2), U(3), U(4), U(5)}},
      {"parent and its child", 1, 0, 0, {U(1), U(2), U(3), U(5)}},
      {"child only", 2, 0, 0, {U(2)}},
      {"thread messages", 3, 0, 0, {U(4)}},
      {"range", 0, U(2), U(3), {U(2), U(3)}},
      {"range and window", 1, U(3), U(5), {U(3), U(5)}},
      {"single message", 0, U(5), U(5), {U(5)}},
  };
  HWND parent = Make(0);
  HWND child = Make(WS_CHILD, parent);
  const HWND filters[] = {nullptr, parent, child, reinterpret_cast<HWND>(-1)};
  for (const FilterCase& c : cases) {
    Pump();
    PostMessageW(parent, U(1), 0, 0);
    PostMessageW(child, U(2), 0, 0);
    PostMessageW(parent, U(3), 0, 0);
    PostThreadMessageW(GetCurrentThreadId(), U(4), 0, 0);
    PostMessageW(parent, U(5), 0, 0);
    MSG msg;
    // Not removing leaves the message first in line.
    if (PeekMessageW(&msg, filters[c.filter], c.min, c.max, PM_NOREMOVE)) {
      MSG again;
      ASSERT_TRUE(PeekMessageW(&again, filters[c.filter], c.min, c.max, PM_NOREMOVE)) << c.name;
      EXPECT_EQ(again.message, msg.message) << c.name;
    }
    std::vector<UINT> taken;
    while (PeekMessageW(&msg, filters[c.filter], c.min, c.max, PM_REMOVE)) taken.push_back(msg.message);
    EXPECT_EQ(taken, c.taken) << c.name;
  }
  Pump();
}

TEST_F(MessageOrderTest, QuitComesAfterPostedMessagesAndOnlyToUnfilteredCalls) {
  HWND a = Make(0);
  PostQuitMessage(42);
  PostMessageW(a, U(1), 0, 0);
  MSG msg;
  EXPECT_FALSE(PeekMessageW(&msg, a, WM_QUIT, WM_QUIT, PM_NOREMOVE)) << "a window filter never sees WM_QUIT";
  ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.message, U(1));
  EXPECT_EQ(GetMessageW(&msg, nullptr, 0, 0), FALSE);
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 42u);
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) << "taking WM_QUIT clears it";
}

TEST_F(MessageOrderTest, KeyDownBecomesACharacterRightAfterIt) {
  HWND a = Make(WS_VISIBLE);
  Pump();
  TheTrace().Take();
  PostMessageW(a, WM_KEYDOWN, 'A', 1);
  PostMessageW(a, U(1), 0, 0);
  Pump();
  keybd_event(VK_SHIFT, 0, 0, 0);
  Pump();
  PostMessageW(a, WM_KEYDOWN, 'B', 1);
  Pump();
  keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
  PostMessageW(a, WM_KEYDOWN, VK_RETURN, 1);
  Pump();
  std::vector<Entry> chars;
  for (const Entry& e : TheTrace().Take()) {
    if (e.message == WM_CHAR || e.message == U(1)) chars.push_back(e);
  }
  std::vector<Entry> expected = {
      {a, WM_CHAR, 'a', 1}, {a, U(1), 0, 0}, {a, WM_CHAR, 'B', 1}, {a, WM_CHAR, '\r', 1}};
  EXPECT_EQ(chars, expected);
}

TEST_F(MessageOrderTest, CopyDataReachesAnotherThreadAsACopy) {
  Worker worker;
  HWND w = worker.hwnd();
  static std::string s_seen;
  static ULONG_PTR s_tag;
  RegisterTraced(0, [](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m == WM_COPYDATA) {
      auto* cds = reinterpret_cast<COPYDATASTRUCT*>(lp);
      s_tag = cds->dwData;
      s_seen.assign(static_cast<const char*>(cds->lpData), cds->cbData);
      return static_cast<LRESULT>(cds->cbData);
    }
    return DefWindowProcW(h, m, wp, lp);
  }, u"Copier");
  // The copier window lives on another thread: make it there.
  std::atomic<HWND> copier{nullptr};
  HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread t([&] {
    copier = Make(0, nullptr, {0, 0, 1, 1}, u"Copier");
    MSG msg;
    while (MsgWaitForMultipleObjectsEx(1, &stop, 20000, QS_ALLINPUT, 0) != WAIT_OBJECT_0) {
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
  });
  ASSERT_TRUE(WaitFor([&] { return copier.load() != nullptr; }));
  char data[] = "stream path";
  COPYDATASTRUCT cds{221, sizeof data - 1, data};
  EXPECT_EQ(SendMessageW(copier, WM_COPYDATA, reinterpret_cast<WPARAM>(w), reinterpret_cast<LPARAM>(&cds)), 11);
  EXPECT_EQ(s_seen, "stream path");
  EXPECT_EQ(s_tag, 221u);
  COPYDATASTRUCT empty{222, 0, nullptr};
  EXPECT_EQ(SendMessageW(copier, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&empty)), 0);
  EXPECT_EQ(s_tag, 222u) << "a record without data still carries its tag";
  std::vector<char> huge(zb::wm::kChunks * zb::wm::kChunkBytes + 1, 'x');
  COPYDATASTRUCT tooBig{223, static_cast<DWORD>(huge.size()), huge.data()};
  EXPECT_EQ(SendMessageW(copier, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&tooBig)), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY)) << "more than the device can carry";
  EXPECT_EQ(s_tag, 222u) << "and the receiver never saw it";
  COPYDATASTRUCT broken{224, 10, nullptr};
  EXPECT_EQ(SendMessageW(copier, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&broken)), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  SetEvent(stop);
  t.join();
  CloseHandle(stop);
}

TEST_F(MessageOrderTest, SendNotifyReturnsAtOnceAndArrivesBeforePostedMessages) {
  Worker worker;
  HWND w = worker.hwnd();
  PostMessageW(w, U(1), 0, 0);
  EXPECT_TRUE(SendNotifyMessageW(w, U(2), 0, 0));
  worker.Run();
  EXPECT_EQ(Messages(TheTrace().Take()), (std::vector<UINT>{U(2), U(1)}));
}

TEST_F(MessageOrderTest, PostingFailsClearly) {
  HWND a = Make(0);
  EXPECT_FALSE(PostMessageW(a, WM_COPYDATA, 0, 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MESSAGE_SYNC_ONLY));
  EXPECT_FALSE(PostThreadMessageW(0x7FFFFFF0, U(1), 0, 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_THREAD_ID));
  int posted = 0;
  while (posted < 5000 && PostMessageW(a, U(1), posted, 0)) ++posted;
  EXPECT_EQ(posted, static_cast<int>(zb::wm::kQueueMessages)) << "a full queue refuses, nothing is overwritten";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_QUOTA));
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 0u) << "the oldest message is still first";
  Pump();
  DestroyWindow(a);
  EXPECT_FALSE(PostMessageW(a, U(1), 0, 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
  EXPECT_EQ(SendMessageW(a, U(1), 0, 0), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(MessageOrderTest, RegisteredMessagesShareOneNumberPerName) {
  UINT a = RegisterWindowMessageW(u"Zonbrel.Browse");
  UINT b = RegisterWindowMessageW(u"zonbrel.browse");
  UINT c = RegisterWindowMessageW(u"Zonbrel.Other");
  EXPECT_GE(a, 0xC000u);
  EXPECT_LE(a, 0xFFFFu);
  EXPECT_EQ(a, b);
  EXPECT_NE(a, c);
  EXPECT_EQ(RegisterWindowMessageW(u""), 0u);
}

}  // namespace
