// Interim BSTR allocation for the library (see bstr.h): a 32-bit byte count, the text and a
// terminator, in one block; the BSTR points just past the count.
#include "bstr.h"

#include <cstdlib>
#include <cstring>

extern "C" BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
  if (length > (0x7FFFFFFFu - sizeof(DWORD) - sizeof(OLECHAR)) / sizeof(OLECHAR)) return nullptr;
  const DWORD bytes = length * sizeof(OLECHAR);
  auto* block = static_cast<BYTE*>(std::malloc(sizeof(DWORD) + bytes + sizeof(OLECHAR)));
  if (!block) return nullptr;
  std::memcpy(block, &bytes, sizeof(bytes));
  BSTR result = reinterpret_cast<BSTR>(block + sizeof(DWORD));
  if (text) std::memcpy(result, text, bytes);
  else std::memset(result, 0, bytes);
  result[length] = 0;
  return result;
}

extern "C" BSTR SysAllocString(const OLECHAR* text) {
  if (!text) return nullptr;
  UINT length = 0;
  while (text[length]) ++length;
  return SysAllocStringLen(text, length);
}

extern "C" void SysFreeString(BSTR text) {
  if (text) std::free(reinterpret_cast<BYTE*>(text) - sizeof(DWORD));
}

extern "C" UINT SysStringLen(BSTR text) {
  if (!text) return 0;
  DWORD bytes;
  std::memcpy(&bytes, reinterpret_cast<BYTE*>(text) - sizeof(DWORD), sizeof(bytes));
  return bytes / sizeof(OLECHAR);
}
