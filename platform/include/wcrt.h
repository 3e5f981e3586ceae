// The wide C runtime over char16_t (the host's wchar_t is 32-bit, so these are the layer's own).
// They are C++ overloads beside libc's wchar_t versions: a char16_t argument always picks ours.
// long is 32-bit on the device, so the l-sized forms and wcstol/wcstoul work in 32 bits.
#pragma once
// The C library's headers come first: the std:: names they declare must refer to libc's
// functions alone, not to the overloads below (or std::stol(wstring) stops compiling).
#include <cstdarg>
#include <cstddef>
#include <cstdlib>
#include <cwchar>
#include <cwctype>

#include "windef.h"

#ifndef EOF
#define EOF (-1)
#endif

// Strings.
size_t wcslen(const char16_t* s);
size_t wcsnlen(const char16_t* s, size_t max);
char16_t* wcscpy(char16_t* dst, const char16_t* src);
char16_t* wcsncpy(char16_t* dst, const char16_t* src, size_t count);
char16_t* wcscat(char16_t* dst, const char16_t* src);
char16_t* wcsncat(char16_t* dst, const char16_t* src, size_t count);
int wcscmp(const char16_t* a, const char16_t* b);
int wcsncmp(const char16_t* a, const char16_t* b, size_t count);
// Case-insensitive compares fold to upper case and then compare code units.
int _wcsicmp(const char16_t* a, const char16_t* b);
int _wcsnicmp(const char16_t* a, const char16_t* b, size_t count);
const char16_t* wcschr(const char16_t* s, char16_t c);
char16_t* wcschr(char16_t* s, char16_t c);
const char16_t* wcsrchr(const char16_t* s, char16_t c);
char16_t* wcsrchr(char16_t* s, char16_t c);
const char16_t* wcsstr(const char16_t* s, const char16_t* find);
char16_t* wcsstr(char16_t* s, const char16_t* find);
const char16_t* wcspbrk(const char16_t* s, const char16_t* set);
char16_t* wcspbrk(char16_t* s, const char16_t* set);
size_t wcsspn(const char16_t* s, const char16_t* set);
size_t wcscspn(const char16_t* s, const char16_t* set);
// The platform's two-argument form; the position is kept per thread.
char16_t* wcstok(char16_t* s, const char16_t* delimiters);
// Allocated with malloc; the caller frees it with free.
char16_t* _wcsdup(const char16_t* s);
char16_t* _wcslwr(char16_t* s);
char16_t* _wcsupr(char16_t* s);
// Converts through the ANSI code page; (size_t)-1 when a character has no byte form there.
size_t wcstombs(char* dst, const char16_t* src, size_t count);

// Numbers.
LONG wcstol(const char16_t* s, char16_t** end, int base);
ULONG wcstoul(const char16_t* s, char16_t** end, int base);
int _wtoi(const char16_t* s);
LONG _wtol(const char16_t* s);
char16_t* _itow(int value, char16_t* buffer, int radix);
char16_t* _ltow(LONG value, char16_t* buffer, int radix);
char16_t* _ultow(ULONG value, char16_t* buffer, int radix);

// Characters.
char16_t towlower(char16_t c);
char16_t towupper(char16_t c);
int iswspace(char16_t c);
int iswdigit(char16_t c);
int iswalpha(char16_t c);
int iswalnum(char16_t c);
int iswupper(char16_t c);
int iswlower(char16_t c);
int iswxdigit(char16_t c);
int iswpunct(char16_t c);
#define _UPPER 0x1
#define _LOWER 0x2
#define _DIGIT 0x4
#define _SPACE 0x8
#define _PUNCT 0x10
#define _CONTROL 0x20
#define _BLANK 0x40
#define _HEX 0x80
#define _ALPHA (0x100 | _UPPER | _LOWER)
int iswctype(char16_t c, unsigned long mask);

// Formatting: %s and %c are wide, %S %hs %C %hc narrow, %ls %ws %lc %wc wide. %n is refused
// (the call fails with -1): it writes through a pointer taken from the argument list.
int swprintf(char16_t* buffer, const char16_t* format, ...);
int vswprintf(char16_t* buffer, const char16_t* format, va_list args);
// Counted forms: at most count units including the terminator; -1 when the text was cut.
int swprintf(char16_t* buffer, size_t count, const char16_t* format, ...);
int vswprintf(char16_t* buffer, size_t count, const char16_t* format, va_list args);
// At most count units; when the text fills the buffer exactly there is no terminator, and when it
// does not fit the result is -1 and the buffer is not terminated either.
int _snwprintf(char16_t* buffer, size_t count, const char16_t* format, ...);
int _vsnwprintf(char16_t* buffer, size_t count, const char16_t* format, va_list args);

// Scanning: the number of fields assigned, or EOF when the input ends before the first one.
int swscanf(const char16_t* input, const char16_t* format, ...);
int vswscanf(const char16_t* input, const char16_t* format, va_list args);

extern "C" {

int WINAPI lstrlenW(LPCWSTR s);
LPWSTR WINAPI lstrcpyW(LPWSTR dst, LPCWSTR src);
LPWSTR WINAPI lstrcpynW(LPWSTR dst, LPCWSTR src, int max);
LPWSTR WINAPI lstrcatW(LPWSTR dst, LPCWSTR src);
int WINAPI lstrcmpW(LPCWSTR a, LPCWSTR b);
int WINAPI lstrcmpiW(LPCWSTR a, LPCWSTR b);

// A surrogate pair is one character to step over.
LPWSTR WINAPI CharNextW(LPCWSTR current);
LPWSTR WINAPI CharPrevW(LPCWSTR start, LPCWSTR current);
// A pointer value below 0x10000 is a single character, and the result is that character mapped.
LPWSTR WINAPI CharUpperW(LPWSTR text);
LPWSTR WINAPI CharLowerW(LPWSTR text);
DWORD WINAPI CharUpperBuffW(LPWSTR text, DWORD length);
DWORD WINAPI CharLowerBuffW(LPWSTR text, DWORD length);
BOOL WINAPI IsCharAlphaW(WCHAR c);
BOOL WINAPI IsCharAlphaNumericW(WCHAR c);
BOOL WINAPI IsCharUpperW(WCHAR c);
BOOL WINAPI IsCharLowerW(WCHAR c);

// Formats at most 1024 characters plus the terminator; there are no floating-point conversions.
int WINAPIV wsprintfW(LPWSTR buffer, LPCWSTR format, ...);
int WINAPI wvsprintfW(LPWSTR buffer, LPCWSTR format, va_list args);

}  // extern "C"
