// Test support for the shared screen and the presenter: the device's programs run as real child
// processes (screen_probe, zbdev) with their stdout read line by line under a deadline, and
// PNG files read back into pictures.
#pragma once
#include <fcntl.h>
#include <png.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "gwes/screen_picture.h"

namespace zb::testing {

using namespace std::chrono_literals;

// A child process with its stdin and stdout on pipes. Killed when the object goes, if it has
// not ended by then.
class Child {
 public:
  // `env` changes the test's own environment: "NAME=value" sets, "NAME" alone removes.
  Child(const std::string& program, const std::vector<std::string>& args, const std::vector<std::string>& env = {}) {
    std::map<std::string, std::string> vars;
    for (char** e = ::environ; *e; ++e) {
      std::string s = *e;
      vars[s.substr(0, s.find('='))] = s;
    }
    for (const auto& e : env) {
      const size_t eq = e.find('=');
      if (eq == std::string::npos) {
        vars.erase(e);
      } else {
        vars[e.substr(0, eq)] = e;
      }
    }
    std::vector<std::string> envText, argText{program};
    for (auto& [name, text] : vars) envText.push_back(text);
    argText.insert(argText.end(), args.begin(), args.end());
    std::vector<char*> argv, envp;
    for (auto& a : argText) argv.push_back(a.data());
    for (auto& e : envText) envp.push_back(e.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    int in[2], out[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    in_ = in[1];
    out_ = out[0];
  }
  ~Child() {
    CloseInput();
    if (pid_ > 0 && !ended_) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) ::close(out_);
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  bool started() const { return pid_ > 0; }

  // The next line the child prints, or nothing when it prints none within `limit`.
  std::optional<std::string> ReadLine(std::chrono::milliseconds limit = 20s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
      if (size_t nl = buffer_.find('\n'); nl != std::string::npos) {
        std::string line = buffer_.substr(0, nl);
        buffer_.erase(0, nl + 1);
        return line;
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
      if (out_ < 0 || left.count() <= 0) return std::nullopt;
      pollfd p{out_, POLLIN, 0};
      if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) return std::nullopt;
      char chunk[512];
      const ssize_t n = ::read(out_, chunk, sizeof chunk);
      if (n <= 0) return std::nullopt;
      buffer_.append(chunk, static_cast<size_t>(n));
    }
  }

  void CloseInput() {
    if (in_ >= 0) ::close(in_);
    in_ = -1;
  }

  // Sends the child a signal and leaves it running.
  void Signal(int signal) {
    if (pid_ > 0 && !ended_) ::kill(pid_, signal);
  }

  // Asks the child to end (SIGTERM) and waits for it; killed when it does not end in time.
  int Terminate() {
    if (pid_ <= 0 || ended_) return -1;
    ::kill(pid_, SIGTERM);
    return Wait(10s);
  }

  // The exit code, 128 + the signal that ended it, or -1 when it has not ended within `limit`.
  // Its stdin is closed first unless `keepInput` (a child that ends when it closes would not
  // show what else ended it).
  int Wait(std::chrono::milliseconds limit = 60s, bool keepInput = false) {
    if (!keepInput) CloseInput();
    const auto end = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (::waitpid(pid_, &status, WNOHANG) != pid_) {
      if (pid_ <= 0 || std::chrono::steady_clock::now() > end) return -1;
      std::this_thread::sleep_for(5ms);
    }
    ended_ = true;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }

 private:
  pid_t pid_ = -1;
  int in_ = -1, out_ = -1;
  bool ended_ = false;
  std::string buffer_;
};

// Polls until `done` holds; false after `limit`, so a test fails instead of hanging.
template <class Done>
bool WaitUntil(Done done, std::chrono::milliseconds limit = 20s) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(20ms);
  }
  return true;
}

// Runs a program to its end; its exit code as Child::Wait gives it.
inline int RunToEnd(const std::string& program, const std::vector<std::string>& args,
               const std::vector<std::string>& env = {}) {
  Child child(program, args, env);
  return child.started() ? child.Wait() : -1;
}

inline std::optional<screen::Picture> ReadPng(const std::filesystem::path& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return std::nullopt;
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return std::nullopt;
  screen::Picture p{static_cast<int>(image.width), static_cast<int>(image.height), {}};
  for (size_t i = 0; i + 2 < rgb.size(); i += 3) p.pixels.push_back((rgb[i] << 16) | (rgb[i + 1] << 8) | rgb[i + 2]);
  return p;
}

// The device's debug log as it stands.
inline std::string DebugLogText(const std::filesystem::path& deviceRoot) {
  std::ifstream log(deviceRoot / ".zonbrel" / "debug.log");
  std::stringstream text;
  text << log.rdbuf();
  return text.str();
}

inline uint32_t At(const screen::Picture& p, int x, int y) { return p.pixels[static_cast<size_t>(y) * p.width + x]; }

}  // namespace zb::testing
