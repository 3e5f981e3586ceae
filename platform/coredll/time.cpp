// The device's clocks: the tick count (milliseconds, wrapping at 2^32, following the test clock
// while a test holds it) and the calendar time in UTC and in the host's time zone.
#include <ctime>
#include <sys/time.h>
#include <windows.h>

#include "device/kernel_objects.h"

namespace {

void Fill(const tm& t, long milliseconds, LPSYSTEMTIME out) {
  out->wYear = static_cast<WORD>(t.tm_year + 1900);
  out->wMonth = static_cast<WORD>(t.tm_mon + 1);
  out->wDayOfWeek = static_cast<WORD>(t.tm_wday);
  out->wDay = static_cast<WORD>(t.tm_mday);
  out->wHour = static_cast<WORD>(t.tm_hour);
  out->wMinute = static_cast<WORD>(t.tm_min);
  out->wSecond = static_cast<WORD>(t.tm_sec);
  out->wMilliseconds = static_cast<WORD>(milliseconds);
}

void Now(LPSYSTEMTIME out, tm* (*convert)(const time_t*, tm*)) {
  if (!out) return;
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  tm t{};
  convert(&ts.tv_sec, &t);
  Fill(t, ts.tv_nsec / 1000000, out);
}

}  // namespace

extern "C" DWORD GetTickCount() { return static_cast<DWORD>(zb::kernel::NowMs()); }

extern "C" void GetSystemTime(LPSYSTEMTIME time) { Now(time, gmtime_r); }

extern "C" void GetLocalTime(LPSYSTEMTIME time) { Now(time, localtime_r); }
