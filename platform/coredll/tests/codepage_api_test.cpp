// The conventions around the conversions: -1 lengths, explicit lengths, size queries, too-small
// buffers and bad arguments, the same for every page; and what the page information calls say.
#include <algorithm>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <windows.h>

namespace {

constexpr UINT kPages[] = {1252, CP_UTF8, 932};

TEST(ConversionSizes, MultiByteToWideChar) {
  for (UINT page : kPages) {
    SCOPED_TRACE(page);
    char16_t out[8];
    std::fill(std::begin(out), std::end(out), u'#');
    // -1: through the terminator, which is converted and counted.
    EXPECT_EQ(MultiByteToWideChar(page, 0, "abc", -1, nullptr, 0), 4);
    EXPECT_EQ(MultiByteToWideChar(page, 0, "abc", -1, out, 8), 4);
    EXPECT_EQ(std::u16string(out, 5), std::u16string(u"abc\0#", 5));
    // An explicit length converts exactly that much, embedded NULs too, and adds nothing.
    std::fill(std::begin(out), std::end(out), u'#');
    EXPECT_EQ(MultiByteToWideChar(page, 0, "a\0b", 3, out, 3), 3);
    EXPECT_EQ(std::u16string(out, 4), std::u16string(u"a\0b#", 4));
    // Too small: nothing, and the reason.
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(page, 0, "abc", -1, out, 3), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  }
}

TEST(ConversionSizes, WideCharToMultiByte) {
  for (UINT page : kPages) {
    SCOPED_TRACE(page);
    char out[8];
    std::fill(std::begin(out), std::end(out), '#');
    EXPECT_EQ(WideCharToMultiByte(page, 0, u"abc", -1, nullptr, 0, nullptr, nullptr), 4);
    EXPECT_EQ(WideCharToMultiByte(page, 0, u"abc", -1, out, 8, nullptr, nullptr), 4);
    EXPECT_EQ(std::string(out, 5), std::string("abc\0#", 5));
    std::fill(std::begin(out), std::end(out), '#');
    EXPECT_EQ(WideCharToMultiByte(page, 0, u"a\0b", 3, out, 3, nullptr, nullptr), 3);
    EXPECT_EQ(std::string(out, 4), std::string("a\0b#", 4));
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(page, 0, u"abc", 3, out, 2, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  }
  // UTF-8 sizes count bytes: three for the euro sign, four for a pair.
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"\u20AC\U0001F3B5", -1, nullptr, 0, nullptr, nullptr), 8);
}

TEST(ConversionErrors, BadArgumentsFailWithTheirCode) {
  char16_t wide[8];
  char narrow[8];
  BOOL used = FALSE;
  const struct {
    const char* name;
    std::function<int()> call;
    DWORD error;
  } cases[] = {
      {"null input", [&] { return MultiByteToWideChar(1252, 0, nullptr, 3, wide, 8); }, ERROR_INVALID_PARAMETER},
      {"zero length", [&] { return MultiByteToWideChar(1252, 0, "a", 0, wide, 8); }, ERROR_INVALID_PARAMETER},
      {"length below -1", [&] { return MultiByteToWideChar(1252, 0, "a", -2, wide, 8); }, ERROR_INVALID_PARAMETER},
      {"negative output size", [&] { return MultiByteToWideChar(1252, 0, "a", 1, wide, -1); }, ERROR_INVALID_PARAMETER},
      {"null output with a size", [&] { return MultiByteToWideChar(1252, 0, "a", 1, nullptr, 8); },
       ERROR_INVALID_PARAMETER},
      {"unknown page", [&] { return MultiByteToWideChar(12345, 0, "a", 1, wide, 8); }, ERROR_INVALID_PARAMETER},
      {"UTF-16 is no byte page", [&] { return MultiByteToWideChar(1200, 0, "a", 1, wide, 8); },
       ERROR_INVALID_PARAMETER},
      {"unknown flag", [&] { return MultiByteToWideChar(1252, 0x100, "a", 1, wide, 8); }, ERROR_INVALID_FLAGS},
      {"both composition flags", [&] { return MultiByteToWideChar(1252, MB_PRECOMPOSED | MB_COMPOSITE, "a", 1, wide, 8); },
       ERROR_INVALID_FLAGS},
      {"UTF-8 takes only the error flag", [&] { return MultiByteToWideChar(CP_UTF8, MB_PRECOMPOSED, "a", 1, wide, 8); },
       ERROR_INVALID_FLAGS},
      {"wide null input", [&] { return WideCharToMultiByte(1252, 0, nullptr, 1, narrow, 8, nullptr, nullptr); },
       ERROR_INVALID_PARAMETER},
      {"wide zero length", [&] { return WideCharToMultiByte(1252, 0, u"a", 0, narrow, 8, nullptr, nullptr); },
       ERROR_INVALID_PARAMETER},
      {"same buffer both ways",
       [&] { return WideCharToMultiByte(1252, 0, wide, 1, reinterpret_cast<char*>(wide), 8, nullptr, nullptr); },
       ERROR_INVALID_PARAMETER},
      {"wide unknown page", [&] { return WideCharToMultiByte(54321, 0, u"a", 1, narrow, 8, nullptr, nullptr); },
       ERROR_INVALID_PARAMETER},
      {"UTF-8 with a used-default flag", [&] { return WideCharToMultiByte(CP_UTF8, 0, u"a", 1, narrow, 8, nullptr, &used); },
       ERROR_INVALID_PARAMETER},
      {"UTF-8 with a default char", [&] { return WideCharToMultiByte(CP_UTF8, 0, u"a", 1, narrow, 8, "?", nullptr); },
       ERROR_INVALID_PARAMETER},
      {"UTF-8 with flags", [&] { return WideCharToMultiByte(CP_UTF8, WC_COMPOSITECHECK, u"a", 1, narrow, 8, nullptr, nullptr); },
       ERROR_INVALID_FLAGS},
      {"wide unknown flag", [&] { return WideCharToMultiByte(1252, 0x8000, u"a", 1, narrow, 8, nullptr, nullptr); },
       ERROR_INVALID_FLAGS},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetLastError(0);
    EXPECT_EQ(c.call(), 0);
    EXPECT_EQ(GetLastError(), c.error);
  }
}

TEST(CodePageInfo, PagesAndTheirShapes) {
  EXPECT_EQ(GetACP(), 1252u);
  EXPECT_EQ(GetOEMCP(), 437u);
  const struct {
    UINT page;
    BOOL valid;
  } validity[] = {{1252, TRUE}, {CP_UTF8, TRUE}, {932, TRUE},  {437, TRUE},  {28591, TRUE},
                  {CP_ACP, FALSE}, {CP_OEMCP, FALSE}, {1200, FALSE}, {12345, FALSE}, {CP_UTF7, FALSE}};
  for (const auto& v : validity) EXPECT_EQ(IsValidCodePage(v.page), v.valid) << v.page;

  const struct {
    UINT page;
    UINT maxCharSize;
    std::basic_string<BYTE> leadBytes;
  } shapes[] = {
      {1252, 1, {}},
      {CP_ACP, 1, {}},
      {CP_UTF8, 4, {}},
      {932, 2, {0x81, 0x9F, 0xE0, 0xFC}},
      {936, 2, {0x81, 0xFE}},
      {1251, 1, {}},
  };
  for (const auto& s : shapes) {
    SCOPED_TRACE(s.page);
    CPINFO info;
    std::memset(&info, 0xAA, sizeof info);
    ASSERT_TRUE(GetCPInfo(s.page, &info));
    EXPECT_EQ(info.MaxCharSize, s.maxCharSize);
    EXPECT_EQ(info.DefaultChar[0], '?');
    EXPECT_EQ(info.DefaultChar[1], 0);
    std::basic_string<BYTE> lead(info.LeadByte, info.LeadByte + MAX_LEADBYTES);
    EXPECT_EQ(lead, s.leadBytes + std::basic_string<BYTE>(MAX_LEADBYTES - s.leadBytes.size(), 0));
  }
  CPINFO info;
  SetLastError(0);
  EXPECT_FALSE(GetCPInfo(12345, &info));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(GetCPInfo(1252, nullptr));
}

TEST(CodePageInfo, LeadBytes) {
  const struct {
    UINT page;
    BYTE byte;
    BOOL lead;
  } cases[] = {{932, 0x81, TRUE},  {932, 0x9F, TRUE},  {932, 0xA0, FALSE}, {932, 0xB1, FALSE},
               {932, 0xE0, TRUE},  {932, 0xFC, TRUE},  {932, 0xFD, FALSE}, {932, 0x41, FALSE},
               {936, 0xC4, TRUE},  {1252, 0x81, FALSE}, {CP_UTF8, 0xE2, FALSE}};
  for (const auto& c : cases) EXPECT_EQ(IsDBCSLeadByteEx(c.page, c.byte), c.lead) << c.page << " " << int(c.byte);
  EXPECT_FALSE(IsDBCSLeadByte(0x81));  // the ANSI page is single-byte
  SetLastError(0);
  EXPECT_FALSE(IsDBCSLeadByteEx(12345, 0x81));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(Wcstombs, NarrowsThroughTheAnsiPage) {
  EXPECT_EQ(wcstombs(nullptr, u"caf\u00E9\u20AC", 0), 5u);
  char out[8];
  std::fill(std::begin(out), std::end(out), '#');
  EXPECT_EQ(wcstombs(out, u"caf\u00E9\u20AC", sizeof out), 5u);
  EXPECT_EQ(std::string(out), "caf\xE9\x80");
  std::fill(std::begin(out), std::end(out), '#');
  EXPECT_EQ(wcstombs(out, u"abcdef", 3), 3u);  // full: no terminator
  EXPECT_EQ(std::string(out, 4), "abc#");
  EXPECT_EQ(wcstombs(out, u"a\u0100", sizeof out), static_cast<size_t>(-1));
}

}  // namespace
