// The player program and the test's other programs as processes of a test's device: started
// with their arguments, asked to close by SIGTERM as the device's close would, and waited for in
// real time, bounded; asking the running player until it answers; the MP3 files it plays, made by
// lame, and the WAVE files its output device writes.
#pragma once
#include <windows.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

#include "core/window/main_window_protocol.h"
#include "core/settings/settings.h"
#include "product_device.h"

namespace zb::testing {

inline void RealSleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// A program of the test run as a process of the test's device, looked up on PATH when named
// without a folder, its standard output into `out` when given; killed if it still runs at the end.
class ChildProcess {
 public:
  ChildProcess(std::string path, std::vector<std::string> args, FILE* out = nullptr) {
    std::vector<char*> argv{path.data()};
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (out) posix_spawn_file_actions_adddup2(&actions, fileno(out), 1);
    if (posix_spawnp(&pid_, path.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~ChildProcess() {
    if (pid_ > 0 && status_ == -1) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Started() const { return pid_ > 0; }
  void Signal(int signal) {
    if (pid_ > 0 && status_ == -1) kill(pid_, signal);
  }
  // The exit status once the process ended within `ms` of real time; -1 while it runs.
  int Wait(int ms) {
    for (int waited = 0; pid_ > 0 && status_ == -1 && waited <= ms; waited += 10) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        break;
      }
      RealSleep(10);
    }
    return status_;
  }
  // As Wait, dispatching this thread's messages meanwhile: for a test whose own windows the
  // process sends to.
  int Serve(int ms) {
    for (int waited = 0; waited <= ms; waited += 5) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
      if (Wait(0) != -1) break;
      RealSleep(5);
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

// The player program started with its arguments.
class PlayerProcess : public ChildProcess {
 public:
  explicit PlayerProcess(std::vector<std::string> args)
      : ChildProcess(AsAlreadyStartedOnce(ZONBREL_PATH), std::move(args)) {}

 private:
  // A fresh device would greet the player with the first-run association question and switch on
  // the idle dimming, which would swallow a key now and then in a long test; the tests start it
  // as a device where the question was answered and dimming stays off.
  static std::string AsAlreadyStartedOnce(std::string path) {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, 0, nullptr, &key, nullptr);
    const struct {
      const WCHAR* name;
      DWORD value;
    } kFirstRun[] = {{u"setAssociations", 1}, {u"devicesDetected", 0x100}, {u"enableDimming", 0}};
    for (const auto& v : kFirstRun) {
      DWORD type = 0, size = 0;
      if (RegQueryValueExW(key, v.name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        RegSetValueExW(key, v.name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v.value), sizeof v.value);
    }
    RegCloseKey(key);
    return path;
  }
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

// Reads `read` until `done` holds for its value, for at most 20 s; the last value.
template <class Read, class Done>
LRESULT ReadUntil(Read read, Done done) {
  LRESULT value = read();
  for (int waited = 0; waited < 20000 && !done(value); waited += 20) {
    RealSleep(20);
    value = read();
  }
  return value;
}

// Asks the running player until `query` (a remote command) answers `want`; the last answer.
inline LRESULT AskUntil(HWND window, WORD query, LRESULT want) {
  return ReadUntil([&] { return SendMessageW(window, 1428, query, 3); }, [&](LRESULT v) { return v == want; });
}

// Lets the player be closed while it plays (the setting is on by default).
inline void KeepClosableWhilePlaying() {
  HKEY key = nullptr;
  RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, 0, nullptr, &key, nullptr);
  const DWORD off = 0;
  RegSetValueExW(key, u"noCloseWhilePlaying", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&off), sizeof off);
  RegCloseKey(key);
}

// The samples of a WAVE file the device wrote (what follows its 44-byte header).
inline std::vector<char> WaveData(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return bytes.size() > 44 ? std::vector<char>(bytes.begin() + 44, bytes.end()) : std::vector<char>();
}

// The WAVE files the device wrote for `base` ("out.wav", then "out-2.wav" ...), with samples.
inline std::vector<std::filesystem::path> Recordings(const std::filesystem::path& base) {
  std::vector<std::filesystem::path> found;
  for (const auto& entry : std::filesystem::directory_iterator(base.parent_path())) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(base.stem().string(), 0) == 0 && entry.path().extension() == ".wav" && WaveData(entry.path()).size())
      found.push_back(entry.path());
  }
  return found;
}

// `seconds` of a stereo tone (440 Hz left, 660 Hz right) as a 128 kbit/s MP3 at `mp3`.
inline bool MakeMp3(const std::filesystem::path& mp3, uint32_t seconds) {
  const std::filesystem::path wav = std::filesystem::path(mp3).replace_extension(".source.wav");
  const uint32_t frames = 44100 * seconds;
  std::ofstream out(wav, std::ios::binary);
  auto word = [&](uint32_t v, int bytes) { out.write(reinterpret_cast<const char*>(&v), bytes); };
  out.write("RIFF", 4);
  word(36 + frames * 4, 4);
  out.write("WAVEfmt ", 8);
  word(16, 4), word(1, 2), word(2, 2), word(44100, 4), word(44100 * 4, 4), word(4, 2), word(16, 2);
  out.write("data", 4);
  word(frames * 4, 4);
  for (uint32_t i = 0; i < frames; ++i) {
    word(static_cast<uint16_t>(static_cast<int16_t>(8000 * std::sin(2 * M_PI * 440 * i / 44100.0))), 2);
    word(static_cast<uint16_t>(static_cast<int16_t>(8000 * std::sin(2 * M_PI * 660 * i / 44100.0))), 2);
  }
  out.close();
  const bool made = RunTool({"lame", "--quiet", "-b", "128", wav.string(), mp3.string()}).status == 0;
  std::filesystem::remove(wav);
  return made;
}

}  // namespace zb::testing
