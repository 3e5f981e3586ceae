// SendMessageW round trips on the same thread, to another thread and to another process, each
// beside what it costs the host to do the like in the same run: a plain call through a pointer,
// a handoff between two threads on one futex word, and a byte ping-pong over a socket pair
// between two processes.
#include <benchmark/benchmark.h>
#include <windows.h>

#include <atomic>
#include <csignal>
#include <filesystem>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "testing/test_device.h"

extern char** environ;

namespace {

LRESULT CALLBACK Answer(HWND hwnd, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_USER + 9) return 9;
  return DefWindowProcW(hwnd, m, w, l);
}

HWND MakeAnswerer() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = Answer;
  wc.lpszClassName = u"Answerer";
  RegisterClassW(&wc);
  return CreateWindowExW(0, u"Answerer", u"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
}

__attribute__((noinline)) LRESULT PlainProc(HWND, UINT m, WPARAM, LPARAM) { return m; }

void BM_PlainFunctionCallBaseline(benchmark::State& state) {
  LRESULT (*volatile proc)(HWND, UINT, WPARAM, LPARAM) = PlainProc;
  for (auto _ : state) benchmark::DoNotOptimize(proc(nullptr, WM_USER + 9, 0, 0));
}
BENCHMARK(BM_PlainFunctionCallBaseline);

void BM_SendMessageSameThread(benchmark::State& state) {
  zb::testing::TestDevice device;
  HWND hwnd = MakeAnswerer();
  for (auto _ : state) benchmark::DoNotOptimize(SendMessageW(hwnd, WM_USER + 9, 0, 0));
  DestroyWindow(hwnd);
}
BENCHMARK(BM_SendMessageSameThread);

void BM_SendMessageCrossThread(benchmark::State& state) {
  zb::testing::TestDevice device;
  std::atomic<HWND> hwnd{nullptr};
  std::thread owner([&] {
    hwnd = MakeAnswerer();
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    DestroyWindow(hwnd);
  });
  while (!hwnd.load()) std::this_thread::yield();
  for (auto _ : state) {
    if (SendMessageW(hwnd, WM_USER + 9, 0, 0) != 9) {
      state.SkipWithError("no answer");
      break;
    }
  }
  PostMessageW(hwnd, WM_QUIT, 0, 0);
  owner.join();
}
BENCHMARK(BM_SendMessageCrossThread)->UseRealTime();

void BM_FutexHandoffBaseline(benchmark::State& state) {
  // One word: the sender makes it odd, the answerer makes it even again.
  std::atomic<uint32_t> turn{0};
  std::atomic<bool> stop{false};
  std::thread answerer([&] {
    for (uint32_t seen = 0;;) {
      turn.wait(seen);
      seen = turn.load();
      if (stop.load()) return;
      if (seen & 1) {
        turn.store(++seen);
        turn.notify_one();
      }
    }
  });
  for (auto _ : state) {
    uint32_t asked = turn.load() + 1;
    turn.store(asked);
    turn.notify_one();
    for (uint32_t now = asked; now == asked; now = turn.load()) turn.wait(asked);
  }
  stop = true;
  turn.fetch_add(2);
  turn.notify_one();
  answerer.join();
}
BENCHMARK(BM_FutexHandoffBaseline)->UseRealTime();

void BM_SendMessageCrossProcess(benchmark::State& state) {
  zb::testing::TestDevice device;
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, u"gwes-test/ready");
  std::string path =
      (std::filesystem::read_symlink("/proc/self/exe").parent_path() / ".." / "tests" / "gwes_helper").string();
  std::string log = "/dev/null";
  char* argv[] = {path.data(), const_cast<char*>("player"), log.data(), nullptr};
  pid_t helper = -1;
  if (posix_spawn(&helper, path.c_str(), nullptr, nullptr, argv, environ) != 0 ||
      WaitForSingleObject(ready, 20000) != WAIT_OBJECT_0) {
    state.SkipWithError("the helper did not come up");
    return;
  }
  HWND player = FindWindowW(u"Zonbrel", nullptr);
  for (auto _ : state) {
    if (SendMessageW(player, WM_USER + 9, 0, 0) != 9) {
      state.SkipWithError("no answer");
      break;
    }
  }
  kill(helper, SIGKILL);
  waitpid(helper, nullptr, 0);
  CloseHandle(ready);
}
BENCHMARK(BM_SendMessageCrossProcess)->UseRealTime();

void BM_SocketPingPongCrossProcessBaseline(benchmark::State& state) {
  int ends[2];
  if (socketpair(AF_UNIX, SOCK_STREAM, 0, ends) != 0) {
    state.SkipWithError("socketpair");
    return;
  }
  pid_t child = fork();
  if (child == 0) {
    close(ends[0]);
    char c;
    while (recv(ends[1], &c, 1, 0) == 1 && send(ends[1], &c, 1, 0) == 1) {
    }
    _exit(0);
  }
  close(ends[1]);
  for (auto _ : state) {
    char c = 'p';
    if (send(ends[0], &c, 1, 0) != 1 || recv(ends[0], &c, 1, 0) != 1) {
      state.SkipWithError("socket broke");
      break;
    }
  }
  close(ends[0]);
  waitpid(child, nullptr, 0);
}
BENCHMARK(BM_SocketPingPongCrossProcessBaseline)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
