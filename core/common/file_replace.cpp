// Whole-file replacement. The device's MoveFileW does not replace an existing file, so the old
// file is moved aside before the new one is moved in, and moved back if that fails: at every
// moment one complete version exists under one of the two names.
#include "core/common/file_replace.h"

#include <string>

namespace {

// A handle that is closed at the end of its scope unless it was closed (and checked) already.
class FileHandle {
 public:
  explicit FileHandle(HANDLE h) : handle_(h) {}
  ~FileHandle() {
    if (valid()) CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  BOOL Close() {
    HANDLE h = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return CloseHandle(h);
  }

 private:
  HANDLE handle_;
};

BOOL WriteTemporary(const std::u16string& temp, const void* data, DWORD size) {
  FileHandle file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return FALSE;
  DWORD written = 0;
  BOOL ok = size == 0 || WriteFile(file.get(), data, size, &written, nullptr);
  if (ok && written != size) {
    SetLastError(ERROR_DISK_FULL);
    ok = FALSE;
  }
  ok = ok && FlushFileBuffers(file.get());
  if (!file.Close()) ok = FALSE;
  return ok;
}

// Keeps the caller's error code across the clean-up calls.
BOOL FailKeepingError(const std::u16string& doomed) {
  DWORD error = GetLastError();
  DeleteFileW(doomed.c_str());
  SetLastError(error);
  return FALSE;
}

}  // namespace

BOOL ReplaceFileContents(const WCHAR* path, const void* data, DWORD size) {
  if (!path || !*path || (!data && size)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const DWORD attributes = GetFileAttributesW(path);
  const bool existed = attributes != INVALID_FILE_ATTRIBUTES;
  // Writing over a folder or a read-only file would fail on the device too.
  if (existed && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  const std::u16string target(path);
  const std::u16string temp = target + u".new";
  const std::u16string aside = target + u".old";
  if (!WriteTemporary(temp, data, size)) return FailKeepingError(temp);
  if (existed) {
    DeleteFileW(aside.c_str());
    if (!MoveFileW(path, aside.c_str())) return FailKeepingError(temp);
  }
  if (!MoveFileW(temp.c_str(), path)) {
    DWORD error = GetLastError();
    if (existed) MoveFileW(aside.c_str(), path);
    DeleteFileW(temp.c_str());
    SetLastError(error);
    return FALSE;
  }
  if (existed) DeleteFileW(aside.c_str());
  return TRUE;
}
