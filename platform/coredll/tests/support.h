// Shared by coredll's tests: bounded waiting for a condition, and running the helper program
// (coredll_helper, built beside the tests) as a real second process of the test's device.
#pragma once
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zb::testing {

// Polls until `done` holds; false after `limit` (the test then fails instead of hanging).
inline bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(20)) {
  auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

inline std::filesystem::path HelperPath() {
  return std::filesystem::read_symlink("/proc/self/exe").parent_path() / "coredll_helper";
}

// Starts the helper with arguments; the device folder reaches it through ZONBREL_DEVICE.
inline pid_t SpawnHelper(const std::vector<std::string>& args) {
  std::string path = HelperPath().string();
  std::vector<char*> argv{path.data()};
  std::vector<std::string> copy = args;
  for (auto& a : copy) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return -1;
  return pid;
}

// The helper's exit status, or -1 when it has not ended within `limit` (it is then killed).
inline int ReapHelper(pid_t pid, std::chrono::milliseconds limit = std::chrono::seconds(20)) {
  int status = 0;
  bool ended = WaitUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; }, limit);
  if (!ended) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace zb::testing
