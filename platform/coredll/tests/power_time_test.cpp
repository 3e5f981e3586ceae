// The power status the profile gives and the time of day as the locale writes it.
#include "files_fixture.h"

namespace zb::files::testing {
namespace {

class PowerStatusTest : public FilesTest {};

TEST_F(PowerStatusTest, ReportsTheProfilesFigures) {
  SYSTEM_POWER_STATUS_EX status{};
  ASSERT_TRUE(GetSystemPowerStatusEx(&status, TRUE));
  EXPECT_EQ(status.ACLineStatus, AC_LINE_ONLINE);  // the defaults: on mains, battery full
  EXPECT_EQ(status.BatteryFlag, BATTERY_FLAG_HIGH);
  EXPECT_EQ(status.BatteryLifePercent, 100);
  EXPECT_EQ(status.BackupBatteryFlag, BATTERY_FLAG_UNKNOWN);

  device_.WriteProfile("[power]\nac line = 0\nbattery flag = 4\nbattery percent = 7\n");
  ASSERT_TRUE(GetSystemPowerStatusEx(&status, FALSE));
  EXPECT_EQ(status.ACLineStatus, AC_LINE_OFFLINE);
  EXPECT_EQ(status.BatteryFlag, BATTERY_FLAG_CRITICAL);
  EXPECT_EQ(status.BatteryLifePercent, 7);
  EXPECT_FALSE(GetSystemPowerStatusEx(nullptr, FALSE));
}

TEST(TimeFormat, WritesTheTimeOfDayAsTheLocaleDoes) {
  const struct {
    WORD h, m, s;
    DWORD flags;
    const char16_t* text;
  } cases[] = {
      {0, 5, 9, 0, u"12:05:09 AM"},         {13, 7, 0, TIME_NOSECONDS, u"1:07 PM"},
      {12, 0, 0, TIME_NOSECONDS, u"12:00 PM"}, {23, 59, 1, TIME_FORCE24HOURFORMAT | TIME_NOSECONDS, u"23:59"},
      {9, 30, 0, TIME_NOTIMEMARKER | TIME_NOSECONDS, u"9:30"},
  };
  for (const auto& c : cases) {
    SYSTEMTIME t{};
    t.wHour = c.h, t.wMinute = c.m, t.wSecond = c.s;
    WCHAR text[32];
    const int n = GetTimeFormatW(LOCALE_USER_DEFAULT, c.flags, &t, nullptr, text, 32);
    EXPECT_EQ(std::u16string(text), c.text);
    EXPECT_EQ(n, static_cast<int>(std::char_traits<char16_t>::length(c.text)) + 1);
    EXPECT_EQ(GetTimeFormatW(LOCALE_USER_DEFAULT, c.flags, &t, nullptr, nullptr, 0), n);
  }
}

TEST(TimeFormat, RefusesBadInput) {
  SYSTEMTIME t{};
  t.wHour = 13;
  WCHAR small[4];
  EXPECT_EQ(GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &t, nullptr, small, 4), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &t, u"hh", small, 4), 0);
  t.wHour = 24;
  WCHAR text[32];
  EXPECT_EQ(GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &t, nullptr, text, 32), 0);
  // The local time now fits the short form.
  EXPECT_GT(GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, nullptr, nullptr, text, 32), 5);
}

}  // namespace
}  // namespace zb::files::testing
