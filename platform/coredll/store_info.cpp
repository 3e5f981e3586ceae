// Memory and store figures. The device's own store and memory are what the profile says; a
// storage card reports the free space of the host folder it is mounted from.
#include <sys/statvfs.h>

#include "coredll/device_path.h"
#include "coredll/file_info.h"
#include "coredll/host_error.h"
#include "device/paths.h"
#include "device/profile.h"

using namespace zb::files;

extern "C" BOOL GetStoreInformation(LPSTORE_INFORMATION lpsi) {
  if (!lpsi) return Fail(ERROR_INVALID_PARAMETER);
  auto profile = zb::device::CurrentProfile();
  lpsi->dwStoreSize = profile->storeSize;
  lpsi->dwFreeSize = profile->freeStore;
  return TRUE;
}

extern "C" void GlobalMemoryStatus(LPMEMORYSTATUS lpBuffer) {
  if (!lpBuffer) return;
  auto profile = zb::device::CurrentProfile();
  MEMORYSTATUS& m = *lpBuffer;
  m.dwLength = sizeof(MEMORYSTATUS);
  m.dwTotalPhys = profile->totalPhysical;
  m.dwAvailPhys = profile->availablePhysical;
  m.dwMemoryLoad = static_cast<DWORD>(
      m.dwTotalPhys ? (uint64_t(m.dwTotalPhys) - m.dwAvailPhys) * 100 / m.dwTotalPhys : 0);
  m.dwTotalPageFile = 0;  // the device has no page file
  m.dwAvailPageFile = 0;
  m.dwTotalVirtual = profile->totalVirtual;
  m.dwAvailVirtual = profile->availableVirtual;
}

extern "C" BOOL GetDiskFreeSpaceExW(LPCWSTR lpDirectoryName, PULARGE_INTEGER lpFreeBytesAvailableToCaller,
                                    PULARGE_INTEGER lpTotalNumberOfBytes, PULARGE_INTEGER lpTotalNumberOfFreeBytes) {
  std::optional<ResolvedPath> path = ResolvePath(lpDirectoryName ? lpDirectoryName : u"\\");
  if (!path) return FALSE;
  DWORD error = 0;
  if (!DescribeHost(path->host, &error)) return Fail(error == ERROR_FILE_NOT_FOUND ? ERROR_PATH_NOT_FOUND : error);
  uint64_t total = 0, free = 0, freeToCaller = 0;
  std::optional<zb::device::Mount> mount = zb::device::MountOf(path->device);
  if (mount && mount->storageCard) {
    struct statvfs vfs {};
    if (::statvfs(mount->host.c_str(), &vfs) != 0) return Fail(ERROR_NOT_READY);
    total = uint64_t(vfs.f_blocks) * vfs.f_frsize;
    free = uint64_t(vfs.f_bfree) * vfs.f_frsize;
    freeToCaller = uint64_t(vfs.f_bavail) * vfs.f_frsize;
  } else {
    auto profile = zb::device::CurrentProfile();
    total = profile->storeSize;
    free = freeToCaller = profile->freeStore;
  }
  if (lpFreeBytesAvailableToCaller) lpFreeBytesAvailableToCaller->QuadPart = freeToCaller;
  if (lpTotalNumberOfBytes) lpTotalNumberOfBytes->QuadPart = total;
  if (lpTotalNumberOfFreeBytes) lpTotalNumberOfFreeBytes->QuadPart = free;
  return TRUE;
}
