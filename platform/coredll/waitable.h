// Handles on objects of the device's kernel segment (events, mutexes, threads, processes, message
// queues). Each handle holds one reference in the segment for this process; closing the last
// handle in every process frees the object.
#pragma once
#include <memory>
#include <optional>
#include <windows.h>

#include "coredll/kernel_object.h"
#include "device/kernel_objects.h"

namespace zb {

class WaitableObject : public KernelObject {
 public:
  explicit WaitableObject(const kernel::ObjectRef& ref) : ref_(ref) {}
  ~WaitableObject() override { kernel::Release(ref_); }
  const kernel::ObjectRef& ref() const { return ref_; }
  kernel::Kind kind() const { return ref_.object().kind; }

 private:
  kernel::ObjectRef ref_;
};

// A handle for a freshly created or opened object; frees the reference when the handle table
// cannot take it.
HANDLE HandleFor(std::shared_ptr<WaitableObject> object);
// The object behind a handle, when it is of `kind` (any waitable kind for Kind::Free).
std::optional<kernel::ObjectRef> RefOf(HANDLE handle, kernel::Kind kind = kernel::Kind::Free);

// The objects behind a list of handles; false (ERROR_INVALID_HANDLE set) when one is none.
bool RefsOf(std::span<const HANDLE> handles, kernel::ObjectRef* refs);

// The platform's error code for a kernel status.
DWORD ErrorOf(kernel::Status status);

// The calling thread's cancellation mark, and the end it leads to once a wait saw it.
const std::atomic<bool>* CancelMark();
void EndIfCancelled(kernel::Status status);

// Waits as the calling thread: a thread marked by TerminateThread ends here instead.
kernel::WaitResult WaitAsThread(std::span<const kernel::ObjectRef> refs, bool all, DWORD timeoutMs);

}  // namespace zb
