// Character classes and case for single UTF-16 units, for the C runtime (towupper, isw*) and
// the Win32 tests (IsCharAlphaW ...). All of them read one table, the host's Unicode classes.
#include <windows.h>

#include "device/text.h"

namespace {

int Has(char16_t c, unsigned mask) { return (zb::CharClass(c) & mask) != 0; }

}  // namespace

char16_t towlower(char16_t c) { return zb::ToLower(c); }
char16_t towupper(char16_t c) { return zb::ToUpper(c); }
int iswspace(char16_t c) { return Has(c, zb::kClassSpace); }
int iswdigit(char16_t c) { return Has(c, zb::kClassDigit); }
int iswalpha(char16_t c) { return Has(c, zb::kClassAlpha); }
int iswalnum(char16_t c) { return Has(c, zb::kClassAlpha | zb::kClassDigit); }
int iswupper(char16_t c) { return Has(c, zb::kClassUpper); }
int iswlower(char16_t c) { return Has(c, zb::kClassLower); }
int iswxdigit(char16_t c) { return Has(c, zb::kClassHexDigit); }
int iswpunct(char16_t c) { return Has(c, zb::kClassPunct); }
int iswctype(char16_t c, unsigned long mask) { return Has(c, static_cast<unsigned>(mask)); }

extern "C" BOOL WINAPI IsCharAlphaW(WCHAR c) { return Has(c, zb::kClassAlpha); }
extern "C" BOOL WINAPI IsCharAlphaNumericW(WCHAR c) { return Has(c, zb::kClassAlpha | zb::kClassDigit); }
extern "C" BOOL WINAPI IsCharUpperW(WCHAR c) { return Has(c, zb::kClassUpper); }
extern "C" BOOL WINAPI IsCharLowerW(WCHAR c) { return Has(c, zb::kClassLower); }
