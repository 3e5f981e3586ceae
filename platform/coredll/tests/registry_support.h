// What the registry tests share: a fresh device per test, open keys that close themselves, and
// ways to read values back, to look at the file and to make this process read the file anew.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>
#include <windows.h>

#include "device/device.h"
#include "device/text.h"
#include "testing/test_device.h"

namespace zb::testing {

// An HKEY that is closed when it goes out of scope.
class ScopedKey {
 public:
  ScopedKey() = default;
  explicit ScopedKey(HKEY key) : key_(key) {}
  ~ScopedKey() {
    if (key_) RegCloseKey(key_);
  }
  ScopedKey(const ScopedKey&) = delete;
  ScopedKey& operator=(const ScopedKey&) = delete;
  HKEY get() const { return key_; }
  PHKEY out() { return &key_; }

 private:
  HKEY key_ = nullptr;
};

struct RegValue {
  DWORD type = 0;
  std::vector<BYTE> data;
  bool operator==(const RegValue&) const = default;
};

inline void PrintTo(const RegValue& value, std::ostream* out) {
  *out << "type " << value.type << ", " << value.data.size() << " bytes:";
  for (size_t i = 0; i < value.data.size() && i < 32; ++i) *out << ' ' << int(value.data[i]);
}

// UTF-16 text as the bytes the registry stores, little-endian, with or without terminator.
inline std::vector<BYTE> Utf16Bytes(std::u16string_view text) {
  std::vector<BYTE> bytes;
  for (char16_t c : text) {
    bytes.push_back(static_cast<BYTE>(c & 0xFF));
    bytes.push_back(static_cast<BYTE>(c >> 8));
  }
  return bytes;
}
inline std::vector<BYTE> SzBytes(std::u16string_view text) { return Utf16Bytes(std::u16string(text) + u'\0'); }
inline std::vector<BYTE> DwordBytes(DWORD v) { return {BYTE(v), BYTE(v >> 8), BYTE(v >> 16), BYTE(v >> 24)}; }

inline std::string ReadHostFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Replaces a file the way another process's save does: a new file renamed into place.
inline void ReplaceHostFile(const std::filesystem::path& path, std::string_view text) {
  std::filesystem::path temporary = path;
  temporary += ".test";
  std::ofstream(temporary, std::ios::binary) << text;
  std::filesystem::rename(temporary, path);
}

class RegistryTest : public ::testing::Test {
 public:
  std::filesystem::path RegistryFile() const { return device.root() / ".zonbrel" / "registry.txt"; }
  std::string DebugLogText() const { return ReadHostFile(device.root() / ".zonbrel" / "debug.log"); }

  // Forgets everything this process knows about the registry, as a newly started process would.
  void Reload() { device::UseRoot(device.root()); }

  HKEY Create(HKEY parent, const char16_t* path) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExW(parent, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
    return key;
  }
  HKEY Open(HKEY parent, const char16_t* path) {
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExW(parent, path, 0, KEY_READ, &key), ERROR_SUCCESS);
    return key;
  }

  static void Set(HKEY key, const char16_t* name, DWORD type, const std::vector<BYTE>& data) {
    EXPECT_EQ(RegSetValueExW(key, name, 0, type, data.data(), static_cast<DWORD>(data.size())), ERROR_SUCCESS);
  }
  static void SetDword(HKEY key, const char16_t* name, DWORD v) { Set(key, name, REG_DWORD, DwordBytes(v)); }

  // The value as RegQueryValueExW gives it, asking for the size first; type 0xFFFFFFFF with
  // the error code as data when it cannot be read.
  static RegValue Query(HKEY key, const char16_t* name) {
    RegValue value;
    DWORD size = 0;
    LONG error = RegQueryValueExW(key, name, nullptr, &value.type, nullptr, &size);
    if (error == ERROR_SUCCESS) {
      value.data.resize(size);
      error = RegQueryValueExW(key, name, nullptr, &value.type, value.data.data(), &size);
      value.data.resize(size);
    }
    if (error != ERROR_SUCCESS) return RegValue{0xFFFFFFFF, DwordBytes(static_cast<DWORD>(error))};
    return value;
  }

  static std::vector<std::u16string> SubkeyNames(HKEY key) {
    std::vector<std::u16string> names;
    WCHAR name[256];
    for (DWORD i = 0;; ++i) {
      DWORD count = 256;
      if (RegEnumKeyExW(key, i, name, &count, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) return names;
      names.emplace_back(name, count);
    }
  }
  static std::vector<std::u16string> ValueNames(HKEY key) {
    std::vector<std::u16string> names;
    WCHAR name[1024];
    for (DWORD i = 0;; ++i) {
      DWORD count = 1024;
      if (RegEnumValueW(key, i, name, &count, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) return names;
      names.emplace_back(name, count);
    }
  }

  TestDevice device;
};

}  // namespace zb::testing
