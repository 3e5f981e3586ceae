// One table from errno to the platform's codes, so every file function reports a host failure
// the same way. Anything the table lacks is a general failure rather than a made-up success.
#include "coredll/host_error.h"

#include <cerrno>

namespace zb::files {
namespace {

struct ErrnoCode {
  int error;
  DWORD code;
};

constexpr ErrnoCode kCodes[] = {
    {ENOENT, ERROR_FILE_NOT_FOUND},       {ENOTDIR, ERROR_PATH_NOT_FOUND},
    {ELOOP, ERROR_PATH_NOT_FOUND},        {EACCES, ERROR_ACCESS_DENIED},
    {EPERM, ERROR_ACCESS_DENIED},         {EISDIR, ERROR_ACCESS_DENIED},
    {EROFS, ERROR_WRITE_PROTECT},         {EEXIST, ERROR_ALREADY_EXISTS},
    {ENOTEMPTY, ERROR_DIR_NOT_EMPTY},     {ENOSPC, ERROR_DISK_FULL},
    {EDQUOT, ERROR_DISK_FULL},            {EFBIG, ERROR_DISK_FULL},
    {EMFILE, ERROR_TOO_MANY_OPEN_FILES},  {ENFILE, ERROR_TOO_MANY_OPEN_FILES},
    {ENAMETOOLONG, ERROR_FILENAME_EXCED_RANGE}, {EXDEV, ERROR_NOT_SAME_DEVICE},
    {EINVAL, ERROR_INVALID_PARAMETER},    {EBADF, ERROR_INVALID_HANDLE},
    {ENOMEM, ERROR_NOT_ENOUGH_MEMORY},    {EBUSY, ERROR_BUSY},
    {ETXTBSY, ERROR_SHARING_VIOLATION},   {ENODEV, ERROR_DEV_NOT_EXIST},
    {ENXIO, ERROR_DEV_NOT_EXIST},         {EIO, ERROR_GEN_FAILURE},
};

}  // namespace

DWORD ErrorFromErrno(int error) {
  for (const ErrnoCode& e : kCodes) {
    if (e.error == error) return e.code;
  }
  return ERROR_GEN_FAILURE;
}

}  // namespace zb::files
