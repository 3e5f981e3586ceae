// Case-insensitive search in wide and narrow text: where it finds, and what gives null.
#include <gtest/gtest.h>

#include "core/common/text_search.h"

namespace {

struct Case {
  const char* text;
  const char* pattern;
  int at;  // -1: not found
};

constexpr Case kCases[] = {
    {"Track 01.mp3", "MP3", 9},
    {"song.MP3", "mp3", 5},
    {"abc", "abc", 0},
    {"abc", "abcd", -1},
    {"abc", "", -1},
    {"", "a", -1},
    {"aaab", "AAB", 1},
    {"Content-Length: 5", "content-length:", 0},
    {"xyz", "q", -1},
    {"ab", "B", 1},
};

std::u16string Widen(const char* s) { return std::u16string(s, s + std::char_traits<char>::length(s)); }

TEST(TextSearch, WideFindsThePatternIgnoringCase) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.text) + " / " + c.pattern);
    std::u16string text = Widen(c.text), pattern = Widen(c.pattern);
    const WCHAR* found = WStrFindNoCase(text.c_str(), pattern.c_str());
    EXPECT_EQ(found ? found - text.c_str() : -1, c.at);
  }
  const WCHAR* accented = u"x\u00C9t\u00E9";
  EXPECT_EQ(WStrFindNoCase(accented, u"\u00E9T"), accented + 1);
}

TEST(TextSearch, NarrowFindsThePatternIgnoringCase) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.text) + " / " + c.pattern);
    const char* found = StrFindNoCase(c.text, c.pattern);
    EXPECT_EQ(found ? found - c.text : -1, c.at);
  }
}

TEST(TextSearch, NullArgumentsGiveNull) {
  EXPECT_EQ(WStrFindNoCase(nullptr, u"a"), nullptr);
  EXPECT_EQ(WStrFindNoCase(u"a", nullptr), nullptr);
  EXPECT_EQ(StrFindNoCase(nullptr, "a"), nullptr);
  EXPECT_EQ(StrFindNoCase("a", nullptr), nullptr);
}

}  // namespace
