// The wide string functions: copying and bounds, ordinal and case-insensitive compares (with
// letters beyond ASCII), searching, tokenising per thread, and in-place case changes.
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>
#include <windows.h>

namespace {

int Sign(int v) { return (v > 0) - (v < 0); }

TEST(WideStrings, LengthsCopiesAndBounds) {
  EXPECT_EQ(wcslen(u""), 0u);
  EXPECT_EQ(wcslen(u"caf\u00E9\U0001F3B5"), 6u);  // units, not characters
  EXPECT_EQ(wcsnlen(u"abcdef", 3), 3u);
  EXPECT_EQ(wcsnlen(u"ab", 5), 2u);

  char16_t buffer[10];
  EXPECT_EQ(wcscpy(buffer, u"ab"), buffer);
  EXPECT_EQ(wcscat(buffer, u"cd"), buffer);
  EXPECT_EQ(std::u16string(buffer), u"abcd");
  EXPECT_EQ(std::u16string(wcsncat(buffer, u"efgh", 2)), u"abcdef");

  std::fill(std::begin(buffer), std::end(buffer), u'#');
  wcsncpy(buffer, u"ab", 5);  // pads with zeros up to the count
  EXPECT_EQ(std::u16string(buffer, 6), std::u16string(u"ab\0\0\0#", 6));
  std::fill(std::begin(buffer), std::end(buffer), u'#');
  wcsncpy(buffer, u"abcdef", 3);  // and does not terminate a longer source
  EXPECT_EQ(std::u16string(buffer, 4), u"abc#");
}

TEST(WideStrings, OrdinalCompareByCodeUnit) {
  const struct {
    const char16_t *a, *b;
    int sign;
  } cases[] = {
      {u"abc", u"abc", 0},  {u"abc", u"abd", -1},         {u"ab", u"abc", -1},
      {u"B", u"a", -1},     {u"\u00E9", u"z", 1},          {u"\uFF21", u"\U0001F3B5", 1},
      {u"", u"", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::u16string(c.a)) + " vs " + testing::PrintToString(std::u16string(c.b)));
    EXPECT_EQ(Sign(wcscmp(c.a, c.b)), c.sign);
    EXPECT_EQ(Sign(wcscmp(c.b, c.a)), -c.sign);
  }
  EXPECT_EQ(wcsncmp(u"abcX", u"abcY", 3), 0);
  EXPECT_LT(wcsncmp(u"abcX", u"abcY", 4), 0);
  EXPECT_EQ(wcsncmp(u"ab", u"ab", 10), 0);
}

TEST(WideStrings, CaseInsensitiveCompareFoldsToUpperCase) {
  const struct {
    const char16_t *a, *b;
    int sign;
  } cases[] = {
      {u"Hello", u"hELLO", 0},
      {u"caf\u00E9", u"CAF\u00C9", 0},
      {u"\u03A9mega", u"\u03C9MEGA", 0},
      {u"\u0436\u0443\u043A", u"\u0416\u0423\u041A", 0},
      {u"\u00FF", u"\u0178", 0},          // y with diaeresis has its capital outside Latin-1
      {u"Stra\u00DFe", u"STRASSE", 1},    // no expansions: sharp s stays one letter
      {u"_", u"a", 1},                    // '_' sorts after letters folded to upper case
      {u"abc", u"ABD", -1},
      {u"abc", u"AB", 1},
      {u"\u00E9", u"F", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::u16string(c.a)) + " vs " + testing::PrintToString(std::u16string(c.b)));
    EXPECT_EQ(Sign(_wcsicmp(c.a, c.b)), c.sign);
    EXPECT_EQ(Sign(_wcsicmp(c.b, c.a)), -c.sign);
    EXPECT_EQ(Sign(lstrcmpiW(c.a, c.b)), c.sign);
  }
  EXPECT_EQ(_wcsnicmp(u"Storage Card\\a.mp3", u"STORAGE CARD\\b.mp3", 13), 0);
  EXPECT_LT(_wcsnicmp(u"Storage Card\\a.mp3", u"STORAGE CARD\\b.mp3", 14), 0);
  EXPECT_EQ(_wcsnicmp(u"\u00E9x", u"\u00C9y", 1), 0);
  EXPECT_EQ(_wcsnicmp(u"a", u"B", 0), 0);
  EXPECT_EQ(_wcsnicmp(u"ab", u"AB", 10), 0);
}

TEST(WideStrings, Searching) {
  const char16_t* path = u"\\My Music\\song.mp3";
  EXPECT_EQ(wcschr(path, u'\\'), path);
  EXPECT_EQ(wcsrchr(path, u'\\'), path + 9);
  EXPECT_EQ(wcschr(path, u'\0'), path + wcslen(path));  // the terminator can be found
  EXPECT_EQ(wcschr(path, u'z'), nullptr);
  EXPECT_EQ(wcsrchr(path, u'z'), nullptr);
  EXPECT_EQ(wcsstr(path, u"song"), path + 10);
  EXPECT_EQ(wcsstr(path, u""), path);
  EXPECT_EQ(wcsstr(path, u"Song"), nullptr);
  EXPECT_EQ(wcspbrk(path, u".s"), path + 6);
  EXPECT_EQ(wcspbrk(path, u"xz!"), nullptr);
  EXPECT_EQ(wcsspn(u"  \tx", u" \t"), 3u);
  EXPECT_EQ(wcscspn(u"name=value", u"=;"), 4u);
  EXPECT_EQ(wcscspn(u"name", u"=;"), 4u);

  char16_t writable[] = u"a.b.c";
  char16_t* last = wcsrchr(writable, u'.');  // the non-const overload gives a writable pointer
  *last = u'\0';
  EXPECT_EQ(std::u16string(writable), u"a.b");
}

std::vector<std::u16string> Tokens(char16_t* text, const char16_t* delimiters) {
  std::vector<std::u16string> out;
  for (char16_t* t = wcstok(text, delimiters); t; t = wcstok(nullptr, delimiters)) out.emplace_back(t);
  return out;
}

TEST(WideStrings, TokensSkipRunsOfDelimitersAndKeepTheirPlacePerThread) {
  char16_t text[] = u",,one, two,,three,";
  EXPECT_EQ(Tokens(text, u", "), (std::vector<std::u16string>{u"one", u"two", u"three"}));
  EXPECT_EQ(wcstok(nullptr, u","), nullptr);
  char16_t empty[] = u",,,";
  EXPECT_EQ(wcstok(empty, u","), nullptr);

  // Another thread tokenising meanwhile does not move this thread's place.
  char16_t mine[] = u"a b c";
  EXPECT_EQ(std::u16string(wcstok(mine, u" ")), u"a");
  std::vector<std::u16string> theirs;
  std::thread other([&] {
    char16_t text2[] = u"x;y";
    theirs = Tokens(text2, u";");
  });
  other.join();
  EXPECT_EQ(theirs, (std::vector<std::u16string>{u"x", u"y"}));
  EXPECT_EQ(std::u16string(wcstok(nullptr, u" ")), u"b");
  EXPECT_EQ(std::u16string(wcstok(nullptr, u" ")), u"c");
}

TEST(WideStrings, DuplicateAndChangeCaseInPlace) {
  char16_t* copy = _wcsdup(u"Caf\u00E9 \u0416");
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(std::u16string(_wcsupr(copy)), u"CAF\u00C9 \u0416");
  EXPECT_EQ(std::u16string(_wcslwr(copy)), u"caf\u00E9 \u0436");
  std::free(copy);
  EXPECT_EQ(_wcsdup(nullptr), nullptr);
}

}  // namespace
