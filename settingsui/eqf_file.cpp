// EQF files: a 31-byte header and one 268-byte record per preset (257 bytes of narrow name,
// the preamp, ten bands), nothing else. Names are narrow text in the ANSI code page.
#include <windows.h>

#include <cstring>
#include <string>

#include "core/common/file_replace.h"
#include "settingsui/eq_preset_list.h"
#include "settingsui/special_folders.h"

namespace {

constexpr char kHeader[] = "Winamp EQ library file v1.1\x1A!--";
constexpr DWORD kHeaderSize = sizeof kHeader - 1;  // no terminating zero in the file
constexpr DWORD kRecordSize = 268;
constexpr DWORD kNameField = CEqPresetList::kNameBytes;
static_assert(kHeaderSize == 31 && kNameField + 1 + 10 == kRecordSize);

// The name as narrow text of at most 256 bytes, cut between characters.
std::string NarrowName(const std::u16string& name) {
  int chars = static_cast<int>(name.size());
  while (chars > 0) {
    int needed = WideCharToMultiByte(CP_ACP, 0, name.data(), chars, nullptr, 0, nullptr, nullptr);
    if (needed > 0 && needed <= static_cast<int>(kNameField - 1)) {
      std::string out(static_cast<size_t>(needed), '\0');
      WideCharToMultiByte(CP_ACP, 0, name.data(), chars, out.data(), needed, nullptr, nullptr);
      return out;
    }
    --chars;
  }
  return {};
}

std::u16string WideName(const char* field) {
  const int bytes = static_cast<int>(strnlen(field, kNameField - 1));
  if (bytes == 0) return {};
  WCHAR out[kNameField];
  int n = MultiByteToWideChar(CP_ACP, 0, field, bytes, out, kNameField - 1);
  return std::u16string(out, n > 0 ? static_cast<size_t>(n) : 0);
}

}  // namespace

std::u16string EqfFilePath(const WCHAR* fileName) {
  if (!fileName) return {};
  if (wcschr(fileName, u'\\')) return fileName;
  WCHAR folder[MAX_PATH];
  GetSpecialFolderPath(kProgramFolderId, folder);
  return std::u16string(folder) + fileName;
}

BOOL CEqPresetList::SaveEqf(const WCHAR* fileName) const {
  std::string image(kHeader, kHeaderSize);
  for (const EqPreset& entry : entries_) {
    char record[kRecordSize] = {};
    std::string name = NarrowName(entry.name);
    std::memcpy(record, name.data(), name.size());
    record[kNameField] = static_cast<char>(entry.preamp);
    std::memcpy(record + kNameField + 1, entry.bands, sizeof entry.bands);
    image.append(record, kRecordSize);
  }
  const std::u16string path = EqfFilePath(fileName);
  return !path.empty() && ReplaceFileContents(path.c_str(), image.data(), static_cast<DWORD>(image.size()));
}

BOOL CEqPresetList::LoadEqf(const WCHAR* fileName) {
  const std::u16string path = EqfFilePath(fileName);
  if (path.empty()) return FALSE;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return FALSE;
  char record[kRecordSize] = {};
  DWORD got = 0;
  BOOL ok = ReadFile(file, record, kHeaderSize, &got, nullptr) && got == kHeaderSize &&
            std::memcmp(record, kHeader, kHeaderSize) == 0;
  // Records follow until the first short read; a cut-off last record is left out.
  while (ok && ReadFile(file, record, kRecordSize, &got, nullptr) && got == kRecordSize) {
    record[kNameField - 1] = 0;
    std::u16string name = WideName(record);
    SetPreset(name.c_str(), static_cast<signed char>(record[kNameField]),
              reinterpret_cast<const BYTE*>(record + kNameField + 1));
  }
  CloseHandle(file);
  return ok;
}
