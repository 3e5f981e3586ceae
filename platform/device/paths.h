// Device paths and host paths. The device's file system is the device folder, with the program
// folder and the storage cards mounted into it from elsewhere on the host; lookups ignore case
// the way the device does, and the layer's state folder stays out of reach.
#pragma once
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zb::device {

// Host path for a device path. "\" is the device root; "\" and "/" both separate; each
// component is matched case-insensitively against what exists (exact match first); the
// program folder and storage cards are mounts; a missing last component is kept as given
// (for creation); a missing folder on the way fails with ERROR_PATH_NOT_FOUND in *error.
// ".." and "." are resolved without leaving the device; the state folder is unreachable
// (ERROR_ACCESS_DENIED when named last, ERROR_PATH_NOT_FOUND on the way).
std::optional<std::filesystem::path> ToHost(std::u16string_view devicePath, uint32_t* error = nullptr);

// Device path for a host path inside the device or a mount (GetModuleFileNameW needs it).
std::optional<std::u16string> ToDevice(const std::filesystem::path& host);

// The program's folder as a device path, no trailing "\".
std::u16string ProgramFolder();

// The plain form of a device path: "\" and the components joined by "\", with "." and ".."
// resolved and empty components dropped; "\" for the root. Case is kept as given.
std::u16string NormalizePath(std::u16string_view devicePath);

// A host folder mounted into the device: the program folder, or a storage card that is present.
struct Mount {
  std::u16string device;       // plain device path, e.g. "\Storage Card"
  std::filesystem::path host;
  bool storageCard = false;
};

// The mounts that are present now (a card whose host folder is missing is not inserted).
std::vector<Mount> Mounts();

// The mount that holds a device path, or is it; nullopt for the device's own store.
std::optional<Mount> MountOf(std::u16string_view devicePath);

// The mount whose folder is exactly this device path.
std::optional<Mount> MountAt(std::u16string_view devicePath);

// The mounts directly inside a device folder, for listings of that folder.
std::vector<Mount> MountsInside(std::u16string_view deviceFolder);

// Host path helpers: the lexically normal form without a trailing separator, and whether a path
// is a folder or lies inside it (component-wise, so "/a/bc" is not inside "/a/b").
std::filesystem::path TidyHostPath(const std::filesystem::path& path);
bool IsWithin(const std::filesystem::path& path, const std::filesystem::path& folder);

}  // namespace zb::device
