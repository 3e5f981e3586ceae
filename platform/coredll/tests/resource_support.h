// Shared by the resource tests: the test program's ids, a fresh device per test, and a
// resource's bytes looked up the way product code does it.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "resources/ids.h"
#include "testing/test_device.h"

namespace zb::res::testing {

class ResourceTest : public ::testing::Test {
 protected:
  static std::vector<uint8_t> Bytes(HMODULE module, LPCWSTR name, LPCWSTR type) {
    HRSRC found = FindResourceW(module, name, type);
    if (!found) return {};
    HGLOBAL loaded = LoadResource(module, found);
    auto* p = static_cast<const uint8_t*>(LockResource(loaded));
    DWORD size = SizeofResource(module, found);
    return p ? std::vector<uint8_t>(p, p + size) : std::vector<uint8_t>{};
  }
  static std::string Text(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

  zb::testing::TestDevice device_;
};

// Little-endian bytes of a hand-built template.
struct Built {
  std::vector<uint8_t> bytes;
  Built& W(uint32_t v) {
    bytes.push_back(static_cast<uint8_t>(v & 0xFF));
    bytes.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
    return *this;
  }
  Built& D(uint32_t v) { return W(v & 0xFFFF).W(v >> 16); }
  Built& B(uint8_t v) {
    bytes.push_back(v);
    return *this;
  }
  Built& S(std::u16string_view s) {
    for (char16_t c : s) W(c);
    return W(0);
  }
  Built& A4() {
    while (bytes.size() % 4) bytes.push_back(0);
    return *this;
  }
};

}  // namespace zb::res::testing
