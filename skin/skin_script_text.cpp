// Skin texts (scripts, package texts) are read whole: FF FE starts UTF-16 little-endian,
// EF BB BF UTF-8, and anything else is Windows-1252, whatever the device's own code page.
#include <vector>

#include "skin/skin_script.h"

std::u16string DecodeSkinText(const BYTE* bytes, size_t count) {
  if (count >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
    std::u16string text((count - 2) / 2, u'\0');
    for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<WCHAR>(bytes[2 + 2 * i] | bytes[3 + 2 * i] << 8);
    return text;
  }
  UINT page = 1252;
  if (count >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
    page = CP_UTF8;
    bytes += 3;
    count -= 3;
  }
  if (count == 0 || count > 0x7FFFFFFF) return {};
  const char* from = reinterpret_cast<const char*>(bytes);
  const int n = MultiByteToWideChar(page, 0, from, static_cast<int>(count), nullptr, 0);
  std::u16string text(n > 0 ? n : 0, u'\0');
  if (n > 0) MultiByteToWideChar(page, 0, from, static_cast<int>(count), text.data(), n);
  return text;
}

std::u16string ReadSkinText(LPCWSTR path) {
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  const DWORD size = GetFileSize(file, nullptr);
  std::vector<BYTE> bytes(size == INVALID_FILE_SIZE ? 0 : size);
  DWORD got = 0;
  const BOOL read = bytes.empty() || ReadFile(file, bytes.data(), size, &got, nullptr);
  CloseHandle(file);
  if (!read) return {};
  return DecodeSkinText(bytes.data(), got);
}
