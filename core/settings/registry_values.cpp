// Registry value helpers. A value of the wrong type or size counts as missing, so a damaged or
// foreign value never lands half-read in a field.
#include "core/settings/registry_values.h"

LONG RegKey::Create(HKEY parent, const WCHAR* name) {
  Close();
  LONG result = RegCreateKeyExW(parent, name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
  if (result != ERROR_SUCCESS) key_ = nullptr;
  return result;
}

LONG RegKey::Open(HKEY parent, const WCHAR* name, REGSAM access) {
  Close();
  LONG result = RegOpenKeyExW(parent, name, 0, access, &key_);
  if (result != ERROR_SUCCESS) key_ = nullptr;
  return result;
}

LONG RegKey::Close() {
  if (!key_) return ERROR_SUCCESS;
  HKEY key = key_;
  key_ = nullptr;
  return RegCloseKey(key);
}

bool ReadRegDword(HKEY key, const WCHAR* name, DWORD* value) {
  DWORD type = 0, data = 0, size = sizeof data;
  if (!key || RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) != ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof data) {
    return false;
  }
  *value = data;
  return true;
}

bool ReadRegText(HKEY key, const WCHAR* name, WCHAR* out, size_t chars) {
  if (!key || chars == 0) return false;
  std::u16string text;
  if (!ReadRegText(key, name, &text, chars - 1)) return false;
  wcscpy(out, text.c_str());
  return true;
}

bool ReadRegText(HKEY key, const WCHAR* name, std::u16string* out, size_t maxChars) {
  DWORD type = 0, size = 0;
  if (!key || RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ) {
    return false;
  }
  std::u16string text(size / sizeof(WCHAR) + 1, u'\0');
  DWORD got = size;
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &got) != ERROR_SUCCESS ||
      type != REG_SZ || got > size) {
    return false;
  }
  text.resize(got / sizeof(WCHAR));
  const size_t end = text.find(u'\0');
  if (end != std::u16string::npos) text.resize(end);
  if (text.size() > maxChars) return false;
  *out = std::move(text);
  return true;
}

bool ReadRegBinary(HKEY key, const WCHAR* name, std::vector<BYTE>* out) {
  DWORD type = 0, size = 0;
  if (!key || RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_BINARY) {
    return false;
  }
  std::vector<BYTE> data(size);
  DWORD got = size;
  if (RegQueryValueExW(key, name, nullptr, &type, data.data(), &got) != ERROR_SUCCESS || type != REG_BINARY ||
      got > size) {
    return false;
  }
  data.resize(got);
  *out = std::move(data);
  return true;
}

bool ValueExists(HKEY key, const WCHAR* name) {
  return key && RegQueryValueExW(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

LONG WriteRegDword(HKEY key, const WCHAR* name, DWORD value) {
  return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

LONG WriteRegText(HKEY key, const WCHAR* name, const WCHAR* text) {
  if (!text) text = u"";
  return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                        static_cast<DWORD>((wcslen(text) + 1) * sizeof(WCHAR)));
}

LONG WriteRegBinary(HKEY key, const WCHAR* name, const void* data, DWORD size) {
  return RegSetValueExW(key, name, 0, REG_BINARY, static_cast<const BYTE*>(data), size);
}
