// The temporary-file naming callback and the volume identity file it reads. A proposed path on
// a storage volume is seeded with the volume's identity, every byte of its folder is folded into
// the seed, and the file goes to the temporary folder as "<name>-<seed in hex>".
#include "library_temp_names.h"

#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "sql_device_vfs.h"
#include "tag_value.h"
#include "utf8_text.h"

namespace {

constexpr char kTempPrefix[] = "kstrzb_";
constexpr DWORD kLargestIdentityFile = 4096;
constexpr char16_t kIdentityKey[] = u"DeviceID=\"";

std::u16string TempFolder() {
  WCHAR folder[MAX_PATH] = {};
  const DWORD length = GetTempPathW(MAX_PATH, folder);
  return length > 0 && length < MAX_PATH ? std::u16string(folder, length) : std::u16string(u"\\Temp\\");
}

bool ReadIdentityFile(const std::u16string& path, GUID* id) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::u16string text(kLargestIdentityFile / sizeof(char16_t), u'\0');
  DWORD read = 0;
  const BOOL ok = ReadFile(file, text.data(), kLargestIdentityFile, &read, nullptr);
  CloseHandle(file);
  text.resize(read / sizeof(char16_t));
  if (!ok || text.empty() || text[0] != u'\xFEFF') return false;  // FF FE, read as one character
  const size_t key = text.find(kIdentityKey);
  if (key == std::u16string::npos) return false;
  const size_t start = key + std::char_traits<char16_t>::length(kIdentityKey);
  const size_t end = text.find(u'"', start);
  return end != std::u16string::npos && TextToGuid(std::u16string_view(text).substr(start, end - start), id);
}

void WriteIdentityFile(const std::u16string& path, REFGUID id) {
  const std::u16string text = u"\xFEFF<DeviceInfo>\r\n    <Zonbrel DeviceID=\"" + GuidToText(id) + u"\"/>\r\n</DeviceInfo>\r\n";
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(char16_t)), &written, nullptr);
  CloseHandle(file);
}

GUID RandomGuid() {
  std::random_device random;
  GUID id;
  DWORD words[4];
  for (DWORD& word : words) word = random();
  std::memcpy(&id, words, sizeof id);
  id.Data3 = static_cast<WORD>((id.Data3 & 0x0FFF) | 0x4000);  // a random identifier
  id.Data4[0] = static_cast<BYTE>((id.Data4[0] & 0x3F) | 0x80);
  return id;
}

DWORD SeedOf(REFGUID id) {
  DWORD words[4];
  std::memcpy(words, &id, sizeof words);
  return words[0] ^ words[1] ^ words[2] ^ words[3];
}

DWORD RotateLeft3(DWORD value) { return (value << 3) | (value >> 29); }

// The seed of a proposed path: its volume's identity when it lies on a mounted storage volume.
DWORD VolumeSeed(std::string_view path) {
  if (path.size() < 2 || path[0] != '\\') return 1;
  const size_t second = path.find('\\', 1);
  if (second == std::string_view::npos) return 1;
  const std::u16string root = Utf8ToWide(path.substr(0, second));
  const DWORD attributes = GetFileAttributesW(root.c_str());
  constexpr DWORD kVolume = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY;
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & kVolume) != kVolume) return 1;
  GUID id{};
  VolumeIdentity(root, &id);
  return SeedOf(id);
}

void DeleteLeftovers() {
  const std::u16string folder = TempFolder();
  WIN32_FIND_DATAW found{};
  // "kstrzb_*" is what the device's "kstrzb_*.*" matches: names with or without a dot.
  HANDLE search = FindFirstFileW((folder + Utf8ToWide(kTempPrefix) + u"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW((folder + found.cFileName).c_str());
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

}  // namespace

bool VolumeIdentity(std::u16string_view root, GUID* id) {
  const std::u16string folder(root);
  if (ReadIdentityFile(folder + u"\\WMPInfo.xml", id) || ReadIdentityFile(folder + u"\\ZBInfo.xml", id)) return true;
  *id = RandomGuid();
  WriteIdentityFile(folder + u"\\ZBInfo.xml", *id);
  return false;
}

void NameTempFile(char* path, int size) {
  if (!path || size <= 0) return;
  const std::string_view proposed(path, strnlen(path, static_cast<size_t>(size)));
  const size_t lastSlash = proposed.rfind('\\');
  if (lastSlash == std::string_view::npos) return;
  DWORD seed = VolumeSeed(proposed);
  for (size_t i = 0; i <= lastSlash; ++i) {
    seed = RotateLeft3(seed ^ static_cast<DWORD>(static_cast<int>(static_cast<signed char>(proposed[i]))));
  }
  char hex[16];
  std::snprintf(hex, sizeof hex, "-%X", static_cast<unsigned>(seed));
  const std::string named = WideToUtf8(TempFolder()) + std::string(proposed.substr(lastSlash + 1)) + hex;
  if (named.size() >= static_cast<size_t>(size)) return;  // would not fit: SQLite's name stays
  std::memcpy(path, named.c_str(), named.size() + 1);
}

void InstallTempFileNaming() {
  SetTempFileNaming(kTempPrefix, NameTempFile);
  DeleteLeftovers();
}
