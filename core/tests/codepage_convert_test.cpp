// The code-page front ends: UTF-8 and the raw UTF-16 copy done by the program itself, bounded
// by the output buffer, and every other code page handed to the platform.
#include <gtest/gtest.h>

#include <string>

#include "core/common/codepage_convert.h"

namespace {

TEST(WideToMultiByte, Utf8CountsAndWritesTheTerminatorWithLengthMinusOne) {
  char out[8] = {'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x'};
  EXPECT_EQ(WideToMultiByte(CP_UTF8, 0, u"abc", -1, nullptr, 0, nullptr, nullptr), 4);
  EXPECT_EQ(WideToMultiByte(CP_UTF8, 0, u"abc", -1, out, sizeof out, nullptr, nullptr), 4);
  EXPECT_EQ(std::string(out, 5), std::string("abc\0x", 5));
  EXPECT_EQ(WideToMultiByte(CP_UTF8, 0, u"abc", 2, out, sizeof out, nullptr, nullptr), 2);
}

TEST(WideToMultiByte, Utf8NeverWritesPastTheOutputAndCutsOnlyBetweenCharacters) {
  char out[6];
  std::fill(std::begin(out), std::end(out), 'x');
  EXPECT_EQ(WideToMultiByte(CP_UTF8, 0, u"\u2022\u2022", 2, out, 5, nullptr, nullptr), 3);
  EXPECT_EQ(std::string(out, 6), "\xE2\x80\xA2xxx");
  EXPECT_EQ(WideToMultiByte(CP_UTF8, 0, u"\u2022\u2022", 2, nullptr, 0, nullptr, nullptr), 6);
}

TEST(WideToMultiByte, OtherCodePagesGoToThePlatform) {
  char out[4] = {};
  EXPECT_EQ(WideToMultiByte(1252, 0, u"\u20AC", 1, out, sizeof out, nullptr, nullptr), 1);
  EXPECT_EQ(static_cast<unsigned char>(out[0]), 0x80);
}

TEST(MultiByteToWide, RawUtf16CopyTakesLowByteFirst) {
  const char bytes[] = {0x41, 0x00, 0x42, 0x00};
  WCHAR out[4] = {u'x', u'x', u'x', u'x'};
  EXPECT_EQ(MultiByteToWide(kRawUtf16CodePage, 0, bytes, 4, nullptr, 0), 2);
  EXPECT_EQ(MultiByteToWide(kRawUtf16CodePage, 0, bytes, 4, out, 4), 2);
  EXPECT_EQ(std::u16string(out, 3), u"ABx");
  const char odd[] = {0x41, 0x20, 0x42};
  EXPECT_EQ(MultiByteToWide(kRawUtf16CodePage, 0, odd, 3, out, 4), 1);  // half a character is left out
  EXPECT_EQ(out[0], u'\u2041');
  EXPECT_EQ(MultiByteToWide(kRawUtf16CodePage, 0, bytes, 0, out, 4), 0);
  EXPECT_EQ(MultiByteToWide(kRawUtf16CodePage, 0, bytes, 4, out, 1), 1);  // bounded by the output
}

TEST(MultiByteToWide, Utf8DecodesUpToTheOutputSize) {
  const char text[] = "A\x95\xC3\xA9\xF0\x9F\x8E\xB5";
  WCHAR out[8];
  std::fill(std::begin(out), std::end(out), u'x');
  EXPECT_EQ(MultiByteToWide(CP_UTF8, 0, text, -1, nullptr, 0), 6);
  EXPECT_EQ(MultiByteToWide(CP_UTF8, 0, text, -1, out, 8), 6);
  EXPECT_EQ(std::u16string(out, 7), std::u16string(u"A\u2022\u00E9\U0001F3B5\0x", 7));
  std::fill(std::begin(out), std::end(out), u'x');
  EXPECT_EQ(MultiByteToWide(CP_UTF8, 0, text, -1, out, 4), 3);  // the pair needs two units
  EXPECT_EQ(std::u16string(out, 4), u"A\u2022\u00E9x");
}

TEST(MultiByteToWide, Utf8EndsAtASequenceCutShortAndKeepsAsciiAfterAFalseLead) {
  WCHAR out[8];
  EXPECT_EQ(MultiByteToWide(CP_UTF8, 0, "ab\xE2\x80", 4, out, 8), 2);
  EXPECT_EQ(MultiByteToWide(CP_UTF8, 0, "\xC3" "AB", 3, out, 8), 3);
  EXPECT_EQ(std::u16string(out, 3), u"\u00C3AB");
}

TEST(MultiByteToWide, OtherCodePagesGoToThePlatform) {
  WCHAR out[4] = {};
  EXPECT_EQ(MultiByteToWide(1252, 0, "\x80", 1, out, 4), 1);
  EXPECT_EQ(out[0], u'\u20AC');
}

}  // namespace
