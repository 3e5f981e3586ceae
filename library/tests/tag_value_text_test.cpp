// Text forms of values: dates written and read in the three layouts, the two-digit-year window,
// relative dates under a fixed clock, and the GUID forms.
#include <gtest/gtest.h>

#include "helpers.h"

using namespace testing_helpers;

namespace {

std::string DateText(const SYSTEMTIME& st) {
  char buffer[64];
  std::snprintf(buffer, sizeof(buffer), "%04u-%02u-%02u %02u:%02u:%02u.%03u", st.wYear, st.wMonth, st.wDay,
                st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
  return buffer;
}

// nullptr: the text does not convert.
struct DateCase {
  const char16_t* text;
  const char* expected;
};

template <size_t N>
void ExpectDates(const DateCase (&cases)[N]) {
  for (const DateCase& c : cases) {
    SCOPED_TRACE(Narrow(c.text));
    SYSTEMTIME st{};
    HRESULT hr = CTagValue::ForText(TAG_ARTIST, c.text).ToSystemTime(&st);
    if (!c.expected) {
      EXPECT_EQ(hr, E_FAIL);
      continue;
    }
    ASSERT_EQ(hr, S_OK);
    EXPECT_EQ(DateText(st), c.expected);
  }
}

TEST(TagValueDates, TextFormOfDates) {
  const struct {
    SYSTEMTIME date;
    const char16_t* text;
  } cases[] = {
      {Date(2007, 10, 16, 9, 5, 0), u"2007-10-16 09:05:00"},
      {Date(2007, 10, 0), u"2007-10"},
      {Date(2007), u"2007"},
      {Date(0), u""},
      {Date(2007, 0, 16, 1, 2, 3), u"2007-16 01:02:03"},
  };
  for (const auto& c : cases) {
    CTagValue v;
    v.SetSystemTime(c.date);
    EXPECT_EQ(TextOf(v), c.text);
  }
}

TEST(TagValueDates, LayoutsFromText) {
  FixedClock clock(Date(2007, 6, 1));
  const DateCase cases[] = {
      {u"07/10/16", "2007-10-16 00:00:00.000"},
      {u"2007/10/16 09:05:07", "2007-10-16 09:05:07.000"},
      {u"2007-10-16T09:05:07", "2007-10-16 09:05:07.000"},
      {u"2007-10-16 09:05", "2007-10-16 09:05:00.000"},
      {u"2007-10-16   9:5:7", "2007-10-16 09:05:07.000"},
      {u"99-1-1", "1999-01-01 00:00:00.000"},
      {u"2007", "2007-00-00 00:00:00.000"},
      {u"12", "2012-00-00 00:00:00.000"},
      {u"13", "1913-00-00 00:00:00.000"},
      {u"2007x10", "2007-00-00 00:00:00.000"},
      {u"2007-10-16 Tuesday", "2007-10-16 00:00:00.000"},
      {u"October", nullptr},
      {u"/", nullptr},
  };
  ExpectDates(cases);
}

TEST(TagValueDates, TwoDigitYearWindowSlidesWithTheCurrentYear) {
  const struct {
    WORD currentYear;
    const char16_t* text;
    WORD year;
  } cases[] = {
      {2002, u"07/10/16", 2007}, {2101, u"07/10/16", 2007}, {2007, u"12-1-1", 2012}, {2007, u"13-1-1", 1913},
      {2000, u"99-1-1", 1999},   {2093, u"99-1-1", 1999},   {2094, u"99-1-1", 2099}, {2000, u"0-1-1", 2000},
  };
  for (const auto& c : cases) {
    FixedClock clock(Date(c.currentYear, 6, 1));
    SYSTEMTIME st{};
    ASSERT_EQ(CTagValue::ForText(TAG_ARTIST, c.text).ToSystemTime(&st), S_OK);
    EXPECT_EQ(st.wYear, c.year) << Narrow(c.text) << " in " << c.currentYear;
  }
}

TEST(TagValueDates, RelativeDatesUnderAFixedClock) {
  FixedClock clock(Date(2007, 3, 1, 9, 5, 0, 250));
  const DateCase cases[] = {
      {u"now", "2007-03-01 09:05:00.250"},
      {u"NOW", "2007-03-01 09:05:00.250"},
      {u"nowhere", "2007-03-01 09:05:00.250"},
      {u"now+90", "2007-03-01 09:06:30.250"},
      {u"now-3600", "2007-03-01 08:05:00.250"},
      {u"now+", "2007-03-01 09:05:00.250"},
      {u"now-1d", "2007-02-28 09:05:00.250"},
      {u"now-3d", "2007-02-26 09:05:00.250"},
      {u"now+2h", "2007-03-01 11:05:00.250"},
      {u"now+5m", "2007-03-01 09:10:00.250"},
      {u"now+1W", "2007-03-08 09:05:00.250"},
      {u"now-30s", "2007-03-01 09:04:30.250"},
      {u"now-3x", nullptr},
      {u"now-3days", nullptr},
      {u"now-later", nullptr},
      {u"now-2147483647w", nullptr},
      {u"NOW.day", "0000-00-01 00:00:00.000"},
      {u"now.year.month", "2007-03-00 00:00:00.000"},
      {u"now.hour.minute.second", "0000-00-00 09:05:00.000"},
      {u"now.nothing", "0000-00-00 00:00:00.000"},
  };
  ExpectDates(cases);
}

TEST(TagValueDates, RelativeDatesAreStoredAsDatesAndOnlyForSystemTime) {
  FixedClock clock(Date(2007, 10, 16, 9, 5, 0));
  CTagValue v = CTagValue::ForText(TAG_RELEASE_DATE, u"now-3600");
  ASSERT_EQ(v.id, TAG_RELEASE_DATE);
  EXPECT_EQ(TextOf(v), u"2007-10-16 08:05:00");
  FILETIME ft;
  EXPECT_EQ(CTagValue::ForText(TAG_ARTIST, u"now").ToFileTime(&ft), E_FAIL);
}

TEST(TagValueDates, FileTimeNeedsACompleteDate) {
  FixedClock clock(Date(2007, 6, 1));
  FILETIME ft{};
  EXPECT_EQ(CTagValue::ForText(TAG_ARTIST, u"2007-10-16 09:05:00").ToFileTime(&ft), S_OK);
  EXPECT_EQ(((ULONGLONG)ft.dwHighDateTime << 32 | ft.dwLowDateTime), 128369991000000000ull);
  EXPECT_EQ(CTagValue::ForText(TAG_ARTIST, u"2007").ToFileTime(&ft), E_FAIL);
  EXPECT_EQ(CTagValue::ForInt(TAG_RATING, 2007).ToFileTime(&ft), E_FAIL);
  EXPECT_EQ(CTagValue::ForText(TAG_ARTIST, u"2007-02-30").ToFileTime(&ft), E_FAIL);
  EXPECT_EQ(CTagValue::ForText(TAG_ARTIST, u"2008-02-29 23:59:59").ToFileTime(&ft), S_OK);
  EXPECT_EQ(CTagValue::ForText(TAG_ARTIST, u"2007-10-16 24:00:00").ToFileTime(&ft), E_FAIL);
  EXPECT_EQ(CTagValue::ForText(TAG_ARTIST, u"1600-12-31 00:00:00").ToFileTime(&ft), E_FAIL);
  CTagValue real;
  real.SetFloat(1e10f);
  EXPECT_EQ(real.ToFileTime(&ft), S_OK);
  EXPECT_EQ(((ULONGLONG)ft.dwHighDateTime << 32 | ft.dwLowDateTime), 10000000000ull);
  real.SetFloat(-1.0f);
  EXPECT_EQ(real.ToFileTime(&ft), E_FAIL);
}

TEST(TagValueDates, CompareDatesFieldByFieldWithAndWithoutWildcard) {
  const struct {
    SYSTEMTIME a, b;
    int exact;  // sign of the full comparison
    int wild;   // sign of the wildcard comparison
  } cases[] = {
      {Date(2007, 10, 16), Date(2007, 10, 16), 0, 0},
      {Date(2007, 10, 16, 9), Date(2007, 10, 16, 10), -1, -1},
      {Date(2008), Date(2007, 12, 31), 1, 1},
      {Date(2007), Date(2007, 5, 3), -1, 0},
      {Date(2007, 5, 3, 1, 2, 3), Date(2007), 1, 0},
      {Date(2006), Date(2007, 5, 3), -1, -1},
      {Date(2007, 10, 16, 9, 5, 0, 999), Date(2007, 10, 16, 9, 5, 0, 1), 0, 0},  // milliseconds ignored
  };
  auto sign = [](int v) { return (v > 0) - (v < 0); };
  for (const auto& c : cases) {
    EXPECT_EQ(sign(CompareDates(c.a, c.b, false)), c.exact) << DateText(c.a) << " vs " << DateText(c.b);
    EXPECT_EQ(sign(CompareDates(c.a, c.b, true)), c.wild) << DateText(c.a) << " vs " << DateText(c.b);
  }
}

TEST(TagValueGuids, TextForms) {
  const GUID expected = {0x41E0F3C8, 0xA5CF, 0x4822, {0xAB, 0x7D, 0x9A, 0xE1, 0x00, 0xFB, 0x5F, 0xF2}};
  const struct {
    const char16_t* text;
    bool ok;
  } cases[] = {
      {u"{41E0F3C8-A5CF-4822-AB7D-9AE100FB5FF2}", true},
      {u"41E0F3C8-A5CF-4822-AB7D-9AE100FB5FF2", true},
      {u"{41e0f3c8-a5cf-4822-ab7d-9ae100fb5ff2}", true},
      {u"41E0F3C8", false},
      {u"{41E0F3C8-A5CF-4822-AB7D-9AE100FB5FF2", false},
      {u"41E0F3C8-A5CF-4822-AB7D-9AE100FB5FF2}", false},
      {u"{41E0F3C8-A5CF-4822-AB7D-9AE100FB5FF}", false},
      {u"{41E0F3C8 A5CF-4822-AB7D-9AE100FB5FF2}", false},
      {u"{41E0F3C8-A5CF-4822-AB7D-9AE100FB5FG2}", false},
      {u"{ 1E0F3C8-A5CF-4822-AB7D-9AE100FB5FF2}", false},
      {u"{41E0F3C8-A5CF-4822-AB7D-9AE100FB5FF2}x", false},
  };
  for (const auto& c : cases) {
    GUID g{};
    EXPECT_EQ(TextToGuid(c.text, &g), c.ok) << Narrow(c.text);
    if (c.ok) {
      EXPECT_EQ(g, expected);
    }
  }
  EXPECT_EQ(GuidToText(expected), u"{41E0F3C8-A5CF-4822-AB7D-9AE100FB5FF2}");
  EXPECT_EQ(GuidToText(GUID{}), u"{00000000-0000-0000-0000-000000000000}");
}

}  // namespace
