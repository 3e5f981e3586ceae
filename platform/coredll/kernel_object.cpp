// The process's handle table, and the two calls every room shares: CloseHandle and the
// per-thread last-error value.
#include "coredll/kernel_object.h"

#include <mutex>
#include <unordered_map>

namespace zb {
namespace {

struct HandleTable {
  std::mutex lock;
  std::unordered_map<uintptr_t, std::shared_ptr<KernelObject>> objects;
  uintptr_t next = 0x1000;
};

HandleTable& Table() {
  static HandleTable* table = new HandleTable;  // outlives static destructors of other objects
  return *table;
}

thread_local DWORD t_lastError = 0;

}  // namespace

HANDLE AllocHandle(std::shared_ptr<KernelObject> object) {
  HandleTable& t = Table();
  std::lock_guard lock(t.lock);
  uintptr_t value = t.next;
  t.next += 4;
  t.objects.emplace(value, std::move(object));
  return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<KernelObject> LookupHandle(HANDLE handle) {
  HandleTable& t = Table();
  std::lock_guard lock(t.lock);
  auto it = t.objects.find(reinterpret_cast<uintptr_t>(handle));
  return it == t.objects.end() ? nullptr : it->second;
}

bool ReleaseHandle(HANDLE handle) {
  std::shared_ptr<KernelObject> doomed;  // destroyed outside the table lock
  HandleTable& t = Table();
  std::lock_guard lock(t.lock);
  auto it = t.objects.find(reinterpret_cast<uintptr_t>(handle));
  if (it == t.objects.end()) return false;
  doomed = std::move(it->second);
  t.objects.erase(it);
  return true;
}

}  // namespace zb

extern "C" DWORD GetLastError() { return zb::t_lastError; }

extern "C" void SetLastError(DWORD error) { zb::t_lastError = error; }

extern "C" BOOL CloseHandle(HANDLE handle) {
  if (!zb::ReleaseHandle(handle)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}
