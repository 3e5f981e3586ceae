// Reading, writing and positioning through a file handle, its size and times, and flushing.
// Counts of bytes done are reported even when a call fails part way.
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "coredll/attribute_table.h"
#include "coredll/file_handle.h"
#include "coredll/file_info.h"
#include "coredll/file_time.h"
#include "coredll/host_error.h"

using namespace zb::files;

namespace {

std::shared_ptr<FileObject> FileOf(HANDLE handle) {
  std::shared_ptr<FileObject> file = zb::LookupHandleAs<FileObject>(handle);
  if (!file) SetLastError(ERROR_INVALID_HANDLE);
  return file;
}

constexpr uint64_t kLargestFileTime = 0x7FFFFFFFFFFFFFFFull;

// The loop ReadFile and WriteFile share: whole transfers despite short host calls, the count
// done reported even on failure. `step` is read or write; a read of 0 is the end of the file,
// a write of 0 a full disk.
template <class Buffer, class Step>
BOOL Transfer(HANDLE handle, Buffer buffer, DWORD size, LPDWORD doneOut, bool writing, Step step) {
  if (doneOut) *doneOut = 0;
  std::shared_ptr<FileObject> file = FileOf(handle);
  if (!file) return FALSE;
  if (writing ? !file->CanWrite() : !file->CanRead()) return Fail(ERROR_ACCESS_DENIED);
  if (!buffer && size) return Fail(ERROR_INVALID_PARAMETER);
  DWORD done = 0;
  DWORD error = ERROR_SUCCESS;
  while (done < size) {
    ssize_t n = step(file->fd(), buffer + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 || (n == 0 && writing)) {
      error = n == 0 ? ERROR_DISK_FULL : ErrorFromErrno(errno);
      break;
    }
    if (n == 0) break;  // the end of the file: success with what there was
    done += static_cast<DWORD>(n);
  }
  if (doneOut) *doneOut = done;
  return error == ERROR_SUCCESS ? TRUE : Fail(error);
}

}  // namespace

extern "C" BOOL ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
                         LPOVERLAPPED lpOverlapped) {
  return Transfer(hFile, static_cast<char*>(lpBuffer), nNumberOfBytesToRead, lpNumberOfBytesRead, false,
                  [](int fd, char* at, size_t n) { return ::read(fd, at, n); });
}

extern "C" BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite, LPDWORD lpNumberOfBytesWritten,
                          LPOVERLAPPED lpOverlapped) {
  return Transfer(hFile, static_cast<const char*>(lpBuffer), nNumberOfBytesToWrite, lpNumberOfBytesWritten, true,
                  [](int fd, const char* at, size_t n) { return ::write(fd, at, n); });
}

extern "C" DWORD SetFilePointer(HANDLE hFile, LONG lDistanceToMove, PLONG lpDistanceToMoveHigh, DWORD dwMoveMethod) {
  std::shared_ptr<FileObject> file = FileOf(hFile);
  if (!file) return INVALID_SET_FILE_POINTER;
  // With a high part the two halves form one signed 64-bit distance; without, the low part
  // alone is signed.
  int64_t distance = lpDistanceToMoveHigh
                         ? static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(*lpDistanceToMoveHigh)) << 32) |
                                                static_cast<uint32_t>(lDistanceToMove))
                         : static_cast<int64_t>(lDistanceToMove);
  int64_t base = 0;
  if (dwMoveMethod == FILE_CURRENT) {
    base = ::lseek(file->fd(), 0, SEEK_CUR);
  } else if (dwMoveMethod == FILE_END) {
    struct stat st {};
    base = ::fstat(file->fd(), &st) == 0 ? st.st_size : -1;
  } else if (dwMoveMethod != FILE_BEGIN) {
    return Fail(ERROR_INVALID_PARAMETER, INVALID_SET_FILE_POINTER);
  }
  if (base < 0) return Fail(ErrorFromErrno(errno), INVALID_SET_FILE_POINTER);
  int64_t position = 0;
  if (__builtin_add_overflow(base, distance, &position)) return Fail(ERROR_INVALID_PARAMETER, INVALID_SET_FILE_POINTER);
  if (position < 0) return Fail(ERROR_NEGATIVE_SEEK, INVALID_SET_FILE_POINTER);
  // Without a high part the caller could not learn a position past 4 GiB.
  if (!lpDistanceToMoveHigh && position > 0xFFFFFFFFll) return Fail(ERROR_INVALID_PARAMETER, INVALID_SET_FILE_POINTER);
  if (::lseek(file->fd(), position, SEEK_SET) < 0) return Fail(ErrorFromErrno(errno), INVALID_SET_FILE_POINTER);
  if (lpDistanceToMoveHigh) *lpDistanceToMoveHigh = static_cast<LONG>(position >> 32);
  DWORD low = static_cast<DWORD>(position);
  if (low == INVALID_SET_FILE_POINTER) SetLastError(NO_ERROR);  // so the caller can tell it from a failure
  return low;
}

extern "C" BOOL SetEndOfFile(HANDLE hFile) {
  std::shared_ptr<FileObject> file = FileOf(hFile);
  if (!file) return FALSE;
  if (!file->CanWrite()) return Fail(ERROR_ACCESS_DENIED);
  off_t position = ::lseek(file->fd(), 0, SEEK_CUR);
  if (position < 0 || ::ftruncate(file->fd(), position) != 0) return Fail(ErrorFromErrno(errno));
  return TRUE;
}

extern "C" DWORD GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh) {
  std::shared_ptr<FileObject> file = FileOf(hFile);
  if (!file) return INVALID_FILE_SIZE;
  struct stat st {};
  if (::fstat(file->fd(), &st) != 0) return Fail(ErrorFromErrno(errno), INVALID_FILE_SIZE);
  uint64_t size = static_cast<uint64_t>(st.st_size);
  if (lpFileSizeHigh) *lpFileSizeHigh = static_cast<DWORD>(size >> 32);
  DWORD low = static_cast<DWORD>(size);
  if (low == INVALID_FILE_SIZE) SetLastError(NO_ERROR);
  return low;
}

extern "C" BOOL GetFileTime(HANDLE hFile, LPFILETIME lpCreationTime, LPFILETIME lpLastAccessTime,
                            LPFILETIME lpLastWriteTime) {
  std::shared_ptr<FileObject> file = FileOf(hFile);
  if (!file) return FALSE;
  DWORD error = 0;
  std::optional<FileInfo> info = DescribeOpen(file->fd(), file->host(), &error);
  if (!info) return Fail(error);
  if (lpCreationTime) *lpCreationTime = ToFILETIME(info->creation);
  if (lpLastAccessTime) *lpLastAccessTime = ToFILETIME(info->access);
  if (lpLastWriteTime) *lpLastWriteTime = ToFILETIME(info->write);
  return TRUE;
}

extern "C" BOOL SetFileTime(HANDLE hFile, const FILETIME* lpCreationTime, const FILETIME* lpLastAccessTime,
                            const FILETIME* lpLastWriteTime) {
  std::shared_ptr<FileObject> file = FileOf(hFile);
  if (!file) return FALSE;
  if (!file->CanWrite()) return Fail(ERROR_ACCESS_DENIED);
  for (const FILETIME* t : {lpCreationTime, lpLastAccessTime, lpLastWriteTime}) {
    if (t && ToU64(*t) > kLargestFileTime) return Fail(ERROR_INVALID_PARAMETER);
  }
  timespec times[2] = {{0, UTIME_OMIT}, {0, UTIME_OMIT}};
  if (lpLastAccessTime) times[0] = TimespecFromFileTime(ToU64(*lpLastAccessTime));
  if (lpLastWriteTime) times[1] = TimespecFromFileTime(ToU64(*lpLastWriteTime));
  if ((lpLastAccessTime || lpLastWriteTime) && ::futimens(file->fd(), times) != 0) return Fail(ErrorFromErrno(errno));
  if (lpCreationTime) {
    // The host cannot set a birth time; the attribute table keeps the one the caller gave.
    StoredAttributes stored = LookupAttributes(file->host());
    stored.creation = ToU64(*lpCreationTime);
    if (!StoreAttributes(file->host(), stored)) return Fail(ERROR_WRITE_FAULT);
  }
  return TRUE;
}

extern "C" BOOL FlushFileBuffers(HANDLE hFile) {
  std::shared_ptr<FileObject> file = FileOf(hFile);
  if (!file) return FALSE;
  if (::fsync(file->fd()) != 0) return Fail(ErrorFromErrno(errno));
  return TRUE;
}
