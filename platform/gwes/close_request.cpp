// The device's close for a program asked to end from outside. A signal handler may do almost
// nothing, so it only writes the signal's number to a pipe; a thread of its own reads it and
// posts the WM_CLOSE messages, which the program's threads handle in their own time.
#include "gwes/close_request.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "gwes/wm_session.h"

namespace zb::wm {
namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM};

int wakeFds[2] = {-1, -1};
struct sigaction before[std::size(kSignals)];  // what each signal did until now
// Once the process is exiting, the window system is being taken down: no more closing through it.
std::mutex closing;
bool exiting = false;

void Arrived(int signal) {
  const int saved = errno;
  const auto byte = static_cast<unsigned char>(signal);
  [[maybe_unused]] const ssize_t n = ::write(wakeFds[1], &byte, 1);
  errno = saved;
}

void EndAsBefore(int signal) {
  for (size_t i = 0; i < std::size(kSignals); ++i) {
    if (kSignals[i] == signal) ::sigaction(signal, &before[i], nullptr);
  }
  ::kill(::getpid(), signal);
}

void Watch() {
  bool asked = false;
  for (;;) {
    unsigned char signal = 0;
    const ssize_t n = ::read(wakeFds[0], &signal, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n != 1) return;
    // A program that does not end after the first request is ended by the next.
    bool closed = false;
    {
      std::lock_guard guard(closing);
      closed = !exiting && !asked && CloseProgram(CloseKind::kExit);
    }
    if (!closed) EndAsBefore(signal);
    asked = true;
  }
}

}  // namespace

bool CloseProgram(CloseKind kind) {
  Session& session = CurrentSession();
  Segment& s = *session.seg;
  std::vector<HWND> shown, hidden;
  {
    Locked lock(s);
    for (uint32_t i = s.topFirst; i != kNone; i = s.windows[i].next) {
      const WindowSlot& w = s.windows[i];
      // Owned windows close with their owner; windows that never activate (the shell's bars
      // and bubbles, which live in the program here) are not the program's main windows.
      if (w.pid != session.pid || w.owner || (w.exStyle & WS_EX_NOACTIVATE)) continue;
      ((w.style & WS_VISIBLE) ? shown : hidden).push_back(HandleOf(s, w));
    }
  }
  bool posted = false;
  for (HWND hwnd : shown.empty() ? hidden : shown) posted |= PostMessageW(hwnd, WM_CLOSE, static_cast<WPARAM>(kind), 0) != FALSE;
  return posted;
}

void CloseOnSignals() {
  static std::once_flag armed;
  std::call_once(armed, [] {
    if (::pipe2(wakeFds, O_CLOEXEC) != 0) return;
    // Registered after the window system's own state, so it runs before that is destroyed.
    std::atexit([] {
      std::lock_guard guard(closing);
      exiting = true;
    });
    std::thread(Watch).detach();
    for (size_t i = 0; i < std::size(kSignals); ++i) {
      ::sigaction(kSignals[i], nullptr, &before[i]);
      if (before[i].sa_handler == SIG_IGN) continue;  // started to ignore it: it stays ignored
      struct sigaction action {};
      action.sa_handler = Arrived;
      action.sa_flags = SA_RESTART;
      sigemptyset(&action.sa_mask);
      ::sigaction(kSignals[i], &action, nullptr);
    }
  });
}

}  // namespace zb::wm
