// The wide string functions of the C runtime over char16_t. Case-insensitive compares fold to
// upper case and then compare code units, as the device does (so '_' sorts after letters).
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string_view>

#include "device/text.h"

namespace {

int Sign(int v) { return (v > 0) - (v < 0); }

bool InSet(char16_t c, const char16_t* set) {
  for (; *set; ++set) {
    if (*set == c) return true;
  }
  return false;
}

}  // namespace

size_t wcslen(const char16_t* s) { return std::char_traits<char16_t>::length(s); }

size_t wcsnlen(const char16_t* s, size_t max) {
  size_t n = 0;
  while (n < max && s[n]) ++n;
  return n;
}

char16_t* wcscpy(char16_t* dst, const char16_t* src) {
  std::memmove(dst, src, (wcslen(src) + 1) * sizeof(char16_t));
  return dst;
}

char16_t* wcsncpy(char16_t* dst, const char16_t* src, size_t count) {
  size_t n = wcsnlen(src, count);
  std::memmove(dst, src, n * sizeof(char16_t));
  for (size_t i = n; i < count; ++i) dst[i] = 0;
  return dst;
}

char16_t* wcscat(char16_t* dst, const char16_t* src) {
  wcscpy(dst + wcslen(dst), src);
  return dst;
}

char16_t* wcsncat(char16_t* dst, const char16_t* src, size_t count) {
  char16_t* end = dst + wcslen(dst);
  size_t n = wcsnlen(src, count);
  std::memmove(end, src, n * sizeof(char16_t));
  end[n] = 0;
  return dst;
}

int wcscmp(const char16_t* a, const char16_t* b) { return Sign(std::u16string_view(a).compare(b)); }

int wcsncmp(const char16_t* a, const char16_t* b, size_t count) {
  return Sign(std::u16string_view(a, wcsnlen(a, count)).compare(std::u16string_view(b, wcsnlen(b, count))));
}

int _wcsicmp(const char16_t* a, const char16_t* b) { return zb::CompareNoCase(a, b); }

int _wcsnicmp(const char16_t* a, const char16_t* b, size_t count) {
  return zb::CompareNoCase({a, wcsnlen(a, count)}, {b, wcsnlen(b, count)});
}

const char16_t* wcschr(const char16_t* s, char16_t c) {
  for (;; ++s) {
    if (*s == c) return s;
    if (!*s) return nullptr;
  }
}
char16_t* wcschr(char16_t* s, char16_t c) { return const_cast<char16_t*>(wcschr(static_cast<const char16_t*>(s), c)); }

const char16_t* wcsrchr(const char16_t* s, char16_t c) {
  const char16_t* found = nullptr;
  for (;; ++s) {
    if (*s == c) found = s;
    if (!*s) return found;
  }
}
char16_t* wcsrchr(char16_t* s, char16_t c) {
  return const_cast<char16_t*>(wcsrchr(static_cast<const char16_t*>(s), c));
}

const char16_t* wcsstr(const char16_t* s, const char16_t* find) {
  std::u16string_view text(s);
  size_t at = text.find(find);
  return at == std::u16string_view::npos ? nullptr : s + at;
}
char16_t* wcsstr(char16_t* s, const char16_t* find) {
  return const_cast<char16_t*>(wcsstr(static_cast<const char16_t*>(s), find));
}

const char16_t* wcspbrk(const char16_t* s, const char16_t* set) {
  for (; *s; ++s) {
    if (InSet(*s, set)) return s;
  }
  return nullptr;
}
char16_t* wcspbrk(char16_t* s, const char16_t* set) {
  return const_cast<char16_t*>(wcspbrk(static_cast<const char16_t*>(s), set));
}

size_t wcsspn(const char16_t* s, const char16_t* set) {
  size_t n = 0;
  while (s[n] && InSet(s[n], set)) ++n;
  return n;
}

size_t wcscspn(const char16_t* s, const char16_t* set) {
  size_t n = 0;
  while (s[n] && !InSet(s[n], set)) ++n;
  return n;
}

char16_t* wcstok(char16_t* s, const char16_t* delimiters) {
  thread_local char16_t* t_next = nullptr;
  if (!s) s = t_next;
  if (!s) return nullptr;
  s += wcsspn(s, delimiters);
  if (!*s) {
    t_next = nullptr;
    return nullptr;
  }
  char16_t* end = s + wcscspn(s, delimiters);
  if (*end) {
    *end = 0;
    t_next = end + 1;
  } else {
    t_next = nullptr;
  }
  return s;
}

char16_t* _wcsdup(const char16_t* s) {
  if (!s) return nullptr;
  size_t bytes = (wcslen(s) + 1) * sizeof(char16_t);
  auto* copy = static_cast<char16_t*>(std::malloc(bytes));
  if (copy) std::memcpy(copy, s, bytes);
  return copy;
}

char16_t* _wcslwr(char16_t* s) {
  CharLowerBuffW(s, static_cast<DWORD>(wcslen(s)));
  return s;
}

char16_t* _wcsupr(char16_t* s) {
  CharUpperBuffW(s, static_cast<DWORD>(wcslen(s)));
  return s;
}
