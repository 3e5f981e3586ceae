// The device's temporary folder ("\Temp\", made when first asked for) and temporary file
// names in the platform's form: up to three characters of prefix, a hexadecimal number, ".tmp".
#include <cstdio>

#include "coredll/device_path.h"
#include "coredll/file_handle.h"
#include "coredll/file_info.h"
#include "coredll/host_clock.h"
#include "coredll/host_error.h"
#include "device/names.h"
#include "device/paths.h"
#include "device/text.h"

using namespace zb::files;

namespace {

constexpr std::u16string_view kTempPath = u"\\Temp\\";

std::u16string Hex(UINT value) {
  char text[16];
  std::snprintf(text, sizeof text, "%X", value);
  return zb::FromUtf8(text);
}

// Copies a name with its terminator into a MAX_PATH buffer, refusing what would not fit.
bool CopyOut(const std::u16string& text, LPWSTR out) {
  if (text.size() >= MAX_PATH) return false;
  std::copy(text.begin(), text.end(), out);
  out[text.size()] = 0;
  return true;
}

}  // namespace

extern "C" DWORD GetTempPathW(DWORD nBufferLength, LPWSTR lpBuffer) {
  if (std::optional<std::filesystem::path> host = zb::device::ToHost(kTempPath)) {
    std::error_code ec;
    std::filesystem::create_directory(*host, ec);
  }
  if (nBufferLength <= kTempPath.size()) return static_cast<DWORD>(kTempPath.size() + 1);
  if (!lpBuffer) return Fail(ERROR_INVALID_PARAMETER, DWORD(0));
  std::copy(kTempPath.begin(), kTempPath.end(), lpBuffer);
  lpBuffer[kTempPath.size()] = 0;
  return static_cast<DWORD>(kTempPath.size());
}

extern "C" UINT GetTempFileNameW(LPCWSTR lpPathName, LPCWSTR lpPrefixString, UINT uUnique, LPWSTR lpTempFileName) {
  if (!lpPathName || !lpTempFileName) return Fail(ERROR_INVALID_PARAMETER, UINT(0));
  std::optional<ResolvedPath> folder = ResolvePath(lpPathName);
  if (!folder) return 0;
  std::optional<FileInfo> info = DescribeHost(folder->host, nullptr);
  if (!info) return Fail(ERROR_PATH_NOT_FOUND, UINT(0));
  if (!info->directory) return Fail(ERROR_DIRECTORY, UINT(0));

  std::u16string prefix = lpPrefixString ? std::u16string(lpPrefixString).substr(0, 3) : std::u16string();
  if (!prefix.empty() && !zb::device::IsValidName(prefix)) return Fail(ERROR_INVALID_NAME, UINT(0));
  std::u16string base = lpPathName;
  if (!base.empty() && base.back() != u'\\' && base.back() != u'/') base += u'\\';
  auto nameFor = [&](UINT number) { return prefix + Hex(number) + u".tmp"; };

  if (uUnique != 0) {  // the caller's number: the name only, no file
    UINT number = uUnique & 0xFFFF;
    if (!CopyOut(base + nameFor(number), lpTempFileName)) return Fail(ERROR_BUFFER_OVERFLOW, UINT(0));
    return number;
  }
  if ((base + nameFor(0xFFFF)).size() >= MAX_PATH) return Fail(ERROR_BUFFER_OVERFLOW, UINT(0));
  // Start from the clock and walk the 65535 numbers once; the first free one is made.
  UINT start = static_cast<UINT>(zb::HostNowFileTime() / 10000) & 0xFFFF;
  for (UINT i = 0; i < 0xFFFF; ++i) {
    UINT number = (start + i) % 0xFFFF + 1;
    DWORD error = 0;
    bool existed = false;
    OpenRequest request{GENERIC_WRITE, 0, CREATE_NEW, FILE_ATTRIBUTE_NORMAL};
    if (OpenHostFile(folder->host / zb::ToUtf8(nameFor(number)), request, &error, &existed)) {
      CopyOut(base + nameFor(number), lpTempFileName);
      SetLastError(ERROR_SUCCESS);
      return number;
    }
    if (error != ERROR_FILE_EXISTS && error != ERROR_ACCESS_DENIED) return Fail(error, UINT(0));
  }
  return Fail(ERROR_FILE_EXISTS, UINT(0));
}
