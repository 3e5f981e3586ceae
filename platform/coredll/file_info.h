// What the platform reports about a file or folder (attributes, three times, size, object id),
// made from the host's stat and the attribute table.
#pragma once
#include <cstdint>
#include <filesystem>
#include <optional>
#include <windows.h>

namespace zb::files {

// Storage cards are folders with the temporary bit: that is how device code tells them apart.
constexpr DWORD kStorageCardAttributes = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY;

struct FileInfo {
  DWORD attributes = 0;
  uint64_t creation = 0;  // FILETIME values
  uint64_t access = 0;
  uint64_t write = 0;
  uint64_t size = 0;      // 0 for folders
  DWORD oid = 0;
  bool directory = false;
  bool readOnly = false;  // a file whose host mode has no write bit
};

// Of a host path (links followed); nullopt with *error set when it cannot be stat'ed.
std::optional<FileInfo> DescribeHost(const std::filesystem::path& host, DWORD* error);
// Of an open file; `host` names it in the attribute table.
std::optional<FileInfo> DescribeOpen(int fd, const std::filesystem::path& host, DWORD* error);

}  // namespace zb::files
