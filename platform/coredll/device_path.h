// The first step of every file function: a device path from the caller, checked and resolved
// to its host path, with the platform's error set when that fails.
#pragma once
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <string>
#include <windows.h>

namespace zb::files {

struct ResolvedPath {
  std::u16string device;       // plain form: "\" + components, "." and ".." resolved
  std::filesystem::path host;
  bool root = false;           // the device root itself
  bool mountPoint = false;     // the program folder or a storage card itself
  bool storageCard = false;    // a storage card itself
  bool readOnly = false;       // in the binaries' folder: the device never writes there
};

// Fails (last error set) on NULL (ERROR_INVALID_PARAMETER), "" (ERROR_PATH_NOT_FOUND), a
// name the device refuses (ERROR_INVALID_NAME; wildcards allowed in the last component when
// asked), and whatever device path resolution reports.
std::optional<ResolvedPath> ResolvePath(LPCWSTR path, bool wildcardsInLast = false);

// A path to change or remove: it must exist (ERROR_FILE_NOT_FOUND, or ERROR_PATH_NOT_FOUND
// for a missing folder on the way) and be neither the root nor a mount point
// (ERROR_ACCESS_DENIED). Fills *st with the host's stat of it.
std::optional<ResolvedPath> ResolveExisting(LPCWSTR path, struct stat* st);

// Splits a device path at its last separator: ("\Music", "x*.mp3"); the folder is "\" for a
// name at the root.
std::pair<std::u16string, std::u16string> SplitLast(std::u16string_view path);

}  // namespace zb::files
