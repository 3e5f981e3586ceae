// Shared by the file tests: a fresh device per test, host-side helpers to set up and inspect
// files without going through the functions under test, and a handle that closes itself.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "device/device.h"
#include "device/text.h"
#include "testing/test_device.h"

namespace zb::files::testing {

namespace fs = std::filesystem;

// Closes on scope exit, so a failing assertion does not leak an open file into the next test.
class Handle {
 public:
  explicit Handle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
  ~Handle() { Close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return h_; }
  bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
  void Close() {
    if (valid()) CloseHandle(h_);
    h_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE h_;
};

// A call on `path` that must fail with `error`.
struct Refusal {
  const char* what;
  const char16_t* path;
  DWORD error;
};

class FilesTest : public ::testing::Test {
 protected:
  // Runs `call` (true when it succeeded) on each case's path.
  template <size_t N, class Call>
  static void ExpectRefusals(const Refusal (&cases)[N], Call call) {
    for (const Refusal& r : cases) {
      PoisonLastError();
      EXPECT_FALSE(call(r.path)) << r.what;
      EXPECT_EQ(GetLastError(), r.error) << r.what;
    }
  }

  fs::path Host(const std::string& relative) const { return device_.root() / relative; }

  static void Put(const fs::path& host, const std::string& content) {
    fs::create_directories(host.parent_path());
    std::ofstream(host, std::ios::binary | std::ios::trunc) << content;
  }
  static std::string Get(const fs::path& host) {
    std::ifstream in(host, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  static void MakeReadOnly(const fs::path& host) {
    fs::permissions(host, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
  }

  // Sets the last error to a value no call under test reports, so a check of "left alone" or
  // "cleared" cannot pass by accident.
  static void PoisonLastError() { SetLastError(0xDEAD); }

  static HANDLE Open(const char16_t* path, DWORD access, DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE,
                     DWORD disposition = OPEN_EXISTING, DWORD flags = FILE_ATTRIBUTE_NORMAL) {
    return CreateFileW(path, access, share, nullptr, disposition, flags, nullptr);
  }

  zb::testing::TestDevice device_;
};

}  // namespace zb::files::testing
