// Builds the platform's view of a host file. Read-only lives in the host mode of files (and in
// every program of the binaries' folder); the other bits come from the attribute table; a file
// with no bit at all is "normal".
#include "coredll/file_info.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

#include "coredll/attribute_table.h"
#include "coredll/file_time.h"
#include "coredll/host_error.h"
#include "device/paths.h"

namespace zb::files {
namespace {

uint64_t FromStatx(const statx_timestamp& t) {
  return FileTimeFromTimespec(timespec{static_cast<time_t>(t.tv_sec), static_cast<long>(t.tv_nsec)});
}

std::optional<FileInfo> Describe(int dirFd, const char* path, int flags, const std::filesystem::path& host, DWORD* error) {
  struct statx sx {};
  if (::statx(dirFd, path, flags, STATX_BASIC_STATS | STATX_BTIME, &sx) != 0) {
    if (error) *error = ErrorFromErrno(errno);
    return std::nullopt;
  }
  StoredAttributes stored = LookupAttributes(host);
  FileInfo info;
  info.directory = S_ISDIR(sx.stx_mode);
  info.readOnly = !info.directory && (!(sx.stx_mode & S_IWUSR) || device::IsReadOnlyHost(host));
  if (info.directory) {
    info.attributes = FILE_ATTRIBUTE_DIRECTORY | (stored.bits & kStoredFolderBits);
  } else {
    info.attributes = (stored.bits & kStoredFileBits) | (info.readOnly ? FILE_ATTRIBUTE_READONLY : 0);
    if (info.attributes == 0) info.attributes = FILE_ATTRIBUTE_NORMAL;
    info.size = sx.stx_size;
  }
  info.write = FromStatx(sx.stx_mtime);
  info.access = FromStatx(sx.stx_atime);
  info.creation = stored.creation ? stored.creation
                  : (sx.stx_mask & STATX_BTIME) ? FromStatx(sx.stx_btime)
                                                : info.write;
  info.oid = static_cast<DWORD>(sx.stx_ino);
  return info;
}

}  // namespace

std::optional<FileInfo> DescribeHost(const std::filesystem::path& host, DWORD* error) {
  return Describe(AT_FDCWD, host.c_str(), 0, host, error);
}

std::optional<FileInfo> DescribeOpen(int fd, const std::filesystem::path& host, DWORD* error) {
  return Describe(fd, "", AT_EMPTY_PATH, host, error);
}

}  // namespace zb::files
