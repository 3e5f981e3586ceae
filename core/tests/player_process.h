// The player program as a process of a test's device: started with its arguments, asked to
// close by SIGTERM as the device's close would, and waited for in real time, bounded.
#pragma once
#include <windows.h>

#include <chrono>
#include <csignal>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

#include "core/main_window_protocol.h"

namespace zb::testing {

inline void RealSleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

class PlayerProcess {
 public:
  explicit PlayerProcess(std::vector<std::string> args) {
    std::string path = ZONBREL_PATH;
    std::vector<char*> argv{path.data()};
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, path.c_str(), nullptr, nullptr, argv.data(), environ) != 0) pid_ = -1;
  }
  ~PlayerProcess() {
    if (pid_ > 0 && status_ == -1) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  PlayerProcess(const PlayerProcess&) = delete;
  PlayerProcess& operator=(const PlayerProcess&) = delete;

  bool Started() const { return pid_ > 0; }
  void Signal(int signal) { kill(pid_, signal); }
  // The exit status once the process ended within `ms` of real time; -1 while it runs.
  int Wait(int ms) {
    for (int waited = 0; status_ == -1 && waited <= ms; waited += 10) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        break;
      }
      RealSleep(10);
    }
    return status_;
  }
  // SIGTERM, then the exit status (-1 when it did not end within 20 s).
  int Stop() {
    Signal(SIGTERM);
    return Wait(20000);
  }

 private:
  pid_t pid_ = -1;
  int status_ = -1;
};

// The player's main window once its readiness word says it is shown, within `ms` of real time.
inline HWND WaitForShownWindow(int ms = 20000) {
  for (int waited = 0; waited <= ms; waited += 20) {
    HWND window = FindWindowW(kMainWindowClass, nullptr);
    if (window && GetWindowLongW(window, GWL_USERDATA) == 1) return window;
    RealSleep(20);
  }
  return nullptr;
}

}  // namespace zb::testing
