// "bookmarks.dat": per entry a 4-byte position and the UTF-16 text with its terminator, all
// little-endian and unaligned, then one closing terminator. The registry value "Bookmarks", an
// older home of the list, has the same form; it is read only when the file is missing, and it is
// deleted only once its entries are safe in the file.
#include <string>

#include "core/settings/bookmark_list.h"
#include "core/common/file_replace.h"
#include "core/settings/registry_values.h"
#include "core/settings/settings.h"
#include "settingsui/special_folders.h"

namespace {

constexpr WCHAR kRegistryValue[] = u"Bookmarks";

LONG ReadPosition(const BYTE* p) {
  return static_cast<LONG>(static_cast<DWORD>(p[0]) | static_cast<DWORD>(p[1]) << 8 |
                           static_cast<DWORD>(p[2]) << 16 | static_cast<DWORD>(p[3]) << 24);
}

void PutUnit(std::vector<BYTE>& out, WCHAR c) {
  out.push_back(static_cast<BYTE>(c & 0xFF));
  out.push_back(static_cast<BYTE>(c >> 8));
}

}  // namespace

std::u16string CBookmarkList::FilePath() const {
  WCHAR folder[MAX_PATH];
  GetSpecialFolderPath(kProgramFolderId, folder);
  return folder + fileName_;
}

std::vector<BYTE> CBookmarkList::Serialize() const {
  std::vector<BYTE> image;
  for (const Entry& e : entries_) {
    const DWORD position = static_cast<DWORD>(e.position);
    for (int shift = 0; shift < 32; shift += 8) image.push_back(static_cast<BYTE>(position >> shift));
    for (WCHAR c : e.text) PutUnit(image, c);
    PutUnit(image, 0);
  }
  PutUnit(image, 0);
  return image;
}

void CBookmarkList::Parse(const BYTE* data, size_t size) {
  const size_t units = size / 2;
  if (!data || size < 5 || units == 1) return;
  auto unit = [data](size_t i) { return static_cast<WCHAR>(data[2 * i] | data[2 * i + 1] << 8); };
  for (size_t start = 0; start + 1 < units;) {
    if (start + 2 > units) return;  // no room for a position
    const LONG position = ReadPosition(data + 2 * start);
    std::u16string text;
    size_t at = start + 2;
    while (at < units && unit(at) != 0) text += unit(at++);
    if (at >= units) return;  // a text cut short: the list ends with the last whole entry
    if (!text.empty()) Set(text.c_str(), position);
    start = at + 1;
  }
}

BOOL CBookmarkList::Save() const {
  const std::vector<BYTE> image = Serialize();
  return ReplaceFileContents(FilePath().c_str(), image.data(), static_cast<DWORD>(image.size()));
}

bool CBookmarkList::ReadFromFile() {
  HANDLE file = CreateFileW(FilePath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD high = 0;
  const DWORD size = GetFileSize(file, &high);
  bool read = false;
  if (size != INVALID_FILE_SIZE && high == 0) {
    std::vector<BYTE> data(size);
    DWORD got = 0;
    if (size == 0 || ReadFile(file, data.data(), size, &got, nullptr)) {
      Parse(data.data(), got);
      read = true;
    }
  }
  CloseHandle(file);
  return read;
}

void CBookmarkList::ReadFromRegistry() {
  RegKey opened;
  if (opened.Open(HKEY_CURRENT_USER, kSettingsKey) != ERROR_SUCCESS) return;
  const HKEY key = opened.get();
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key, kRegistryValue, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
    bool safe = true;  // nothing to keep in a value of another type or without data
    std::vector<BYTE> data;
    if (type == REG_BINARY && size != 0) {
      safe = ReadRegBinary(key, kRegistryValue, &data);
      if (safe) {
        Parse(data.data(), data.size());
        safe = Save() != FALSE;
      }
    }
    if (safe) RegDeleteValueW(key, kRegistryValue);
  }
}

void CBookmarkList::ReadBookmarksFile() {
  if (!ReadFromFile()) ReadFromRegistry();
}
