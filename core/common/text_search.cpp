// Case-insensitive search: the walk only stops to compare where the first character matches in
// either case, which keeps the common miss cheap.
#include "core/common/text_search.h"

#include <cctype>
#include <cstring>

namespace {

char ToLowerNarrow(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }
char ToUpperNarrow(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

bool EqualNoCaseNarrow(const char* a, const char* b, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    if (ToLowerNarrow(a[i]) != ToLowerNarrow(b[i])) return false;
  }
  return true;
}

template <class C, class Lower, class Upper, class Equal>
const C* FindNoCase(const C* text, const C* pattern, size_t textLength, size_t patternLength, Lower lower,
                    Upper upper, Equal equal) {
  if (!text || !pattern || textLength == 0 || patternLength == 0 || patternLength > textLength) return nullptr;
  const C first = lower(pattern[0]);
  const C firstUpper = upper(first);
  for (size_t at = 0; at + patternLength <= textLength; ++at) {
    if ((text[at] == first || text[at] == firstUpper) && equal(text + at, pattern, patternLength)) return text + at;
  }
  return nullptr;
}

}  // namespace

const WCHAR* WStrFindNoCase(const WCHAR* text, const WCHAR* pattern) {
  if (!text || !pattern) return nullptr;
  return FindNoCase(
      text, pattern, wcslen(text), wcslen(pattern), [](WCHAR c) { return towlower(c); },
      [](WCHAR c) { return towupper(c); },
      [](const WCHAR* a, const WCHAR* b, size_t n) { return _wcsnicmp(a, b, n) == 0; });
}

const char* StrFindNoCase(const char* text, const char* pattern) {
  if (!text || !pattern) return nullptr;
  return FindNoCase(text, pattern, std::strlen(text), std::strlen(pattern), ToLowerNarrow, ToUpperNarrow,
                    EqualNoCaseNarrow);
}
