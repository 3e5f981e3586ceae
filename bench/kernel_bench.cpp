// Event round trips through the kernel segment, same-process and across processes, each beside
// its plain host counterpart (a futex round trip between threads, a pipe round trip between
// processes) so the layer's own cost can be read off one run.
#include <benchmark/benchmark.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <filesystem>
#include <linux/futex.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "testing/test_clock.h"
#include "testing/test_device.h"

namespace {

DWORD WINAPI Echo(LPVOID p) {
  auto* events = static_cast<HANDLE*>(p);
  for (;;) {
    if (WaitForSingleObject(events[0], INFINITE) != WAIT_OBJECT_0) return 1;
    if (WaitForSingleObject(events[2], 0) == WAIT_OBJECT_0) return 0;  // stop
    SetEvent(events[1]);
  }
}

void BM_EventRoundTripSameProcess(benchmark::State& state) {
  zb::testing::TestDevice device;
  HANDLE events[3] = {CreateEventW(nullptr, FALSE, FALSE, nullptr), CreateEventW(nullptr, FALSE, FALSE, nullptr),
                      CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  HANDLE thread = CreateThread(nullptr, 0, Echo, events, 0, nullptr);
  for (auto _ : state) {
    SetEvent(events[0]);
    WaitForSingleObject(events[1], INFINITE);
  }
  SetEvent(events[2]);
  SetEvent(events[0]);
  WaitForSingleObject(thread, INFINITE);
  for (HANDLE h : events) CloseHandle(h);
  CloseHandle(thread);
}
BENCHMARK(BM_EventRoundTripSameProcess)->UseRealTime();

long Futex(std::atomic<uint32_t>* word, int op, uint32_t value) {
  return syscall(SYS_futex, reinterpret_cast<uint32_t*>(word), op, value, nullptr, nullptr, 0);
}

void BM_FutexRoundTripBaseline(benchmark::State& state) {
  std::atomic<uint32_t> ping{0}, pong{0};
  std::atomic<bool> stop{false};
  std::thread echo([&] {
    uint32_t seen = 0;
    while (!stop.load()) {
      while (ping.load() == seen && !stop.load()) Futex(&ping, FUTEX_WAIT_PRIVATE, seen);
      seen = ping.load();
      pong.fetch_add(1);
      Futex(&pong, FUTEX_WAKE_PRIVATE, 1);
    }
  });
  for (auto _ : state) {
    uint32_t before = pong.load();
    ping.fetch_add(1);
    Futex(&ping, FUTEX_WAKE_PRIVATE, 1);
    while (pong.load() == before) Futex(&pong, FUTEX_WAIT_PRIVATE, before);
  }
  stop = true;
  ping.fetch_add(1);
  Futex(&ping, FUTEX_WAKE_PRIVATE, INT_MAX);
  echo.join();
}
BENCHMARK(BM_FutexRoundTripBaseline)->UseRealTime();

pid_t Spawn(std::vector<std::string> args) {
  std::string path =
      (std::filesystem::read_symlink("/proc/self/exe").parent_path() / ".." / "tests" / "coredll_helper").string();
  std::vector<char*> argv{path.data()};
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv.data(), environ);
  return pid;
}

// Pulse-to-wake: the helper signals pong, then waits on ping; once it is seen waiting, ping is
// pulsed and the time until the helper's pong arrives is measured.
void BM_PulseToWakeCrossProcess(benchmark::State& state) {
  zb::testing::TestDevice device;
  HANDLE ping = CreateEventW(nullptr, FALSE, FALSE, u"Bench/Ping");
  HANDLE pong = CreateEventW(nullptr, FALSE, FALSE, u"Bench/Pong");
  const long rounds = 1000000;
  pid_t helper = Spawn({"pulse-echo", "Bench/Ping", "Bench/Pong", std::to_string(rounds)});
  for (auto _ : state) {
    auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (zb::testing::TimedWaiters() == 0) {
      if (std::chrono::steady_clock::now() > limit) {
        state.SkipWithError("helper is not waiting");
        break;
      }
    }
    auto start = std::chrono::steady_clock::now();
    PulseEvent(ping);
    if (WaitForSingleObject(pong, 10000) != WAIT_OBJECT_0) {
      state.SkipWithError("no answer");
      break;
    }
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  kill(helper, SIGKILL);
  waitpid(helper, nullptr, 0);
  CloseHandle(ping);
  CloseHandle(pong);
}
BENCHMARK(BM_PulseToWakeCrossProcess)->UseManualTime();

void BM_PipeRoundTripCrossProcessBaseline(benchmark::State& state) {
  int toChild[2], toParent[2];
  if (pipe(toChild) != 0 || pipe(toParent) != 0) {
    state.SkipWithError("pipe");
    return;
  }
  pid_t child = fork();
  if (child == 0) {
    close(toChild[1]);  // so the parent's close ends the loop
    close(toParent[0]);
    char c;
    while (read(toChild[0], &c, 1) == 1) {
      if (write(toParent[1], &c, 1) != 1) break;
    }
    _exit(0);
  }
  close(toChild[0]);
  close(toParent[1]);
  for (auto _ : state) {
    char c = 'x';
    if (write(toChild[1], &c, 1) != 1 || read(toParent[0], &c, 1) != 1) {
      state.SkipWithError("pipe broke");
      break;
    }
  }
  close(toChild[1]);
  waitpid(child, nullptr, 0);
  close(toParent[0]);
}
BENCHMARK(BM_PipeRoundTripCrossProcessBaseline)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
