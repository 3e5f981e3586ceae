// Finding and loading resources of the program: raw data from a file and from the script, custom
// types by name in any case, names given as "#id", and the platform's errors for what is not
// there or not a resource.
#include "resource_support.h"

namespace zb::res::testing {
namespace {

using ResourceFindTest = ResourceTest;

TEST_F(ResourceFindTest, RawDataFromAFileAndFromTheScript) {
  std::vector<uint8_t> table = Bytes(nullptr, MAKEINTRESOURCEW(IDR_TABLE), RT_RCDATA);
  ASSERT_EQ(table.size(), 300u);
  for (size_t i = 0; i < table.size(); ++i) ASSERT_EQ(table[i], (i * 37 + 11) % 256) << i;

  // "bars": 134 and 2 as 16-bit words, 0x1234 as a 32-bit one, then narrow text.
  std::vector<uint8_t> bars = Bytes(nullptr, u"bars", RT_RCDATA);
  EXPECT_EQ(bars, (std::vector<uint8_t>{134, 0, 2, 0, 0x34, 0x12, 0, 0, 'o', 'k'}));
  EXPECT_EQ(Bytes(nullptr, u"BARS", RT_RCDATA), bars) << "names are found without case";
}

TEST_F(ResourceFindTest, CustomTypesByNameAndIdsByText) {
  const std::string schema = "create table media(id integer primary key);";
  EXPECT_EQ(Text(Bytes(nullptr, MAKEINTRESOURCEW(IDR_SCHEMA), u"TEXT")), schema);
  EXPECT_EQ(Text(Bytes(nullptr, MAKEINTRESOURCEW(IDR_SCHEMA), u"text")), schema);
  EXPECT_EQ(Text(Bytes(nullptr, u"#107", u"Text")), schema);
  HMODULE program = GetModuleHandleW(nullptr);
  EXPECT_EQ(Text(Bytes(program, MAKEINTRESOURCEW(IDR_SCHEMA), u"TEXT")), schema) << "the program's own handle";
}

struct Missing {
  LPCWSTR name;
  LPCWSTR type;
  DWORD error;
};

TEST_F(ResourceFindTest, WhatIsNotThereIsReportedAsThePlatformDoes) {
  const Missing kMissing[] = {
      {MAKEINTRESOURCEW(999), RT_RCDATA, ERROR_RESOURCE_NAME_NOT_FOUND},
      {MAKEINTRESOURCEW(IDR_TABLE), u"NOSUCHTYPE", ERROR_RESOURCE_TYPE_NOT_FOUND},
      {MAKEINTRESOURCEW(IDR_TABLE), RT_HTML, ERROR_RESOURCE_TYPE_NOT_FOUND},
      {u"#", RT_RCDATA, ERROR_RESOURCE_NAME_NOT_FOUND},
      {u"#99999", RT_RCDATA, ERROR_RESOURCE_NAME_NOT_FOUND},
      {u"bar", RT_RCDATA, ERROR_RESOURCE_NAME_NOT_FOUND},
      {nullptr, RT_RCDATA, ERROR_INVALID_PARAMETER},
  };
  for (const Missing& m : kMissing) {
    SetLastError(0);
    EXPECT_EQ(FindResourceW(nullptr, m.name, m.type), nullptr);
    EXPECT_EQ(GetLastError(), m.error);
  }
  SetLastError(0);
  EXPECT_EQ(FindResourceW(reinterpret_cast<HMODULE>(0x12345678), MAKEINTRESOURCEW(IDR_TABLE), RT_RCDATA), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

  // Something that is not an HRSRC loads nothing and has no size.
  int notAResource = 0;
  auto fake = reinterpret_cast<HRSRC>(&notAResource);
  EXPECT_EQ(LoadResource(nullptr, fake), nullptr);
  EXPECT_EQ(SizeofResource(nullptr, fake), 0u);
  EXPECT_EQ(SizeofResource(nullptr, nullptr), 0u);
  HRSRC real = FindResourceW(nullptr, MAKEINTRESOURCEW(IDR_TABLE), RT_RCDATA);
  ASSERT_NE(real, nullptr);
  EXPECT_EQ(SizeofResource(nullptr, reinterpret_cast<HRSRC>(reinterpret_cast<uint8_t*>(real) + 4)), 0u) << "inside an entry";
}

struct StringCase {
  UINT id;
  int size;
  std::u16string text;
  int result;
};

TEST_F(ResourceFindTest, StringsWholeTruncatedAndMissing) {
  const StringCase kStrings[] = {
      {IDS_CUSTOM, 64, u"Custom", 6},
      {IDS_NEUTRAL, 64, u"Neutral", 7},
      {IDS_NEUTRAL, 4, u"Neu", 3},
      {IDS_NEUTRAL, 1, u"", 0},
      {IDS_LONG, 64, u"Menu \u00e9t\u00e9 \"quoted\"", 17},
      {IDS_CUSTOM + 2, 64, u"", 0},  // an unused id in a block that exists
      {5, 64, u"", 0},               // a block that does not exist
  };
  for (const StringCase& c : kStrings) {
    WCHAR buffer[64];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    EXPECT_EQ(LoadStringW(nullptr, c.id, buffer, c.size), c.result) << c.id << "/" << c.size;
    EXPECT_EQ(std::u16string(buffer), c.text) << c.id << "/" << c.size;
  }
  SetLastError(0);
  WCHAR buffer[8];
  EXPECT_EQ(LoadStringW(nullptr, 5, buffer, 8), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
  EXPECT_EQ(LoadStringW(nullptr, IDS_CUSTOM, nullptr, 8), 0);
}

TEST_F(ResourceFindTest, StringInPlaceWithABufferSizeOfZero) {
  const WCHAR* text = nullptr;
  ASSERT_EQ(LoadStringW(nullptr, IDS_NEUTRAL, reinterpret_cast<LPWSTR>(&text), 0), 7);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::u16string(text, 7), u"Neutral");
}

}  // namespace
}  // namespace zb::res::testing
