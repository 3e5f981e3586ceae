// What printf and scanf formats share: the length modifiers as the device reads them (h; l and
// w, 32-bit like the device's long; ll and I64; I32), which text conversions are wide, and the
// argument list walked by both engines.
#pragma once
#include <cstdarg>

namespace zb {

enum class ArgSize { kDefault, kShort, kLong, kLongLong };

inline const char16_t* ReadArgSize(const char16_t* p, ArgSize& size) {
  size = ArgSize::kDefault;
  if (p[0] == u'h') return size = ArgSize::kShort, p + 1;
  if (p[0] == u'l' && p[1] == u'l') return size = ArgSize::kLongLong, p + 2;
  if (p[0] == u'l' || p[0] == u'w') return size = ArgSize::kLong, p + 1;
  if (p[0] == u'I' && p[1] == u'6' && p[2] == u'4') return size = ArgSize::kLongLong, p + 3;
  if (p[0] == u'I' && p[1] == u'3' && p[2] == u'2') return p + 3;
  return p;
}

// In wide functions %s %c %[ are wide unless marked h; %S %C are narrow unless marked l or w.
inline bool IsWideConversion(char16_t conv, ArgSize size) {
  return (conv == u'S' || conv == u'C') ? size == ArgSize::kLong : size != ArgSize::kShort;
}

// Ends a variadic function's list on every way out.
struct VarArgs {
  va_list list;
  VarArgs() = default;
  VarArgs(const VarArgs&) = delete;
  VarArgs& operator=(const VarArgs&) = delete;
  ~VarArgs() { va_end(list); }
};

class Args {
 public:
  explicit Args(va_list args) { va_copy(ap_, args); }
  ~Args() { va_end(ap_); }
  Args(const Args&) = delete;
  Args& operator=(const Args&) = delete;
  template <class T>
  T Next() {
    return va_arg(ap_, T);
  }

 private:
  va_list ap_;
};

}  // namespace zb
