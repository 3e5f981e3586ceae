// Finding and loading resources, and string tables. A loaded resource is its bytes in the
// module's table, valid while the module is loaded, as on the device.
#include <algorithm>
#include <windows.h>

#include "coredll/resource_gwes.h"
#include "coredll/resource_tables.h"

using namespace zb::res;

extern "C" HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type) {
  std::vector<BlobView> tables;
  if (!TablesOf(module, &tables)) return nullptr;
  return Find(tables, name, type);
}

extern "C" HGLOBAL LoadResource(HMODULE, HRSRC resource) {
  uint32_t size = 0;
  return const_cast<uint8_t*>(DataOf(resource, &size));
}

extern "C" LPVOID LockResource(HGLOBAL resource) { return resource; }

extern "C" DWORD SizeofResource(HMODULE, HRSRC resource) {
  uint32_t size = 0;
  return DataOf(resource, &size) ? size : 0;
}

extern "C" int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int size) {
  if (!buffer || size < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (size > 0) buffer[0] = 0;
  std::vector<BlobView> tables;
  if (!TablesOf(instance, &tables)) return 0;
  HRSRC block = Find(tables, MAKEINTRESOURCEW((id >> 4) + 1), RT_STRING);
  uint32_t bytes = 0;
  const uint8_t* p = block ? DataOf(block, &bytes) : nullptr;
  if (!p) return 0;
  // Walk to the id's string; every length is checked against the block.
  const uint8_t* end = p + bytes;
  uint32_t length = 0;
  for (UINT i = 0; i <= (id & 15); ++i) {
    if (end - p < 2) return 0;
    length = ReadU16(p);
    p += 2;
    if (static_cast<uint32_t>(end - p) / 2 < length) return 0;
    if (i < (id & 15)) p += 2 * length;
  }
  if (length == 0) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return 0;
  }
  auto text = reinterpret_cast<const WCHAR*>(p);
  if (size == 0) {  // the string in place, as the device's callers may ask
    *reinterpret_cast<const WCHAR**>(buffer) = text;
    return static_cast<int>(length);
  }
  int copied = static_cast<int>(std::min<uint32_t>(length, static_cast<uint32_t>(size - 1)));
  std::copy_n(text, copied, buffer);
  buffer[copied] = 0;
  return copied;
}

namespace zb::res {

const uint8_t* FindData(HMODULE module, LPCWSTR name, LPCWSTR type, uint32_t* size) {
  *size = 0;
  HRSRC found = FindResourceW(module, name, type);
  return found ? DataOf(found, size) : nullptr;
}

}  // namespace zb::res
