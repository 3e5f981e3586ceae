// Handles on kernel-segment objects, the error codes of kernel statuses, and the one wait that
// every waiting call goes through (so cancellation works the same in each).
#include "coredll/waitable.h"

#include "coredll/threads.h"

namespace zb {

HANDLE HandleFor(std::shared_ptr<WaitableObject> object) { return AllocHandle(std::move(object)); }

std::optional<kernel::ObjectRef> RefOf(HANDLE handle, kernel::Kind kind) {
  auto object = LookupHandleAs<WaitableObject>(handle);
  if (!object || (kind != kernel::Kind::Free && object->kind() != kind)) return std::nullopt;
  return object->ref();
}

bool RefsOf(std::span<const HANDLE> handles, kernel::ObjectRef* refs) {
  for (size_t i = 0; i < handles.size(); ++i) {
    auto ref = RefOf(handles[i]);
    if (!ref) {
      SetLastError(ERROR_INVALID_HANDLE);
      return false;
    }
    refs[i] = *ref;
  }
  return true;
}

DWORD ErrorOf(kernel::Status status) {
  using kernel::Status;
  switch (status) {
    case Status::Ok: return ERROR_SUCCESS;
    case Status::Existed: return ERROR_ALREADY_EXISTS;
    case Status::WrongKind: return ERROR_INVALID_HANDLE;
    case Status::NameTooLong: return ERROR_FILENAME_EXCED_RANGE;
    case Status::NoResources: return ERROR_NOT_ENOUGH_MEMORY;
    case Status::Invalid: return ERROR_INVALID_HANDLE;
    case Status::NotOwner: return ERROR_NOT_OWNER;
    case Status::Timeout: return ERROR_TIMEOUT;
    case Status::Cancelled: return ERROR_OPERATION_ABORTED;
    case Status::Broken: return ERROR_PIPE_NOT_CONNECTED;
    case Status::TooBig: return ERROR_INSUFFICIENT_BUFFER;
    case Status::Full: return ERROR_TIMEOUT;
  }
  return ERROR_GEN_FAILURE;
}

const std::atomic<bool>* CancelMark() { return &CurrentThread().cancel; }

void EndIfCancelled(kernel::Status status) {
  ThreadState& self = CurrentThread();
  if (status == kernel::Status::Cancelled && self.ours) throw ThreadEnd{self.cancelCode.load()};
}

kernel::WaitResult WaitAsThread(std::span<const kernel::ObjectRef> refs, bool all, DWORD timeoutMs) {
  kernel::WaitResult r = kernel::Wait(refs, all, timeoutMs, CancelMark());
  EndIfCancelled(r.status);
  return r;
}

}  // namespace zb
