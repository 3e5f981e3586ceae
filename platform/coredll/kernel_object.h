// Kernel objects behind HANDLE values. A handle holds a reference; the object lives until its
// last handle is closed and its last user lets go, so a handle closed on one thread while
// another still works on it never leaves a dangling object.
#pragma once
#include <memory>
#include <windows.h>

namespace zb {

class KernelObject {
 public:
  virtual ~KernelObject() = default;
};

// Handle values are never reused within a process, so a stale handle fails cleanly with
// ERROR_INVALID_HANDLE instead of reaching a newer object.
HANDLE AllocHandle(std::shared_ptr<KernelObject> object);
std::shared_ptr<KernelObject> LookupHandle(HANDLE handle);
bool ReleaseHandle(HANDLE handle);

template <class T>
std::shared_ptr<T> LookupHandleAs(HANDLE handle) {
  return std::dynamic_pointer_cast<T>(LookupHandle(handle));
}

}  // namespace zb
