// Built-in images reach the decoders as files: a resource is written to a fresh numbered file in
// the temporary folder under the extension that tells the decoder its kind.
#include <cstring>

#include "skin/image_loader.h"

namespace {

// Replaces the extension of the file name in `path` (a MAX_PATH buffer) by "." + extension.
bool SetExtension(LPWSTR path, LPCWSTR extension) {
  WCHAR* dot = nullptr;
  for (WCHAR* p = path; *p; ++p) {
    if (*p == u'.') dot = p;
    if (*p == u'\\' || *p == u'/') dot = nullptr;
  }
  if (!dot) dot = path + wcslen(path);
  if ((dot - path) + 1 + wcslen(extension) >= MAX_PATH) return false;
  *dot++ = u'.';
  wcscpy(dot, extension);
  return true;
}

}  // namespace

BOOL ExtractResourceToTempFile(HMODULE module, LPCWSTR id, LPCWSTR type, LPCWSTR extension, LPWSTR path) {
  if (!extension || !path) return FALSE;
  HRSRC found = FindResourceW(module, id, type);
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const DWORD size = found ? SizeofResource(module, found) : 0;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return FALSE;
  if (*extension == u'.') ++extension;

  WCHAR folder[MAX_PATH];
  for (UINT n = 1; n <= 0xFFFF; ++n) {
    if (!GetTempPathW(MAX_PATH, folder) || !GetTempFileNameW(folder, u"rsrc", n, path)) return FALSE;
    if (!SetExtension(path, extension)) return FALSE;
    if (GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES) continue;
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return FALSE;
    DWORD written = 0;
    const bool whole = WriteFile(file, data, size, &written, nullptr) && written == size;
    CloseHandle(file);
    if (!whole) {
      DeleteFileW(path);
      return FALSE;
    }
    return TRUE;
  }
  return FALSE;
}
