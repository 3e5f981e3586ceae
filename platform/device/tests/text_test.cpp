// UTF-16/UTF-8 conversion and case mapping used by every room for host paths and lookups.
#include "device/text.h"

#include <gtest/gtest.h>

namespace {

struct Utf8Case {
  const char* name;
  std::string utf8;
  std::u16string utf16;
};

TEST(Utf8Conversion, WellFormedTextRoundTrips) {
  const Utf8Case cases[] = {
      {"ascii", "Music", u"Music"},
      {"latin1", "Caf\xC3\xA9", u"Caf\u00E9"},
      {"bmp", "\xE2\x82\xAC", u"\u20AC"},
      {"astral", "\xF0\x9F\x8E\xB5", u"\U0001F3B5"},
      {"empty", "", u""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(zb::FromUtf8(c.utf8), c.utf16);
    EXPECT_EQ(zb::ToUtf8(c.utf16), c.utf8);
  }
}

TEST(Utf8Conversion, IllFormedInputBecomesReplacementWithoutSwallowingNeighbours) {
  const Utf8Case cases[] = {
      {"lone continuation", "a\x80" "b", u"a\uFFFDb"},
      {"truncated lead before ascii", "\xC3" "A", u"\uFFFDA"},
      {"overlong slash", "\xC0\xAF", u"\uFFFD\uFFFD"},
      {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD"},
      {"beyond U+10FFFF", "\xF5\x80\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"truncated at end", "ab\xE2\x82", u"ab\uFFFD"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(zb::FromUtf8(c.utf8), c.utf16);
  }
  EXPECT_EQ(zb::ToUtf8(std::u16string(1, char16_t(0xD800)) + u"x"), "\xEF\xBF\xBDx");
}

TEST(CaseMapping, FoldsLettersBeyondAscii) {
  const struct {
    char16_t lower, upper;
  } cases[] = {{u'a', u'A'}, {u'z', u'Z'}, {u'\u00E9', u'\u00C9'}, {u'\u0430', u'\u0410'}, {u'\u03C9', u'\u03A9'}};
  for (const auto& c : cases) {
    EXPECT_EQ(zb::ToUpper(c.lower), c.upper);
    EXPECT_EQ(zb::ToLower(c.upper), c.lower);
  }
  EXPECT_EQ(zb::ToUpper(u'1'), u'1');
  EXPECT_EQ(zb::ToUpper(u'_'), u'_');
}

TEST(CaseMapping, CompareNoCaseOrdersByUpperCase) {
  EXPECT_TRUE(zb::EqualNoCase(u"Storage Card", u"STORAGE card"));
  EXPECT_FALSE(zb::EqualNoCase(u"Music", u"Music2"));
  EXPECT_LT(zb::CompareNoCase(u"Music", u"Music2"), 0);
  EXPECT_GT(zb::CompareNoCase(u"b", u"A"), 0);
  // '_' (0x5F) sorts after upper-case letters, as an upper-casing compare must give.
  EXPECT_GT(zb::CompareNoCase(u"_", u"a"), 0);
}

}  // namespace

namespace {

TEST(Utf8Conversion, ReportsWhetherAnythingWasReplaced) {
  const struct {
    const char* name;
    std::string utf8;
    bool illFormed;
  } cases[] = {
      {"clean astral", "a\xF0\x9F\x8E\xB5", false},
      {"real U+FFFD is not ill-formed", "\xEF\xBF\xBD", false},
      {"lone continuation", "a\x80", true},
      {"truncated at end", "\xE2\x82", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    bool illFormed = !c.illFormed;
    zb::FromUtf8(c.utf8, &illFormed);
    EXPECT_EQ(illFormed, c.illFormed);
  }
}

TEST(CharClass, ClassifiesBeyondAsciiWithThePlatformMasks) {
  const struct {
    char16_t c;
    unsigned set, clear;
  } cases[] = {
      {u'A', zb::kClassUpper | zb::kClassAlpha | zb::kClassHexDigit, zb::kClassLower | zb::kClassDigit},
      {u'z', zb::kClassLower | zb::kClassAlpha, zb::kClassUpper | zb::kClassHexDigit},
      {u'7', zb::kClassDigit | zb::kClassHexDigit, zb::kClassAlpha},
      {u' ', zb::kClassSpace | zb::kClassBlank, zb::kClassPunct},
      {u'\t', zb::kClassSpace | zb::kClassBlank | zb::kClassControl, zb::kClassAlpha},
      {u'\n', zb::kClassSpace | zb::kClassControl, zb::kClassBlank},
      {u'!', zb::kClassPunct, zb::kClassAlpha | zb::kClassSpace},
      {u'\u00E9', zb::kClassLower | zb::kClassAlpha, zb::kClassUpper | zb::kClassPunct},
      {u'\u0416', zb::kClassUpper | zb::kClassAlpha, zb::kClassLower},
      {u'\u3000', zb::kClassSpace, zb::kClassAlpha},
      {char16_t(0xD83C), 0, ~0u},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.c));
    unsigned bits = zb::CharClass(c.c);
    EXPECT_EQ(bits & c.set, c.set);
    EXPECT_EQ(bits & c.clear, 0u);
  }
}

}  // namespace
