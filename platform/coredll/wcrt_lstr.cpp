// The Win32 string helpers: lstr* (which take NULL as an empty or failed string instead of
// faulting, as the device's do), stepping through text, and in-place case mapping.
#include <windows.h>

#include <cstdint>

#include "device/text.h"

namespace {

const char16_t* OrEmpty(LPCWSTR s) { return s ? s : u""; }

// CharUpperW and CharLowerW take a single character in place of a pointer below 0x10000.
bool IsSingleChar(LPCWSTR p) { return (reinterpret_cast<uintptr_t>(p) >> 16) == 0; }

template <char16_t (*Map)(char16_t)>
LPWSTR MapInPlace(LPWSTR text) {
  if (IsSingleChar(text)) {
    auto c = static_cast<char16_t>(reinterpret_cast<uintptr_t>(text));
    return reinterpret_cast<LPWSTR>(static_cast<uintptr_t>(Map(c)));
  }
  for (char16_t* p = text; *p; ++p) *p = Map(*p);
  return text;
}

template <char16_t (*Map)(char16_t)>
DWORD MapBuffer(LPWSTR text, DWORD length) {
  if (!text) return 0;
  for (DWORD i = 0; i < length; ++i) text[i] = Map(text[i]);
  return length;
}

}  // namespace

extern "C" int WINAPI lstrlenW(LPCWSTR s) { return s ? static_cast<int>(wcslen(s)) : 0; }

extern "C" LPWSTR WINAPI lstrcpyW(LPWSTR dst, LPCWSTR src) { return dst && src ? wcscpy(dst, src) : nullptr; }

extern "C" LPWSTR WINAPI lstrcpynW(LPWSTR dst, LPCWSTR src, int max) {
  if (!dst || !src) return nullptr;
  if (max <= 0) return dst;
  size_t n = wcsnlen(src, static_cast<size_t>(max) - 1);
  for (size_t i = 0; i < n; ++i) dst[i] = src[i];
  dst[n] = 0;
  return dst;
}

extern "C" LPWSTR WINAPI lstrcatW(LPWSTR dst, LPCWSTR src) { return dst && src ? wcscat(dst, src) : nullptr; }

extern "C" int WINAPI lstrcmpW(LPCWSTR a, LPCWSTR b) { return wcscmp(OrEmpty(a), OrEmpty(b)); }

extern "C" int WINAPI lstrcmpiW(LPCWSTR a, LPCWSTR b) { return _wcsicmp(OrEmpty(a), OrEmpty(b)); }

extern "C" LPWSTR WINAPI CharNextW(LPCWSTR current) {
  if (!current || !*current) return const_cast<LPWSTR>(current);
  size_t step = zb::IsHighSurrogate(current[0]) && zb::IsLowSurrogate(current[1]) ? 2 : 1;
  return const_cast<LPWSTR>(current + step);
}

extern "C" LPWSTR WINAPI CharPrevW(LPCWSTR start, LPCWSTR current) {
  if (!start || !current || current <= start) return const_cast<LPWSTR>(start);
  const char16_t* p = current - 1;
  if (p > start && zb::IsLowSurrogate(*p) && zb::IsHighSurrogate(p[-1])) --p;
  return const_cast<LPWSTR>(p);
}

extern "C" LPWSTR WINAPI CharUpperW(LPWSTR text) { return MapInPlace<zb::ToUpper>(text); }
extern "C" LPWSTR WINAPI CharLowerW(LPWSTR text) { return MapInPlace<zb::ToLower>(text); }
extern "C" DWORD WINAPI CharUpperBuffW(LPWSTR text, DWORD length) { return MapBuffer<zb::ToUpper>(text, length); }
extern "C" DWORD WINAPI CharLowerBuffW(LPWSTR text, DWORD length) { return MapBuffer<zb::ToLower>(text, length); }
