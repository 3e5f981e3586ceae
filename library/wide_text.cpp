// The library's text routines on the platform's wide runtime: case folding and the space class
// are the platform's own, so the library compares and trims text as the rest of the device does.
#include "wide_text.h"

#include <algorithm>
#include <string>

namespace zblib {

namespace {

// The platform's answers for the ASCII range, asked once: the library folds and trims whole
// libraries a character at a time, and a call into the runtime for each dominated its queries.
struct AsciiClasses {
  WCHAR upper[128];
  WCHAR lower[128];
  bool space[128];
  AsciiClasses() {
    for (WCHAR c = 0; c < 128; ++c) {
      upper[c] = towupper(c);
      lower[c] = towlower(c);
      space[c] = iswspace(c) != 0;
    }
  }
};

const AsciiClasses& Ascii() {
  static const AsciiClasses classes;
  return classes;
}

inline WCHAR Upper(const AsciiClasses& ascii, WCHAR c) { return c < 128 ? ascii.upper[c] : towupper(c); }

}  // namespace

WCHAR FoldUpper(WCHAR c) { return Upper(Ascii(), c); }
WCHAR FoldLower(WCHAR c) { return c < 128 ? Ascii().lower[c] : towlower(c); }
bool IsSpace(WCHAR c) { return c < 128 ? Ascii().space[c] : iswspace(c) != 0; }

void AppendFoldedUpper(std::u16string& out, std::u16string_view text) {
  const AsciiClasses& ascii = Ascii();
  const size_t at = out.size();
  out.resize(at + text.size());
  std::transform(text.begin(), text.end(), out.begin() + static_cast<std::ptrdiff_t>(at),
                 [&](WCHAR c) { return Upper(ascii, c); });
}

// As _wcsicmp compares, but over counted text that may hold no terminator.
int CompareNoCase(std::u16string_view a, std::u16string_view b) {
  const size_t n = std::min(a.size(), b.size());
  const AsciiClasses& ascii = Ascii();
  for (size_t i = 0; i < n; ++i) {
    const WCHAR x = Upper(ascii, a[i]), y = Upper(ascii, b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

size_t FindNoCase(std::u16string_view text, std::u16string_view needle, size_t from) {
  if (needle.size() > text.size()) return std::u16string_view::npos;
  const AsciiClasses& ascii = Ascii();
  for (size_t i = from; i + needle.size() <= text.size(); ++i) {
    size_t k = 0;
    while (k < needle.size() && Upper(ascii, text[i + k]) == Upper(ascii, needle[k])) ++k;
    if (k == needle.size()) return i;
  }
  return std::u16string_view::npos;
}

bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix) {
  return text.size() >= prefix.size() && EqualNoCase(text.substr(0, prefix.size()), prefix);
}

std::u16string_view Trim(std::u16string_view text) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsSpace(text[begin])) ++begin;
  while (end > begin && IsSpace(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

std::u16string Widen(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

bool ScanInt(std::u16string_view text, LONG* value, size_t* used) {
  const std::u16string terminated(text);
  LONG v = 0;
  int consumed = 0;
  if (swscanf(terminated.c_str(), u"%d%n", &v, &consumed) != 1) return false;
  *value = v;
  if (used) *used = static_cast<size_t>(consumed);
  return true;
}

bool ScanFloat(std::u16string_view text, float* value) {
  const std::u16string terminated(text);
  float v = 0;
  if (swscanf(terminated.c_str(), u"%f", &v) != 1) return false;
  *value = v;
  return true;
}

}  // namespace zblib

namespace zblib {
HRESULT NewBstr(std::u16string_view text, BSTR* out) {
  *out = text.size() > 0x3FFFFFFF ? nullptr : SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}
}  // namespace zblib
