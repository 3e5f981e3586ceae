// File-time conversions against known values, their range checks, local time with a fixed host
// time zone, ordering, and the system time.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace {

FILETIME Ft(uint64_t v) { return FILETIME{DWORD(v), DWORD(v >> 32)}; }
uint64_t U64(const FILETIME& f) { return (uint64_t(f.dwHighDateTime) << 32) | f.dwLowDateTime; }

struct KnownTime {
  uint64_t fileTime;
  WORD year, month, day, hour, minute, second, ms;
  int dayOfWeek;  // -1: not checked
};

const KnownTime kKnown[] = {
    {0, 1601, 1, 1, 0, 0, 0, 0, 1},
    {0x19DB1DED53E8000ull, 1970, 1, 1, 0, 0, 0, 0, 4},
    {0x1BF82B162C9FC50ull, 2000, 2, 29, 12, 34, 56, 789, 2},
    {0x1DB5BE01921A980ull, 2024, 12, 31, 23, 59, 59, 0, 2},
    {0x24C85A5ED1C018F0ull, 9999, 12, 31, 23, 59, 59, 999, 5},
};

TEST(FileTimeConversion, KnownValuesBothWays) {
  for (const KnownTime& k : kKnown) {
    SYSTEMTIME st{};
    FILETIME in = Ft(k.fileTime);
    ASSERT_TRUE(FileTimeToSystemTime(&in, &st)) << k.year;
    EXPECT_EQ(st.wYear, k.year);
    EXPECT_EQ(st.wMonth, k.month);
    EXPECT_EQ(st.wDay, k.day);
    EXPECT_EQ(st.wHour, k.hour);
    EXPECT_EQ(st.wMinute, k.minute);
    EXPECT_EQ(st.wSecond, k.second);
    EXPECT_EQ(st.wMilliseconds, k.ms);
    if (k.dayOfWeek >= 0) {
      EXPECT_EQ(st.wDayOfWeek, k.dayOfWeek) << k.year;
    }

    SYSTEMTIME given{k.year, k.month, 6 /* ignored */, k.day, k.hour, k.minute, k.second, k.ms};
    FILETIME out{};
    ASSERT_TRUE(SystemTimeToFileTime(&given, &out)) << k.year;
    EXPECT_EQ(U64(out), k.fileTime) << k.year;
  }
}

TEST(FileTimeConversion, SubMillisecondPartIsDropped) {
  FILETIME f = Ft(0x1BF82B162C9FC50ull + 9999);  // 0.9999 ms later
  SYSTEMTIME st{};
  ASSERT_TRUE(FileTimeToSystemTime(&f, &st));
  EXPECT_EQ(st.wMilliseconds, 789);
}

TEST(FileTimeConversion, LargestFileTimeIsYear30828) {
  FILETIME f = Ft(0x7FFFFFFFFFFFFFFFull);
  SYSTEMTIME st{};
  ASSERT_TRUE(FileTimeToSystemTime(&f, &st));
  EXPECT_EQ(st.wYear, 30828);
  EXPECT_EQ(st.wMonth, 9);
  EXPECT_EQ(st.wDay, 14);
  EXPECT_EQ(st.wHour, 2);
  EXPECT_EQ(st.wMinute, 48);
  EXPECT_EQ(st.wSecond, 5);
  EXPECT_EQ(st.wMilliseconds, 477);
}

TEST(FileTimeConversion, FileTimeWithTopBitIsRefused) {
  FILETIME f = Ft(0x8000000000000000ull);
  SYSTEMTIME st{};
  SetLastError(0);
  EXPECT_FALSE(FileTimeToSystemTime(&f, &st));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

struct BadSystemTime {
  const char* what;
  SYSTEMTIME st;
};

const BadSystemTime kBad[] = {
    {"year before 1601", {1600, 12, 0, 31, 23, 59, 59, 999}},
    {"year after 30827", {30828, 1, 0, 1, 0, 0, 0, 0}},
    {"month 0", {2000, 0, 0, 1, 0, 0, 0, 0}},
    {"month 13", {2000, 13, 0, 1, 0, 0, 0, 0}},
    {"day 0", {2000, 1, 0, 0, 0, 0, 0, 0}},
    {"February 29 of a common year", {2001, 2, 0, 29, 0, 0, 0, 0}},
    {"February 29 of 1900", {1900, 2, 0, 29, 0, 0, 0, 0}},
    {"April 31", {2000, 4, 0, 31, 0, 0, 0, 0}},
    {"hour 24", {2000, 1, 0, 1, 24, 0, 0, 0}},
    {"minute 60", {2000, 1, 0, 1, 0, 60, 0, 0}},
    {"second 60", {2000, 1, 0, 1, 0, 0, 60, 0}},
    {"millisecond 1000", {2000, 1, 0, 1, 0, 0, 0, 1000}},
};

TEST(FileTimeConversion, InvalidSystemTimesAreRefusedAndOutputLeftAlone) {
  for (const BadSystemTime& b : kBad) {
    FILETIME out = Ft(0x1234);
    SetLastError(0);
    EXPECT_FALSE(SystemTimeToFileTime(&b.st, &out)) << b.what;
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER) << b.what;
    EXPECT_EQ(U64(out), 0x1234u) << b.what;
  }
  SYSTEMTIME leap{2000, 2, 0, 29, 0, 0, 0, 0};
  FILETIME out{};
  EXPECT_TRUE(SystemTimeToFileTime(&leap, &out));  // 2000 is a leap year (divisible by 400)
}

TEST(FileTimeConversion, NullArgumentsFailCleanly) {
  FILETIME f{};
  SYSTEMTIME st{};
  EXPECT_FALSE(FileTimeToSystemTime(nullptr, &st));
  EXPECT_FALSE(FileTimeToSystemTime(&f, nullptr));
  EXPECT_FALSE(SystemTimeToFileTime(nullptr, &f));
  EXPECT_FALSE(SystemTimeToFileTime(&st, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

// Puts the host in a fixed time zone for one test.
class TimeZoneScope {
 public:
  explicit TimeZoneScope(const char* tz) {
    if (const char* old = std::getenv("TZ")) old_ = old;
    setenv("TZ", tz, 1);
    tzset();
  }
  ~TimeZoneScope() {
    if (old_) {
      setenv("TZ", old_->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

 private:
  std::optional<std::string> old_;
};

constexpr uint64_t kHour = 36000000000ull;

TEST(LocalFileTime, ShiftsByTheHostBias) {
  const std::pair<const char*, int64_t> zones[] = {
      {"UTC0", 0}, {"XYZ-5:30", 5 * kHour + kHour / 2}, {"XYZ+8", -8 * int64_t(kHour)}};
  for (auto [tz, bias] : zones) {
    TimeZoneScope zone(tz);
    FILETIME utc = Ft(0x1BF82B162C9FC50ull), local{}, back{};
    ASSERT_TRUE(FileTimeToLocalFileTime(&utc, &local)) << tz;
    EXPECT_EQ(int64_t(U64(local) - U64(utc)), bias) << tz;
    ASSERT_TRUE(LocalFileTimeToFileTime(&local, &back)) << tz;
    EXPECT_EQ(U64(back), U64(utc)) << tz;
  }
}

TEST(LocalFileTime, ShiftOutOfRangeFails) {
  TimeZoneScope zone("XYZ+8");  // eight hours behind UTC
  FILETIME start = Ft(0), out = Ft(77);
  SetLastError(0);
  EXPECT_FALSE(FileTimeToLocalFileTime(&start, &out));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(U64(out), 77u);
  FILETIME top = Ft(0x7FFFFFFFFFFFFFFFull);
  EXPECT_FALSE(LocalFileTimeToFileTime(&top, &out));
}

TEST(CompareFileTimeTest, OrdersBy64BitValue) {
  struct Case {
    uint64_t a, b;
    LONG expected;
  } cases[] = {{1, 2, -1}, {2, 1, 1}, {5, 5, 0}, {0xFFFFFFFFull, 0x100000000ull, -1}, {0x100000000ull, 0xFFFFFFFFull, 1}};
  for (const Case& c : cases) {
    FILETIME a = Ft(c.a), b = Ft(c.b);
    EXPECT_EQ(CompareFileTime(&a, &b), c.expected) << c.a << " vs " << c.b;
  }
}

TEST(SystemTimeAsFileTime, FollowsTheHostClock) {
  auto toFileTime = [](std::chrono::system_clock::time_point t) {
    auto ticks = std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch()).count() / 100;
    return uint64_t(ticks) + 116444736000000000ull;
  };
  uint64_t before = toFileTime(std::chrono::system_clock::now());
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  uint64_t after = toFileTime(std::chrono::system_clock::now());
  EXPECT_GE(U64(now), before);
  EXPECT_LE(U64(now), after);
}

}  // namespace
