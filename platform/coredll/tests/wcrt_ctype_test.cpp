// Single characters: case and classes beyond ASCII, whatever the C library's locale, and the
// overload pitfall: a char16_t argument must reach these functions, not libc's wint_t ones.
#include <clocale>
#include <cwctype>
#include <gtest/gtest.h>
#include <type_traits>
#include <windows.h>

namespace {

static_assert(std::is_same_v<decltype(towupper(u'a')), char16_t>, "towupper(char16_t) is ours");
static_assert(std::is_same_v<decltype(towlower(WCHAR{})), char16_t>, "towlower(WCHAR) is ours");

TEST(WideCharacters, CaseMappingIgnoresTheLibcLocale) {
  // In the "C" locale libc's towupper leaves U+00E9 alone; ours must not.
  std::setlocale(LC_ALL, "C");
  const struct {
    char16_t lower, upper;
  } cases[] = {{u'a', u'A'}, {u'\u00E9', u'\u00C9'}, {u'\u00FF', u'\u0178'}, {u'\u0436', u'\u0416'},
               {u'\u03C9', u'\u03A9'}};
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.lower));
    EXPECT_EQ(towupper(c.lower), c.upper);
    EXPECT_EQ(towlower(c.upper), c.lower);
    EXPECT_EQ(towupper(c.upper), c.upper);
  }
  EXPECT_EQ(towupper(u'1'), u'1');
  EXPECT_EQ(towupper(u'\u00DF'), u'\u00DF');  // no single-unit capital
  EXPECT_EQ(towupper(char16_t(0xD83C)), char16_t(0xD83C));
}

TEST(WideCharacters, Classes) {
  const struct {
    char16_t c;
    bool space, digit, alpha, alnum, upper, lower, xdigit;
  } cases[] = {
      {u' ', true, false, false, false, false, false, false},
      {u'\t', true, false, false, false, false, false, false},
      {u'\u3000', true, false, false, false, false, false, false},
      {u'7', false, true, false, true, false, false, true},
      {u'f', false, false, true, true, false, true, true},
      {u'G', false, false, true, true, true, false, false},
      {u'\u00E9', false, false, true, true, false, true, false},
      {u'\u0416', false, false, true, true, true, false, false},
      {u'\u65E5', false, false, true, true, false, false, false},
      {u'!', false, false, false, false, false, false, false},
      {char16_t(0xDC00), false, false, false, false, false, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.c));
    EXPECT_EQ(iswspace(c.c) != 0, c.space);
    EXPECT_EQ(iswdigit(c.c) != 0, c.digit);
    EXPECT_EQ(iswalpha(c.c) != 0, c.alpha);
    EXPECT_EQ(iswalnum(c.c) != 0, c.alnum);
    EXPECT_EQ(iswupper(c.c) != 0, c.upper);
    EXPECT_EQ(iswlower(c.c) != 0, c.lower);
    EXPECT_EQ(iswxdigit(c.c) != 0, c.xdigit);
    EXPECT_EQ(IsCharAlphaW(c.c) != 0, c.alpha);
    EXPECT_EQ(IsCharAlphaNumericW(c.c) != 0, c.alnum);
    EXPECT_EQ(IsCharUpperW(c.c) != 0, c.upper);
    EXPECT_EQ(IsCharLowerW(c.c) != 0, c.lower);
  }
}

TEST(WideCharacters, ClassMasksCombine) {
  // Letters, digits and punctuation pass; blanks and controls do not.
  const unsigned typed = _ALPHA | _UPPER | _LOWER | _DIGIT | _PUNCT;
  EXPECT_EQ(typed, 0x117u);
  const struct {
    char16_t c;
    bool typedChar;
  } cases[] = {{u'a', true},  {u'Z', true},  {u'5', true},       {u'!', true},
               {u'\u00E9', true}, {u' ', false}, {u'\t', false}, {u'\r', false}};
  for (const auto& c : cases) EXPECT_EQ(iswctype(c.c, typed) != 0, c.typedChar) << static_cast<int>(c.c);
  EXPECT_TRUE(iswctype(u' ', _SPACE | _BLANK));
  EXPECT_TRUE(iswctype(u'\n', _CONTROL));
  EXPECT_TRUE(iswctype(u'b', _HEX));
  EXPECT_FALSE(iswctype(u'g', _HEX));
}

}  // namespace
