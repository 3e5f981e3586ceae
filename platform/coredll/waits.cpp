// WaitForSingleObject and WaitForMultipleObjects over every waitable kind at once: events,
// mutexes, threads, processes and message queues of this and other processes of the device.
#include <vector>

#include "coredll/waitable.h"

extern "C" DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds) {
  if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || !handles) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return WAIT_FAILED;
  }
  zb::kernel::ObjectRef refs[MAXIMUM_WAIT_OBJECTS];
  if (!zb::RefsOf({handles, count}, refs)) return WAIT_FAILED;
  // Waiting for all of one object twice could never be granted as one step.
  for (DWORD i = 0; waitAll && i < count; ++i) {
    for (DWORD j = 0; j < i; ++j) {
      if (refs[j].index == refs[i].index && refs[j].segment == refs[i].segment) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
      }
    }
  }
  zb::kernel::WaitResult r = zb::WaitAsThread({refs, count}, waitAll != FALSE, milliseconds);
  switch (r.status) {
    case zb::kernel::Status::Ok:
      return (r.abandoned ? WAIT_ABANDONED_0 : WAIT_OBJECT_0) + r.index;
    case zb::kernel::Status::Timeout:
      return WAIT_TIMEOUT;
    default:
      SetLastError(zb::ErrorOf(r.status));
      return WAIT_FAILED;
  }
}

extern "C" DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  return WaitForMultipleObjects(1, &handle, FALSE, milliseconds);
}
