// VirtualAlloc and VirtualFree: address space reserved inaccessible, then committed (readable,
// zero-filled) page by page, decommitted and released. Reservations are recorded so that a
// release or commit outside of one fails instead of touching unrelated memory.
#include <cerrno>
#include <map>
#include <mutex>
#include <sys/mman.h>
#include <unistd.h>
#include <windows.h>

namespace {

struct Reservations {
  std::mutex lock;
  std::map<uintptr_t, size_t> regions;  // base -> size
};

Reservations& Regions() {
  static Reservations* r = new Reservations;
  return *r;
}

uintptr_t PageSize() { return static_cast<uintptr_t>(sysconf(_SC_PAGESIZE)); }

bool Protection(DWORD protect, int* prot) {
  static constexpr struct {
    DWORD protect;
    int prot;
  } kMap[] = {{PAGE_NOACCESS, PROT_NONE}, {PAGE_READONLY, PROT_READ}, {PAGE_READWRITE, PROT_READ | PROT_WRITE}};
  for (const auto& entry : kMap) {
    if (entry.protect == protect) {
      *prot = entry.prot;
      return true;
    }
  }
  return false;
}

// The reservation holding [begin, end), or regions.end(); callers hold the lock.
std::map<uintptr_t, size_t>::iterator Holding(Reservations& r, uintptr_t begin, uintptr_t end) {
  auto it = r.regions.upper_bound(begin);
  if (it == r.regions.begin()) return r.regions.end();
  --it;
  return end <= it->first + it->second ? it : r.regions.end();
}

LPVOID Fail(DWORD error) {
  SetLastError(error);
  return nullptr;
}

}  // namespace

extern "C" LPVOID VirtualAlloc(LPVOID address, SIZE_T size, DWORD type, DWORD protect) {
  int prot = PROT_NONE;
  if (size == 0 || !(type & (MEM_RESERVE | MEM_COMMIT)) || (type & ~(MEM_RESERVE | MEM_COMMIT | MEM_TOP_DOWN)) ||
      !Protection(protect, &prot))
    return Fail(ERROR_INVALID_PARAMETER);
  const uintptr_t page = PageSize();
  Reservations& r = Regions();
  std::lock_guard lock(r.lock);
  if ((type & MEM_RESERVE) || !address) {
    size_t length = (size + page - 1) & ~(page - 1);
    int flags = MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE | (address ? MAP_FIXED_NOREPLACE : 0);
    void* hint = address ? reinterpret_cast<void*>(reinterpret_cast<uintptr_t>(address) & ~(page - 1)) : nullptr;
    void* base = mmap(hint, length, PROT_NONE, flags, -1, 0);
    if (base == MAP_FAILED) return Fail(address ? ERROR_INVALID_ADDRESS : ERROR_NOT_ENOUGH_MEMORY);
    if ((type & MEM_COMMIT) && prot != PROT_NONE && mprotect(base, length, prot) != 0) {
      munmap(base, length);
      return Fail(ERROR_NOT_ENOUGH_MEMORY);
    }
    r.regions[reinterpret_cast<uintptr_t>(base)] = length;
    return base;
  }
  uintptr_t begin = reinterpret_cast<uintptr_t>(address) & ~(page - 1);
  uintptr_t end = (reinterpret_cast<uintptr_t>(address) + size + page - 1) & ~(page - 1);
  if (Holding(r, begin, end) == r.regions.end()) return Fail(ERROR_INVALID_ADDRESS);
  if (mprotect(reinterpret_cast<void*>(begin), end - begin, prot) != 0) return Fail(ERROR_NOT_ENOUGH_MEMORY);
  return reinterpret_cast<LPVOID>(begin);
}

extern "C" BOOL VirtualFree(LPVOID address, SIZE_T size, DWORD type) {
  const uintptr_t page = PageSize();
  Reservations& r = Regions();
  std::lock_guard lock(r.lock);
  uintptr_t at = reinterpret_cast<uintptr_t>(address);
  if (type == MEM_RELEASE) {
    auto it = r.regions.find(at);
    if (size != 0 || it == r.regions.end()) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    munmap(address, it->second);
    r.regions.erase(it);
    return TRUE;
  }
  if (type != MEM_DECOMMIT) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  uintptr_t begin = at & ~(page - 1);
  auto whole = r.regions.find(at);
  uintptr_t end = size == 0 && whole != r.regions.end() ? at + whole->second : (at + size + page - 1) & ~(page - 1);
  if (size == 0 && whole == r.regions.end()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (Holding(r, begin, end) == r.regions.end()) {
    SetLastError(ERROR_INVALID_ADDRESS);
    return FALSE;
  }
  // Decommitted pages lose their contents and read back as zeros once committed again.
  madvise(reinterpret_cast<void*>(begin), end - begin, MADV_DONTNEED);
  mprotect(reinterpret_cast<void*>(begin), end - begin, PROT_NONE);
  return TRUE;
}
