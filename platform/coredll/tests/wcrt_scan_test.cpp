// swscanf over the forms the player reads (command lines, link texts, skin and playlist names,
// HTTP dates, colour files) and the rules behind them: assignment counts, EOF, white space,
// literals, widths, suppression, sizes and narrow targets.
#include <cstdint>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>
#include <windows.h>

namespace {

constexpr int kUntouched = -999;

TEST(Scan, OneNumberAndWhatTheResultCounts) {
  const struct {
    const char16_t* input;
    const char16_t* format;
    int result;
    int value;
  } cases[] = {
      {u"/VOLUME=50 song.mp3", u"/VOLUME=%d ", 1, 50},
      {u"/VOLUME=x", u"/VOLUME=%d ", 0, kUntouched},
      {u"zb-14", u"zb-%d", 1, 14},
      {u"http://host/", u"zb-%d", 0, kUntouched},
      {u"zb-x", u"zb-%d", 0, kUntouched},
      {u"", u"zb-%d", EOF, kUntouched},
      {u"zb-", u"zb-%d", EOF, kUntouched},
      {u"", u"%d", EOF, kUntouched},
      {u" \t ", u"%d", EOF, kUntouched},
      {u"abc", u"%d", 0, kUntouched},
      {u"  -17abc", u"%d", 1, -17},
      {u"+8", u"%d", 1, 8},
      {u"07 Track", u"%d", 1, 7},
      {u"-3600", u"%d", 1, -3600},
      {u"12345", u"%2d", 1, 12},
      {u"ff", u"%x", 1, 0xFF},
      {u"0x1A", u"%x", 1, 0x1A},
      {u"#FF00A0", u"#%X", 1, 0xFF00A0},
      {u"0x10", u"%i", 1, 16},
      {u"010", u"%i", 1, 8},
      {u"17", u"%o", 1, 15},
      {u"4294967295", u"%u", 1, -1},
      {u"42", u"%ld", 1, 42},
      {u"x5", u" x%d", 1, 5},
      {u" x5", u"x%d", 0, kUntouched},  // literals match exactly, white space only where the format has it
      {u"%7", u"%%%d", 1, 7},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::u16string(c.input)) + " with " +
                 testing::PrintToString(std::u16string(c.format)));
    int value = kUntouched;
    EXPECT_EQ(swscanf(c.input, c.format, &value), c.result);
    EXPECT_EQ(value, c.value);
  }
}

TEST(Scan, SeveralNumbers) {
  const struct {
    const char16_t* input;
    const char16_t* format;
    int result;
    std::vector<int> values;
  } cases[] = {
      {u"-240-320.group", u"-%d-%d.group", 2, {240, 320}},
      {u"-240.group", u"-%d-%d.group", 1, {240, kUntouched}},
      {u"192.168.0.1", u"%d.%d.%d.%d", 4, {192, 168, 0, 1}},
      {u"3:25", u"%d:%d:%d", 2, {3, 25, kUntouched}},
      {u"1:02:03", u"%d:%d:%d", 3, {1, 2, 3}},
      {u"255, 0,128", u"%d, %d, %d", 3, {255, 0, 128}},
      {u"1\t\n 2", u"%d %d", 2, {1, 2}},
      {u"1 2", u"%d%d", 2, {1, 2}},
      {u"v2.5", u"v%d.%d", 2, {2, 5}},
      {u"1.0", u"%d.%d", 2, {1, 0}},
      {u"1 2", u"%*d %d", 1, {2, kUntouched}},
      {u"5", u"%*d %d", 0, {kUntouched}},  // the suppressed field was a conversion: no EOF
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::u16string(c.input)));
    int v[4] = {kUntouched, kUntouched, kUntouched, kUntouched};
    EXPECT_EQ(swscanf(c.input, c.format, &v[0], &v[1], &v[2], &v[3]), c.result);
    EXPECT_EQ(std::vector<int>(v, v + c.values.size()), c.values);
  }
}

TEST(Scan, TextFields) {
  const struct {
    const char16_t* input;
    const char16_t* format;
    int result;
    const char16_t* first;
    const char16_t* second;
  } cases[] = {
      {u"abc,def", u"%[^,]", 1, u"abc", u""},
      {u",def", u"%[^,]", 0, u"", u""},
      {u"Font=Tahoma\r\n", u"%[^=]=%[^\n\r]", 2, u"Font", u"Tahoma"},
      {u"Font=\r\n", u"%[^=]=%[^\n\r]", 1, u"Font", u""},
      {u"  word rest", u"%s", 1, u"word", u""},
      {u"abcdef", u"%3s%s", 2, u"abc", u"def"},
      {u"abcd", u"%[a-c]%s", 2, u"abc", u"d"},
      {u"]]xy", u"%[]x]%s", 2, u"]]x", u"y"},
      {u"caf\u00E9 ok", u"%s %s", 2, u"caf\u00E9", u"ok"},
      {u"", u"%s", EOF, u"", u""},
      {u"a b", u"%*s %s", 1, u"b", u""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::u16string(c.input)));
    char16_t first[32] = {}, second[32] = {};
    EXPECT_EQ(swscanf(c.input, c.format, first, second), c.result);
    EXPECT_EQ(std::u16string(first), c.first);
    EXPECT_EQ(std::u16string(second), c.second);
  }
}

TEST(Scan, HttpDateAndReferenceFile) {
  char16_t weekday[8] = {}, month[8] = {};
  int day = 0, year = 0, hour = 0, minute = 0, second = 0;
  EXPECT_EQ(swscanf(u"Sun, 06 Nov 1994 08:49:37 GMT", u"%3s, %d %3s %d %d:%d:%d GMT", weekday, &day, month, &year,
                    &hour, &minute, &second),
            7);
  EXPECT_EQ(std::u16string(weekday), u"Sun");
  EXPECT_EQ(std::u16string(month), u"Nov");
  EXPECT_EQ((std::vector<int>{day, year, hour, minute, second}), (std::vector<int>{6, 1994, 8, 49, 37}));

  int number = 0;
  char16_t path[64] = {};
  EXPECT_EQ(swscanf(u"3#\\Skins\\Blue.skn trailing", u"%d#%s", &number, path), 2);
  EXPECT_EQ(number, 3);
  EXPECT_EQ(std::u16string(path), u"\\Skins\\Blue.skn");
}

TEST(Scan, GuidWithEveryFieldWidth) {
  unsigned d1 = 0, d2 = 0, d3 = 0, b[8] = {};
  EXPECT_EQ(swscanf(u"{F3553A46-30F7-4947-9DC1-EA1DF1081F4F}", u"{%08x-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x}",
                    &d1, &d2, &d3, &b[0], &b[1], &b[2], &b[3], &b[4], &b[5], &b[6], &b[7]),
            11);
  EXPECT_EQ(d1, 0xF3553A46u);
  EXPECT_EQ(d2, 0x30F7u);
  EXPECT_EQ(d3, 0x4947u);
  EXPECT_EQ((std::vector<unsigned>(b, b + 8)), (std::vector<unsigned>{0x9D, 0xC1, 0xEA, 0x1D, 0xF1, 0x08, 0x1F, 0x4F}));
  EXPECT_EQ(swscanf(u"{F3553A46-30F7-4947-9DC1-EA1DF1081F}", u"{%08x-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x}",
                    &d1, &d2, &d3, &b[0], &b[1], &b[2], &b[3], &b[4], &b[5], &b[6], &b[7]),
            10);
}

TEST(Scan, CharactersTakeWhatIsThereWithoutSkippingOrTerminating) {
  char16_t c[4] = {u'#', u'#', u'#', u'#'};
  EXPECT_EQ(swscanf(u" x", u"%c", c), 1);
  EXPECT_EQ(c[0], u' ');
  EXPECT_EQ(c[1], u'#');
  EXPECT_EQ(swscanf(u"abcd", u"%3c", c), 1);
  EXPECT_EQ(std::u16string(c, 4), u"abc#");
  EXPECT_EQ(swscanf(u"ab", u"%3c", c), EOF);  // not enough left for the field
  char narrow[2] = {'#', '#'};
  EXPECT_EQ(swscanf(u"\u00E9", u"%C", narrow), 1);
  EXPECT_EQ(narrow[0], '\xE9');
  EXPECT_EQ(narrow[1], '#');
}

TEST(Scan, NarrowTargetsGetAnsiText) {
  char name[16] = {}, rest[16] = {};
  EXPECT_EQ(swscanf(u"caf\u00E9 \u20AC5", u"%S %hs", name, rest), 2);
  EXPECT_EQ(std::string(name), "caf\xE9");
  EXPECT_EQ(std::string(rest), "\x80" "5");
  char key[16] = {};
  EXPECT_EQ(swscanf(u"k=v", u"%h[^=]", key), 1);
  EXPECT_EQ(std::string(key), "k");
  char16_t wide[16] = {};
  EXPECT_EQ(swscanf(u"wide", u"%lS", wide), 1);
  EXPECT_EQ(std::u16string(wide), u"wide");
}

TEST(Scan, CountOfUnitsReadIsNotAnAssignment) {
  int value = 0, used = -1, end = -1;
  EXPECT_EQ(swscanf(u"  42 tail", u"%d%n", &value, &used), 1);
  EXPECT_EQ(used, 4);
  EXPECT_EQ(swscanf(u"abc def", u"abc%n", &end), 0);
  EXPECT_EQ(end, 3);
}

TEST(Scan, SizedIntegers) {
  int64_t big = 0;
  EXPECT_EQ(swscanf(u"-9223372036854775808", u"%I64d", &big), 1);
  EXPECT_EQ(big, INT64_MIN);
  EXPECT_EQ(swscanf(u"123456789012", u"%lld", &big), 1);
  EXPECT_EQ(big, 123456789012LL);
  LONG lng = 0;
  EXPECT_EQ(swscanf(u"-2147483648", u"%ld", &lng), 1);
  EXPECT_EQ(lng, INT32_MIN);
  int16_t sixteen[2] = {0, 77};
  EXPECT_EQ(swscanf(u"70000", u"%hd", &sixteen[0]), 1);
  EXPECT_EQ(sixteen[0], 4464);  // wraps into the field
  EXPECT_EQ(sixteen[1], 77);    // and writes no further than it
  uint64_t hex = 0;
  EXPECT_EQ(swscanf(u"FFFFFFFFFF", u"%I64x", &hex), 1);
  EXPECT_EQ(hex, 0xFFFFFFFFFFull);
}

TEST(Scan, FloatingPoint) {
  const struct {
    const char16_t* input;
    const char16_t* format;
    int result;
    double value;
  } cases[] = {
      {u"3.25", u"%f", 1, 3.25},        {u"-1.5e3", u"%f", 1, -1500},  {u".5", u"%f", 1, 0.5},
      {u"7.", u"%f", 1, 7},             {u"1e", u"%f", 1, 1},          {u"123.456", u"%5f", 1, 123.4},
      {u"+2E-2", u"%f", 1, 0.02},       {u"abc", u"%f", 0, -1},        {u"", u"%f", EOF, -1},
      {u"gain 4.5", u"gain %g", 1, 4.5}, {u"-.e1", u"%f", 0, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::u16string(c.input)));
    float f = -1;
    EXPECT_EQ(swscanf(c.input, c.format, &f), c.result);
    EXPECT_FLOAT_EQ(f, static_cast<float>(c.value));
    double d = -1;
    std::u16string_view format(c.format);
    size_t at = format.find_last_of(u"fg");
    std::u16string doubleFormat = std::u16string(format.substr(0, at)) + u"l" + std::u16string(format.substr(at));
    EXPECT_EQ(swscanf(c.input, doubleFormat.c_str(), &d), c.result);
    EXPECT_DOUBLE_EQ(d, c.value);
  }
  double rest = 0;
  char16_t tail[8] = {};
  EXPECT_EQ(swscanf(u"1e+x", u"%lf%s", &rest, tail), 2);
  EXPECT_EQ(std::u16string(tail), u"e+x");
}

int CallVswscanf(const char16_t* input, const char16_t* format, ...) {
  va_list args;
  va_start(args, format);
  int n = vswscanf(input, format, args);
  va_end(args);
  return n;
}

TEST(Scan, ArgumentListFormAndBadArguments) {
  int a = 0, b = 0;
  EXPECT_EQ(CallVswscanf(u"4x9", u"%dx%d", &a, &b), 2);
  EXPECT_EQ(a * 10 + b, 49);
  EXPECT_EQ(swscanf(nullptr, u"%d", &a), EOF);
  EXPECT_EQ(swscanf(u"1", nullptr), EOF);
  EXPECT_EQ(swscanf(u"abc", u"%[abc"), 0);  // an unclosed scanset matches nothing
  EXPECT_EQ(swscanf(u"1", u"%"), 0);
  EXPECT_EQ(swscanf(u"anything", u""), 0);
}

}  // namespace
