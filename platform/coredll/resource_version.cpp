// Version information of a file by its device path: the version resource read from the file's
// resource table, and VerQueryValueW walking its tree of nodes (length, value length, type, key,
// value, children on 4-byte boundaries). Paths are matched without case.
#include <algorithm>
#include <cstring>
#include <windows.h>

#include "coredll/resource_tables.h"
#include "device/paths.h"
#include "device/text.h"

namespace zb::res {
namespace {

const uint8_t* VersionOf(LPCWSTR file, uint32_t* size) {
  *size = 0;
  if (!file || !*file) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  uint32_t error = 0;
  auto host = device::ToHost(file, &error);
  if (!host) {
    SetLastError(error ? error : ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  std::vector<BlobView> tables;
  if (!TablesOfFile(*host, &tables)) return nullptr;
  HRSRC found = Find(tables, MAKEINTRESOURCEW(1), RT_VERSION);
  return found ? DataOf(found, size) : nullptr;
}

struct Node {
  const uint8_t* start;
  uint16_t length;
  uint16_t valueLength;
  bool text;
  std::u16string_view key;
  const uint8_t* value;
  const uint8_t* children;
};

size_t Align4(size_t n) { return (n + 3) & ~size_t{3}; }

// The node at `p`, inside [p, end); false when it does not fit.
bool ReadNode(const uint8_t* base, const uint8_t* p, const uint8_t* end, Node* n) {
  if (end - p < 6) return false;
  n->start = p;
  n->length = ReadU16(p);
  n->valueLength = ReadU16(p + 2);
  n->text = ReadU16(p + 4) == 1;
  if (n->length < 6 || n->length > end - p) return false;
  const uint8_t* nodeEnd = p + n->length;
  const uint8_t* k = p + 6;
  size_t chars = 0;
  while (k + 2 * chars + 2 <= nodeEnd && ReadU16(k + 2 * chars) != 0) ++chars;
  if (k + 2 * chars + 2 > nodeEnd) return false;
  n->key = std::u16string_view(reinterpret_cast<const char16_t*>(k), chars);
  n->value = base + Align4(static_cast<size_t>(k + 2 * chars + 2 - base));
  size_t valueBytes = n->text ? 2u * n->valueLength : n->valueLength;
  if (n->value > nodeEnd || valueBytes > static_cast<size_t>(nodeEnd - n->value)) return false;
  n->children = base + Align4(static_cast<size_t>(n->value + valueBytes - base));
  return true;
}

}  // namespace
}  // namespace zb::res

using namespace zb::res;

extern "C" DWORD GetFileVersionInfoSizeW(LPCWSTR file, LPDWORD handle) {
  if (handle) *handle = 0;
  uint32_t size = 0;
  return VersionOf(file, &size) ? size : 0;
}

extern "C" BOOL GetFileVersionInfoW(LPCWSTR file, DWORD, DWORD size, LPVOID data) {
  if (!data) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  uint32_t have = 0;
  const uint8_t* version = VersionOf(file, &have);
  if (!version) return FALSE;
  std::memcpy(data, version, std::min<size_t>(size, have));
  return TRUE;
}

extern "C" BOOL VerQueryValueW(const LPVOID block, LPCWSTR subBlock, LPVOID* buffer, PUINT length) {
  if (length) *length = 0;
  if (!block || !subBlock || !buffer) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const auto* base = static_cast<const uint8_t*>(block);
  Node node;
  if (!ReadNode(base, base, base + ReadU16(base), &node)) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  // Each "\"-separated part names a child of the node before it.
  std::u16string_view path(subBlock);
  while (!path.empty()) {
    size_t cut = path.find(u'\\');
    std::u16string_view part = path.substr(0, cut);
    path.remove_prefix(cut == std::u16string_view::npos ? path.size() : cut + 1);
    if (part.empty()) continue;
    const uint8_t* end = node.start + node.length;
    const uint8_t* child = node.children;
    bool found = false;
    while (child + 6 <= end) {
      Node c;
      if (!ReadNode(base, child, end, &c)) break;
      if (zb::EqualNoCase(c.key, part)) {
        node = c;
        found = true;
        break;
      }
      child = base + Align4(static_cast<size_t>(child + c.length - base));
    }
    if (!found) {
      SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
      return FALSE;
    }
  }
  *buffer = const_cast<uint8_t*>(node.value);
  if (length) *length = node.valueLength;
  return TRUE;
}
