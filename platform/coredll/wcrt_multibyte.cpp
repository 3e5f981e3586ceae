// wcstombs: wide text to narrow text in the ANSI page, never cutting a double-byte character.
#include <windows.h>

#include <cstring>
#include <string>

#include "coredll/codepage.h"

size_t wcstombs(char* dst, const char16_t* src, size_t count) {
  std::string bytes;
  if (!zb::WideToAnsi(src, bytes)) return static_cast<size_t>(-1);
  if (!dst) return bytes.size();
  const zb::CodePage* page = zb::FindCodePage(CP_ACP);
  size_t n = 0;
  while (n < bytes.size()) {
    size_t step = page && zb::IsLeadByte(*page, static_cast<BYTE>(bytes[n])) ? 2 : 1;
    if (n + step > count) break;
    n += step;
  }
  std::memcpy(dst, bytes.data(), n);
  if (n < count) dst[n] = 0;
  return n;
}
