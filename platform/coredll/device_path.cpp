// Checks and resolves the device paths the file functions get.
#include "coredll/device_path.h"

#include <algorithm>
#include <cerrno>

#include "coredll/host_error.h"
#include "device/names.h"
#include "device/paths.h"

namespace zb::files {

std::pair<std::u16string, std::u16string> SplitLast(std::u16string_view path) {
  size_t cut = path.find_last_of(u"\\/");
  if (cut == std::u16string_view::npos) return {u"\\", std::u16string(path)};
  std::u16string folder(path.substr(0, cut));
  return {folder.empty() ? u"\\" : folder, std::u16string(path.substr(cut + 1))};
}

std::optional<ResolvedPath> ResolvePath(LPCWSTR path, bool wildcardsInLast) {
  if (!path) return Fail(ERROR_INVALID_PARAMETER, std::optional<ResolvedPath>());
  std::u16string_view text(path);
  if (text.empty()) return Fail(ERROR_PATH_NOT_FOUND, std::optional<ResolvedPath>());
  for (size_t start = 0; start <= text.size();) {
    size_t end = text.find_first_of(u"\\/", start);
    if (end == std::u16string_view::npos) end = text.size();
    std::u16string_view name = text.substr(start, end - start);
    bool last = end == text.size();
    if (!name.empty() && name != u"." && name != u"..") {
      std::u16string plain(name);
      if (last && wildcardsInLast) std::replace_if(plain.begin(), plain.end(), [](char16_t c) { return c == u'*' || c == u'?'; }, u'x');
      if (!device::IsValidName(plain)) return Fail(ERROR_INVALID_NAME, std::optional<ResolvedPath>());
    }
    start = end + 1;
  }
  uint32_t error = 0;
  std::optional<std::filesystem::path> host = device::ToHost(text, &error);
  if (!host) return Fail(error, std::optional<ResolvedPath>());
  ResolvedPath r;
  r.device = device::NormalizePath(text);
  r.host = *host;
  r.root = r.device == u"\\";
  r.readOnly = device::IsReadOnlyHost(r.host);
  if (std::optional<device::Mount> mount = device::MountAt(r.device)) {
    r.mountPoint = true;
    r.storageCard = mount->storageCard;
    r.device = mount->device;  // spelled as the device names it
  }
  return r;
}

std::optional<ResolvedPath> ResolveExisting(LPCWSTR path, struct stat* st) {
  std::optional<ResolvedPath> resolved = ResolvePath(path);
  if (!resolved) return std::nullopt;
  if (resolved->root || resolved->mountPoint) return Fail(ERROR_ACCESS_DENIED, std::optional<ResolvedPath>());
  if (::stat(resolved->host.c_str(), st) != 0) {
    return Fail(errno == ENOENT ? DWORD(ERROR_FILE_NOT_FOUND) : ErrorFromErrno(errno), std::optional<ResolvedPath>());
  }
  return resolved;
}

}  // namespace zb::files

