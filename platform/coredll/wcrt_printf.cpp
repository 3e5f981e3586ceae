// The formatting entry points. They share one engine and differ only in where the text may go
// and what they do when it does not fit.
#include <windows.h>

#include <cerrno>
#include <climits>
#include <cstdint>

#include "coredll/wcrt_args.h"
#include "coredll/wcrt_format.h"

namespace {

constexpr size_t kWsprintfMax = 1024;

int Length(const zb::WideSink& sink) { return sink.length > INT_MAX ? -1 : static_cast<int>(sink.length); }

int Refused(char16_t* buffer, size_t count) {
  if (buffer && count) buffer[0] = 0;
  errno = EINVAL;
  return -1;
}

// Caller sized the buffer: everything is written and terminated.
int Unbounded(char16_t* buffer, const char16_t* format, va_list args) {
  if (!buffer) return Refused(buffer, 0);
  zb::WideSink sink{buffer, SIZE_MAX};
  if (!zb::FormatWide(sink, format, args, zb::Floats::kFormatted)) return Refused(buffer, 1);
  buffer[sink.length] = 0;
  return Length(sink);
}

// count includes the terminator, which is always written: a cut text gives -1.
int Counted(char16_t* buffer, size_t count, const char16_t* format, va_list args) {
  if (!buffer || count == 0) return Refused(buffer, 0);
  zb::WideSink sink{buffer, count - 1};
  if (!zb::FormatWide(sink, format, args, zb::Floats::kFormatted)) return Refused(buffer, count);
  buffer[sink.length < count ? sink.length : count - 1] = 0;
  return sink.length < count ? Length(sink) : -1;
}

}  // namespace

int vswprintf(char16_t* buffer, const char16_t* format, va_list args) { return Unbounded(buffer, format, args); }

int swprintf(char16_t* buffer, const char16_t* format, ...) {
  zb::VarArgs args;
  va_start(args.list, format);
  return Unbounded(buffer, format, args.list);
}

int vswprintf(char16_t* buffer, size_t count, const char16_t* format, va_list args) {
  return Counted(buffer, count, format, args);
}

int swprintf(char16_t* buffer, size_t count, const char16_t* format, ...) {
  zb::VarArgs args;
  va_start(args.list, format);
  return Counted(buffer, count, format, args.list);
}

int _vsnwprintf(char16_t* buffer, size_t count, const char16_t* format, va_list args) {
  if (!buffer && count) return Refused(buffer, 0);
  zb::WideSink sink{buffer, count};
  if (!zb::FormatWide(sink, format, args, zb::Floats::kFormatted)) return Refused(buffer, count);
  if (sink.length < count) buffer[sink.length] = 0;
  return sink.length <= count ? Length(sink) : -1;
}

int _snwprintf(char16_t* buffer, size_t count, const char16_t* format, ...) {
  zb::VarArgs args;
  va_start(args.list, format);
  return _vsnwprintf(buffer, count, format, args.list);
}

extern "C" int WINAPI wvsprintfW(LPWSTR buffer, LPCWSTR format, va_list args) {
  if (!buffer) return Refused(buffer, 0);
  zb::WideSink sink{buffer, kWsprintfMax};
  if (!zb::FormatWide(sink, format, args, zb::Floats::kNone)) return Refused(buffer, 1);
  size_t n = sink.length < kWsprintfMax ? sink.length : kWsprintfMax;
  buffer[n] = 0;
  return static_cast<int>(n);
}

extern "C" int WINAPIV wsprintfW(LPWSTR buffer, LPCWSTR format, ...) {
  zb::VarArgs args;
  va_start(args.list, format);
  return wvsprintfW(buffer, format, args.list);
}
