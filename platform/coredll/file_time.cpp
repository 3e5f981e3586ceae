// File times: FILETIME <-> SYSTEMTIME on the proleptic Gregorian calendar, UTC <-> local with the
// host's current bias (as the platform does: the bias now, not the one in force at that time),
// and the system time. Out-of-range values fail with ERROR_INVALID_PARAMETER instead of wrapping.
#include "coredll/file_time.h"

#include "coredll/host_clock.h"
#include "coredll/host_error.h"

namespace zb::files {
namespace {

constexpr uint64_t kPerDay = 86400ull * kFileTimePerSecond;
constexpr int64_t kDaysFrom1601To1970 = 134774;
constexpr uint64_t kLargestFileTime = 0x7FFFFFFFFFFFFFFFull;

// Days since 1970-01-01 of a civil date, and back (H. Hinnant's algorithms, valid far beyond
// the range FILETIME covers).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int64_t& y, unsigned& m, unsigned& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = static_cast<int64_t>(yoe) + era * 400 + (m <= 2);
}

unsigned DaysInMonth(unsigned year, unsigned month) {
  static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

// The host's offset from UTC right now, in FILETIME units (east of Greenwich is positive).
int64_t LocalBias() {
  time_t now = time(nullptr);
  tm local{};
  localtime_r(&now, &local);
  return static_cast<int64_t>(local.tm_gmtoff) * static_cast<int64_t>(kFileTimePerSecond);
}

BOOL Shift(const FILETIME* in, LPFILETIME out, int64_t by) {
  if (!in || !out) return Fail(ERROR_INVALID_PARAMETER);
  uint64_t v = ToU64(*in);
  int64_t shifted = 0;
  if (v > kLargestFileTime || __builtin_add_overflow(static_cast<int64_t>(v), by, &shifted) || shifted < 0) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  *out = ToFILETIME(static_cast<uint64_t>(shifted));
  return TRUE;
}

}  // namespace

uint64_t FileTimeFromTimespec(const timespec& t) {
  int64_t seconds = static_cast<int64_t>(t.tv_sec) + kDaysFrom1601To1970 * 86400;
  if (seconds < 0) return 0;
  return static_cast<uint64_t>(seconds) * kFileTimePerSecond + static_cast<uint64_t>(t.tv_nsec) / 100;
}

timespec TimespecFromFileTime(uint64_t fileTime) {
  timespec t{};
  t.tv_sec = static_cast<time_t>(static_cast<int64_t>(fileTime / kFileTimePerSecond) - kDaysFrom1601To1970 * 86400);
  t.tv_nsec = static_cast<long>(fileTime % kFileTimePerSecond) * 100;
  return t;
}

}  // namespace zb::files

using namespace zb::files;

extern "C" BOOL FileTimeToSystemTime(const FILETIME* lpFileTime, LPSYSTEMTIME lpSystemTime) {
  if (!lpFileTime || !lpSystemTime) return Fail(ERROR_INVALID_PARAMETER);
  uint64_t v = ToU64(*lpFileTime);
  if (v > kLargestFileTime) return Fail(ERROR_INVALID_PARAMETER);
  int64_t days = static_cast<int64_t>(v / kPerDay);
  uint64_t inDay = v % kPerDay;
  int64_t year = 0;
  unsigned month = 0, day = 0;
  CivilFromDays(days - kDaysFrom1601To1970, year, month, day);
  SYSTEMTIME& st = *lpSystemTime;
  st.wYear = static_cast<WORD>(year);
  st.wMonth = static_cast<WORD>(month);
  st.wDay = static_cast<WORD>(day);
  st.wDayOfWeek = static_cast<WORD>((days + 1) % 7);  // 1601-01-01 was a Monday
  st.wHour = static_cast<WORD>(inDay / (3600 * kFileTimePerSecond));
  st.wMinute = static_cast<WORD>(inDay / (60 * kFileTimePerSecond) % 60);
  st.wSecond = static_cast<WORD>(inDay / kFileTimePerSecond % 60);
  st.wMilliseconds = static_cast<WORD>(inDay / 10000 % 1000);
  return TRUE;
}

extern "C" BOOL SystemTimeToFileTime(const SYSTEMTIME* lpSystemTime, LPFILETIME lpFileTime) {
  if (!lpSystemTime || !lpFileTime) return Fail(ERROR_INVALID_PARAMETER);
  const SYSTEMTIME& st = *lpSystemTime;
  if (st.wYear < 1601 || st.wYear > 30827 || st.wMonth < 1 || st.wMonth > 12 || st.wDay < 1 ||
      st.wDay > DaysInMonth(st.wYear, st.wMonth) || st.wHour > 23 || st.wMinute > 59 || st.wSecond > 59 ||
      st.wMilliseconds > 999) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  uint64_t days = static_cast<uint64_t>(DaysFromCivil(st.wYear, st.wMonth, st.wDay) + kDaysFrom1601To1970);
  uint64_t seconds = ((days * 24 + st.wHour) * 60 + st.wMinute) * 60 + st.wSecond;
  *lpFileTime = ToFILETIME(seconds * kFileTimePerSecond + uint64_t(st.wMilliseconds) * 10000);
  return TRUE;
}

extern "C" BOOL FileTimeToLocalFileTime(const FILETIME* lpFileTime, LPFILETIME lpLocalFileTime) {
  return Shift(lpFileTime, lpLocalFileTime, LocalBias());
}

extern "C" BOOL LocalFileTimeToFileTime(const FILETIME* lpLocalFileTime, LPFILETIME lpFileTime) {
  return Shift(lpLocalFileTime, lpFileTime, -LocalBias());
}

extern "C" LONG CompareFileTime(const FILETIME* lpFileTime1, const FILETIME* lpFileTime2) {
  uint64_t a = lpFileTime1 ? ToU64(*lpFileTime1) : 0, b = lpFileTime2 ? ToU64(*lpFileTime2) : 0;
  return a < b ? -1 : a > b ? 1 : 0;
}

extern "C" void GetSystemTimeAsFileTime(LPFILETIME lpSystemTimeAsFileTime) {
  if (lpSystemTimeAsFileTime) *lpSystemTimeAsFileTime = ToFILETIME(zb::HostNowFileTime());
}
