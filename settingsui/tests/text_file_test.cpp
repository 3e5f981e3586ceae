// Text files: which code page reads each file (the byte-order mark wins over the caller's
// choice), what each code-page id writes, and that a failed write keeps the earlier file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "core/tests/product_device.h"
#include "settingsui/text_file.h"

namespace zb::testing {
namespace {

using Bytes = std::vector<BYTE>;

struct FreeText {
  void operator()(WCHAR* p) const { std::free(p); }
};
using Text = std::unique_ptr<WCHAR, FreeText>;

TEST(CodePageFromId, MapsTheCallersIds) {
  const struct {
    int id;
    UINT page;
  } cases[] = {{-1, 1252}, {-2, 65001}, {-3, 1200}, {-4, 0}, {-100, 0}, {0, 0}, {1251, 1251}, {65001, 65001}};
  for (const auto& c : cases) EXPECT_EQ(CodePageFromId(c.id), c.page) << c.id;
}

TEST(ReadTextFile, TheByteOrderMarkTable) {
  const struct {
    const char* what;
    Bytes bytes;
    int id;
    const char16_t* text;  // null: no text
  } cases[] = {
      {"only FF FE", {0xFF, 0xFE}, -1, u""},
      {"UTF-16 with its mark, asked as 1252", {0xFF, 0xFE, 'h', 0, 0xAC, 0x20}, -1, u"h\u20AC"},
      {"UTF-16 with an odd last byte", {0xFF, 0xFE, 'h', 0, 'i'}, -2, u"h"},
      {"UTF-8 with its mark, asked as 1252", {0xEF, 0xBB, 0xBF, 'a', 0xC3, 0xA9}, -1, u"a\u00E9"},
      {"only the UTF-8 mark", {0xEF, 0xBB, 0xBF}, -1, u""},
      {"UTF-8 without a mark read as UTF-8", {'a', 0xC3, 0xA9}, -2, u"a\u00E9"},
      {"UTF-8 without a mark read as 1252", {'a', 0xC3, 0xA9}, -1, u"a\u00C3\u00A9"},
      {"the legacy bullet in UTF-8", {'-', 0x95, '-'}, -2, u"-\u2022-"},
      {"UTF-16 without a mark by id", {'o', 0, 'k', 0}, -3, u"ok"},
      {"1252 by number", {0x80, 'x'}, 1252, u"\u20ACx"},
      {"the ANSI page for other negative ids", {0x80, 'x'}, -9, u"\u20ACx"},
      {"one byte", {'a'}, -1, nullptr},
      {"empty", {}, -1, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ProductDevice device;
    WriteBytes(device.Host("t.txt"), c.bytes);
    Text text(ReadTextFile(u"\\t.txt", c.id));
    if (!c.text) {
      EXPECT_EQ(text, nullptr);
      continue;
    }
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::u16string(text.get()), c.text);
  }
}

TEST(ReadTextFile, AMissingFileReadsAsNull) {
  ProductDevice device;
  EXPECT_EQ(ReadTextFile(u"\\missing.txt", -2), nullptr);
}

TEST(WriteTextFile, WhatEachIdWrites) {
  const struct {
    const char* what;
    int id;
    const char16_t* text;
    Bytes bytes;
  } cases[] = {
      {"UTF-16 with mark and terminator", -3, u"h\u20AC", {0xFF, 0xFE, 'h', 0, 0xAC, 0x20, 0, 0}},
      {"UTF-8 without mark or terminator", -2, u"a\u00E9\u2022", {'a', 0xC3, 0xA9, 0xE2, 0x80, 0xA2}},
      {"1252", -1, u"\u20AC!", {0x80, '!'}},
      {"empty UTF-8", -2, u"", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ProductDevice device;
    EXPECT_TRUE(WriteTextFile(u"\\out.txt", c.text, c.id));
    EXPECT_EQ(ReadBytes(device.Host("out.txt")), c.bytes);
  }
}

TEST(WriteTextFile, TextRoundTripsThroughEveryUnicodeId) {
  const std::u16string text = u"Line 1\r\nZw\u00F6lf \u2022 \U0001F3B5 \u4E2D";
  for (int id : {-2, -3}) {
    ProductDevice device;
    ASSERT_TRUE(WriteTextFile(u"\\round.txt", text.c_str(), id));
    Text back(ReadTextFile(u"\\round.txt", id));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(std::u16string(back.get()), text) << id;
  }
}

TEST(WriteTextFile, AFailedWriteKeepsTheEarlierFile) {
  ProductDevice device;
  ASSERT_TRUE(WriteTextFile(u"\\keep.txt", u"earlier", -2));
  std::u16string big(5000, u'x');
  {
    FileSizeLimit limit(1024);
    EXPECT_FALSE(WriteTextFile(u"\\keep.txt", big.c_str(), -2));
  }
  EXPECT_EQ(ReadBytes(device.Host("keep.txt")), (Bytes{'e', 'a', 'r', 'l', 'i', 'e', 'r'}));
  EXPECT_FALSE(WriteTextFile(u"\\No Folder\\x.txt", u"x", -2));
  EXPECT_FALSE(WriteTextFile(u"\\x.txt", nullptr, -2));
}

}  // namespace
}  // namespace zb::testing
