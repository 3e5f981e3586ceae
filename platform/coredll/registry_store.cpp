// Loading and saving the device's registry file under a flock on a lock file beside it. A save
// writes a temporary file and renames it into place, so readers see the old or the new file,
// never half of one, and a process that dies after a call returns has lost nothing. Syncing to
// the disk waits for RegFlushKey: a settings save writes a hundred values, one call each. A damaged file is read as far as it can be, reported in the debug
// log, and copied aside before it is first replaced.
#include "coredll/registry_store.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <unistd.h>

#include "coredll/registry_text.h"
#include "device/device.h"

namespace zb::registry {
namespace {

constexpr size_t kProblemsLogged = 20;
constexpr int kDamagedCopies = 100;

void Log(const std::string& line) { device::DebugLog("registry: " + line + "\n"); }

std::string Errno() { return std::strerror(errno); }

// An flock held for the lifetime of the object.
class FileLock {
 public:
  FileLock(const std::string& path, int operation) {
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    while (fd_ >= 0 && ::flock(fd_, operation) != 0) {
      if (errno == EINTR) continue;
      ::close(fd_);
      fd_ = -1;
    }
    if (fd_ < 0) Log("cannot lock " + path + ": " + Errno());
  }
  ~FileLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  bool held() const { return fd_ >= 0; }

 private:
  int fd_;
};

bool WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

bool ReadAll(int fd, std::string& text) {
  char buffer[65536];
  while (true) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    text.append(buffer, static_cast<size_t>(n));
  }
}

std::string LineRange(const TextProblem& problem) {
  if (problem.firstLine == problem.lastLine) return "line " + std::to_string(problem.firstLine);
  return "lines " + std::to_string(problem.firstLine) + "-" + std::to_string(problem.lastLine);
}

void Report(const std::string& file, const ParsedRegistry& parsed) {
  for (size_t i = 0; i < parsed.problems.size() && i < kProblemsLogged; ++i) {
    Log(file + ": " + LineRange(parsed.problems[i]) + ": " + parsed.problems[i].what);
  }
  if (parsed.problems.size() > kProblemsLogged) {
    Log(file + ": " + std::to_string(parsed.problems.size() - kProblemsLogged) + " more unreadable lines");
  }
  Log(file + ": damaged; kept the " + std::to_string(parsed.keys) + " keys and " + std::to_string(parsed.values) +
      " values that could be read; the original is copied aside before the file is next written");
}

}  // namespace

bool Store::Stamp::operator==(const Stamp& other) const {
  return device == other.device && inode == other.inode && size == other.size &&
         modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec;
}

Store& Store::Instance() {
  static Store* store = new Store;  // handles may be used from static destructors elsewhere
  return *store;
}

LONG Store::Run(Access access, const Work& work) {
  std::lock_guard lock(mutex_);
  FollowDevice();
  FileLock fileLock(folder_ + "/registry.lock", access == Access::Write ? LOCK_EX : LOCK_SH);
  if (!fileLock.held()) return ERROR_REGISTRY_IO_FAILED;
  Refresh();
  bool changed = false;
  LONG result = work(roots_, changed);
  if (access == Access::Write && result == ERROR_SUCCESS && changed && !Save()) {
    // Back to what the disk holds; keys made by the failed change show as deleted.
    Forget();
    Refresh();
    result = ERROR_REGISTRY_IO_FAILED;
  }
  return result;
}

void Store::FollowDevice() {
  unsigned generation = device::Generation();
  if (generation == generation_) return;
  generation_ = generation;
  folder_ = device::StateFolder().string();
  for (auto& root : roots_) root->MarkDeleted();
  roots_ = MakeRoots();
  Forget();
}

void Store::Forget() {
  if (pinned_ >= 0) ::close(pinned_);
  pinned_ = -1;
  stamp_.reset();
  loaded_ = false;
  damaged_ = false;
}

std::string Store::File() const { return folder_ + "/registry.txt"; }

void Store::Refresh() {
  struct stat st;
  if (::stat(File().c_str(), &st) != 0) {
    if (errno != ENOENT) {
      Log("cannot read " + File() + ": " + Errno());
      return;
    }
    if (loaded_ && !stamp_) return;
    Forget();
    Roots empty = MakeRoots();
    for (size_t i = 0; i < roots_.size(); ++i) roots_[i]->Adopt(std::move(*empty[i]));
    loaded_ = true;
    return;
  }
  Stamp seen{st.st_dev, st.st_ino, st.st_size, st.st_mtim};
  if (loaded_ && stamp_ && *stamp_ == seen) return;
  Load(seen);
}

void Store::Load(const Stamp& seen) {
  Forget();
  std::string text;
  int fd = ::open(File().c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st;
  ParsedRegistry parsed;
  if (fd < 0 || !ReadAll(fd, text) || ::fstat(fd, &st) != 0) {
    Log("cannot read " + File() + ": " + Errno() + "; it is copied aside before the file is next written");
    if (fd >= 0) ::close(fd);
    stamp_ = seen;
    damaged_ = true;
  } else {
    parsed = ParseRegistryText(text);
    stamp_ = Stamp{st.st_dev, st.st_ino, st.st_size, st.st_mtim};
    pinned_ = fd;
    damaged_ = !parsed.problems.empty();
    if (damaged_) Report(File(), parsed);
  }
  for (size_t i = 0; i < roots_.size(); ++i) roots_[i]->Adopt(std::move(*parsed.roots[i]));
  loaded_ = true;
}

LONG Store::Flush() {
  std::lock_guard lock(mutex_);
  if (pinned_ >= 0 && ::fsync(pinned_) != 0) return ERROR_REGISTRY_IO_FAILED;
  // The rename is on the disk only once the folder is synced too.
  if (int dir = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return ERROR_SUCCESS;
}

bool Store::Save() {
  std::string file = File(), temporary = file + ".tmp";
  std::string text = WriteRegistryText(roots_);
  int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  struct stat st;
  bool ok = fd >= 0 && WriteAll(fd, text) && ::fstat(fd, &st) == 0;
  if (!ok) Log("cannot write " + temporary + ": " + Errno());
  ok = ok && (!damaged_ || !stamp_ || KeepDamagedCopy());
  if (ok && ::rename(temporary.c_str(), file.c_str()) != 0) {
    Log("cannot replace " + file + ": " + Errno());
    ok = false;
  }
  if (!ok) {
    if (fd >= 0) ::close(fd);
    ::unlink(temporary.c_str());
    return false;
  }
  if (pinned_ >= 0) ::close(pinned_);
  pinned_ = fd;
  stamp_ = Stamp{st.st_dev, st.st_ino, st.st_size, st.st_mtim};
  damaged_ = false;
  loaded_ = true;
  return true;
}

// Copies the damaged file to registry.txt.bad, or to .bad.1, .bad.2 ... when earlier damage was
// already kept there.
bool Store::KeepDamagedCopy() {
  std::string file = File();
  for (int n = 0; n < kDamagedCopies; ++n) {
    std::string copy = file + ".bad" + (n == 0 ? "" : "." + std::to_string(n));
    std::error_code ec;
    if (std::filesystem::exists(copy, ec) || ec) continue;
    if (!std::filesystem::copy_file(file, copy, ec)) {
      Log("cannot keep the damaged " + file + " as " + copy + ": " + ec.message() + "; it is not replaced");
      return false;
    }
    Log("kept the damaged " + file + " as " + copy);
    return true;
  }
  Log("too many damaged copies of " + file + " already; it is not replaced");
  return false;
}

}  // namespace zb::registry
