// Copying a registry key with everything below it, so that a class the player takes over keeps
// the other program's verbs and values.
#include <vector>

#include "core/settings/associations.h"

namespace {

constexpr DWORD kNameChars = 262;  // subkey names up to 261 characters
constexpr int kMaxDepth = 32;      // a key copied into its own subtree must not recurse forever

LONG CopyValues(HKEY source, HKEY destination) {
  std::vector<BYTE> data(1024);
  for (DWORD i = 0;; ++i) {
    WCHAR name[16384];
    DWORD nameLength = 16384, type = 0, size = static_cast<DWORD>(data.size());
    LONG result = RegEnumValueW(source, i, name, &nameLength, nullptr, &type, data.data(), &size);
    while (result == ERROR_MORE_DATA && size > data.size()) {
      data.resize(size);
      nameLength = 16384;
      result = RegEnumValueW(source, i, name, &nameLength, nullptr, &type, data.data(), &size);
    }
    if (result == ERROR_NO_MORE_ITEMS) return ERROR_SUCCESS;
    if (result != ERROR_SUCCESS) return result;
    result = RegSetValueExW(destination, name, 0, type, data.data(), size);
    if (result != ERROR_SUCCESS) return result;
  }
}

LONG CopyKey(HKEY source, HKEY destinationRoot, const WCHAR* destinationName, int depth) {
  if (depth > kMaxDepth) return ERROR_BADKEY;
  HKEY destination = nullptr;
  LONG result = RegCreateKeyExW(destinationRoot, destinationName, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &destination,
                                nullptr);
  if (result != ERROR_SUCCESS) return result;
  result = CopyValues(source, destination);
  for (DWORD i = 0; result == ERROR_SUCCESS; ++i) {
    WCHAR name[kNameChars];
    DWORD nameLength = kNameChars;
    LONG found = RegEnumKeyExW(source, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr);
    if (found == ERROR_NO_MORE_ITEMS) break;
    if (found != ERROR_SUCCESS) {
      result = found;
      break;
    }
    HKEY child = nullptr;
    result = RegOpenKeyExW(source, name, 0, KEY_READ, &child);
    if (result != ERROR_SUCCESS) break;
    result = CopyKey(child, destination, name, depth + 1);
    RegCloseKey(child);
  }
  RegCloseKey(destination);
  return result;
}

}  // namespace

LONG CopyRegistryKey(HKEY source, HKEY destinationRoot, const WCHAR* destinationName) {
  return CopyKey(source, destinationRoot, destinationName, 0);
}
