// Dates of tag values: the clock, SYSTEMTIME and FILETIME counts, the three text layouts with
// the two-digit-year window, relative dates ("now-3600", "now+2d", "now.year.month") and the
// date comparison that sorting and patterns share.
#include <atomic>

#include "tag_value.h"
#include "wide_text.h"

namespace {

constexpr LONGLONG kTicksPerSecond = 10000000;

ULONGLONG FromFileTime(const FILETIME& ft);
FILETIME ToFileTimeValue(ULONGLONG ticks);

// The platform's calendar, with its rules: every field in range, years 1601 to 30827.
bool SystemTimeToTicks(const SYSTEMTIME& st, ULONGLONG* ticks) {
  FILETIME ft;
  if (!SystemTimeToFileTime(&st, &ft)) return false;
  *ticks = FromFileTime(ft);
  return true;
}

bool TicksToSystemTime(ULONGLONG ticks, SYSTEMTIME* st) {
  const FILETIME ft = ToFileTimeValue(ticks);
  return FileTimeToSystemTime(&ft, st) != FALSE;
}

ULONGLONG FromFileTime(const FILETIME& ft) { return (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime; }
FILETIME ToFileTimeValue(ULONGLONG ticks) {
  return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

void DeviceClock(SYSTEMTIME* now) { GetSystemTime(now); }

std::atomic<TagClock> g_clock{nullptr};

// Dates written as text in one of three layouts, numbers in the order year, month, day, hour,
// minute, second; `fallback` also tries the plain layout when an ISO 'T' text gives nothing.
bool ParseDateText(std::u16string_view text, bool fallback, SYSTEMTIME* out) {
  const std::u16string input(text);
  short fields[6] = {};
  auto scan = [&](const char16_t* layout) {
    return swscanf(input.c_str(), layout, &fields[0], &fields[1], &fields[2], &fields[3], &fields[4], &fields[5]);
  };
  int converted;
  if (text.find(u'/') != std::u16string_view::npos) {
    converted = scan(u"%hd/%hd/%hd %hd:%hd:%hd");
  } else if (text.find(u'T') != std::u16string_view::npos) {
    converted = scan(u"%hd-%hd-%hdT%hd:%hd:%hd");
    if (converted <= 0 && fallback) converted = scan(u"%hd-%hd-%hd %hd:%hd:%hd");
  } else {
    converted = scan(u"%hd-%hd-%hd %hd:%hd:%hd");
  }
  if (converted <= 0) return false;
  WORD year = static_cast<WORD>(fields[0]);
  if (year < 100) {
    // Sliding window: up to five years ahead of now, else the century before.
    SYSTEMTIME now;
    GetTagClockTime(&now);
    const int c = now.wYear % 100;
    year = static_cast<WORD>(year <= c + 5 ? now.wYear - c + year : now.wYear - c - 100 + year);
  }
  auto field = [&](int i) { return static_cast<WORD>(fields[i]); };
  *out = SYSTEMTIME{year, field(1), 0, field(2), field(3), field(4), field(5), 0};
  return true;
}

// "now" and what follows it. A count after '+' or '-' is seconds unless a unit letter follows
// (s, m, h, d, w); anything else after the count is refused rather than silently ignored.
bool RelativeDate(std::u16string_view rest, SYSTEMTIME* out) {
  SYSTEMTIME now;
  GetTagClockTime(&now);
  if (rest.empty() || (rest[0] != u'+' && rest[0] != u'-' && rest[0] != u'.')) {
    *out = now;
    return true;
  }
  if (rest[0] == u'.') {
    struct Field {
      std::u16string_view name;
      WORD SYSTEMTIME::*field;
    };
    static constexpr Field kFields[] = {
        {u".year", &SYSTEMTIME::wYear},     {u".month", &SYSTEMTIME::wMonth},
        {u".day", &SYSTEMTIME::wDay},       {u".hour", &SYSTEMTIME::wHour},
        {u".minute", &SYSTEMTIME::wMinute}, {u".second", &SYSTEMTIME::wSecond},
    };
    SYSTEMTIME result{};
    for (const Field& f : kFields)
      if (zblib::FindNoCase(rest, f.name) != std::u16string_view::npos) result.*f.field = now.*f.field;
    *out = result;
    return true;
  }
  const bool subtract = rest[0] == u'-';
  std::u16string_view amount = rest.substr(1);
  LONG count = 0;
  size_t used = 0;
  if (!zblib::ScanInt(amount, &count, &used) && !zblib::Trim(amount).empty()) return false;
  std::u16string_view unit = zblib::Trim(amount.substr(used));
  LONGLONG scale = 1;
  if (!unit.empty()) {
    static constexpr struct {
      char16_t letter;
      LONGLONG seconds;
    } kUnits[] = {{u's', 1}, {u'm', 60}, {u'h', 3600}, {u'd', 86400}, {u'w', 604800}};
    if (unit.size() != 1) return false;
    scale = 0;
    for (const auto& u : kUnits)
      if (zblib::FoldLower(unit[0]) == u.letter) scale = u.seconds;
    if (scale == 0) return false;
  }
  ULONGLONG ticks;
  if (!SystemTimeToTicks(now, &ticks)) return false;
  if ((count < 0 ? -static_cast<LONGLONG>(count) : count) * scale > 900000000000LL) return false;
  const LONGLONG delta = static_cast<LONGLONG>(count) * scale * kTicksPerSecond;
  const LONGLONG signedDelta = subtract ? -delta : delta;
  if (signedDelta < 0 && ticks < static_cast<ULONGLONG>(-signedDelta)) return false;
  return TicksToSystemTime(ticks + static_cast<ULONGLONG>(signedDelta), out);
}

bool RealToTicks(float real, ULONGLONG* ticks) {
  if (!(real >= 0.0f && real < 18446744073709551616.0f)) return false;
  *ticks = static_cast<ULONGLONG>(real);
  return true;
}

}  // namespace

void SetTagClock(TagClock clock) { g_clock = clock; }

void GetTagClockTime(SYSTEMTIME* now) {
  TagClock clock = g_clock;
  (clock ? clock : DeviceClock)(now);
}

int CompareDates(const SYSTEMTIME& a, const SYSTEMTIME& b, bool wildcard) {
  static constexpr WORD SYSTEMTIME::*kOrder[] = {&SYSTEMTIME::wYear, &SYSTEMTIME::wMonth, &SYSTEMTIME::wDay,
                                                 &SYSTEMTIME::wHour, &SYSTEMTIME::wMinute, &SYSTEMTIME::wSecond};
  for (auto field : kOrder) {
    if (wildcard && (a.*field == 0 || b.*field == 0)) return 0;
    if (a.*field != b.*field) return static_cast<int>(a.*field) - static_cast<int>(b.*field);
  }
  return 0;
}

HRESULT CTagValue::SetFileTime(const FILETIME& value) {
  SYSTEMTIME st;
  if (!TicksToSystemTime(FromFileTime(value), &st)) return E_FAIL;
  return SetSystemTime(st);
}

HRESULT CTagValue::ToSystemTime(SYSTEMTIME* value) const {
  if (!value) return E_POINTER;
  *value = SYSTEMTIME{};
  switch (Type()) {
    case TAG_TYPE_DATE:
      *value = date;
      return S_OK;
    case TAG_TYPE_STR: {
      std::u16string_view t = zblib::Trim(text);
      if (zblib::StartsWithNoCase(t, u"now")) return RelativeDate(t.substr(3), value) ? S_OK : E_FAIL;
      return ParseDateText(t, true, value) ? S_OK : E_FAIL;
    }
    case TAG_TYPE_INT:
      if (integer < 0 || integer > 0xFFFF) return E_FAIL;
      value->wYear = static_cast<WORD>(integer);
      return S_OK;
    case TAG_TYPE_REAL: {
      ULONGLONG ticks;
      SYSTEMTIME st;
      if (!RealToTicks(real, &ticks) || !TicksToSystemTime(ticks, &st)) return E_FAIL;
      *value = st;
      return S_OK;
    }
    default:
      return E_FAIL;
  }
}

HRESULT CTagValue::ToFileTime(FILETIME* value) const {
  if (!value) return E_POINTER;
  *value = FILETIME{};
  SYSTEMTIME st{};
  ULONGLONG ticks = 0;
  switch (Type()) {
    case TAG_TYPE_DATE:
      st = date;
      break;
    case TAG_TYPE_STR:
      if (!ParseDateText(zblib::Trim(text), false, &st)) return E_FAIL;
      break;
    case TAG_TYPE_INT:
      if (integer < 0 || integer > 0xFFFF) return E_FAIL;
      st.wYear = static_cast<WORD>(integer);
      break;
    case TAG_TYPE_REAL:
      if (!RealToTicks(real, &ticks)) return E_FAIL;
      *value = ToFileTimeValue(ticks);
      return S_OK;
    default:
      return E_FAIL;
  }
  if (!SystemTimeToTicks(st, &ticks)) return E_FAIL;
  *value = ToFileTimeValue(ticks);
  return S_OK;
}
