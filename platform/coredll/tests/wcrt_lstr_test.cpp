// The Win32 string helpers: lstr* with their NULL tolerance, stepping over surrogate pairs at
// both ends of a text, and CharUpperW/CharLowerW in their string and single-character forms.
#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <windows.h>

namespace {

TEST(Lstr, CopyConcatenateAndLength) {
  char16_t buffer[16];
  EXPECT_EQ(lstrcpyW(buffer, u"Zon"), buffer);
  EXPECT_EQ(lstrcatW(buffer, u"brel"), buffer);
  EXPECT_EQ(std::u16string(buffer), u"Zonbrel");
  EXPECT_EQ(lstrlenW(buffer), 7);
  EXPECT_EQ(lstrlenW(nullptr), 0);
  EXPECT_EQ(lstrcpyW(nullptr, u"x"), nullptr);
  EXPECT_EQ(lstrcpyW(buffer, nullptr), nullptr);
  EXPECT_EQ(lstrcatW(buffer, nullptr), nullptr);
}

TEST(Lstr, CopyNKeepsRoomForTheTerminator) {
  const struct {
    int max;
    std::u16string result;
  } cases[] = {{10, std::u16string(u"abcdef\0", 7)}, {7, std::u16string(u"abcdef\0", 7)},
               {4, std::u16string(u"abc\0###", 7)},  {1, std::u16string(u"\0######", 7)},
               {0, u"#######"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.max);
    char16_t buffer[8] = u"#######";
    EXPECT_EQ(lstrcpynW(buffer, u"abcdef", c.max), buffer);
    EXPECT_EQ(std::u16string(buffer, 7), c.result);
  }
}

TEST(Lstr, ComparesTakeNullAsEmpty) {
  EXPECT_EQ(lstrcmpW(u"SmartPhone", u"SmartPhone"), 0);
  EXPECT_NE(lstrcmpW(u"SmartPhone", u"Smartphone"), 0);
  EXPECT_EQ(lstrcmpiW(u"SmartPhone", u"SMARTPHONE"), 0);
  EXPECT_EQ(lstrcmpW(nullptr, u""), 0);
  EXPECT_LT(lstrcmpW(nullptr, u"a"), 0);
  EXPECT_GT(lstrcmpiW(u"a", nullptr), 0);
}

TEST(CharSteps, SurrogatePairsAreOneCharacterAtBothEnds) {
  // D83C DFB5 'a' D83C DFB5: a pair at the start and a pair just before the terminator.
  const char16_t* s = u"\U0001F3B5a\U0001F3B5";
  ASSERT_EQ(wcslen(s), 5u);
  const struct {
    ptrdiff_t from, to;
  } next[] = {{0, 2}, {2, 3}, {3, 5}, {5, 5}}, prev[] = {{5, 3}, {3, 2}, {2, 0}, {0, 0}};
  for (const auto& c : next) EXPECT_EQ(CharNextW(s + c.from), s + c.to) << "next from " << c.from;
  for (const auto& c : prev) EXPECT_EQ(CharPrevW(s, s + c.from), s + c.to) << "prev from " << c.from;
}

TEST(CharSteps, LoneSurrogatesAndStartsInsideAPair) {
  const char16_t lone[] = {u'a', 0xD83C, 0};  // a high surrogate with only the terminator after it
  EXPECT_EQ(CharNextW(lone + 1), lone + 2);
  const char16_t swapped[] = {0xDFB5, 0xD83C, u'b', 0};
  EXPECT_EQ(CharNextW(swapped), swapped + 1);
  EXPECT_EQ(CharNextW(swapped + 1), swapped + 2);
  EXPECT_EQ(CharPrevW(swapped, swapped + 2), swapped + 1);
  // A start on the low half of a pair is never stepped past.
  const char16_t* s = u"\U0001F3B5x";
  EXPECT_EQ(CharPrevW(s + 1, s + 2), s + 1);
  EXPECT_EQ(CharPrevW(s + 1, s), s + 1);  // a position before the start gives the start
  EXPECT_EQ(CharNextW(nullptr), nullptr);
}

TEST(CharCase, StringAndSingleCharacterForms) {
  char16_t text[] = u"Caf\u00E9 \u0436!";
  EXPECT_EQ(CharUpperW(text), text);
  EXPECT_EQ(std::u16string(text), u"CAF\u00C9 \u0416!");
  EXPECT_EQ(CharLowerW(text), text);
  EXPECT_EQ(std::u16string(text), u"caf\u00E9 \u0436!");

  auto single = [](char16_t c) { return reinterpret_cast<LPWSTR>(static_cast<uintptr_t>(c)); };
  EXPECT_EQ(CharUpperW(single(u'\u00E9')), single(u'\u00C9'));
  EXPECT_EQ(CharLowerW(single(u'Q')), single(u'q'));
  EXPECT_EQ(CharUpperW(single(u'1')), single(u'1'));

  char16_t buffer[] = u"abcdef";
  EXPECT_EQ(CharUpperBuffW(buffer, 3), 3u);
  EXPECT_EQ(std::u16string(buffer), u"ABCdef");
  EXPECT_EQ(CharLowerBuffW(buffer, 6), 6u);
  EXPECT_EQ(std::u16string(buffer), u"abcdef");
  EXPECT_EQ(CharUpperBuffW(nullptr, 3), 0u);
}

}  // namespace
