// What the host file system cannot hold for a file: the hidden, system and archive bits (and
// read-only for folders, whose host mode must stay writable), and a creation time set by
// SetFileTime. Kept in one table in the state folder, keyed by host path, shared by processes.
#pragma once
#include <cstdint>
#include <filesystem>
#include <windows.h>

namespace zb::files {

struct StoredAttributes {
  DWORD bits = 0;         // FILE_ATTRIBUTE_HIDDEN | _SYSTEM | _ARCHIVE, and _READONLY for folders
  uint64_t creation = 0;  // FILETIME; 0 = the host's own birth time
  bool operator==(const StoredAttributes&) const = default;
};

constexpr DWORD kStoredFileBits = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
constexpr DWORD kStoredFolderBits = kStoredFileBits | FILE_ATTRIBUTE_READONLY;

StoredAttributes LookupAttributes(const std::filesystem::path& host);
// Stores (or, for all-zero attributes, drops) the entry of one path; false when the table
// could not be written (the old one stays).
bool StoreAttributes(const std::filesystem::path& host, const StoredAttributes& attributes);
// Drops the entries of a path and of everything below it (after a delete).
void ForgetAttributes(const std::filesystem::path& host);
// Moves the entries of a path and of everything below it (after a rename).
void MoveAttributes(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace zb::files
