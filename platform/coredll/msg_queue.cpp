// Point-to-point message queues over the kernel segment. Each handle is one end; a named queue
// is shared by the processes of the device, and a record is read back with its exact size.
#include <msgqueue.h>
#include <string_view>

#include "coredll/waitable.h"

namespace {

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

// Queue operations wait like every other wait: a thread marked for termination ends there.
BOOL Result(zb::kernel::Status st) {
  zb::EndIfCancelled(st);
  return st == zb::kernel::Status::Ok ? TRUE : Fail(zb::ErrorOf(st));
}

}  // namespace

extern "C" HANDLE CreateMsgQueue(LPCWSTR name, LPMSGQUEUEOPTIONS options) {
  if (!options || options->dwSize < sizeof(MSGQUEUEOPTIONS) || options->cbMaxMessage == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  zb::kernel::QueueSpec spec;
  spec.maxMessages = options->dwMaxMessages;
  spec.maxSize = options->cbMaxMessage;
  spec.allowBroken = (options->dwFlags & MSGQUEUE_ALLOW_BROKEN) != 0;
  spec.writeEnd = !options->bReadAccess;
  zb::kernel::Created created = zb::kernel::CreateQueue(name ? std::u16string_view(name) : std::u16string_view(), spec);
  if (created.status != zb::kernel::Status::Ok && created.status != zb::kernel::Status::Existed) {
    SetLastError(created.status == zb::kernel::Status::Invalid ? ERROR_INVALID_PARAMETER : zb::ErrorOf(created.status));
    return nullptr;
  }
  HANDLE handle = zb::HandleFor(std::make_shared<zb::WaitableObject>(created.ref));
  SetLastError(created.status == zb::kernel::Status::Existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}

extern "C" BOOL WriteMsgQueue(HANDLE queue, LPVOID buffer, DWORD dataSize, DWORD timeout, DWORD flags) {
  auto ref = zb::RefOf(queue, zb::kernel::Kind::Queue);
  if (!ref) return Fail(ERROR_INVALID_HANDLE);
  if (!ref->writeEnd) return Fail(ERROR_ACCESS_DENIED);
  if (!buffer && dataSize) return Fail(ERROR_INVALID_PARAMETER);
  return Result(zb::kernel::QueueWrite(*ref, buffer, dataSize, timeout, flags, zb::CancelMark()));
}

extern "C" BOOL ReadMsgQueue(HANDLE queue, LPVOID buffer, DWORD bufferSize, LPDWORD bytesRead, DWORD timeout,
                             DWORD* flags) {
  auto ref = zb::RefOf(queue, zb::kernel::Kind::Queue);
  if (!ref) return Fail(ERROR_INVALID_HANDLE);
  if (ref->writeEnd) return Fail(ERROR_ACCESS_DENIED);
  if (!bytesRead || (!buffer && bufferSize)) return Fail(ERROR_INVALID_PARAMETER);
  uint32_t size = 0;
  zb::kernel::Status st = zb::kernel::QueueRead(*ref, buffer, bufferSize, &size, timeout, flags, zb::CancelMark());
  *bytesRead = st == zb::kernel::Status::Ok ? size : 0;
  return Result(st);
}

extern "C" BOOL GetMsgQueueInfo(HANDLE queue, LPMSGQUEUEINFO info) {
  auto ref = zb::RefOf(queue, zb::kernel::Kind::Queue);
  if (!ref) return Fail(ERROR_INVALID_HANDLE);
  if (!info || info->dwSize < sizeof(MSGQUEUEINFO)) return Fail(ERROR_INVALID_PARAMETER);
  auto state = zb::kernel::QueueState(*ref);
  if (!state) return Fail(ERROR_INVALID_HANDLE);
  info->dwFlags = 0;
  info->dwMaxMessages = state->maxMessages;
  info->cbMaxMessage = state->maxSize;
  info->dwCurrentMessages = state->current;
  info->dwMaxQueueMessages = state->maxMessages;
  info->wNumReaders = static_cast<WORD>(state->readers);
  info->wNumWriters = static_cast<WORD>(state->writers);
  return TRUE;
}

extern "C" BOOL CloseMsgQueue(HANDLE queue) {
  if (!zb::RefOf(queue, zb::kernel::Kind::Queue)) return Fail(ERROR_INVALID_HANDLE);
  return CloseHandle(queue);
}
