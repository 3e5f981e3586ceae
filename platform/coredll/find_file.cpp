// FindFirstFileW / FindNextFileW / FindClose. A search takes a snapshot of the matching entries
// of one folder, sorted by name so results never depend on the host's directory order, with
// the mounts that sit in that folder (and, in the program folder, the binaries' folder's programs
// and libraries) and without the layer's state folder. As on the device,
// there are no "." and ".." entries, and a wildcard that matches nothing reports
// ERROR_NO_MORE_FILES while a plain name that is missing reports ERROR_FILE_NOT_FOUND.
#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "coredll/device_path.h"
#include "coredll/file_info.h"
#include "coredll/file_time.h"
#include "coredll/host_error.h"
#include "coredll/kernel_object.h"
#include "device/device.h"
#include "device/names.h"
#include "device/paths.h"
#include "device/text.h"

using namespace zb::files;
namespace fs = std::filesystem;

namespace {

class FindObject : public zb::KernelObject {
 public:
  explicit FindObject(std::vector<WIN32_FIND_DATAW> entries) : entries_(std::move(entries)) {}

  bool Next(WIN32_FIND_DATAW* out) {
    std::lock_guard guard(lock_);
    if (next_ >= entries_.size()) return false;
    *out = entries_[next_++];
    return true;
  }

 private:
  std::mutex lock_;
  std::vector<WIN32_FIND_DATAW> entries_;
  size_t next_ = 0;
};

// "*" any run of characters, "?" exactly one, letters compared without case; "*.*" is "*".
bool Matches(std::u16string_view pattern, std::u16string_view name) {
  if (pattern == u"*.*") return true;
  size_t p = 0, n = 0, star = std::u16string_view::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == u'?' || zb::ToUpper(pattern[p]) == zb::ToUpper(name[n]))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == u'*') {
      star = p++;
      resume = n;
    } else if (star != std::u16string_view::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}

std::optional<WIN32_FIND_DATAW> Entry(std::u16string_view name, const fs::path& host, bool storageCard) {
  if (name.size() >= MAX_PATH || name.find(u'\\') != std::u16string_view::npos) return std::nullopt;  // unreachable by device paths
  std::optional<FileInfo> info = DescribeHost(host, nullptr);
  if (!info) return std::nullopt;  // gone meanwhile, or a dangling link
  WIN32_FIND_DATAW data{};
  data.dwFileAttributes = storageCard ? kStorageCardAttributes : info->attributes;
  data.ftCreationTime = ToFILETIME(info->creation);
  data.ftLastAccessTime = ToFILETIME(info->access);
  data.ftLastWriteTime = ToFILETIME(info->write);
  data.nFileSizeHigh = static_cast<DWORD>(info->size >> 32);
  data.nFileSizeLow = static_cast<DWORD>(info->size);
  data.dwOID = info->oid;
  std::copy(name.begin(), name.end(), data.cFileName);
  return data;
}

std::u16string LastName(std::u16string_view devicePath) { return SplitLast(devicePath).second; }

// Every entry of a folder that matches the pattern, mounts included and shadowing host entries
// of the same name.
std::vector<WIN32_FIND_DATAW> List(const ResolvedPath& folder, std::u16string_view pattern) {
  std::vector<zb::device::Mount> mounts = zb::device::MountsInside(folder.device);
  auto isMount = [&](std::u16string_view name) {
    return std::any_of(mounts.begin(), mounts.end(), [&](const auto& m) { return zb::EqualNoCase(LastName(m.device), name); });
  };
  fs::path state = zb::device::StateFolder();
  std::vector<WIN32_FIND_DATAW> out;
  std::error_code ec;
  for (fs::directory_iterator it(folder.host, ec), end; !ec && it != end; it.increment(ec)) {
    std::u16string name = zb::FromUtf8(it->path().filename().string());
    if (zb::device::IsWithin(it->path(), state) || isMount(name) || !Matches(pattern, name)) continue;
    if (auto entry = Entry(name, it->path(), false)) out.push_back(*entry);
  }
  for (const zb::device::Mount& m : mounts) {
    std::u16string name = LastName(m.device);
    if (!Matches(pattern, name)) continue;
    if (auto entry = Entry(name, m.host, m.storageCard)) out.push_back(*entry);
  }
  for (const fs::path& image : zb::device::ImagesShownIn(folder.device)) {
    std::u16string name = zb::FromUtf8(image.filename().string());
    if (!Matches(pattern, name)) continue;
    if (auto entry = Entry(name, image, false)) out.push_back(*entry);
  }
  std::sort(out.begin(), out.end(), [](const WIN32_FIND_DATAW& a, const WIN32_FIND_DATAW& b) {
    std::u16string_view x(a.cFileName), y(b.cFileName);
    int c = zb::CompareNoCase(x, y);
    return c != 0 ? c < 0 : x < y;
  });
  return out;
}

// One named entry (no wildcard): reported under its name as it exists.
std::optional<WIN32_FIND_DATAW> Single(const ResolvedPath& path) {
  if (path.root) return Fail(ERROR_FILE_NOT_FOUND, std::optional<WIN32_FIND_DATAW>());
  std::u16string name = path.mountPoint ? LastName(path.device) : zb::FromUtf8(path.host.filename().string());
  DWORD error = ERROR_FILE_NOT_FOUND;
  if (!DescribeHost(path.host, &error)) return Fail(error, std::optional<WIN32_FIND_DATAW>());
  std::optional<WIN32_FIND_DATAW> entry = Entry(name, path.host, path.storageCard);
  if (!entry) return Fail(ERROR_FILE_NOT_FOUND, std::optional<WIN32_FIND_DATAW>());
  return entry;
}

}  // namespace

extern "C" HANDLE FindFirstFileW(LPCWSTR lpFileName, LPWIN32_FIND_DATAW lpFindFileData) {
  if (!lpFileName || !lpFindFileData) return Fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
  std::optional<ResolvedPath> path = ResolvePath(lpFileName, true);
  if (!path) return INVALID_HANDLE_VALUE;
  auto [folderPart, pattern] = SplitLast(lpFileName);
  std::vector<WIN32_FIND_DATAW> entries;
  if (pattern.empty()) return Fail(ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE);  // "\Folder\" names no entry
  if (!zb::device::HasWildcard(pattern)) {
    std::optional<WIN32_FIND_DATAW> entry = Single(*path);
    if (!entry) return INVALID_HANDLE_VALUE;
    entries.push_back(*entry);
  } else {
    std::optional<ResolvedPath> folder = ResolvePath(folderPart.c_str());
    if (!folder) return INVALID_HANDLE_VALUE;
    std::optional<FileInfo> info = DescribeHost(folder->host, nullptr);
    if (!info || !info->directory) return Fail(ERROR_PATH_NOT_FOUND, INVALID_HANDLE_VALUE);
    entries = List(*folder, pattern);
    if (entries.empty()) return Fail(ERROR_NO_MORE_FILES, INVALID_HANDLE_VALUE);
  }
  auto search = std::make_shared<FindObject>(std::move(entries));
  search->Next(lpFindFileData);
  SetLastError(ERROR_SUCCESS);
  return zb::AllocHandle(std::move(search));
}

extern "C" BOOL FindNextFileW(HANDLE hFindFile, LPWIN32_FIND_DATAW lpFindFileData) {
  std::shared_ptr<FindObject> search = zb::LookupHandleAs<FindObject>(hFindFile);
  if (!search) return Fail(ERROR_INVALID_HANDLE);
  if (!lpFindFileData) return Fail(ERROR_INVALID_PARAMETER);
  if (!search->Next(lpFindFileData)) return Fail(ERROR_NO_MORE_FILES);
  return TRUE;
}

extern "C" BOOL FindClose(HANDLE hFindFile) {
  if (!zb::LookupHandleAs<FindObject>(hFindFile)) return Fail(ERROR_INVALID_HANDLE);
  zb::ReleaseHandle(hFindFile);
  return TRUE;
}
