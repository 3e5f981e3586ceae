// Test support for the product folders: a fresh device whose program folder is a plain folder of
// the device ("\Program Files\Zonbrel"), so that files the program keeps beside itself land in
// the test's device and not beside the test binary; reading device files, running tools (zbreg), and a
// file-size limit that makes writes come up short.
#pragma once
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>
#include <windows.h>

#include "testing/test_device.h"

namespace zb::testing {

class ProductDevice : public TestDevice {
 public:
  explicit ProductDevice(const std::string& profile = "") {
    WriteProfile("[program]\nhost = /nonexistent/zonbrel-test-program\n" + profile);
    CreateDirectoryW(u"\\Program Files", nullptr);
    CreateDirectoryW(u"\\Program Files\\Zonbrel", nullptr);
  }
  // The host path of a device file given with "/" separators relative to the program folder.
  std::filesystem::path ProgramFile(const std::string& name) const { return Host("Program Files/Zonbrel/" + name); }
};

inline std::vector<BYTE> ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::vector<BYTE>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A device file's bytes, read through the platform (names without case).
inline std::vector<BYTE> ReadDeviceBytes(const WCHAR* path) {
  std::vector<BYTE> bytes;
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  bytes.resize(GetFileSize(file, nullptr));
  DWORD got = 0;
  if (!bytes.empty() && !ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr)) got = 0;
  bytes.resize(got);
  CloseHandle(file);
  return bytes;
}

// The same bytes as a string, for comparing with the text a file should hold.
inline std::string ReadDeviceText(const WCHAR* path) {
  const std::vector<BYTE> bytes = ReadDeviceBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

inline void WriteBytes(const std::filesystem::path& file, const std::vector<BYTE>& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadOutput(FILE* file) {
  std::string text;
  std::rewind(file);
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
  std::fclose(file);
  return text;
}

// A program run to its end: its exit status (-1 when it could not run or did not exit by itself)
// and what it wrote on its standard output. A program named without a folder is found on PATH.
struct ToolRun {
  int status = -1;
  std::string out;
};

inline ToolRun RunTool(std::vector<std::string> args) {
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  FILE* out = std::tmpfile();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fileno(out), 1);
  ToolRun run;
  pid_t pid = -1;
  int status = 0;
  if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0 && waitpid(pid, &status, 0) == pid &&
      WIFEXITED(status))
    run.status = WEXITSTATUS(status);
  posix_spawn_file_actions_destroy(&actions);
  run.out = ReadOutput(out);
  return run;
}

// Runs zbreg with the arguments on the current device; its standard output, or "" when it failed.
inline std::string RunZbreg(std::vector<std::string> args) {
  args.insert(args.begin(), ZBREG_PATH);
  ToolRun run = RunTool(std::move(args));
  return run.status == 0 ? run.out : "";
}

// While it lives, no file of this process can grow beyond `bytes`: writes past it come up short,
// as on a full store.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
};

}  // namespace zb::testing
