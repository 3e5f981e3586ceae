// Registry values: every type comes back byte for byte, in this process and after the file is
// read anew, and RegQueryValueExW keeps the platform's size conventions.
#include <cstring>
#include <random>

#include "registry_support.h"

namespace zb::testing {
namespace {

using RegistryValues = RegistryTest;

std::vector<BYTE> RandomBytes(size_t size) {
  std::mt19937 random(1234);
  std::vector<BYTE> bytes(size);
  for (BYTE& b : bytes) b = static_cast<BYTE>(random());
  return bytes;
}

std::u16string Name(size_t i) { return u"v" + FromUtf8(std::to_string(i)); }

struct TypeCase {
  const char* what;
  DWORD type;
  std::vector<BYTE> data;
};

std::vector<TypeCase> TypeCases() {
  return {
      {"string", REG_SZ, SzBytes(u"Zonbrel")},
      {"empty string", REG_SZ, SzBytes(u"")},
      {"string without terminator", REG_SZ, Utf16Bytes(u"abc")},
      {"string with embedded zeros", REG_SZ, Utf16Bytes(std::u16string(u"a\0b\0\0", 5))},
      {"string of odd length", REG_SZ, {'a', 0, 'b'}},
      {"zero-length string", REG_SZ, {}},
      {"non-ASCII string", REG_SZ, SzBytes(u"Caf\u00E9 \u041C\u0443\u0437\u044B\u043A\u0430 \U0001F3B5")},
      {"string with a lone surrogate", REG_SZ, SzBytes(std::u16string(u"x") + char16_t(0xD800) + u"y")},
      {"expandable string", REG_EXPAND_SZ, SzBytes(u"%ProgramFiles%\\Zonbrel")},
      {"empty binary", REG_BINARY, {}},
      {"binary with zeros", REG_BINARY, {0, 1, 0, 0xFF, 0}},
      {"large binary", REG_BINARY, RandomBytes(1 << 20)},
      {"dword", REG_DWORD, DwordBytes(42)},
      {"dword of all ones", REG_DWORD, DwordBytes(0xFFFFFFFF)},
      {"dword of three bytes", REG_DWORD, {1, 2, 3}},
      {"multi-string", REG_MULTI_SZ, Utf16Bytes(std::u16string(u"one\0two\0\0", 9))},
      {"empty multi-string", REG_MULTI_SZ, Utf16Bytes(std::u16string(u"\0", 1))},
      {"none with data", REG_NONE, {7, 8}},
      {"none without data", REG_NONE, {}},
      {"type the registry does not name", 0x12345678, {0xAB}},
  };
}

TEST_F(RegistryValues, EveryTypeRoundTripsByteForByteAcrossAReload) {
  const std::vector<TypeCase> cases = TypeCases();
  {
    ScopedKey key(Create(HKEY_CURRENT_USER, u"Software\\Types"));
    for (size_t i = 0; i < cases.size(); ++i) {
      Set(key.get(), Name(i).c_str(), cases[i].type, cases[i].data);
    }
  }
  for (bool reloaded : {false, true}) {
    if (reloaded) Reload();
    ScopedKey key(Open(HKEY_CURRENT_USER, u"Software\\Types"));
    for (size_t i = 0; i < cases.size(); ++i) {
      SCOPED_TRACE(std::string(cases[i].what) + (reloaded ? ", after a reload" : ""));
      RegValue expected{cases[i].type, cases[i].data};
      EXPECT_EQ(Query(key.get(), Name(i).c_str()), expected);
    }
  }
}

TEST_F(RegistryValues, QueryGivesSizesAndRefusesShortBuffersWithoutTouchingThem) {
  ScopedKey key(Create(HKEY_CURRENT_USER, u"Software\\Sizes"));
  const std::vector<BYTE> data = SzBytes(u"Hello");  // 12 bytes
  Set(key.get(), u"Greeting", REG_SZ, data);
  const struct {
    bool buffer;
    DWORD size;
    LONG result;
  } cases[] = {
      {false, 0, ERROR_SUCCESS},   {false, 100, ERROR_SUCCESS}, {true, 0, ERROR_MORE_DATA},
      {true, 11, ERROR_MORE_DATA}, {true, 12, ERROR_SUCCESS},   {true, 64, ERROR_SUCCESS},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "buffer " << c.buffer << ", size " << c.size);
    std::vector<BYTE> buffer(64, 0xCC);
    DWORD type = 0, size = c.size;
    EXPECT_EQ(RegQueryValueExW(key.get(), u"GREETING", nullptr, &type, c.buffer ? buffer.data() : nullptr, &size),
              c.result);
    EXPECT_EQ(type, DWORD(REG_SZ));
    EXPECT_EQ(size, 12u);
    bool filled = c.buffer && c.result == ERROR_SUCCESS;
    EXPECT_EQ(std::memcmp(buffer.data(), data.data(), 12) == 0, filled);
    if (!filled) {
      EXPECT_EQ(buffer[0], 0xCC);
    }
    EXPECT_EQ(buffer[12], 0xCC);  // nothing past the data
  }
}

TEST_F(RegistryValues, NullAndEmptyNamesBothMeanTheDefaultValue) {
  ScopedKey key(Create(HKEY_CURRENT_USER, u"Software\\Default"));
  Set(key.get(), nullptr, REG_SZ, SzBytes(u"first"));
  EXPECT_EQ(Query(key.get(), u""), (RegValue{REG_SZ, SzBytes(u"first")}));
  Set(key.get(), u"", REG_SZ, SzBytes(u"second"));
  EXPECT_EQ(Query(key.get(), nullptr), (RegValue{REG_SZ, SzBytes(u"second")}));
  EXPECT_EQ(ValueNames(key.get()), std::vector<std::u16string>{u""});
  Reload();
  ScopedKey again(Open(HKEY_CURRENT_USER, u"Software\\Default"));
  EXPECT_EQ(Query(again.get(), nullptr), (RegValue{REG_SZ, SzBytes(u"second")}));
  EXPECT_EQ(RegDeleteValueW(again.get(), nullptr), ERROR_SUCCESS);
  EXPECT_EQ(RegQueryValueExW(again.get(), u"", nullptr, nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryValues, MissingValuesAndBadArgumentsFailCleanly) {
  ScopedKey key(Create(HKEY_CURRENT_USER, u"Software\\Errors"));
  SetDword(key.get(), u"Present", 1);
  BYTE buffer[4];
  DWORD size = sizeof buffer;
  const struct {
    const char* what;
    LONG result;
    LONG expected;
  } cases[] = {
      {"query of a missing value", RegQueryValueExW(key.get(), u"Absent", nullptr, nullptr, buffer, &size),
       ERROR_FILE_NOT_FOUND},
      {"query with a buffer but no size", RegQueryValueExW(key.get(), u"Present", nullptr, nullptr, buffer, nullptr),
       ERROR_INVALID_PARAMETER},
      {"set with no data but a size", RegSetValueExW(key.get(), u"New", 0, REG_BINARY, nullptr, 4),
       ERROR_INVALID_PARAMETER},
      {"delete of a missing value", RegDeleteValueW(key.get(), u"Absent"), ERROR_FILE_NOT_FOUND},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.result, c.expected);
  }
  EXPECT_EQ(ValueNames(key.get()), std::vector<std::u16string>{u"Present"});
}

TEST_F(RegistryValues, OverwritingKeepsThePlaceAndSpellingAndDeletingLasts) {
  {
    ScopedKey key(Create(HKEY_CURRENT_USER, u"Software\\Overwrite"));
    SetDword(key.get(), u"Volume", 1);
    SetDword(key.get(), u"Balance", 2);
    Set(key.get(), u"VOLUME", REG_SZ, SzBytes(u"loud"));
    SetDword(key.get(), u"Gone", 3);
    EXPECT_EQ(RegDeleteValueW(key.get(), u"gone"), ERROR_SUCCESS);
  }
  Reload();
  ScopedKey key(Open(HKEY_CURRENT_USER, u"Software\\Overwrite"));
  EXPECT_EQ(ValueNames(key.get()), (std::vector<std::u16string>{u"Volume", u"Balance"}));
  EXPECT_EQ(Query(key.get(), u"volume"), (RegValue{REG_SZ, SzBytes(u"loud")}));
}

}  // namespace
}  // namespace zb::testing
