// What the registry tests share: a fresh device per test, open keys that close themselves, and
// ways to read values back, to look at the file and to make this process read the file anew.
#pragma once
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>
#include <windows.h>

#include "device/device.h"
#include "device/text.h"
#include "testing/test_device.h"

namespace zb::testing {

// An HKEY that is closed when it goes out of scope.
class ScopedKey {
 public:
  ScopedKey() = default;
  explicit ScopedKey(HKEY key) : key_(key) {}
  ~ScopedKey() {
    if (key_) RegCloseKey(key_);
  }
  ScopedKey(const ScopedKey&) = delete;
  ScopedKey& operator=(const ScopedKey&) = delete;
  HKEY get() const { return key_; }
  PHKEY out() { return &key_; }

 private:
  HKEY key_ = nullptr;
};

struct RegValue {
  DWORD type = 0;
  std::vector<BYTE> data;
  bool operator==(const RegValue&) const = default;
};

inline void PrintTo(const RegValue& value, std::ostream* out) {
  *out << "type " << value.type << ", " << value.data.size() << " bytes:";
  for (size_t i = 0; i < value.data.size() && i < 32; ++i) *out << ' ' << int(value.data[i]);
}

// UTF-16 text as the bytes the registry stores, little-endian, with or without terminator.
inline std::vector<BYTE> Utf16Bytes(std::u16string_view text) {
  std::vector<BYTE> bytes;
  for (char16_t c : text) {
    bytes.push_back(static_cast<BYTE>(c & 0xFF));
    bytes.push_back(static_cast<BYTE>(c >> 8));
  }
  return bytes;
}
inline std::vector<BYTE> SzBytes(std::u16string_view text) { return Utf16Bytes(std::u16string(text) + u'\0'); }
inline std::vector<BYTE> DwordBytes(DWORD v) { return {BYTE(v), BYTE(v >> 8), BYTE(v >> 16), BYTE(v >> 24)}; }

inline std::string ReadHostFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Replaces a file the way another process's save does: a new file renamed into place.
inline void ReplaceHostFile(const std::filesystem::path& path, std::string_view text) {
  std::filesystem::path temporary = path;
  temporary += ".test";
  std::ofstream(temporary, std::ios::binary) << text;
  std::filesystem::rename(temporary, path);
}

// Starts `program` with `args` and this process's environment plus `extraEnv`, with the
// descriptors of `fds` (from, to) in place. The child's pid, or -1.
inline pid_t Spawn(const std::string& program, std::vector<std::string> args, std::vector<std::string> extraEnv,
                   const std::vector<std::pair<int, int>>& fds) {
  for (char** e = ::environ; *e; ++e) extraEnv.emplace_back(*e);
  std::vector<char*> argv{const_cast<char*>(program.c_str())}, envp;
  for (auto& a : args) argv.push_back(a.data());
  for (auto& e : extraEnv) envp.push_back(e.data());
  argv.push_back(nullptr);
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  for (const auto& [from, to] : fds) posix_spawn_file_actions_adddup2(&actions, from, to);
  pid_t pid = -1;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

// Waits at most two minutes for a child, then kills it. Its exit code, or -1.
inline int WaitForExit(pid_t pid) {
  for (int waited = 0; pid > 0 && waited < 1200; ++waited) {
    int status = 0;
    if (::waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  if (pid > 0) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
  }
  return -1;
}

class RegistryTest : public ::testing::Test {
 public:
  std::filesystem::path RegistryFile() const { return device.root() / ".zonbrel" / "registry.txt"; }
  std::string DebugLogText() const { return ReadHostFile(device.root() / ".zonbrel" / "debug.log"); }

  // Forgets everything this process knows about the registry, as a newly started process would.
  void Reload() { device::UseRoot(device.root()); }

  HKEY Create(HKEY parent, const char16_t* path) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExW(parent, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
    return key;
  }
  HKEY Open(HKEY parent, const char16_t* path) {
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExW(parent, path, 0, KEY_READ, &key), ERROR_SUCCESS);
    return key;
  }

  static void Set(HKEY key, const char16_t* name, DWORD type, const std::vector<BYTE>& data) {
    EXPECT_EQ(RegSetValueExW(key, name, 0, type, data.data(), static_cast<DWORD>(data.size())), ERROR_SUCCESS);
  }
  static void SetDword(HKEY key, const char16_t* name, DWORD v) { Set(key, name, REG_DWORD, DwordBytes(v)); }

  // The value as RegQueryValueExW gives it, asking for the size first; type 0xFFFFFFFF with
  // the error code as data when it cannot be read.
  static RegValue Query(HKEY key, const char16_t* name) {
    RegValue value;
    DWORD size = 0;
    LONG error = RegQueryValueExW(key, name, nullptr, &value.type, nullptr, &size);
    if (error == ERROR_SUCCESS) {
      value.data.resize(size);
      error = RegQueryValueExW(key, name, nullptr, &value.type, value.data.data(), &size);
      value.data.resize(size);
    }
    if (error != ERROR_SUCCESS) return RegValue{0xFFFFFFFF, DwordBytes(static_cast<DWORD>(error))};
    return value;
  }

  // The names an enumeration call gives from index 0 until it fails.
  template <class Enumerate>
  static std::vector<std::u16string> Names(Enumerate enumerate) {
    std::vector<std::u16string> names;
    WCHAR name[1024];
    for (DWORD i = 0;; ++i) {
      DWORD count = 1024;
      if (enumerate(i, name, &count) != ERROR_SUCCESS) return names;
      names.emplace_back(name, count);
    }
  }
  static std::vector<std::u16string> SubkeyNames(HKEY key) {
    return Names([key](DWORD i, LPWSTR name, LPDWORD count) {
      return RegEnumKeyExW(key, i, name, count, nullptr, nullptr, nullptr, nullptr);
    });
  }
  static std::vector<std::u16string> ValueNames(HKEY key) {
    return Names([key](DWORD i, LPWSTR name, LPDWORD count) {
      return RegEnumValueW(key, i, name, count, nullptr, nullptr, nullptr, nullptr);
    });
  }

  TestDevice device;
};

}  // namespace zb::testing
