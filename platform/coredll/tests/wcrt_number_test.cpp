// Integers to and from wide text in the device's 32-bit long: bases and prefixes, where the
// end pointer stops, clamping with ERANGE, and the radix forms of _itow.
#include <cerrno>
#include <climits>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <windows.h>

namespace {

TEST(WideNumbers, WcstolReadsSignBaseAndStopsAtTheFirstNonDigit) {
  const struct {
    const char16_t* text;
    int base;
    LONG value;
    size_t end;
    int error;
  } cases[] = {
      {u"123", 10, 123, 3, 0},
      {u"  -42x", 10, -42, 5, 0},
      {u"+7", 10, 7, 2, 0},
      {u"0x1F", 16, 31, 4, 0},
      {u"0x1F", 0, 31, 4, 0},
      {u"1F", 16, 31, 2, 0},
      {u"017", 0, 15, 3, 0},
      {u"017", 10, 17, 3, 0},
      {u"0x", 16, 0, 1, 0},    // the "0" is the number, the 'x' is left
      {u"0xg", 0, 0, 1, 0},
      {u"z", 36, 35, 1, 0},
      {u"", 10, 0, 0, 0},
      {u"abc", 10, 0, 0, 0},
      {u" - 1", 10, 0, 0, 0},
      {u"2147483647", 10, INT32_MAX, 10, 0},
      {u"-2147483648", 10, INT32_MIN, 11, 0},
      {u"2147483648", 10, INT32_MAX, 10, ERANGE},
      {u"-2147483649", 10, INT32_MIN, 11, ERANGE},
      {u"99999999999999999999999", 10, INT32_MAX, 23, ERANGE},
      {u"12", 1, 0, 0, EINVAL},
      {u"12", 37, 0, 0, EINVAL},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::u16string(c.text)) + " base " + std::to_string(c.base));
    char16_t* end = nullptr;
    errno = 0;
    EXPECT_EQ(wcstol(c.text, &end, c.base), c.value);
    EXPECT_EQ(end, c.text + c.end);
    EXPECT_EQ(errno, c.error);
  }
}

TEST(WideNumbers, WcstoulWrapsNegativesAndClampsOverflow) {
  const struct {
    const char16_t* text;
    int base;
    ULONG value;
    int error;
  } cases[] = {
      {u"4294967295", 10, 0xFFFFFFFFu, 0}, {u"4294967296", 10, 0xFFFFFFFFu, ERANGE},
      {u"-1", 10, 0xFFFFFFFFu, 0},         {u"FFFFFFFF", 16, 0xFFFFFFFFu, 0},
      {u"0x80000000", 0, 0x80000000u, 0},  {u"1FFFFFFFF", 16, 0xFFFFFFFFu, ERANGE},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::u16string(c.text)));
    errno = 0;
    EXPECT_EQ(wcstoul(c.text, nullptr, c.base), c.value);
    EXPECT_EQ(errno, c.error);
  }
}

TEST(WideNumbers, AtoiForms) {
  EXPECT_EQ(_wtoi(u"  12abc"), 12);
  EXPECT_EQ(_wtoi(u"x"), 0);
  EXPECT_EQ(_wtoi(u"-0"), 0);
  EXPECT_EQ(_wtol(u"-7"), -7);
  EXPECT_EQ(_wtoi(u"99999999999"), INT_MAX);
}

TEST(WideNumbers, ItowShowsASignOnlyInBaseTen) {
  const struct {
    int value;
    int radix;
    const char16_t* text;
  } cases[] = {
      {0, 10, u"0"},      {-123, 10, u"-123"},        {255, 16, u"ff"},        {-1, 16, u"ffffffff"},
      {5, 2, u"101"},     {INT_MIN, 10, u"-2147483648"}, {35, 36, u"z"},        {-8, 8, u"37777777770"},
      {10, 1, u""},       {10, 37, u""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.value) + " radix " + std::to_string(c.radix));
    char16_t buffer[40] = u"junk";
    EXPECT_EQ(_itow(c.value, buffer, c.radix), buffer);
    EXPECT_EQ(std::u16string(buffer), c.text);
    EXPECT_EQ(std::u16string(_ltow(c.value, buffer, c.radix)), c.text);
  }
  char16_t buffer[40];
  EXPECT_EQ(std::u16string(_ultow(4294967295u, buffer, 10)), u"4294967295");
  EXPECT_EQ(std::u16string(_ultow(0xABCu, buffer, 16)), u"abc");
}

}  // namespace
