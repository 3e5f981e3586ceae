// Typed reads and writes of single registry values, with the checks the settings, the
// associations and the bookmarks all need: the stored type must match and a text must fit its
// buffer with its terminator, or the read fails and the caller keeps its default.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// An open registry key, closed at the end of its scope.
class RegKey {
 public:
  RegKey() = default;
  ~RegKey() { Close(); }
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;

  // Opens the key, creating it when needed; the error of RegCreateKeyExW.
  LONG Create(HKEY parent, const WCHAR* name);
  LONG Open(HKEY parent, const WCHAR* name, REGSAM access = KEY_ALL_ACCESS);
  // The result of RegCloseKey (ERROR_SUCCESS when nothing was open).
  LONG Close();
  HKEY get() const { return key_; }
  explicit operator bool() const { return key_ != nullptr; }

 private:
  HKEY key_ = nullptr;
};

// A REG_DWORD of exactly four bytes.
bool ReadRegDword(HKEY key, const WCHAR* name, DWORD* value);
// A REG_SZ that fits `chars` characters with its terminator (one is added when the data has none).
bool ReadRegText(HKEY key, const WCHAR* name, WCHAR* out, size_t chars);
bool ReadRegText(HKEY key, const WCHAR* name, std::u16string* out, size_t maxChars);
// A REG_BINARY of any size.
bool ReadRegBinary(HKEY key, const WCHAR* name, std::vector<BYTE>* out);
bool ValueExists(HKEY key, const WCHAR* name);

LONG WriteRegDword(HKEY key, const WCHAR* name, DWORD value);
// REG_SZ with its terminator counted.
LONG WriteRegText(HKEY key, const WCHAR* name, const WCHAR* text);
LONG WriteRegBinary(HKEY key, const WCHAR* name, const void* data, DWORD size);
