// Device paths and host paths. The device's file system is the device folder, with the storage
// cards mounted into it from elsewhere on the host; the program folder is a folder of the device
// through which the binaries' folder shows, read-only. Lookups ignore case the way the device
// does, and the layer's state folder stays out of reach.
#pragma once
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zb::device {

// Host path for a device path. "\" is the device root; "\" and "/" both separate; each
// component is matched case-insensitively against what exists (exact match first); storage
// cards are mounts; a name directly in the program folder that the device's own folder lacks is
// the binaries' folder's program or library of that name, when there is one (see
// IsReadOnlyHost); a missing last component is kept as given (for creation); a missing folder
// on the way fails with ERROR_PATH_NOT_FOUND in *error.
// ".." and "." are resolved without leaving the device; the state folder is unreachable
// (ERROR_ACCESS_DENIED when named last, ERROR_PATH_NOT_FOUND on the way).
std::optional<std::filesystem::path> ToHost(std::u16string_view devicePath, uint32_t* error = nullptr);

// Device path for a host path inside the device, a mount, or a program or library of the
// binaries' folder (GetModuleFileNameW needs it).
std::optional<std::u16string> ToDevice(const std::filesystem::path& host);

// The program's folder as a device path, no trailing "\".
std::u16string ProgramFolder();

// The plain form of a device path: "\" and the components joined by "\", with "." and ".."
// resolved and empty components dropped; "\" for the root. Case is kept as given.
std::u16string NormalizePath(std::u16string_view devicePath);

// A host folder mounted into the device: a storage card that is present, or the program folder
// (the device's own folder, with the binaries' folder showing through it).
struct Mount {
  std::u16string device;       // plain device path, e.g. "\Storage Card"
  std::filesystem::path host;  // where what is written goes
  bool storageCard = false;
  std::filesystem::path image;  // the program folder's binaries' folder; empty for a card or none
};

// The mounts that are present now (a card whose host folder is missing is not inserted).
std::vector<Mount> Mounts();

// The mount that holds a device path, or is it; nullopt for the device's own store.
std::optional<Mount> MountOf(std::u16string_view devicePath);

// The mount whose folder is exactly this device path.
std::optional<Mount> MountAt(std::u16string_view devicePath);

// The mounts directly inside a device folder, for listings of that folder.
std::vector<Mount> MountsInside(std::u16string_view deviceFolder);

// The binaries' folder's programs and libraries that show in a device folder: host paths of the
// ones the folder of the device lacks, for listings. Empty for any folder but the program folder.
std::vector<std::filesystem::path> ImagesShownIn(std::u16string_view deviceFolder);

// Whether a host path is in the binaries' folder, which the device reads and never writes: a
// write, create, rename or delete there must be refused.
bool IsReadOnlyHost(const std::filesystem::path& host);

// Host path helpers: the lexically normal form without a trailing separator, and whether a path
// is a folder or lies inside it (component-wise, so "/a/bc" is not inside "/a/b").
std::filesystem::path TidyHostPath(const std::filesystem::path& path);
bool IsWithin(const std::filesystem::path& path, const std::filesystem::path& folder);

}  // namespace zb::device
