// The device folder and its debug log. Everything else about the device hangs off Root().
#include "device/device.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>

namespace zb::device {
namespace {

std::mutex g_lock;
std::filesystem::path g_root;
std::atomic<unsigned> g_generation{1};

std::filesystem::path DefaultRoot() {
  if (const char* env = std::getenv("ZONBREL_DEVICE"); env && *env) return env;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
    return std::filesystem::path(xdg) / "zonbrel" / "device";
  const char* home = std::getenv("HOME");
  return std::filesystem::path(home && *home ? home : "/tmp") / ".local" / "share" / "zonbrel" / "device";
}

void Create(const std::filesystem::path& root) {
  std::error_code ec;
  std::filesystem::create_directories(root / ".zonbrel", ec);
}

}  // namespace

std::filesystem::path Root() {
  std::lock_guard lock(g_lock);
  if (g_root.empty()) {
    g_root = std::filesystem::absolute(DefaultRoot());
    Create(g_root);
  }
  return g_root;
}

std::filesystem::path StateFolder() { return Root() / ".zonbrel"; }

void UseRoot(const std::filesystem::path& root) {
  std::lock_guard lock(g_lock);
  g_root = std::filesystem::absolute(root);
  Create(g_root);
  g_generation.fetch_add(1);
}

unsigned Generation() { return g_generation.load(); }

void DebugLog(std::string_view utf8) {
  static const bool toStderr = [] {
    const char* env = std::getenv("ZONBREL_DEBUG");
    return env && (std::string_view(env) == "stderr" || std::string_view(env) == "1");
  }();
  // O_APPEND keeps lines of several processes whole.
  int fd = ::open((StateFolder() / "debug.log").c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd >= 0) {
    ssize_t n = ::write(fd, utf8.data(), utf8.size());
    (void)n;
    ::close(fd);
  }
  if (toStderr) {
    std::fwrite(utf8.data(), 1, utf8.size(), stderr);
    std::fflush(stderr);
  }
}

}  // namespace zb::device
