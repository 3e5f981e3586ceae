// Processes of the device: ids, process handles that signal when the process ends, and the
// command line as WinMain receives it.
#include "coredll/waitable.h"

namespace {

const HANDLE kCurrentProcess = reinterpret_cast<HANDLE>(0x42);

}  // namespace

extern "C" HANDLE GetCurrentProcess() { return kCurrentProcess; }

extern "C" DWORD GetCurrentProcessId() { return static_cast<DWORD>(zb::kernel::ThisPid()); }

extern "C" HANDLE OpenProcess(DWORD, BOOL, DWORD processId) {
  zb::kernel::Created record = zb::kernel::OpenProcessRecord(static_cast<int32_t>(processId));
  if (record.status != zb::kernel::Status::Ok) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return zb::HandleFor(std::make_shared<zb::WaitableObject>(record.ref));
}
