// File handles and share modes. Every open file of the process is listed by its host identity
// (device and inode), so two names for one file still share one set of rules; the check and
// the listing happen under one lock, and truncation waits until the open is known to be allowed.
#include "coredll/file_handle.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <vector>

#include "coredll/attribute_table.h"
#include "coredll/device_path.h"
#include "coredll/host_error.h"
#include "device/paths.h"

namespace zb::files {
namespace {

struct OpenFiles {
  std::mutex lock;
  std::map<FileId, std::vector<const FileObject*>> files;
};

OpenFiles& TheOpenFiles() {
  static OpenFiles* open = new OpenFiles;  // outlives static destructors that may still close files
  return *open;
}

DWORD NormalAccess(DWORD access) {
  DWORD out = 0;
  if (access & (GENERIC_READ | GENERIC_EXECUTE | GENERIC_ALL)) out |= GENERIC_READ;
  if (access & (GENERIC_WRITE | GENERIC_ALL)) out |= GENERIC_WRITE;
  return out;
}

// Each side must allow what the other wants to do. An open without read or write access (to
// query the file) neither needs nor grants anything.
bool Conflicts(DWORD access, DWORD share, const FileObject& other) {
  if (access == 0 || other.access() == 0) return false;
  auto denies = [](DWORD wants, DWORD allows) {
    return ((wants & GENERIC_READ) && !(allows & FILE_SHARE_READ)) ||
           ((wants & GENERIC_WRITE) && !(allows & FILE_SHARE_WRITE));
  };
  return denies(access, other.share()) || denies(other.access(), share);
}

bool MayCreate(DWORD disposition) {
  return disposition == CREATE_NEW || disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS;
}

// Opens (creating when the disposition allows) and reports whether this call made the file.
int OpenOrCreate(const std::filesystem::path& host, int flags, DWORD disposition, bool* created, DWORD* error) {
  // A file deleted between "it exists" and "open it" sends us round again; the bound keeps a
  // pathological race from spinning.
  for (int attempt = 0; attempt < 8; ++attempt) {
    if (MayCreate(disposition)) {
      int fd = ::open(host.c_str(), flags | O_CREAT | O_EXCL, 0666);
      if (fd >= 0) {
        *created = true;
        return fd;
      }
      if (errno != EEXIST || disposition == CREATE_NEW) {
        *error = errno == EEXIST ? ERROR_FILE_EXISTS : ErrorFromErrno(errno);
        return -1;
      }
    }
    int fd = ::open(host.c_str(), flags);
    if (fd >= 0 || errno != ENOENT || !MayCreate(disposition)) {
      if (fd < 0) *error = ErrorFromErrno(errno);
      return fd;
    }
  }
  *error = ERROR_GEN_FAILURE;
  return -1;
}

}  // namespace

FileObject::FileObject(int fd, DWORD access, DWORD share, FileId id, std::filesystem::path host)
    : fd_(fd), access_(access), share_(share), id_(id), host_(std::move(host)) {}

FileObject::~FileObject() {
  OpenFiles& open = TheOpenFiles();
  {
    std::lock_guard guard(open.lock);
    auto it = open.files.find(id_);
    if (it != open.files.end()) {
      std::erase(it->second, this);
      if (it->second.empty()) open.files.erase(it);
    }
  }
  ::close(fd_);
}

std::shared_ptr<FileObject> OpenHostFile(const std::filesystem::path& host, const OpenRequest& request,
                                         DWORD* error, bool* existed) {
  auto fail = [error](DWORD code) -> std::shared_ptr<FileObject> {
    *error = code;
    return nullptr;
  };
  const DWORD disposition = request.disposition;
  const DWORD access = NormalAccess(request.access);
  const DWORD share = request.share & (FILE_SHARE_READ | FILE_SHARE_WRITE);
  const bool truncates = disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING;
  if (disposition < CREATE_NEW || disposition > TRUNCATE_EXISTING) return fail(ERROR_INVALID_PARAMETER);
  if (disposition == TRUNCATE_EXISTING && !(access & GENERIC_WRITE)) return fail(ERROR_INVALID_PARAMETER);

  struct stat st {};
  const bool exists = ::stat(host.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) return fail(ERROR_ACCESS_DENIED);

  const bool reads = access & GENERIC_READ, writes = (access & GENERIC_WRITE) || truncates;
  // The binaries' folder is only read: nothing is written or made there, whatever the host allows.
  if (device::IsReadOnlyHost(host)) {
    if (writes) return fail(ERROR_ACCESS_DENIED);
    if (!exists) return fail(ERROR_FILE_NOT_FOUND);
  }
  int flags = (reads && writes ? O_RDWR : writes ? O_WRONLY : O_RDONLY) | O_CLOEXEC;
  if (request.flagsAndAttributes & FILE_FLAG_WRITE_THROUGH) flags |= O_DSYNC;
  bool created = false;
  int fd = OpenOrCreate(host, flags, disposition, &created, error);
  if (fd < 0) return nullptr;
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    return fail(ERROR_ACCESS_DENIED);
  }
  // The host may let its superuser write anything; the device's read-only bit holds regardless.
  if (!created && writes && !(st.st_mode & S_IWUSR)) {
    ::close(fd);
    return fail(ERROR_ACCESS_DENIED);
  }

  FileId id{st.st_dev, st.st_ino};
  std::shared_ptr<FileObject> file;
  {
    OpenFiles& open = TheOpenFiles();
    std::lock_guard guard(open.lock);
    auto& others = open.files[id];
    if (std::any_of(others.begin(), others.end(), [&](const FileObject* o) { return Conflicts(access, share, *o); })) {
      if (others.empty()) open.files.erase(id);
      ::close(fd);
      return fail(ERROR_SHARING_VIOLATION);
    }
    file = std::make_shared<FileObject>(fd, access, share, id, host);
    others.push_back(file.get());
  }
  if (!created && truncates && ::ftruncate(fd, 0) != 0) return fail(ErrorFromErrno(errno));
  if (created || disposition == CREATE_ALWAYS) {
    // A new file takes the attributes it was created with, never those of an older namesake.
    StoreAttributes(host, {request.flagsAndAttributes & kStoredFileBits, 0});
    if (created && (request.flagsAndAttributes & FILE_ATTRIBUTE_READONLY)) ::fchmod(fd, st.st_mode & ~0222);
  }
  *existed = !created;
  return file;
}

DWORD WhileNotOpen(const std::filesystem::path& host, const std::function<DWORD()>& action) {
  struct stat st {};
  if (::stat(host.c_str(), &st) != 0) return action();
  OpenFiles& open = TheOpenFiles();
  std::lock_guard guard(open.lock);
  if (open.files.contains(FileId{st.st_dev, st.st_ino})) return ERROR_SHARING_VIOLATION;
  return action();
}

}  // namespace zb::files

using namespace zb::files;

extern "C" HANDLE CreateFileW(LPCWSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                              LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                              DWORD dwFlagsAndAttributes, HANDLE hTemplateFile) {
  std::optional<ResolvedPath> path = ResolvePath(lpFileName);
  if (!path) return INVALID_HANDLE_VALUE;
  if (path->root || path->mountPoint) return Fail(ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);
  DWORD error = 0;
  bool existed = false;
  std::shared_ptr<FileObject> file = OpenHostFile(
      path->host, {dwDesiredAccess, dwShareMode, dwCreationDisposition, dwFlagsAndAttributes}, &error, &existed);
  if (!file) return Fail(error, INVALID_HANDLE_VALUE);
  HANDLE handle = zb::AllocHandle(std::move(file));
  bool reportExisting = existed && (dwCreationDisposition == OPEN_ALWAYS || dwCreationDisposition == CREATE_ALWAYS);
  SetLastError(reportExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}
