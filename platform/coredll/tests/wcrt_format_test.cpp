// The formatting functions: every conversion, flag and size the device's wide printf knows,
// and how each entry point cuts, terminates and reports text that does not fit.
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <windows.h>

namespace {

// Formats with the counted swprintf and checks that the result counts what was written.
template <class... A>
std::u16string Format(const char16_t* format, A... args) {
  char16_t buffer[512];
  int n = swprintf(buffer, std::size(buffer), format, args...);
  EXPECT_EQ(n, static_cast<int>(wcslen(buffer))) << "format " << testing::PrintToString(std::u16string(format));
  return buffer;
}

struct Case {
  const char16_t* expected;
  std::u16string actual;
};

void Check(std::initializer_list<Case> cases) {
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(row++);
    EXPECT_EQ(c.actual, c.expected);
  }
}

TEST(Format, IntegerConversions) {
  Check({
      {u"42", Format(u"%d", 42)},
      {u"-42", Format(u"%i", -42)},
      {u"4294967295", Format(u"%u", 4294967295u)},
      {u"ff", Format(u"%x", 255)},
      {u"FF", Format(u"%X", 255)},
      {u"17", Format(u"%o", 15)},
      {u"-2147483648", Format(u"%d", INT_MIN)},
      {u"ffffffff", Format(u"%x", -1)},
  });
}

TEST(Format, FlagsWidthAndPrecision) {
  Check({
      {u"   42", Format(u"%5d", 42)},
      {u"42   |", Format(u"%-5d|", 42)},
      {u"00042", Format(u"%05d", 42)},
      {u"-0042", Format(u"%05d", -42)},
      {u"+42", Format(u"%+d", 42)},
      {u"-1", Format(u"%+d", -1)},
      {u" 42", Format(u"% d", 42)},
      {u"+42", Format(u"%+ d", 42)},
      {u"0xff", Format(u"%#x", 255)},
      {u"0XFF", Format(u"%#X", 255)},
      {u"0", Format(u"%#x", 0)},
      {u"0x00ff", Format(u"%#06x", 255)},
      {u"010", Format(u"%#o", 8)},
      {u"0", Format(u"%#o", 0)},
      {u"007", Format(u"%.3d", 7)},
      {u"    -007", Format(u"%8.3d", -7)},
      {u"     007", Format(u"%08.3d", 7)},  // a precision turns zero padding off
      {u"", Format(u"%.0d", 0)},
      {u"    42", Format(u"%*d", 6, 42)},
      {u"1   |", Format(u"%*d|", -4, 1)},  // a negative * width left-justifies
      {u"005", Format(u"%.*d", 3, 5)},
      {u"5", Format(u"%.*d", -1, 5)},  // a negative * precision is none
      {u"-5   |", Format(u"%-05d|", -5)},
  });
}

TEST(Format, SizesFollowTheDevicesThirtyTwoBitLong) {
  Check({
      {u"1", Format(u"%hd", 65537)},
      {u"65535", Format(u"%hu", -1)},
      {u"-5", Format(u"%ld", LONG{-5})},
      {u"4294967295", Format(u"%lu", ULONG{0xFFFFFFFF})},
      {u"deadbeef", Format(u"%lx", DWORD{0xDEADBEEF})},
      {u"-9223372036854775808", Format(u"%I64d", INT64_MIN)},
      {u"18446744073709551615", Format(u"%I64u", UINT64_MAX)},
      {u"123456789abcdef0", Format(u"%I64x", uint64_t{0x123456789ABCDEF0})},
      {u"-1234567890123", Format(u"%lld", -1234567890123LL)},
      {u"-3", Format(u"%I32d", -3)},
      {u"fffffffd", Format(u"%I32x", -3)},
      {u"7 8", Format(u"%I64d %d", int64_t{7}, 8)},  // a 64-bit field takes exactly its argument
  });
}

TEST(Format, WideAndNarrowText) {
  const char16_t* noWide = nullptr;
  const char* noNarrow = nullptr;
  Check({
      {u"wide", Format(u"%s", u"wide")},
      {u"wide", Format(u"%ls", u"wide")},
      {u"wide", Format(u"%ws", u"wide")},
      {u"narrow", Format(u"%S", "narrow")},
      {u"narrow", Format(u"%hs", "narrow")},
      {u"wide", Format(u"%lS", u"wide")},
      {u"caf\u00E9 \u20AC", Format(u"%S", "caf\xE9 \x80")},  // narrow text is in the ANSI page
      {u"(null)", Format(u"%s", noWide)},
      {u"(null)", Format(u"%S", noNarrow)},
      {u"(nu", Format(u"%.3s", noWide)},
      {u"abc", Format(u"%.3s", u"abcdef")},
      {u"ab", Format(u"%.2S", "abc")},
      {u"    ab", Format(u"%6s", u"ab")},
      {u"ab    |", Format(u"%-6s|", u"ab")},
      {u"\U0001F3B5", Format(u"%s", u"\U0001F3B5")},
  });
  const char unterminated[3] = {'x', 'y', 'z'};
  EXPECT_EQ(Format(u"%.3S", unterminated), u"xyz");  // read no further than the precision
}

TEST(Format, WideAndNarrowCharacters) {
  Check({
      {u"\u00E9", Format(u"%c", u'\u00E9')},
      {u"\u20AC", Format(u"%lc", u'\u20AC')},
      {u"\u20AC", Format(u"%wc", u'\u20AC')},
      {u"x", Format(u"%C", 'x')},
      {u"y", Format(u"%hc", 'y')},
      {u"\u20AC", Format(u"%C", '\x80')},
      {u"  a", Format(u"%3c", u'a')},
      {u"a  |", Format(u"%-3c|", u'a')},
  });
}

TEST(Format, PercentPointerAndUnknownLetters) {
  Check({
      {u"%", Format(u"%%")},
      {u"100%", Format(u"%d%%", 100)},
      {u"0000000000001234", Format(u"%p", reinterpret_cast<void*>(0x1234))},
      {u"00000000DEADBEEF", Format(u"%p", reinterpret_cast<void*>(0xDEADBEEF))},
      {u"0000000000000000", Format(u"%p", nullptr)},
      {u"  0000000000000001", Format(u"%18p", reinterpret_cast<void*>(1))},
      {u"y", Format(u"%y")},
      {u"end", Format(u"end%")},
  });
}

TEST(Format, FloatingPointInTheRuntimeFunctions) {
  Check({
      {u"1.500000", Format(u"%f", 1.5)},
      {u"3.14", Format(u"%.2f", 3.14159)},
      {u"1.234568e+04", Format(u"%e", 12345.678)},
      {u"1.234568E+04", Format(u"%E", 12345.678)},
      {u"0.0001", Format(u"%g", 0.0001)},
      {u"1E-10", Format(u"%G", 1e-10)},
      {u"   -1.50", Format(u"%8.2f", -1.5)},
      {u"-0001.50", Format(u"%08.2f", -1.5)},
      {u"2.8     |", Format(u"%-8.1f|", 2.75)},
      {u"+2.0", Format(u"%+.1f", 2.0)},
      {u" 2.0", Format(u"% .1f", 2.0)},
      {u"3.", Format(u"%#.0f", 3.0)},
      {u"   +1.25", Format(u"%+*.*f", 8, 2, 1.25)},
      {u"       inf", Format(u"%010f", HUGE_VAL)},  // no zero padding for infinity
      {u"1500 msec elapsed. 2000 bytes written. 12.35% Usage",
       Format(u"%d msec elapsed. %d bytes written. %.2f%% Usage", 1500, 2000, 12.345f)},
  });
}

TEST(Format, FormatsThePlayerUses) {
  Check({
      {u" <03:07>", Format(u" <%02i:%02i>", 3, 7)},
      {u"\\zbcache001F.tmp", Format(u"\\zbcache%04X.tmp", 0x1F)},
      {u"\\zbcache12345.tmp", Format(u"\\zbcache%04X.tmp", 0x12345)},
      {u"song.mp3-BEEF", Format(u"%S-%X", "song.mp3", 0xBEEF)},
      {u"  5", Format(u"%3d", 5)},
      {u"3 of 12", Format(u"%d of %d", 3, 12)},
      {u"2008-07-04 09:05", Format(u"%04d-%02d-%02d %02d:%02d", 2008, 7, 4, 9, 5)},
      {u"Exception C0000005 at 1A2B, Sp 7f", Format(u"Exception %X at %X, Sp %x", 0xC0000005u, 0x1A2B, 0x7F)},
  });
}

TEST(Format, NIsRefusedEverywhere) {
  char16_t buffer[64] = u"untouched";
  int written = 12345;
  EXPECT_EQ(swprintf(buffer, u"ab%n", &written), -1);
  EXPECT_EQ(buffer[0], u'\0');
  EXPECT_EQ(swprintf(buffer, std::size(buffer), u"ab%n", &written), -1);
  EXPECT_EQ(_snwprintf(buffer, std::size(buffer), u"ab%n", &written), -1);
  EXPECT_EQ(wsprintfW(buffer, u"ab%n", &written), -1);
  EXPECT_EQ(buffer[0], u'\0');
  EXPECT_EQ(written, 12345);
}

TEST(Wsprintf, HasNoFloatingPointButKeepsLaterArgumentsInStep) {
  char16_t buffer[64];
  EXPECT_EQ(wsprintfW(buffer, u"%d %.2f %d", 1, 2.5, 3), 5);
  EXPECT_EQ(std::u16string(buffer), u"1 f 3");
  EXPECT_EQ(wsprintfW(buffer, u"%e|%g|%s", 1.0, 2.0, u"x"), 5);
  EXPECT_EQ(std::u16string(buffer), u"e|g|x");
}

TEST(Wsprintf, SharesTheConversionsOfTheRuntime) {
  char16_t buffer[128];
  int n = wsprintfW(buffer, u"%s|%S|%c|%C|%-4d|%04X|%I64u|%lu", u"w", "n", u'\u00E9', 'c', 7, 0xAB,
                    uint64_t{1} << 40, ULONG{4000000000u});
  EXPECT_EQ(std::u16string(buffer), u"w|n|\u00E9|c|7   |00AB|1099511627776|4000000000");
  EXPECT_EQ(n, static_cast<int>(wcslen(buffer)));
}

TEST(Wsprintf, WritesAtMost1024CharactersPlusTerminator) {
  std::u16string longText(2000, u'a');
  const struct {
    size_t length;
    int result;
  } cases[] = {{1023, 1023}, {1024, 1024}, {1025, 1024}, {2000, 1024}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.length);
    std::u16string buffer(1100, u'#');
    EXPECT_EQ(wsprintfW(buffer.data(), u"%s", longText.substr(0, c.length).c_str()), c.result);
    EXPECT_EQ(buffer[c.result], u'\0');
    EXPECT_EQ(buffer[1025], u'#');
    EXPECT_EQ(buffer.find(u'a'), 0u);
    EXPECT_EQ(wcslen(buffer.c_str()), static_cast<size_t>(c.result));
  }
}

// What each counted entry point leaves in a buffer prefilled with '#' for "abc".
struct FitCase {
  size_t count;
  int result;
  const char16_t* buffer;  // the first five units afterwards
};

std::u16string FirstFive(const char16_t* b) { return std::u16string(b, 5); }

TEST(Snwprintf, DoesNotTerminateWhenTheTextFillsOrOverflowsTheBuffer) {
  const FitCase cases[] = {
      {10, 3, u"abc\0#"}, {4, 3, u"abc\0#"}, {3, 3, u"abc##"}, {2, -1, u"ab###"}, {0, -1, u"#####"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.count);
    char16_t buffer[8] = u"#######";
    EXPECT_EQ(_snwprintf(buffer, c.count, u"%s", u"abc"), c.result);
    EXPECT_EQ(FirstFive(buffer), std::u16string(c.buffer, 5));
  }
  EXPECT_EQ(_snwprintf(nullptr, 0, u""), 0);
  EXPECT_EQ(_snwprintf(nullptr, 0, u"x"), -1);
  EXPECT_EQ(_snwprintf(nullptr, 5, u"x"), -1);
}

TEST(Swprintf, CountedFormAlwaysTerminatesAndReportsACut) {
  const FitCase cases[] = {
      {10, 3, u"abc\0#"}, {4, 3, u"abc\0#"}, {3, -1, u"ab\0##"}, {1, -1, u"\0####"}, {0, -1, u"#####"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.count);
    char16_t buffer[8] = u"#######";
    EXPECT_EQ(swprintf(buffer, c.count, u"%s", u"abc"), c.result);
    EXPECT_EQ(FirstFive(buffer), std::u16string(c.buffer, 5));
  }
}

TEST(Swprintf, UncountedFormWritesEverything) {
  char16_t buffer[32];
  EXPECT_EQ(swprintf(buffer, u"%s=%d", u"vol", 75), 6);
  EXPECT_EQ(std::u16string(buffer), u"vol=75");
  // A literal 0 could be a null format; it must still be the count.
  buffer[0] = u'#';
  EXPECT_EQ(swprintf(buffer, 0, u"x"), -1);
  EXPECT_EQ(buffer[0], u'#');
}

// Calls an argument-list form with the arguments given here.
template <int (*Format)(char16_t*, const char16_t*, va_list)>
int ViaList(char16_t* buffer, const char16_t* format, ...) {
  va_list args;
  va_start(args, format);
  int n = Format(buffer, format, args);
  va_end(args);
  return n;
}

template <int (*Format)(char16_t*, size_t, const char16_t*, va_list)>
int ViaCountedList(char16_t* buffer, size_t count, const char16_t* format, ...) {
  va_list args;
  va_start(args, format);
  int n = Format(buffer, count, format, args);
  va_end(args);
  return n;
}

TEST(Format, ArgumentListFormsMatchTheVariadicOnes) {
  char16_t buffer[32];
  EXPECT_EQ(ViaList<vswprintf>(buffer, u"%d-%s", 4, u"x"), 3);
  EXPECT_EQ(std::u16string(buffer), u"4-x");
  EXPECT_EQ(ViaCountedList<vswprintf>(buffer, 3, u"%d-%s", 4, u"x"), -1);
  EXPECT_EQ(std::u16string(buffer), u"4-");
  EXPECT_EQ(ViaCountedList<_vsnwprintf>(buffer, 2, u"%d-%s", 4, u"x"), -1);
  EXPECT_EQ(ViaList<wvsprintfW>(buffer, u"%.1f|%d", 1.0, 9), 3);
  EXPECT_EQ(std::u16string(buffer), u"f|9");
}

}  // namespace
