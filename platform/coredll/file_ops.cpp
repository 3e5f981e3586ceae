// Deleting, moving, copying files, and making and removing folders. Nothing here replaces or
// removes what an open handle of the process still uses, and a copy reaches its target whole
// or not at all.
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "coredll/attribute_table.h"
#include "coredll/device_path.h"
#include "coredll/file_handle.h"
#include "coredll/host_error.h"
#include "device/paths.h"
#include "device/text.h"

using namespace zb::files;
namespace fs = std::filesystem;

namespace {

DWORD NotFoundAs(int error, DWORD code) { return error == ENOENT ? code : ErrorFromErrno(error); }

// Fails with ERROR_ALREADY_EXISTS when `to` exists, never overwriting it.
DWORD RenameNoReplace(const fs::path& from, const fs::path& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return ERROR_SUCCESS;
  if (errno == EINVAL || errno == ENOSYS) {  // a host file system without the flag
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0) return ERROR_ALREADY_EXISTS;
    if (::rename(from.c_str(), to.c_str()) == 0) return ERROR_SUCCESS;
  }
  return errno == EEXIST ? ERROR_ALREADY_EXISTS : ErrorFromErrno(errno);
}

// Copies an open file into a new hidden file beside `target`, with the source's mode and
// times; returns its path, or nothing with *error set (and no file left behind).
std::optional<fs::path> CopyBeside(int from, const fs::path& target, DWORD* error) {
  struct stat st {};
  if (::fstat(from, &st) != 0) {
    *error = ErrorFromErrno(errno);
    return std::nullopt;
  }
  std::string temp = (target.parent_path() / ("." + target.filename().string() + ".copy-XXXXXX")).string();
  int to = ::mkostemp(temp.data(), O_CLOEXEC);
  if (to < 0) {
    *error = ErrorFromErrno(errno);
    return std::nullopt;
  }
  std::vector<char> buffer(1 << 16);
  off_t offset = 0;  // pread leaves the source handle's position alone
  DWORD failure = ERROR_SUCCESS;
  while (failure == ERROR_SUCCESS) {
    ssize_t n = ::pread(from, buffer.data(), buffer.size(), offset);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n < 0) failure = ErrorFromErrno(errno);
      break;
    }
    for (ssize_t done = 0; done < n && failure == ERROR_SUCCESS;) {
      ssize_t w = ::write(to, buffer.data() + done, static_cast<size_t>(n - done));
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) failure = w == 0 ? ERROR_DISK_FULL : ErrorFromErrno(errno);
      done += w > 0 ? w : 0;
    }
    offset += n;
  }
  timespec times[2] = {st.st_atim, st.st_mtim};
  if (failure == ERROR_SUCCESS && (::fchmod(to, st.st_mode & 07777) != 0 || ::futimens(to, times) != 0)) {
    failure = ErrorFromErrno(errno);
  }
  if (::close(to) != 0 && failure == ERROR_SUCCESS) failure = ErrorFromErrno(errno);
  if (failure != ERROR_SUCCESS) {
    ::unlink(temp.c_str());
    *error = failure;
    return std::nullopt;
  }
  return temp;
}

// Puts a finished copy in place; the temporary file never outlives a failure.
DWORD Commit(const fs::path& temp, const fs::path& target, bool replace) {
  DWORD result = replace ? (::rename(temp.c_str(), target.c_str()) == 0 ? ERROR_SUCCESS : ErrorFromErrno(errno))
                         : RenameNoReplace(temp, target);
  if (result != ERROR_SUCCESS) ::unlink(temp.c_str());
  return result;
}

// A file moved onto another host file system: copy, then remove the original only once the
// copy is in place.
DWORD MoveAcross(const fs::path& from, const fs::path& to) {
  int fd = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return ErrorFromErrno(errno);
  DWORD error = ERROR_SUCCESS;
  std::optional<fs::path> temp = CopyBeside(fd, to, &error);
  ::close(fd);
  if (!temp) return error;
  if ((error = Commit(*temp, to, false)) != ERROR_SUCCESS) return error;
  if (::unlink(from.c_str()) != 0) {
    error = ErrorFromErrno(errno);
    ::unlink(to.c_str());  // the original stays; undo the copy
  }
  return error;
}

}  // namespace

extern "C" BOOL DeleteFileW(LPCWSTR lpFileName) {
  struct stat st {};
  std::optional<ResolvedPath> path = ResolveExisting(lpFileName, &st);
  if (!path) return FALSE;
  if (S_ISDIR(st.st_mode) || !(st.st_mode & S_IWUSR) || path->readOnly) return Fail(ERROR_ACCESS_DENIED);
  DWORD result = WhileNotOpen(path->host, [&] {
    return ::unlink(path->host.c_str()) == 0 ? ERROR_SUCCESS : NotFoundAs(errno, ERROR_FILE_NOT_FOUND);
  });
  if (result != ERROR_SUCCESS) return Fail(result);
  ForgetAttributes(path->host);
  return TRUE;
}

extern "C" BOOL MoveFileW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName) {
  struct stat source {}, existing {};
  std::optional<ResolvedPath> from = ResolveExisting(lpExistingFileName, &source);
  if (!from) return FALSE;
  std::optional<ResolvedPath> to = ResolvePath(lpNewFileName);
  if (!to) return FALSE;
  fs::path target = to->host;
  if (to->root || to->mountPoint || to->readOnly) return Fail(ERROR_ALREADY_EXISTS);
  if (from->readOnly) return Fail(ERROR_ACCESS_DENIED);
  if (::stat(target.c_str(), &existing) == 0) {
    if (existing.st_dev != source.st_dev || existing.st_ino != source.st_ino) return Fail(ERROR_ALREADY_EXISTS);
    // The same file under another spelling: a change of case, spelled as the caller wrote it.
    target = target.parent_path() / zb::ToUtf8(SplitLast(to->device).second);
    if (target == from->host) return TRUE;
  }
  bool folder = S_ISDIR(source.st_mode);
  if (folder && zb::device::IsWithin(target, from->host)) return Fail(ERROR_INVALID_PARAMETER);
  DWORD result = WhileNotOpen(from->host, [&] {
    DWORD r = RenameNoReplace(from->host, target);
    return r == ERROR_NOT_SAME_DEVICE && !folder ? MoveAcross(from->host, target) : r;
  });
  if (result != ERROR_SUCCESS) return Fail(result);
  MoveAttributes(from->host, target);
  return TRUE;
}

extern "C" BOOL CopyFileW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName, BOOL bFailIfExists) {
  std::optional<ResolvedPath> from = ResolvePath(lpExistingFileName);
  if (!from) return FALSE;
  std::optional<ResolvedPath> to = ResolvePath(lpNewFileName);
  if (!to) return FALSE;
  if (from->root || from->mountPoint) return Fail(ERROR_ACCESS_DENIED);
  if (to->root || to->mountPoint) return Fail(bFailIfExists ? ERROR_FILE_EXISTS : ERROR_ACCESS_DENIED);
  if (to->readOnly) return Fail(bFailIfExists ? ERROR_FILE_EXISTS : ERROR_ACCESS_DENIED);  // the binaries' own
  DWORD error = ERROR_SUCCESS;
  bool existed = false;
  // Read the source as any reader would, so its share mode counts.
  std::shared_ptr<FileObject> source =
      OpenHostFile(from->host, {GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, 0}, &error, &existed);
  if (!source) return Fail(error);
  struct stat target {};
  if (::stat(to->host.c_str(), &target) == 0) {
    if (bFailIfExists) return Fail(ERROR_FILE_EXISTS);
    if (S_ISDIR(target.st_mode) || !(target.st_mode & S_IWUSR)) return Fail(ERROR_ACCESS_DENIED);
    if (FileId{target.st_dev, target.st_ino} == source->id()) return Fail(ERROR_SHARING_VIOLATION);
  }
  std::optional<fs::path> temp = CopyBeside(source->fd(), to->host, &error);
  if (!temp) return Fail(error);
  DWORD result = WhileNotOpen(to->host, [&] { return Commit(*temp, to->host, !bFailIfExists); });
  if (result != ERROR_SUCCESS) {
    ::unlink(temp->c_str());
    return Fail(result == ERROR_ALREADY_EXISTS ? ERROR_FILE_EXISTS : result);
  }
  StoreAttributes(to->host, {LookupAttributes(from->host).bits, 0});
  return TRUE;
}

extern "C" BOOL CreateDirectoryW(LPCWSTR lpPathName, LPSECURITY_ATTRIBUTES lpSecurityAttributes) {
  std::optional<ResolvedPath> path = ResolvePath(lpPathName);
  if (!path) return FALSE;
  if (path->root || path->mountPoint || path->readOnly) return Fail(ERROR_ALREADY_EXISTS);
  if (::mkdir(path->host.c_str(), 0777) != 0) return Fail(NotFoundAs(errno, ERROR_PATH_NOT_FOUND));
  ForgetAttributes(path->host);
  return TRUE;
}

extern "C" BOOL RemoveDirectoryW(LPCWSTR lpPathName) {
  struct stat st {};
  std::optional<ResolvedPath> path = ResolveExisting(lpPathName, &st);
  if (!path) return FALSE;
  if (!S_ISDIR(st.st_mode)) return Fail(ERROR_DIRECTORY);
  if (path->readOnly) return Fail(ERROR_ACCESS_DENIED);
  if (LookupAttributes(path->host).bits & FILE_ATTRIBUTE_READONLY) return Fail(ERROR_ACCESS_DENIED);
  if (!zb::device::MountsInside(path->device).empty()) return Fail(ERROR_DIR_NOT_EMPTY);
  if (::rmdir(path->host.c_str()) != 0) {
    return Fail(errno == ENOTEMPTY || errno == EEXIST ? ERROR_DIR_NOT_EMPTY : NotFoundAs(errno, ERROR_FILE_NOT_FOUND));
  }
  ForgetAttributes(path->host);
  return TRUE;
}
