// The registry of the current device, kept in StateFolder()/registry.txt and shared by every
// process and thread on the device. Each call sees the latest file and each change is in the
// file before the call returns, so two processes never lose each other's writes.
#pragma once
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <sys/stat.h>

#include "coredll/registry_tree.h"

namespace zb::registry {

class Store {
 public:
  enum class Access { Read, Write };
  // Works on the roots and returns a registry error code; sets `changed` when it altered them.
  using Work = std::function<LONG(const Roots& roots, bool& changed)>;

  static Store& Instance();

  // Runs `work` on the freshest registry under a shared (Read) or exclusive (Write) lock of the
  // device's registry. A successful change is saved before this returns; when saving fails the
  // change is undone and the result is ERROR_REGISTRY_IO_FAILED.
  LONG Run(Access access, const Work& work);

  // Puts the last saved file on the disk itself (RegFlushKey).
  LONG Flush();

 private:
  struct Stamp {
    dev_t device;
    ino_t inode;
    off_t size;
    timespec modified;
    bool operator==(const Stamp& other) const;
  };

  void FollowDevice();
  void Forget();
  void Refresh();
  void Load(const Stamp& seen);
  bool Save();
  bool KeepDamagedCopy();
  std::string File() const;

  std::mutex mutex_;
  unsigned generation_ = 0;
  std::string folder_;
  Roots roots_ = MakeRoots();
  bool loaded_ = false;
  std::optional<Stamp> stamp_;  // of the file last read or written; none when there was no file
  // The last file read or written stays open, so that its inode number cannot be handed to a
  // newer file that would then look unchanged.
  int pinned_ = -1;
  bool damaged_ = false;  // the file held unreadable lines: keep a copy before replacing it
};

}  // namespace zb::registry
