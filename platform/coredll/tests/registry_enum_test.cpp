// Enumerating a key: subkeys and values come in the order they were created, also after the
// file is read anew; short buffers get ERROR_MORE_DATA; RegQueryInfoKeyW gives counts and the
// longest name and data.
#include "registry_support.h"

namespace zb::testing {
namespace {

using RegistryEnumeration = RegistryTest;

TEST_F(RegistryEnumeration, KeysAndValuesComeInCreationOrderAlsoAfterAReload) {
  const std::vector<std::u16string> order = {u"zeta", u"Alpha", u"\u00E9cole", u"beta", u"B2", u"1"};
  {
    ScopedKey key(Create(HKEY_CURRENT_USER, u"Software\\Order"));
    for (const auto& name : order) {
      ScopedKey(Create(key.get(), name.c_str()));
      SetDword(key.get(), name.c_str(), 1);
    }
  }
  for (bool reloaded : {false, true}) {
    SCOPED_TRACE(reloaded ? "after a reload" : "as written");
    if (reloaded) Reload();
    ScopedKey key(Open(HKEY_CURRENT_USER, u"Software\\Order"));
    EXPECT_EQ(SubkeyNames(key.get()), order);
    EXPECT_EQ(ValueNames(key.get()), order);
  }
  // Deleting from the middle closes the gap; a new entry goes last.
  ScopedKey key(Open(HKEY_CURRENT_USER, u"Software\\Order"));
  EXPECT_EQ(RegDeleteKeyW(key.get(), u"\u00C9COLE"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueW(key.get(), u"alpha"), ERROR_SUCCESS);
  ScopedKey(Create(key.get(), u"Alpha"));
  SetDword(key.get(), u"\u00C9cole", 2);
  Reload();
  ScopedKey again(Open(HKEY_CURRENT_USER, u"Software\\Order"));
  EXPECT_EQ(SubkeyNames(again.get()), (std::vector<std::u16string>{u"zeta", u"Alpha", u"beta", u"B2", u"1"}));
  EXPECT_EQ(ValueNames(again.get()), (std::vector<std::u16string>{u"zeta", u"\u00E9cole", u"beta", u"B2", u"1"}));
}

TEST_F(RegistryEnumeration, TheEndIsNoMoreItems) {
  ScopedKey key(Create(HKEY_CURRENT_USER, u"Software\\End"));
  WCHAR name[16];
  for (DWORD items : {0u, 1u}) {
    SCOPED_TRACE(items);
    if (items) {
      ScopedKey(Create(key.get(), u"Only"));
      SetDword(key.get(), u"Only", 1);
    }
    DWORD count = 16;
    EXPECT_EQ(RegEnumKeyExW(key.get(), items, name, &count, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
    count = 16;
    EXPECT_EQ(RegEnumValueW(key.get(), items, name, &count, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
    count = 16;
    EXPECT_EQ(RegEnumValueW(key.get(), 1000, name, &count, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
  }
}

TEST_F(RegistryEnumeration, ShortNameBuffersGetMoreDataAndNamesAreCountedWithoutTerminator) {
  ScopedKey key(Create(HKEY_CURRENT_USER, u"Software\\Names"));
  ScopedKey(Create(key.get(), u"Music"));
  SetDword(key.get(), u"Music", 5);
  const struct {
    DWORD capacity;
    LONG result;
    DWORD countAfter;
  } cases[] = {{0, ERROR_MORE_DATA, 0}, {5, ERROR_MORE_DATA, 5}, {6, ERROR_SUCCESS, 5}, {40, ERROR_SUCCESS, 5}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.capacity);
    WCHAR name[40];
    std::fill(std::begin(name), std::end(name), u'#');
    DWORD count = c.capacity;
    EXPECT_EQ(RegEnumKeyExW(key.get(), 0, name, &count, nullptr, nullptr, nullptr, nullptr), c.result);
    EXPECT_EQ(count, c.countAfter);
    EXPECT_EQ(std::u16string(name, 6), c.result == ERROR_SUCCESS ? std::u16string(u"Music\0", 6) : u"######");
    std::fill(std::begin(name), std::end(name), u'#');
    count = c.capacity;
    EXPECT_EQ(RegEnumValueW(key.get(), 0, name, &count, nullptr, nullptr, nullptr, nullptr), c.result);
    EXPECT_EQ(count, c.countAfter);
    EXPECT_EQ(std::u16string(name, 6), c.result == ERROR_SUCCESS ? std::u16string(u"Music\0", 6) : u"######");
  }
}

TEST_F(RegistryEnumeration, ValueDataFollowsTheQueryConventions) {
  ScopedKey key(Create(HKEY_CURRENT_USER, u"Software\\Data"));
  Set(key.get(), u"Blob", REG_BINARY, {1, 2, 3, 4, 5, 6});
  const struct {
    bool buffer;
    DWORD size;
    LONG result;
  } cases[] = {{false, 0, ERROR_SUCCESS}, {true, 5, ERROR_MORE_DATA}, {true, 6, ERROR_SUCCESS}, {true, 9, ERROR_SUCCESS}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    WCHAR name[8];
    DWORD count = 8, type = 0, size = c.size;
    BYTE data[9] = {};
    EXPECT_EQ(RegEnumValueW(key.get(), 0, name, &count, nullptr, &type, c.buffer ? data : nullptr, &size), c.result);
    EXPECT_EQ(std::u16string(name, count), u"Blob");
    EXPECT_EQ(type, DWORD(REG_BINARY));
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(data[5], c.buffer && c.result == ERROR_SUCCESS ? 6 : 0);
  }
  WCHAR name[8];
  DWORD count = 8;
  BYTE data[8];
  EXPECT_EQ(RegEnumValueW(key.get(), 0, name, &count, nullptr, nullptr, data, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegEnumValueW(key.get(), 0, nullptr, &count, nullptr, nullptr, nullptr, nullptr), ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryEnumeration, QueryInfoGivesCountsAndLongestNamesAndData) {
  ScopedKey key(Create(HKEY_CURRENT_USER, u"Software\\Info"));
  ScopedKey(Create(key.get(), u"ab"));
  ScopedKey(Create(key.get(), u"abcdefg"));
  ScopedKey(Create(key.get(), u"abc\\deeper\\and deeper still"));
  Set(key.get(), u"", REG_BINARY, std::vector<BYTE>(300));
  Set(key.get(), u"LongestValueName", REG_DWORD, DwordBytes(1));
  Set(key.get(), u"x", REG_SZ, SzBytes(u"text"));
  const struct {
    const char* what;
    bool reloaded;
  } cases[] = {{"as written", false}, {"after a reload", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.reloaded) Reload();
    ScopedKey info(Open(HKEY_CURRENT_USER, u"Software\\Info"));
    DWORD subkeys = 99, maxKey = 99, maxClass = 99, values = 99, maxName = 99, maxData = 99, security = 99;
    WCHAR className[4] = {u'#'};
    DWORD classCount = 4;
    FILETIME written{1, 1};
    ASSERT_EQ(RegQueryInfoKeyW(info.get(), className, &classCount, nullptr, &subkeys, &maxKey, &maxClass, &values,
                               &maxName, &maxData, &security, &written),
              ERROR_SUCCESS);
    EXPECT_EQ(subkeys, 3u);
    EXPECT_EQ(maxKey, 7u);
    EXPECT_EQ(values, 3u);
    EXPECT_EQ(maxName, 16u);
    EXPECT_EQ(maxData, 300u);
    EXPECT_EQ(maxClass, 0u);
    EXPECT_EQ(classCount, 0u);
    EXPECT_EQ(className[0], u'\0');
  }
  ScopedKey empty(Create(HKEY_CURRENT_USER, u"Software\\Empty"));
  DWORD subkeys = 99, values = 99, maxData = 99;
  ASSERT_EQ(RegQueryInfoKeyW(empty.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                             &maxData, nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(subkeys + values + maxData, 0u);
}

}  // namespace
}  // namespace zb::testing
