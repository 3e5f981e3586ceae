// GetFileAttributesW and SetFileAttributesW. Read-only of a file is its host mode (so host
// tools see it too); the other bits go to the attribute table. Storage cards always report
// FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY, and mount points cannot be changed.
#include <cerrno>
#include <sys/stat.h>

#include "coredll/attribute_table.h"
#include "coredll/device_path.h"
#include "coredll/file_info.h"
#include "coredll/host_error.h"

using namespace zb::files;

extern "C" DWORD GetFileAttributesW(LPCWSTR lpFileName) {
  std::optional<ResolvedPath> path = ResolvePath(lpFileName);
  if (!path) return INVALID_FILE_ATTRIBUTES;
  if (path->storageCard) return kStorageCardAttributes;
  DWORD error = 0;
  std::optional<FileInfo> info = DescribeHost(path->host, &error);
  if (!info) return Fail(error, INVALID_FILE_ATTRIBUTES);
  return info->attributes;
}

extern "C" BOOL SetFileAttributesW(LPCWSTR lpFileName, DWORD dwFileAttributes) {
  struct stat st {};
  std::optional<ResolvedPath> path = ResolveExisting(lpFileName, &st);
  if (!path) return FALSE;
  if (path->readOnly) return Fail(ERROR_ACCESS_DENIED);
  StoredAttributes stored = LookupAttributes(path->host);
  bool folder = S_ISDIR(st.st_mode);
  stored.bits = dwFileAttributes & (folder ? kStoredFolderBits : kStoredFileBits);
  if (!StoreAttributes(path->host, stored)) return Fail(ERROR_WRITE_FAULT);
  if (!folder) {
    mode_t mode = (dwFileAttributes & FILE_ATTRIBUTE_READONLY) ? (st.st_mode & ~0222) : (st.st_mode | S_IWUSR);
    if (mode != st.st_mode && ::chmod(path->host.c_str(), mode & 07777) != 0) return Fail(ErrorFromErrno(errno));
  }
  return TRUE;
}
