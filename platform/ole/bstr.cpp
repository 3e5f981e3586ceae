// BSTRs: counted, terminated UTF-16 strings. The byte count sits in the 4 bytes before the first
// character, behind 4 bytes of padding that keep the characters 8-byte aligned.
#include <cstdlib>
#include <cstring>
#include <oleauto.h>
#include <windows.h>

namespace {

constexpr size_t kHeader = 8;
constexpr UINT kMaxLength = (0xFFFFFFFFu - kHeader - sizeof(OLECHAR)) / sizeof(OLECHAR);

unsigned char* BlockOf(BSTR text) { return reinterpret_cast<unsigned char*>(text) - kHeader; }

}  // namespace

extern "C" BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
  if (length > kMaxLength) return nullptr;
  const uint32_t bytes = length * static_cast<uint32_t>(sizeof(OLECHAR));
  auto* block = static_cast<unsigned char*>(std::malloc(kHeader + bytes + sizeof(OLECHAR)));
  if (!block) return nullptr;
  std::memset(block, 0, 4);
  std::memcpy(block + 4, &bytes, 4);
  BSTR s = reinterpret_cast<BSTR>(block + kHeader);
  if (text) {
    std::memcpy(s, text, bytes);
  } else {
    std::memset(s, 0, bytes);
  }
  s[length] = 0;
  return s;
}

extern "C" BSTR SysAllocString(const OLECHAR* text) {
  if (!text) return nullptr;
  size_t length = wcslen(text);
  return length > kMaxLength ? nullptr : SysAllocStringLen(text, static_cast<UINT>(length));
}

extern "C" void SysFreeString(BSTR text) {
  if (text) std::free(BlockOf(text));
}

extern "C" UINT SysStringLen(BSTR text) {
  if (!text) return 0;
  uint32_t bytes = 0;
  std::memcpy(&bytes, BlockOf(text) + 4, 4);
  return bytes / sizeof(OLECHAR);
}
