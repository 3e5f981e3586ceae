// Mapping the layer's shared tables and their robust locks. The first process to open a file
// sizes it under flock; everybody else waits for that and maps the same bytes.
#include "device/shared_file.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "device/device.h"

namespace zb::device {
namespace {

void* MapPrivate(size_t size, void (*init)(void*, bool), std::string_view note) {
  void* p = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) return nullptr;
  DebugLog(note);
  init(p, true);
  return p;
}

bool Used(const uint32_t* bits, uint32_t i) { return bits[i / 32] >> (i % 32) & 1; }
void Mark(uint32_t* bits, uint32_t i, bool used) {
  if (used) {
    bits[i / 32] |= 1u << (i % 32);
  } else {
    bits[i / 32] &= ~(1u << (i % 32));
  }
}

}  // namespace

void* MapSharedFile(std::string_view fileName, size_t size, bool (*current)(const void*),
                    void (*init)(void*, bool fresh), std::string_view privateNote) {
  auto path = StateFolder() / std::string(fileName);
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return MapPrivate(size, init, privateNote);
  ::flock(fd, LOCK_EX);
  struct stat st {};
  ::fstat(fd, &st);
  const bool fresh = static_cast<uint64_t>(st.st_size) < size;
  if (fresh && ::ftruncate(fd, static_cast<off_t>(size)) != 0) {
    ::close(fd);
    return MapPrivate(size, init, privateNote);
  }
  void* p = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  if (p == MAP_FAILED) {
    ::close(fd);
    return MapPrivate(size, init, privateNote);
  }
  if (fresh || !current(p)) init(p, fresh && st.st_size == 0);
  ::flock(fd, LOCK_UN);
  ::close(fd);  // the mapping keeps the file
  return p;
}

void InitRobustMutex(pthread_mutex_t* mutex) {
  pthread_mutexattr_t attr;
  pthread_mutexattr_init(&attr);
  pthread_mutexattr_setpshared(&attr, PTHREAD_PROCESS_SHARED);
  pthread_mutexattr_setrobust(&attr, PTHREAD_MUTEX_ROBUST);
  pthread_mutex_init(mutex, &attr);
  pthread_mutexattr_destroy(&attr);
}

RobustLock::RobustLock(pthread_mutex_t* mutex, void (*recovered)(void*), void* table)
    : mutex_(mutex), recovered_(recovered), table_(table) {
  Relock();
}

RobustLock::~RobustLock() {
  if (held_) Unlock();
}

void RobustLock::Unlock() {
  pthread_mutex_unlock(mutex_);
  held_ = false;
}

void RobustLock::Relock() {
  int r = pthread_mutex_lock(mutex_);
  held_ = true;
  if (r == EOWNERDEAD) {
    pthread_mutex_consistent(mutex_);
    recovered_(table_);
  }
}

bool AllocChunkRun(uint32_t* bits, uint32_t chunks, uint32_t count, uint32_t* first) {
  for (uint32_t start = 0; start + count <= chunks; ++start) {
    uint32_t len = 0;
    while (len < count && !Used(bits, start + len)) ++len;
    if (len == count) {
      for (uint32_t i = 0; i < count; ++i) Mark(bits, start + i, true);
      *first = start;
      return true;
    }
    start += len;
  }
  return false;
}

void FreeChunkRun(uint32_t* bits, uint32_t first, uint32_t count) {
  for (uint32_t i = 0; i < count; ++i) Mark(bits, first + i, false);
}

}  // namespace zb::device
