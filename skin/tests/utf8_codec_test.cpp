// The UTF-8 core: what each text encodes to, what each byte string decodes to, and the limits
// (buffer ends, lone surrogates, sequences cut short, bytes that only look like continuations).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/utf8_codec.h"

namespace {

using Bytes = std::vector<BYTE>;

Bytes Encode(std::u16string_view text, BOOL lenient, size_t room = 64, size_t* consumed = nullptr) {
  Bytes out(room + 8, 0xEE);  // the bytes behind the room must stay untouched
  const WCHAR* in = text.data();
  BYTE* dest = out.data();
  int n = EncodeUtf8(&in, text.data() + text.size(), &dest, out.data() + room, lenient);
  EXPECT_EQ(dest - out.data(), n);
  for (size_t i = n; i < out.size(); ++i) EXPECT_EQ(out[i], 0xEE) << "written past the produced bytes at " << i;
  if (consumed) *consumed = in - text.data();
  out.resize(n);
  return out;
}

int Count(std::u16string_view text, BOOL lenient) {
  const WCHAR* in = text.data();
  return EncodeUtf8(&in, text.data() + text.size(), nullptr, nullptr, lenient);
}

// Decodes a whole byte string character by character, as the front end does.
std::u16string DecodeAll(const Bytes& bytes) {
  std::u16string out;
  for (size_t at = 0; at < bytes.size();) {
    int length = 0, missing = 0;
    DWORD c = DecodeUtf8Char(bytes.data() + at, static_cast<int>(bytes.size() - at), &length, &missing);
    if (length == 0) break;
    if (c >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
    at += length;
  }
  return out;
}

TEST(Utf8Encode, WritesWellFormedUtf8ForEveryRange) {
  const struct {
    std::u16string text;
    Bytes bytes;
  } cases[] = {
      {u"A", {0x41}},
      {u"\u00E9", {0xC3, 0xA9}},
      {u"\u07FF", {0xDF, 0xBF}},
      {u"\u0800", {0xE0, 0xA0, 0x80}},
      {u"\u2022", {0xE2, 0x80, 0xA2}},  // the bullet as real UTF-8, not the old single byte
      {u"\uFFFF", {0xEF, 0xBF, 0xBF}},
      {u"\U0001F3B5", {0xF0, 0x9F, 0x8E, 0xB5}},
      {u"\U0010FFFF", {0xF4, 0x8F, 0xBF, 0xBF}},
      {u"A\u2022\u00E9", {0x41, 0xE2, 0x80, 0xA2, 0xC3, 0xA9}},
      {std::u16string(u"a\0b", 3), {0x61, 0x00, 0x62}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.bytes));
    EXPECT_EQ(Encode(c.text, FALSE), c.bytes);
    EXPECT_EQ(Count(c.text, FALSE), static_cast<int>(c.bytes.size()));
  }
}

TEST(Utf8Encode, LoneSurrogatesStopUnlessLenientThenBecomeReplacementCharacters) {
  const struct {
    std::u16string text;
    size_t strictConsumed;
    Bytes strict;
    Bytes lenient;
  } cases[] = {
      {u"a\xD800" u"b", 1, {0x61}, {0x61, 0xEF, 0xBF, 0xBD, 0x62}},
      {u"a\xDC00" u"b", 1, {0x61}, {0x61, 0xEF, 0xBF, 0xBD, 0x62}},
      {u"ab\xD83C", 2, {0x61, 0x62}, {0x61, 0x62, 0xEF, 0xBF, 0xBD}},  // the high half at the very end
      {u"\xDC00\xD800", 0, {}, {0xEF, 0xBF, 0xBD, 0xEF, 0xBF, 0xBD}},  // halves in the wrong order
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.lenient));
    size_t consumed = 99;
    EXPECT_EQ(Encode(c.text, FALSE, 64, &consumed), c.strict);
    EXPECT_EQ(consumed, c.strictConsumed);
    EXPECT_EQ(Encode(c.text, TRUE, 64, &consumed), c.lenient);
    EXPECT_EQ(consumed, c.text.size());
  }
}

TEST(Utf8Encode, StopsBeforeACharacterThatWouldNotFitWhole) {
  const std::u16string text = u"a\u00E9\u2022\U0001F3B5";  // 1 + 2 + 3 + 4 bytes
  const struct {
    size_t room;
    size_t consumed;
    Bytes bytes;
  } cases[] = {
      {0, 0, {}},
      {1, 1, {0x61}},
      {2, 1, {0x61}},
      {3, 2, {0x61, 0xC3, 0xA9}},
      {5, 2, {0x61, 0xC3, 0xA9}},
      {6, 3, {0x61, 0xC3, 0xA9, 0xE2, 0x80, 0xA2}},
      {9, 3, {0x61, 0xC3, 0xA9, 0xE2, 0x80, 0xA2}},
      {10, 5, {0x61, 0xC3, 0xA9, 0xE2, 0x80, 0xA2, 0xF0, 0x9F, 0x8E, 0xB5}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.room);
    size_t consumed = 99;
    EXPECT_EQ(Encode(text, FALSE, c.room, &consumed), c.bytes);
    EXPECT_EQ(consumed, c.consumed);
  }
}

TEST(Utf8Decode, ReadsEachSequenceAndTheLegacyBullet) {
  const struct {
    Bytes bytes;
    DWORD code;
    int length;
  } cases[] = {
      {{0x41}, 0x41, 1},
      {{0x00}, 0x00, 1},
      {{0x95}, 0x2022, 1},  // stored files hold the bullet as this one byte
      {{0xC3, 0xA9}, 0xE9, 2},
      {{0xE2, 0x80, 0xA2}, 0x2022, 3},
      {{0xEF, 0xBF, 0xBF}, 0xFFFF, 3},
      {{0xF0, 0x9F, 0x8E, 0xB5}, 0x1F3B5, 4},
      {{0xF4, 0x8F, 0xBF, 0xBF}, 0x10FFFF, 4},
      {{0xC3, 0xA9, 0x41}, 0xE9, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.bytes));
    int length = -1, missing = -1;
    EXPECT_EQ(DecodeUtf8Char(c.bytes.data(), static_cast<int>(c.bytes.size()), &length, &missing), c.code);
    EXPECT_EQ(length, c.length);
    EXPECT_EQ(missing, 0);
  }
}

TEST(Utf8Decode, ABytePatternThatIsNoSequenceIsOneCharacterAndSwallowsNothing) {
  const struct {
    Bytes bytes;
    DWORD code;
  } cases[] = {
      {{0xC3, 0x41}, 0xC3},              // an ASCII letter is no continuation byte
      {{0xE2, 0x41, 0x42}, 0xE2},
      {{0xE2, 0x80, 0x41}, 0xE2},
      {{0xF0, 0x9F, 0x8E, 0x41}, 0xF0},
      {{0xC0, 0x80}, 0xC0},              // over-long forms are not accepted
      {{0xE0, 0x80, 0x80}, 0xE0},
      {{0xF0, 0x80, 0x80, 0x80}, 0xF0},
      {{0xED, 0xA0, 0x80}, 0xED},        // a surrogate spelled in UTF-8
      {{0xF4, 0x90, 0x80, 0x80}, 0xF4},  // beyond U+10FFFF
      {{0xF8, 0x88, 0x80, 0x80, 0x80}, 0xF8},
      {{0x80}, 0x80},
      {{0xFF}, 0xFF},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.bytes));
    int length = -1, missing = -1;
    EXPECT_EQ(DecodeUtf8Char(c.bytes.data(), static_cast<int>(c.bytes.size()), &length, &missing), c.code);
    EXPECT_EQ(length, 1);
    EXPECT_EQ(missing, 0);
  }
  EXPECT_EQ(DecodeAll({0xC3, 0x41, 0x42}), u"\u00C3AB");
}

TEST(Utf8Decode, ASequenceCutShortByTheEndReportsTheBytesLeft) {
  const Bytes cases[] = {{0xC3}, {0xE2}, {0xE2, 0x80}, {0xF0, 0x9F, 0x8E}};
  for (const Bytes& bytes : cases) {
    SCOPED_TRACE(testing::PrintToString(bytes));
    int length = -1, missing = -1;
    EXPECT_EQ(DecodeUtf8Char(bytes.data(), static_cast<int>(bytes.size()), &length, &missing), 0u);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(missing, static_cast<int>(bytes.size()));
  }
}

TEST(Utf8Codec, TextRoundTripsAndTheBulletReadsBothWays) {
  const std::u16string text = u"A\u2022\u00E9 \U0001F3B5 \u4E2D";
  EXPECT_EQ(DecodeAll(Encode(text, FALSE)), text);
  EXPECT_EQ(DecodeAll({0x41, 0x95, 0xC3, 0xA9}), u"A\u2022\u00E9");
}

}  // namespace
