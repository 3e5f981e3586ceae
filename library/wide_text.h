// Small text routines the library needs over char16_t: case-blind compare and search, the
// platform's space class, "%d"/"%f"-style number reading. Inside the library only.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

namespace zblib {

WCHAR FoldUpper(WCHAR c);
WCHAR FoldLower(WCHAR c);
inline bool HasCase(WCHAR c) { return FoldUpper(c) != FoldLower(c); }
bool IsSpace(WCHAR c);
// Appends the text to `out` with every unit folded by FoldUpper.
void AppendFoldedUpper(std::u16string& out, std::u16string_view text);

int CompareNoCase(std::u16string_view a, std::u16string_view b);
// Folding keeps every unit a unit, so texts of different lengths never compare equal.
inline bool EqualNoCase(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() && CompareNoCase(a, b) == 0;
}
// Position of the first match at or after `from`, or npos.
size_t FindNoCase(std::u16string_view text, std::u16string_view needle, size_t from = 0);
bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix);

std::u16string_view Trim(std::u16string_view text);
std::u16string Widen(std::string_view ascii);

// "%d": optional white space, an optional sign and at least one digit; wraps like the device's
// runtime on overflow. `used` (optional) receives the characters read.
bool ScanInt(std::u16string_view text, LONG* value, size_t* used = nullptr);
// "%f": optional white space, then a decimal or exponent number.
bool ScanFloat(std::u16string_view text, float* value);

inline std::u16string_view View(LPCWSTR text) { return text ? std::u16string_view(text) : std::u16string_view(); }

}  // namespace zblib

#include <oleauto.h>
namespace zblib {
// A new BSTR with the text; E_OUTOFMEMORY (and null) when it cannot be made.
HRESULT NewBstr(std::u16string_view text, BSTR* out);
}  // namespace zblib
