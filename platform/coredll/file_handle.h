// Open files: the kernel object behind a file HANDLE, and the process's list of open files that
// enforces share modes (a second open that conflicts fails with ERROR_SHARING_VIOLATION).
#pragma once
#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "coredll/kernel_object.h"

namespace zb::files {

struct FileId {
  dev_t device = 0;
  ino_t inode = 0;
  auto operator<=>(const FileId&) const = default;
};

class FileObject : public KernelObject {
 public:
  FileObject(int fd, DWORD access, DWORD share, FileId id, std::filesystem::path host);
  ~FileObject() override;  // leaves the list of open files and closes the descriptor

  int fd() const { return fd_; }
  bool CanRead() const { return access_ & GENERIC_READ; }
  bool CanWrite() const { return access_ & GENERIC_WRITE; }
  DWORD access() const { return access_; }
  DWORD share() const { return share_; }
  FileId id() const { return id_; }
  const std::filesystem::path& host() const { return host_; }

 private:
  int fd_;
  DWORD access_;  // GENERIC_READ and/or GENERIC_WRITE only
  DWORD share_;
  FileId id_;
  std::filesystem::path host_;
};

struct OpenRequest {
  DWORD access = 0;       // GENERIC_* as the caller gave it
  DWORD share = 0;        // FILE_SHARE_*
  DWORD disposition = 0;  // CREATE_NEW ... TRUNCATE_EXISTING
  DWORD flagsAndAttributes = 0;
};

// Opens or creates a host file as CreateFileW does. On failure returns nullptr with *error
// set; on success *existed tells whether the file was there before.
std::shared_ptr<FileObject> OpenHostFile(const std::filesystem::path& host, const OpenRequest& request,
                                         DWORD* error, bool* existed);

// Runs `action` while no handle of this process has the file at `host` open, holding the list
// of open files so none can open meanwhile; ERROR_SHARING_VIOLATION when one is open. Returns
// the action's error code.
DWORD WhileNotOpen(const std::filesystem::path& host, const std::function<DWORD()>& action);

}  // namespace zb::files
