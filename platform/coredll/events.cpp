// Events and mutexes, named or anonymous. A name is the same object in every process of the
// device; creating an existing name opens it and reports ERROR_ALREADY_EXISTS.
#include <string_view>

#include "coredll/waitable.h"

namespace {

std::u16string_view NameOf(LPCWSTR name) { return name ? std::u16string_view(name) : std::u16string_view(); }

HANDLE Publish(const zb::kernel::Created& created) {
  using zb::kernel::Status;
  if (created.status != Status::Ok && created.status != Status::Existed) {
    SetLastError(zb::ErrorOf(created.status));
    return nullptr;
  }
  HANDLE handle = zb::HandleFor(std::make_shared<zb::WaitableObject>(created.ref));
  // Success sets the last error too: callers read it to learn whether the name existed.
  SetLastError(created.status == Status::Existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}

}  // namespace

extern "C" HANDLE CreateEventW(LPSECURITY_ATTRIBUTES, BOOL manualReset, BOOL initialState, LPCWSTR name) {
  return Publish(zb::kernel::CreateEvent(NameOf(name), {manualReset != FALSE, initialState != FALSE}));
}

extern "C" BOOL EventModify(HANDLE event, DWORD func) {
  static constexpr struct {
    DWORD func;
    zb::kernel::EventOp op;
  } kOps[] = {{EVENT_SET, zb::kernel::EventOp::Set},
              {EVENT_RESET, zb::kernel::EventOp::Reset},
              {EVENT_PULSE, zb::kernel::EventOp::Pulse}};
  auto ref = zb::RefOf(event, zb::kernel::Kind::Event);
  if (!ref) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  for (const auto& entry : kOps) {
    if (entry.func != func) continue;
    zb::kernel::Status st = zb::kernel::ModifyEvent(*ref, entry.op);
    if (st == zb::kernel::Status::Ok) return TRUE;
    SetLastError(zb::ErrorOf(st));
    return FALSE;
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return FALSE;
}

extern "C" BOOL SetEvent(HANDLE event) { return EventModify(event, EVENT_SET); }
extern "C" BOOL ResetEvent(HANDLE event) { return EventModify(event, EVENT_RESET); }
extern "C" BOOL PulseEvent(HANDLE event) { return EventModify(event, EVENT_PULSE); }

extern "C" HANDLE CreateMutexW(LPSECURITY_ATTRIBUTES, BOOL initialOwner, LPCWSTR name) {
  return Publish(zb::kernel::CreateMutex(NameOf(name), initialOwner != FALSE));
}

extern "C" BOOL ReleaseMutex(HANDLE mutex) {
  auto ref = zb::RefOf(mutex, zb::kernel::Kind::Mutex);
  zb::kernel::Status st = ref ? zb::kernel::ReleaseMutex(*ref) : zb::kernel::Status::Invalid;
  if (st == zb::kernel::Status::Ok) return TRUE;
  SetLastError(zb::ErrorOf(st));
  return FALSE;
}
