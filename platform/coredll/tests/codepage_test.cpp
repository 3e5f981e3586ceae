// Conversions between code pages and UTF-16: every byte of 1252 both ways, UTF-8 beyond the
// BMP, a double-byte page (932) and the other Windows pages the host converts for us.
#include <gtest/gtest.h>
#include <string>
#include <windows.h>

namespace {

std::u16string ToWide(UINT page, std::string_view bytes, DWORD flags = 0) {
  int n = MultiByteToWideChar(page, flags, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::u16string out(n > 0 ? n : 0, u'\0');
  if (n > 0) {
    EXPECT_EQ(MultiByteToWideChar(page, flags, bytes.data(), static_cast<int>(bytes.size()), out.data(), n), n);
  }
  return out;
}

std::string ToBytes(UINT page, std::u16string_view text, BOOL* usedDefault = nullptr, LPCSTR defaultChar = nullptr) {
  int n = WideCharToMultiByte(page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, defaultChar,
                              usedDefault);
  std::string out(n > 0 ? n : 0, '\0');
  if (n > 0) {
    EXPECT_EQ(WideCharToMultiByte(page, 0, text.data(), static_cast<int>(text.size()), out.data(), n, defaultChar,
                                  usedDefault),
              n);
  }
  return out;
}

TEST(CodePage1252, EveryByteRoundTrips) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  for (UINT page : {1252u, static_cast<UINT>(CP_ACP)}) {
    SCOPED_TRACE(page);
    std::u16string wide = ToWide(page, all, MB_ERR_INVALID_CHARS);
    ASSERT_EQ(wide.size(), 256u);
    BOOL usedDefault = TRUE;
    EXPECT_EQ(ToBytes(page, wide, &usedDefault), all);
    EXPECT_FALSE(usedDefault);
    const struct {
      unsigned char byte;
      char16_t unit;
    } cases[] = {{0x00, 0x0000}, {0x41, u'A'},   {0x80, 0x20AC}, {0x81, 0x0081}, {0x8A, 0x0160},
                 {0x8D, 0x008D}, {0x8F, 0x008F}, {0x90, 0x0090}, {0x99, 0x2122}, {0x9D, 0x009D},
                 {0x9F, 0x0178}, {0xA0, 0x00A0}, {0xE9, 0x00E9}, {0xFF, 0x00FF}};
    for (const auto& c : cases) EXPECT_EQ(wide[c.byte], c.unit) << int(c.byte);
  }
}

TEST(CodePage1252, MissingCharactersBecomeTheDefaultChar) {
  const struct {
    std::u16string text;
    LPCSTR defaultChar;
    std::string bytes;
    BOOL used;
  } cases[] = {
      {u"a\u0100b", nullptr, "a?b", TRUE},
      {u"a\u0100b", "*", "a*b", TRUE},
      {u"\u0080", nullptr, "?", TRUE},  // 0x80 is the euro sign, so U+0080 has no byte
      {u"x\U0001F3B5y", nullptr, "x?y", TRUE},  // a surrogate pair is one character
      {std::u16string(u"x") + char16_t(0xD800), nullptr, "x?", TRUE},
      {u"\u20AC\u0178", nullptr, "\x80\x9F", FALSE},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    BOOL used = !c.used;
    EXPECT_EQ(ToBytes(1252, c.text, &used, c.defaultChar), c.bytes);
    EXPECT_EQ(used, c.used);
  }
}

TEST(CodePageUtf8, CharactersBeyondTheBmpAreSurrogatePairs) {
  const struct {
    std::string utf8;
    std::u16string utf16;
  } cases[] = {
      {"a\xF0\x9F\x8E\xB5z", u"a\U0001F3B5z"},
      {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
      {"\xF0\x90\x80\x80", u"\U00010000"},
      {"caf\xC3\xA9 \xE2\x82\xAC", u"caf\u00E9 \u20AC"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.utf8);
    EXPECT_EQ(ToWide(CP_UTF8, c.utf8, MB_ERR_INVALID_CHARS), c.utf16);
    EXPECT_EQ(ToBytes(CP_UTF8, c.utf16), c.utf8);
  }
  EXPECT_EQ(ToWide(CP_UTF8, "\xF0\x9F\x8E\xB5").size(), 2u);
}

TEST(CodePageUtf8, IllFormedInputIsReplacedOrRefused) {
  const struct {
    std::string utf8;
    std::u16string replaced;
  } cases[] = {
      {"a\xFF" "b", u"a\uFFFDb"},
      {"\xC3", u"\uFFFD"},
      {"\xED\xA0\x80", u"\uFFFD"},  // an encoded surrogate
      {"ab\xF0\x9F\x8E", u"ab\uFFFD"},  // cut inside a four-byte character
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.utf8);
    EXPECT_EQ(ToWide(CP_UTF8, c.utf8), c.replaced);
    SetLastError(0);
    char16_t out[16];
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, c.utf8.data(), static_cast<int>(c.utf8.size()), out,
                                  16),
              0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
  }
  // A real U+FFFD in the input is not an error.
  EXPECT_EQ(ToWide(CP_UTF8, "\xEF\xBF\xBD", MB_ERR_INVALID_CHARS), u"\uFFFD");
  // A lone surrogate has no UTF-8 form and is written as U+FFFD.
  EXPECT_EQ(ToBytes(CP_UTF8, std::u16string(1, char16_t(0xDC00)) + u"a"), "\xEF\xBF\xBD" "a");
}

TEST(CodePage932, KatakanaKanjiAndALoneLeadByte) {
  const struct {
    const char* name;
    std::string sjis;
    std::u16string utf16;
  } cases[] = {
      {"half-width katakana", "\xB1\xB2", u"\uFF71\uFF72"},
      {"full-width katakana", "\x83\x4A\x83\x69", u"\u30AB\u30CA"},
      {"kanji", "\x93\xFA\x96\x7B", u"\u65E5\u672C"},
      {"mixed with ascii", "A\x93\xFA" "B", u"A\u65E5B"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ToWide(932, c.sjis, MB_ERR_INVALID_CHARS), c.utf16);
    EXPECT_EQ(ToBytes(932, c.utf16), c.sjis);
  }
  // A lead byte with nothing after it stands for one unknown character, and loses nothing else.
  EXPECT_EQ(ToWide(932, "A\x93\xFA\x82"), u"A\u65E5\uFFFD");
  EXPECT_EQ(ToWide(932, "\x82 x"), u"\uFFFD x");
  EXPECT_EQ(ToWide(932, "A\x85\x41" "B"), u"A\uFFFDB");  // an unassigned pair is one unknown character
  char16_t out[8];
  SetLastError(0);
  EXPECT_EQ(MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, "A\x82", 2, out, 8), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
  // Sizes count units on one side and bytes on the other, terminator included.
  EXPECT_EQ(MultiByteToWideChar(932, 0, "\x93\xFA\x96\x7B", -1, nullptr, 0), 3);
  EXPECT_EQ(WideCharToMultiByte(932, 0, u"\u65E5\u672C", -1, nullptr, 0, nullptr, nullptr), 5);
  // Hangul is not in the page.
  BOOL used = FALSE;
  EXPECT_EQ(ToBytes(932, u"\uAC00\u65E5", &used), "?\x93\xFA");
  EXPECT_TRUE(used);
}

TEST(CodePageOthers, WindowsPagesThroughTheHost) {
  const struct {
    UINT page;
    std::string bytes;
    std::u16string text;
  } cases[] = {
      {1250, "\x8A\xE8", u"\u0160\u010D"}, {1251, "\xC0\xE1", u"\u0410\u0431"},
      {1253, "\xE1\xE2", u"\u03B1\u03B2"}, {1254, "\xF0", u"\u011F"},
      {874, "\xA1", u"\u0E01"},           {437, "\x82\xB0", u"\u00E9\u2591"},
      {850, "\x82\xD5", u"\u00E9\u0131"}, {28591, "\xE9\xFF", u"\u00E9\u00FF"},
      {936, "\xC4\xE3", u"\u4F60"},       {949, "\xB0\xA1", u"\uAC00"},
      {950, "\xA4\xA4", u"\u4E2D"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.page);
    EXPECT_EQ(ToWide(c.page, c.bytes, MB_ERR_INVALID_CHARS), c.text);
    BOOL used = TRUE;
    EXPECT_EQ(ToBytes(c.page, c.text, &used), c.bytes);
    EXPECT_FALSE(used);
  }
}

}  // namespace
