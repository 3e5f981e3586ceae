// Tool-help snapshots of the device's processes. A process's program is the host file it runs,
// named by its device path's file name; a process running a file outside the device shows the
// host file's name.
#include <tlhelp32.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "coredll/kernel_object.h"
#include "device/kernel_objects.h"
#include "device/paths.h"
#include "device/text.h"

namespace {

struct Entry {
  DWORD pid;
  std::u16string file;
};

class Snapshot : public zb::KernelObject {
 public:
  std::vector<Entry> entries;
  size_t next = 0;
};

std::u16string ProgramFileOf(int32_t pid) {
  std::error_code ec;
  const std::filesystem::path exe =
      std::filesystem::read_symlink("/proc/" + std::to_string(pid) + "/exe", ec);
  if (ec) return {};
  if (auto device = zb::device::ToDevice(exe)) {
    const size_t slash = device->find_last_of(u'\\');
    return slash == std::u16string::npos ? *device : device->substr(slash + 1);
  }
  return zb::FromUtf8(exe.filename().string());
}

BOOL Fill(HANDLE handle, LPPROCESSENTRY32 entry, bool first) {
  auto snapshot = zb::LookupHandleAs<Snapshot>(handle);
  if (!snapshot || !entry || entry->dwSize < sizeof(PROCESSENTRY32)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (first) snapshot->next = 0;
  if (snapshot->next >= snapshot->entries.size()) {
    SetLastError(ERROR_NO_MORE_FILES);
    return FALSE;
  }
  const Entry& e = snapshot->entries[snapshot->next++];
  *entry = PROCESSENTRY32{};
  entry->dwSize = sizeof(PROCESSENTRY32);
  entry->th32ProcessID = e.pid;
  entry->cntThreads = 1;
  const size_t n = std::min<size_t>(e.file.size(), MAX_PATH - 1);
  e.file.copy(entry->szExeFile, n);
  entry->szExeFile[n] = 0;
  return TRUE;
}

}  // namespace

extern "C" HANDLE CreateToolhelp32Snapshot(DWORD flags, DWORD) {
  if (!(flags & TH32CS_SNAPPROCESS)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  auto snapshot = std::make_shared<Snapshot>();
  for (int32_t pid : zb::kernel::RunningProcesses())
    snapshot->entries.push_back({static_cast<DWORD>(pid), ProgramFileOf(pid)});
  return zb::AllocHandle(snapshot);
}

extern "C" BOOL Process32First(HANDLE snapshot, LPPROCESSENTRY32 entry) { return Fill(snapshot, entry, true); }
extern "C" BOOL Process32Next(HANDLE snapshot, LPPROCESSENTRY32 entry) { return Fill(snapshot, entry, false); }
extern "C" BOOL CloseToolhelp32Snapshot(HANDLE snapshot) { return CloseHandle(snapshot); }
