// Case folding comes from the layer's single case table, so the library compares text exactly
// the way the platform's own case-blind functions do.
#include "wide_text.h"

#include <cctype>
#include <cstdlib>
#include <string>

#include "device/text.h"

namespace zblib {

WCHAR FoldUpper(WCHAR c) { return zb::ToUpper(c); }
WCHAR FoldLower(WCHAR c) { return zb::ToLower(c); }

bool IsSpace(WCHAR c) {
  return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F ||
         c == 0x3000;
}

int CompareNoCase(std::u16string_view a, std::u16string_view b) { return zb::CompareNoCase(a, b); }

size_t FindNoCase(std::u16string_view text, std::u16string_view needle, size_t from) {
  if (needle.size() > text.size()) return std::u16string_view::npos;
  for (size_t i = from; i + needle.size() <= text.size(); ++i) {
    size_t k = 0;
    while (k < needle.size() && FoldUpper(text[i + k]) == FoldUpper(needle[k])) ++k;
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
  size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  size_t digits = i;
  uint32_t result = 0;
  while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') result = result * 10 + (text[i++] - u'0');
  if (i == digits) return false;
  if (negative) result = 0u - result;
  *value = static_cast<LONG>(result);
  if (used) *used = i;
  return true;
}

bool ScanFloat(std::u16string_view text, float* value) {
  size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  std::string narrow;
  for (; i < text.size() && text[i] < 0x80 && narrow.size() < 256; ++i) {
    char c = static_cast<char>(text[i]);
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '+' && c != '-') break;
    narrow += c;
  }
  if (narrow.empty()) return false;
  char* end = nullptr;
  float result = std::strtof(narrow.c_str(), &end);
  if (end == narrow.c_str()) return false;
  *value = result;
  return true;
}

}  // namespace zblib

namespace zblib {
HRESULT NewBstr(std::u16string_view text, BSTR* out) {
  *out = text.size() > 0x3FFFFFFF ? nullptr : SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}
}  // namespace zblib
